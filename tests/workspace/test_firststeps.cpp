// SPDX-License-Identifier: GPL-3.0-or-later
// What a new user meets between New and a run, through the main window with
// the real javac of this machine: a new window saved with Save runs, a
// project saved or opened runs, a success clears the old failure, the usual
// keys, the name Save As proposes, checks in an Untitled window, and the
// project window's entries.
#include "compile_fixture.h"

#include "toolchain/building/filebuild.h"
#include "javatext/javatypename.h"
#include "toolchain/messages/messagewindow.h"
#include "workspace/paneframe.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTextBlock>

namespace {

class FirstSteps : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
    }
    // Types `text` into the active window as a user would.
    void type(TFileMDIChild* c, const QString& text)
    {
        c->editor()->setFocus();
        QTest::keyClicks(c->editor(), text);
    }
};

const char* const kHello = "public class Hello { public static void main(String[] a) { } }";

}  // namespace

// ---------------------------------------------------------------- a new window saved with Save

TEST_F(FirstSteps, ANewWindowSavedWithCtrlSRunsOnceCompiled)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    type(c, kHello);
    dialogs_.savePaths.push_back(dir.filePath("Hello.java"));
    press(c->editor(), Qt::CTRL | Qt::Key_S);
    ASSERT_EQ(c->editor()->source()->fileName(), dir.filePath("Hello.java"));
    EXPECT_FALSE(c->isNewFile());
    EXPECT_TRUE(c->build().IsJavaMain);
    press(c->editor(), QKeyCombination(Qt::Key_F9));
    waitUntilCompiled();
    EXPECT_TRUE(c->build().IsCompiled);
    EXPECT_TRUE(enabled(cmd::JavaRun));
    EXPECT_TRUE(enabled(cmd::DebugRun));
    // A save clears the compiled state again, as ever.
    type(c, " ");
    press(c->editor(), QKeyCombination(Qt::Key_F2));
    EXPECT_FALSE(enabled(cmd::JavaRun));
}

