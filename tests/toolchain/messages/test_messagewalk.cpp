// SPDX-License-Identifier: GPL-3.0-or-later
// Going to the places of compiler messages through the real main window with
// the real javac of this machine: Enter on a message, Next Message (F8) and
// Previous Message (Shift+F8).
#include "compile_fixture.h"

#include "toolchain/messages/messagewindow.h"

#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>

namespace {

class MessageWalk : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        useRealJavac();
    }
    // Where the caret of the active window is: "File.java:line:column:selected word".
    QString place()
    {
        TFileMDIChild* c = current();
        if (!c)
            return "none";
        const QTextCursor cur = c->editor()->textCursor();
        return QStringLiteral("%1:%2:%3:%4")
            .arg(QFileInfo(c->editor()->source()->fileName()).fileName())
            .arg(cur.blockNumber() + 1)
            .arg(cur.positionInBlock() + 1)
            .arg(cur.selectedText());
    }
    int selectedRow() { return client()->messageList() ? client()->messageList()->GetSelIndex() : -2; }
    // Replaces the text of a window and saves it with Save.
    void saveText(TFileMDIChild* w, const QString& text)
    {
        w->editor()->selectAll();
        w->editor()->insertPlainText(text);
        client()->bringToFront(w);
        trigger(cmd::FileSave);
        QApplication::processEvents();
    }
};

// Main.java uses Helper.java, which javac compiles too: messages in two files,
// the second one not open, with tabs before the place javac points at.
const char* kMain =
    "public class Main {\n"
    "    void f() {\n"
    "        int x = \"s\";\n"
    "        Helper.h();\n"
    "        undefinedCall();\n"
    "    }\n"
    "}\n";
const char* kHelper =
    "public class Helper {\n"
    "\tstatic int h() {\n"
    "\t\treturn missing;\n"
    "\t}\n"
    "}\n";

}  // namespace

TEST_F(MessageWalk, NextAndPreviousMessageWalkTheLastCompilation)
{
    writeFile("Helper.java", kHelper);
    TFileMDIChild* main = openJava(writeFile("Main.java", kMain));
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(enabled(cmd::NextMessage));
    EXPECT_FALSE(enabled(cmd::PreviousMessage));
    compile();
    ASSERT_TRUE(client()->messageList());

    const std::vector<CompilerMessage>& ms = client()->lastCompilationMessages();
    ASSERT_EQ(ms.size(), 3u);
    EXPECT_EQ(ms[0].path, dir.filePath("Main.java"));
    EXPECT_EQ(ms[2].path, dir.filePath("Helper.java"));
    EXPECT_TRUE(enabled(cmd::NextMessage));
    EXPECT_TRUE(enabled(cmd::PreviousMessage));
    EXPECT_EQ(client()->editors().size(), 1);

    // F8 from the editor: each message in turn, its word selected and its row selected.
    main->editor()->setFocus();
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Main.java:3:17:\"");
    EXPECT_EQ(selectedRow(), ms[0].row);
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Main.java:5:9:undefinedCall");
    EXPECT_EQ(selectedRow(), ms[1].row);
    // The next one lies in a file that is not open: it opens, the caret after two tabs.
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Helper.java:3:10:missing");
    EXPECT_EQ(selectedRow(), ms[2].row);
    EXPECT_EQ(client()->editors().size(), 2);
    // Past the last one: round to the first; Shift+F8 goes back.
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Main.java:3:17:\"");
    press(Qt::SHIFT | Qt::Key_F8);
    EXPECT_EQ(place(), "Helper.java:3:10:missing");
    EXPECT_EQ(selectedRow(), ms[2].row);
    press(Qt::SHIFT | Qt::Key_F8);
    EXPECT_EQ(place(), "Main.java:5:9:undefinedCall");

    // A message chosen in the list is where the walk goes on from.
    TBrowserWindow* list = client()->messageList();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(ms[0].row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(place(), "Main.java:3:17:\"");
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Main.java:5:9:undefinedCall");

    // The message window closed: the walk shows it again.
    client()->messageListFrame()->close();
    QApplication::processEvents();
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Helper.java:3:10:missing");
    ASSERT_TRUE(client()->messageList());
    EXPECT_EQ(selectedRow(), ms[2].row);

    // A compilation without messages: nothing to walk.
    writeFile("Helper.java", "public class Helper { static int h() { return 1; } }\n");
    writeFile("Main.java", "public class Main { void f() { Helper.h(); } }\n");
    for (TFileMDIChild* c : client()->editors())
        c->close();
    QApplication::processEvents();
    openJava(dir.filePath("Main.java"));
    compile();
    EXPECT_TRUE(client()->lastCompilationMessages().empty());
    EXPECT_FALSE(enabled(cmd::NextMessage));
    EXPECT_FALSE(enabled(cmd::PreviousMessage));
}

