// SPDX-License-Identifier: GPL-3.0-or-later
// The JShell pane through the real main window, with the JDK of this machine:
// the Run menu's JShell opens it in the pane area with the active source's
// class folder on its class path, Enter evaluates, Up and Down walk the
// inputs, Ctrl+Space completes, Send to JShell evaluates an editor's
// selection, and Reset JShell forgets the declarations.
#include "compile_fixture.h"

#include "toolchain/running/jshellwindow.h"
#include "workspace/jshellcommands.h"
#include "workspace/panearea.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QLineEdit>

namespace {

class JShellPane : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        useRealJavac();
    }
    // Waits until the transcript holds `text`.
    bool shows(JShellWindow* w, const QString& text, int ms = 60000)
    {
        const bool ok = QTest::qWaitFor([&] { return w->transcript().contains(text); }, ms);
        EXPECT_TRUE(ok) << "not shown: " << text.toStdString() << "\n" << w->transcript().toStdString();
        return ok;
    }
    void type(JShellWindow* w, const QString& text)
    {
        w->input()->setFocus();
        w->input()->setText(text);
        press(w->input(), Qt::Key_Return);
    }
};

}  // namespace

TEST_F(JShellPane, EvaluatesTypedAndSentInputsWithTheSourcesClassesAndForgetsThemOnReset)
{
    if (IsSkipped())
        return;
    // A compiled class of the user's, beside the active source.
    // (JShell's snippets reach the classes of packages only, as any class of a package does.)
    TFileMDIChild* c = openJava(writeFile("Shop.java",
                                          "package shop;\n"
                                          "public class Shop {\n"
                                          "    public static int price() { return 42; }\n"
                                          "}\n"
                                          "shop.Shop.price() * 2\n"));
    ASSERT_NE(c, nullptr);
    QProcess javac;
    javac.setWorkingDirectory(dir.path());
    writeFile("only/Shop.java", "package shop; public class Shop { public static int price() { return 42; } }\n");
    javac.start(QFileInfo(javacOrSkip()).absoluteFilePath(), {"-d", dir.path(), dir.filePath("only/Shop.java")});
    ASSERT_TRUE(javac.waitForFinished(60000));
    ASSERT_EQ(javac.exitCode(), 0);

    ASSERT_TRUE(enabled(cmd::ShowJShell));
    trigger(cmd::ShowJShell);
    JShellWindow* w = client()->jshell().pane();
    ASSERT_NE(w, nullptr);
    PaneFrame* frame = client()->panes().pane(Pane::JShell);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(w->input()->accessibleName(), "JShell input");
    ASSERT_TRUE(shows(w, "JShell is ready"));
    EXPECT_TRUE(w->input()->isEnabled());

    type(w, "int x = 20; x + 1");
    ASSERT_TRUE(shows(w, "==> 21"));
    EXPECT_TRUE(w->transcript().contains("jshell> int x = 20; x + 1\nx ==> 20\n$")) << w->transcript().toStdString();
    type(w, "nosuch");
    ASSERT_TRUE(shows(w, "|  Error:"));
    // Up walks back through the inputs, Down comes back to the line being written.
    w->input()->setText("draft");
    press(w->input(), Qt::Key_Up);
    EXPECT_EQ(w->input()->text(), "nosuch");
    press(w->input(), Qt::Key_Up);
    EXPECT_EQ(w->input()->text(), "int x = 20; x + 1");
    press(w->input(), Qt::Key_Down);
    press(w->input(), Qt::Key_Down);
    EXPECT_EQ(w->input()->text(), "draft");

    // Ctrl+Space: jshell's own completion; one continuation completes the line.
    w->input()->setText("shop.Shop.pri");
    w->input()->setCursorPosition(13);
    press(w->input(), Qt::CTRL | Qt::Key_Space);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->input()->text() == "shop.Shop.price()"; }, 30000))
        << w->input()->text().toStdString();
    w->input()->clear();

    // Send to JShell: the selection of the editor, the class of its folder found.
    QTextCursor sel(c->editor()->document());
    sel.setPosition(c->editor()->toPlainText().indexOf("shop.Shop.price() * 2"));
    sel.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    c->editor()->setTextCursor(sel);
    client()->bringToFront(c);
    ASSERT_TRUE(enabled(cmd::SendToJShell));
    // From the editor's context menu, after the text's own items.
    QStringList offered;
    QTimer::singleShot(100, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QAction* send = nullptr;
        for (QAction* a : menu->actions()) {
            offered << a->text();
            if (a->text().startsWith("Se&nd to JShell"))
                send = a;
        }
        menu->close();
        if (send && send->isEnabled())
            send->trigger();
    });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(5, 5));
    QApplication::sendEvent(c->editor()->viewport(), &rightClick);
    EXPECT_TRUE(offered.size() > 2 && offered.last().startsWith("Se&nd to JShell"))
        << offered.join('|').toStdString();
    ASSERT_TRUE(shows(w, "jshell> shop.Shop.price() * 2"));
    ASSERT_TRUE(shows(w, "==> 84"));

    // Escape in the pane (or Interrupt JShell) stops an input that runs away; x stays.
    EXPECT_FALSE(enabled(cmd::InterruptJShell));
    type(w, "while (true) { x += 0; }");
    EXPECT_TRUE(QTest::qWaitFor([&] { return enabled(cmd::InterruptJShell); }, 5000));
    QTest::qWait(300);
    press(w->input(), Qt::Key_Escape);
    ASSERT_TRUE(shows(w, "|  Stopped."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !enabled(cmd::InterruptJShell); }, 5000));
    type(w, "x * 3");
    ASSERT_TRUE(shows(w, "==> 60"));

    trigger(cmd::ResetJShell);
    ASSERT_TRUE(shows(w, "JShell is reset"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->transcript().count("JShell is ready") == 2; }, 60000));
    type(w, "x");
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->transcript().count("|  Error:") == 2; }, 30000))
        << w->transcript().toStdString();
}