TEST_F(FirstSteps, ANewProjectSavedWithSaveProjectRunsOnceCompiled)
{
    writeFile("Hello.java", QByteArray(kHello) + "\n");
    trigger(cmd::NewJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    dialogs_.openPathLists.push_back({dir.filePath("Hello.java")});
    trigger(cmd::InsertNode);
    dialogs_.savePaths.push_back(dir.filePath("hello.jpr"));
    trigger(cmd::SaveJavaProj);
    ASSERT_EQ(p->editor()->source()->fileName(), dir.filePath("hello.jpr"));
    EXPECT_FALSE(p->isNewFile());
    EXPECT_TRUE(p->build().IsJavaMain);
    compile();
    EXPECT_TRUE(enabled(cmd::JavaRun));
}

TEST_F(FirstSteps, AProjectOpenedFromItsFileIsClassifiedAtOnce)
{
    writeFile("Hello.java", QByteArray(kHello) + "\n");
    const QString jpr = writeFile("hello.jpr", (dir.filePath("Hello.java") + "\r\n").toUtf8());
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    EXPECT_TRUE(p->build().IsJavaMain);
    EXPECT_EQ(p->build().classename, "Hello");
    compile();
    EXPECT_TRUE(enabled(cmd::JavaRun));
}

// ---------------------------------------------------------------- a success clears the old failure

TEST_F(FirstSteps, ASuccessfulCompilationShowsItsOwnMessagesInTheOpenMessageWindow)
{
    const QString src = writeFile("Hello.java", "public class Hello { int f() { return missing; } }\n");
    TFileMDIChild* c = openJava(src);
    ASSERT_NE(c, nullptr);
    compile();
    ASSERT_TRUE(client()->messageList());
    TBrowserWindow* list = client()->messageList();
    EXPECT_TRUE(list->GetString(0).contains("cannot find symbol")) << list->GetString(0).toStdString();
    // javac's "^" stands under its column: every character of the list is as wide as any other.
    const QFontMetrics m(list->font());
    EXPECT_EQ(m.horizontalAdvance(QLatin1Char('i')), m.horizontalAdvance(QLatin1Char('W')))
        << list->font().family().toStdString();
    EXPECT_EQ(m.horizontalAdvance(QLatin1Char('^')), m.horizontalAdvance(QLatin1Char(' ')));
    // Mended and compiled again: the box says so, and the list shows no old failure.
    c->editor()->selectAll();
    type(c, "public class Hello { int f() { return 1; } }");
    trigger(cmd::FileSave);
    const size_t before = dialogs_.messages.size();
    compile();
    ASSERT_EQ(dialogs_.messages.size(), before + 1);
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    ASSERT_EQ(client()->messageList(), list);
    for (int i = 0; i < list->GetCount(); ++i)
        EXPECT_FALSE(list->GetString(i).contains("cannot find symbol")) << list->GetString(i).toStdString();
    EXPECT_EQ(list->GetCount(), 0);
    // A success with warnings lists them.
    writeFile("Old.java", "public class Old { @Deprecated public static void f() {} }\n");
    writeFile("User.java", "public class User { void g() { Old.f(); } }\n");
    TFileMDIChild* u = openJava(dir.filePath("User.java"));
    ASSERT_NE(u, nullptr);
    CBDEPRECATION = true;
    compile();
    CBDEPRECATION = false;
    ASSERT_GT(list->GetCount(), 0);
    EXPECT_TRUE(list->GetString(0).contains("deprecat")) << list->GetString(0).toStdString();
}

// ---------------------------------------------------------------- the usual keys

TEST_F(FirstSteps, CtrlNCtrlOAndCtrlWOrCtrlF4)
{
    press(app->Frame, Qt::CTRL | Qt::Key_N);
    TFileMDIChild* a = current();
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->isNewFile());
    dialogs_.openPaths.push_back(writeFile("Open.java", "class Open {}\n"));
    press(a->editor(), Qt::CTRL | Qt::Key_O);
    TFileMDIChild* b = current();
    ASSERT_NE(b, a);
    EXPECT_EQ(b->editor()->source()->fileName(), dir.filePath("Open.java"));
    EXPECT_EQ(client()->editors().size(), 2);
    // Ctrl+W asks as closing does: Cancel keeps the window with its changes.
    type(b, "x");
    dialogs_.answers.push_back(Answer::Cancel);
    press(b->editor(), Qt::CTRL | Qt::Key_W);
    ASSERT_EQ(client()->editors().size(), 2);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("The text in the"))
        << dialogs_.messages.back().text.toStdString();
    dialogs_.answers.push_back(Answer::No);
    press(b->editor(), Qt::CTRL | Qt::Key_W);
    QApplication::processEvents();
    EXPECT_EQ(client()->editors().size(), 1);
    // Ctrl+F4 closes the window that is active then.
    ASSERT_EQ(current(), a);
    press(a->editor(), Qt::CTRL | Qt::Key_F4);
    QApplication::processEvents();
    EXPECT_TRUE(client()->editors().isEmpty());
    EXPECT_FALSE(enabled(cmd::CloseWindow));
}

TEST_F(FirstSteps, CtrlWClosesTheMessageWindowWhenItIsActive)
{
    TFileMDIChild* c = openJava(writeFile("Broken.java", "class Broken { int f() { return missing; } }\n"));
    ASSERT_NE(c, nullptr);
    compile();
    ASSERT_EQ(client()->messageWindows().size(), 1);
    PaneFrame* frame = client()->messageWindows().first();
    frame->activate();
    QApplication::processEvents();
    ASSERT_TRUE(client()->messageWindowActive());
    press(QKeyCombination(Qt::CTRL | Qt::Key_W));
    QApplication::processEvents();
    EXPECT_TRUE(client()->messageWindows().isEmpty() || client()->messageWindows().first()->isHidden());
    // The source window stays, and is the active one again.
    EXPECT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(current(), c);
}

