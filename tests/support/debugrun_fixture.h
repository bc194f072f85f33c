// SPDX-License-Identifier: GPL-3.0-or-later
// A main window with one compiled Java source to run under Debug Run with the
// real JDK: its window, the console, typing a line into it, and ending the
// program (and whatever it left running) when the test ends.
#pragma once
#include "compile_fixture.h"

#include "toolchain/running/consolewindow.h"
#include "workspace/debugcontroller.h"

#include <QLineEdit>

// The 1-based number of the first line of `text` that contains `marker`; 0
// when none does.
inline int lineOf(const QByteArray& text, const QByteArray& marker)
{
    const QList<QByteArray> lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(marker))
            return i + 1;
    }
    return 0;
}

class DebugRunFixture : public CompileTest {
protected:
    // Opens `text` as `name` and compiles it; skipped without the debugger's
    // jar or a JDK.
    void openCompiled(const QString& name, const QByteArray& text)
    {
        if (!QFileInfo(builtFile(BP_DEBUGGER_JAR)).isFile())
            GTEST_SKIP() << "no debugger jar";
        useRealJavac();
        if (IsSkipped())
            return;
        if (configuredJava().isEmpty())
            GTEST_SKIP() << "no java beside javac";
        debugger().setJar(builtFile(BP_DEBUGGER_JAR));
        source = openJava(writeFile(name, text));
        ASSERT_TRUE(source);
        compile();
        ASSERT_TRUE(source->build().IsCompiled);
    }
    void TearDown() override
    {
        if (app && app->Client && (debugger().live() || enabled(cmd::StopDebugging))) {
            debugger().stop();
            (void)QTest::qWaitFor([&] { return !enabled(cmd::StopDebugging); }, 20000);
        }
        CompileTest::TearDown();
    }
    DebugController& debugger() { return client()->debugger(); }
    ConsoleWindow* console() { return debugger().console(); }
    QLineEdit* input() { return console() ? console()->findChild<QLineEdit*>() : nullptr; }
    bool waitForConsole(const QString& text)
    {
        return QTest::qWaitFor([&] { return console() && console()->shownText().contains(text); }, 60000);
    }
    void typeLine(const QString& text)
    {
        ASSERT_TRUE(input());
        input()->setText(text);
        QTest::keyClick(input(), Qt::Key_Return);
    }

    TFileMDIChild* source = nullptr;
};
