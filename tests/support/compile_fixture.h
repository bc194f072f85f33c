// SPDX-License-Identifier: GPL-3.0-or-later
// A main window with a Java compiler to drive: the real javac of this machine
// or a stand-in script in the test's directory, a folder for the compiler's
// captures, and compiling the active window until its outcome is decided.
#pragma once
#include "frame_fixture.h"

#include "config/toolpaths.h"

#include <QFileInfo>

class CompileTest : public FrameTest {
protected:
    // The javac of this machine compiles; without one the test is skipped.
    void useRealJavac()
    {
        const QString javac = javacOrSkip();
        if (javac.isEmpty())
            return;
        useCompilerIn(QFileInfo(QFileInfo(javac).canonicalFilePath()).absolutePath());
    }
    // The stand-in tests/stand-ins/`name` compiles, as javac of the folder jdk/.
    void useStandInCompiler(const QString& name)
    {
        ASSERT_TRUE(installStandIn(name, compilerPath()));
        useCompilerIn(dir.filePath("jdk"));
    }
    // A script compiles, as javac of the folder jdk/.
    void useCompilerScript(const QByteArray& script)
    {
        ASSERT_TRUE(writeExecutable(compilerPath(), script));
        useCompilerIn(dir.filePath("jdk"));
    }
    // Where the stand-ins and scripts are put.
    QString compilerPath() const { return dir.filePath("jdk/javac"); }

    // Compiles the active window and waits until the outcome is decided.
    void compile()
    {
        trigger(cmd::JavaCompile);
        waitUntilCompiled();
    }
    void waitUntilCompiled()
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return !current() || !current()->compiling(); }, 60000));
        QApplication::processEvents();
    }

private:
    void useCompilerIn(const QString& folder)
    {
        javabin = folder;
        ASSERT_TRUE(QDir().mkpath(dir.filePath("capture")));
        temp = dir.filePath("capture");
    }
};