TEST_F(FirstSteps, MenuItemsShowTheirKeys)
{
    EXPECT_EQ(app->action(cmd::Find)->text(), "&Find...\tCtrl+F");
    EXPECT_EQ(app->action(cmd::Replace)->text(), "&Replace...\tCtrl+H");
    EXPECT_EQ(app->action(cmd::GotoLine)->text(), "Goto Line\tCtrl+G");
    EXPECT_EQ(app->action(cmd::FileNewJava)->text(), "New&Java File\tCtrl+N");
    EXPECT_EQ(app->action(cmd::FileOpenJava)->text(), "&Open Java File\tCtrl+O");
    EXPECT_EQ(app->action(cmd::FileSave)->text(), "&Save\tCtrl+S");
    // Close Window ends the Window menu's commands, after a separator.
    QMenu* w = app->menu("&Window");
    ASSERT_NE(w, nullptr);
    const int at = int(w->actions().indexOf(app->action(cmd::CloseWindow)));
    ASSERT_GT(at, 0);
    EXPECT_TRUE(w->actions().at(at - 1)->isSeparator());
    EXPECT_EQ(at + 1, int(w->actions().size()));
}

// ---------------------------------------------------------------- names

TEST(PublicTypeName, IsThePublicTopLevelTypeOrElseTheFirst)
{
    EXPECT_EQ(publicTypeName("public class Hello { }"), "Hello");
    EXPECT_EQ(publicTypeName("package a.b;\nimport java.util.*;\nclass A {}\n"
                             "/* public class Comment {} */ // public class Line {}\n"
                             "final public class B { class public_ {} }"),
              "B");
    EXPECT_EQ(publicTypeName("class A { public class Inner {} }\nclass B {}"), "A");
    EXPECT_EQ(publicTypeName("String s = \"public class Q {}\";"), "");
    EXPECT_EQ(publicTypeName("@SuppressWarnings(\"x\")\npublic\nrecord Point(int x, int y) {}"), "Point");
    EXPECT_EQ(publicTypeName("public sealed interface Shape permits Sq {}"), "Shape");
    EXPECT_EQ(publicTypeName("public enum Day { MON }"), "Day");
    EXPECT_EQ(publicTypeName("public @interface Marker {}"), "Marker");
    EXPECT_EQ(publicTypeName("@Anno(Foo.class) public abstract class Bar {}"), "Bar");
    EXPECT_EQ(publicTypeName("String t = \"\"\"\n  public class InBlock {}\n  \"\"\";\npublic class After {}"),
              "After");
    EXPECT_EQ(publicTypeName(""), "");
}

TEST_F(FirstSteps, SaveAsProposesTheNameOfThePublicType)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    type(c, "class Helper {}");
    press(c->editor(), QKeyCombination(Qt::Key_Return));
    type(c, "public class Greeter { }");
    trigger(cmd::FileSaveAs);  // cancelled: nothing scripted
    ASSERT_FALSE(dialogs_.saveProposals.isEmpty());
    EXPECT_EQ(QFileInfo(dialogs_.saveProposals.back()).fileName(), "Greeter.java");
    EXPECT_TRUE(c->isNewFile());
    // Ctrl+S on the new window proposes it too; a saved window proposes its own name.
    dialogs_.savePaths.push_back(dir.filePath("Greeter.java"));
    press(c->editor(), Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(QFileInfo(dialogs_.saveProposals.back()).fileName(), "Greeter.java");
    trigger(cmd::FileSaveAs);
    EXPECT_EQ(dialogs_.saveProposals.back(), dir.filePath("Greeter.java"));
}

// ---------------------------------------------------------------- projects