TEST_F(MessageWalk, EnterOnAMessageGoesToItsColumnWithTheWordSelected)
{
    writeFile("Helper.java", kHelper);
    openJava(writeFile("Main.java", kMain));
    compile();
    ASSERT_TRUE(client()->messageList());
    const std::vector<CompilerMessage>& ms = client()->lastCompilationMessages();
    ASSERT_EQ(ms.size(), 3u);
    for (TFileMDIChild* c : client()->editors())
        c->close();
    QApplication::processEvents();

    TBrowserWindow* list = client()->messageList();
    list->setFocus();
    list->setCurrentIndex(list->model()->index(ms[2].row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(place(), "Helper.java:3:10:missing");
    list->setCurrentIndex(list->model()->index(ms[1].row, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(place(), "Main.java:5:9:undefinedCall");
}

TEST_F(MessageWalk, WarningsOfASuccessfulCompilationAreWalkedToo)
{
    // Warnings alone: a success, and no message window until the walk shows it.
    openJava(writeFile("Warn.java",
                       "public class Warn {\n"
                       "  @SuppressWarnings(\"x\") void f() {}\n"
                       "  void g() { new Integer(1); }\n"
                       "}\n"));
    compile();
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    const std::vector<CompilerMessage>& ms = client()->lastCompilationMessages();
    ASSERT_EQ(ms.size(), 1u);
    EXPECT_EQ(ms[0].severity, MessageSeverity::Warning);
    EXPECT_FALSE(client()->messageList());
    current()->editor()->setFocus();
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Warn.java:3:14:new");
    ASSERT_TRUE(client()->messageList());
    EXPECT_EQ(selectedRow(), ms[0].row);
}

TEST_F(MessageWalk, AfterASuccessfulCompilationTheWalkSelectsRowsOfItsOwnMessages)
{
    // A failing compilation fills the message window.
    TFileMDIChild* w = openJava(writeFile("Warn.java",
                                          "public class Warn {\n"
                                          "  int x = \"s\";\n"
                                          "  int y = \"t\";\n"
                                          "}\n"));
    ASSERT_NE(w, nullptr);
    compile();
    ASSERT_TRUE(client()->messageList());
    const QStringList old = [&] {
        QStringList l;
        for (int i = 0; i < client()->messageList()->GetCount(); ++i)
            l << client()->messageList()->GetString(i);
        return l;
    }();

    // Mended, with a warning left: a success, which leaves the window as it was.
    saveText(w,
             "public class Warn {\n"
             "  void g() { new Integer(1); }\n"
             "}\n");
    compile();
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    const std::vector<CompilerMessage>& ms = client()->lastCompilationMessages();
    ASSERT_EQ(ms.size(), 1u);
    w->editor()->setFocus();
    press(Qt::Key_F8);
    EXPECT_EQ(place(), "Warn.java:2:14:new");
    // The row selected is the warning's, in a list that shows this compilation.
    ASSERT_TRUE(client()->messageList());
    const int row = selectedRow();
    ASSERT_GE(row, 0);
    EXPECT_TRUE(client()->messageList()->GetString(row).contains("warning"))
        << client()->messageList()->GetString(row).toStdString();
    EXPECT_NE(client()->messageList()->GetCount(), old.size());
    press(Qt::SHIFT | Qt::Key_F8);
    EXPECT_EQ(selectedRow(), row);

    // A success without messages: nothing to walk, the old rows stay unselected.
    saveText(w, "public class Warn {}\n");
    compile();
    EXPECT_TRUE(client()->lastCompilationMessages().empty());
    client()->messageList()->SetSelIndex(-1);
    triggerExpectingDisabled(cmd::NextMessage);
    triggerExpectingDisabled(cmd::PreviousMessage);
    EXPECT_EQ(selectedRow(), -1);
    EXPECT_EQ(place().section(':', 0, 0), "Warn.java");
}