TEST_F(FirstSteps, AddNodeTakesSeveralFilesOrAFolder)
{
    writeFile("src/B.java", "class B {}\n");
    writeFile("src/A.java", "class A {}\n");
    writeFile("src/notes.txt", "x\n");
    const QString x = writeFile("X.java", "class X {}\n");
    const QString y = writeFile("Y.java", "class Y {}\n");
    const QString jpr = writeFile("p.jpr", "");
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    dialogs_.openPathLists.push_back({x, y});
    trigger(cmd::InsertNode);
    // The dialog started in the project's folder.
    ASSERT_FALSE(dialogs_.openFolders.isEmpty());
    EXPECT_EQ(dialogs_.openFolders.back(), dir.path());
    dialogs_.openPathLists.push_back({dir.filePath("src")});
    trigger(cmd::InsertNode);
    EXPECT_EQ(p->editor()->source()->rawText(),
              x + "\n" + y + "\n" + dir.filePath("src/A.java") + "\n" + dir.filePath("src/B.java") + "\n");
    // Every entry ends in CR LF on disk, one undo takes a whole Add Node back.
    trigger(cmd::SaveJavaProj);
    EXPECT_EQ(readFile(jpr),
              (x + "\r\n" + y + "\r\n" + dir.filePath("src/A.java") + "\r\n" + dir.filePath("src/B.java") + "\r\n")
                  .toUtf8());
    // Save As starts at the project's own file.
    trigger(cmd::SaveAsJavaProj);  // cancelled
    EXPECT_EQ(dialogs_.saveProposals.back(), jpr);
    // A folder without Java sources adds nothing and says so.
    dialogs_.openPathLists.push_back({dir.filePath("capture")});
    const size_t before = dialogs_.messages.size();
    trigger(cmd::InsertNode);
    ASSERT_EQ(dialogs_.messages.size(), before + 1);
    EXPECT_TRUE(dialogs_.messages.back().text.contains("holds no Java source"));
}

TEST_F(FirstSteps, ADoubleClickOnAnEntryOpensItsSource)
{
    const QString a = writeFile("A.java", "class A {}\n");
    const QString jpr = writeFile("p.jpr", ("# sources\r\n" + a + "\r\nB.java\r\n").toUtf8());
    writeFile("B.java", "class B {}\n");
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    auto doubleClickLine = [&](int line) {
        EditControl* e = p->editor();
        const QRect r = e->cursorRect(QTextCursor(e->document()->findBlockByNumber(line)));
        QTest::mouseDClick(e->viewport(), Qt::LeftButton, Qt::NoModifier, r.center() + QPoint(2, 0));
        QApplication::processEvents();
    };
    doubleClickLine(0);  // a comment opens nothing
    EXPECT_EQ(current(), p);
    doubleClickLine(1);
    ASSERT_NE(current(), p);
    EXPECT_EQ(current()->editor()->source()->fileName(), a);
    // A relative entry is the project folder's; a window that shows it comes forward.
    client()->bringToFront(p);
    doubleClickLine(2);
    EXPECT_EQ(current()->editor()->source()->fileName(), dir.filePath("B.java"));
    TFileMDIChild* b = current();
    client()->bringToFront(p);
    doubleClickLine(2);
    EXPECT_EQ(current(), b);
    EXPECT_EQ(client()->editors().size(), 3);
}

TEST_F(FirstSteps, DebugRunWorksForAProjectAndSaveAsStartsInItsFolder)
{
    writeFile("src/Hello.java", QByteArray(kHello) + "\n");
    trigger(cmd::NewJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    dialogs_.openPathLists.push_back({dir.filePath("src/Hello.java")});
    trigger(cmd::InsertNode);
    trigger(cmd::SaveAsJavaProj);  // cancelled
    ASSERT_FALSE(dialogs_.saveFolders.isEmpty());
    EXPECT_EQ(dialogs_.saveFolders.back(), dir.filePath("src"));
    dialogs_.savePaths.push_back(dir.filePath("src/hello.jpr"));
    trigger(cmd::SaveAsJavaProj);
    EXPECT_FALSE(enabled(cmd::DebugRun));
    compile();
    EXPECT_TRUE(enabled(cmd::JavaRun));
    EXPECT_TRUE(enabled(cmd::DebugRun));
}
