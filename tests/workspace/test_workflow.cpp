// SPDX-License-Identifier: GPL-3.0-or-later
// Compiling, the message window, projects and option windows, driven through
// the main window with the real javac of this machine.
#include "compile_fixture.h"

#include "toolchain/settings/optiondialogs.h"
#include "config/toolpaths.h"
#include "toolchain/settings/settings.h"
#include "toolchain/messages/messagewindow.h"
#include "workspace/panearea.h"
#include "toolchain/building/filebuild.h"

#include <QCheckBox>
#include <QMenu>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>

#include <csignal>
#include <cstring>
#include <tuple>

namespace {

class WorkflowTest : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        if (!HasFatalFailure())
            useRealJavac();
    }
    // Closes every editor window (none holds changes).
    void closeEditors()
    {
        for (TFileMDIChild* e : client()->editors())
            e->close();
        QApplication::processEvents();
    }
    // Enter on the first message of the message window.
    void followFirstMessage()
    {
        TBrowserWindow* list = client()->messageList();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return);
        QApplication::processEvents();
    }
    QStringList listLines()
    {
        QStringList out;
        for (int i = 0; i < client()->messageList()->GetCount(); ++i)
            out << client()->messageList()->GetString(i);
        return out;
    }
};

const char* kHello =
    "public class Hello {\n"
    "    public static void main(String[] args) {\n"
    "        System.out.println(\"hi\");\n"
    "    }\n"
    "}\n";

const char* kBroken =
    "public class Broken {\n"
    "    void f() {\n"
    "        int x = \"text\";\n"
    "    }\n"
    "}\n";

}  // namespace

TEST_F(WorkflowTest, CorrectFileCompilesAndEnablesRun)
{
    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    EXPECT_FALSE(enabled(cmd::JavaRun));
    compile();
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_EQ(dialogs_.messages.back().caption, "SUCCESS");
    EXPECT_TRUE(c->build().IsCompiled);
    EXPECT_TRUE(QFile::exists(dir.filePath("Hello.class")));
    EXPECT_TRUE(enabled(cmd::JavaRun));
    EXPECT_EQ(QDir::currentPath(), QFileInfo(dir.path()).canonicalFilePath());
    // Saving again disables the run commands until the next compilation.
    trigger(cmd::FileSave);
    EXPECT_FALSE(enabled(cmd::JavaRun));
}

TEST_F(WorkflowTest, ErrorsOpenTheMessageWindowAlongTheBottom)
{
    TFileMDIChild* c = openJava(writeFile("Broken.java", kBroken));
    compile();
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(enabled(cmd::JavaRun));
    ASSERT_TRUE(client()->messageList());
    EXPECT_EQ(tracebrowser, 1);
    EXPECT_EQ(client()->messageListFrame()->windowTitle(), "Messages : Broken.err");
    const QStringList lines = listLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines[0].contains("Broken.java:3: error")) << lines[0].toStdString();
    // Along the bottom of the workspace, of its whole width, the list 100 pixels high.
    const QRect area = client()->contentsRect();
    const QRect panes = client()->panes().geometry();
    EXPECT_EQ(panes.bottom(), area.bottom());
    EXPECT_EQ(panes.width(), area.width());
    EXPECT_EQ(client()->messageListFrame()->height(), 100);
    EXPECT_TRUE(app->statusMessage().contains("1 error")) << app->statusMessage().toStdString();
    // The message window is no editor: while it is active the editor's commands are off.
    client()->messageListFrame()->activate();
    EXPECT_EQ(current(), nullptr);
    EXPECT_FALSE(enabled(cmd::FileSave));

    // A second failure reloads the same window with only the new messages.
    PaneFrame* first = client()->messageListFrame();
    openJava(writeFile("Other.java", "class Other { void g() { undefined(); } }\n"));
    compile();
    EXPECT_EQ(client()->messageListFrame(), first);
    EXPECT_EQ(first->windowTitle(), "Messages : Other.err");
    EXPECT_FALSE(listLines().join("\n").contains("Broken.java"));

    // Closed by the user: the next failure makes a new window.
    first->close();
    QApplication::processEvents();
    EXPECT_EQ(tracebrowser, 0);
    compile();
    ASSERT_TRUE(client()->messageListFrame());
    EXPECT_NE(client()->messageListFrame(), first);
}

TEST_F(WorkflowTest, DoubleClickOnAMessageGoesToTheLine)
{
    const QString path = writeFile("Broken.java", kBroken);
    openJava(path);
    compile();
    ASSERT_TRUE(client()->messageList());
    // Close the source: the message opens it again.
    closeEditors();
    followFirstMessage();
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->editor()->source()->fileName(), path);
    EXPECT_EQ(current()->editor()->textCursor().blockNumber(), 2);
}

TEST_F(WorkflowTest, WarningsAloneCountAsSuccess)
{
    openJava(writeFile("Warn.java",
                       "import java.util.*;\npublic class Warn {\n  List l = new ArrayList();\n"
                       "  void f() { l.add(1); }\n}\n"));
    compile();
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_FALSE(client()->messageList());
}

TEST_F(WorkflowTest, MissingCompilerIsAFailureThatSaysWhy)
{
    javabin = dir.filePath("nojdk");
    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    compile();
    EXPECT_FALSE(c->build().IsCompiled);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().caption, "ERROR");
    EXPECT_TRUE(dialogs_.messages.back().text.contains(dir.filePath("nojdk/javac")));
}

TEST_F(WorkflowTest, CompilerOptionsWindowAppliesOnOk)
{
    trigger(cmd::JavaOptions);
    trigger(cmd::JavaOptions);
    QList<TCompDialog*> dlgs;
    for (QMdiSubWindow* w : client()->subWindowList())
        if (auto* d = qobject_cast<TCompDialog*>(w->widget()))
            dlgs << d;
    ASSERT_EQ(dlgs.size(), 2);
    EXPECT_EQ(client()->subWindowList().last()->windowTitle(), "Compiler Options");
    dlgs[0]->Debug->setChecked(true);
    QTest::keyClicks(dlgs[0]->ClassPath, QString(300, 'c'));
    dlgs[0]->CmOk();
    QApplication::processEvents();
    EXPECT_TRUE(CBDEBUG);
    EXPECT_EQ(EDITCLASSPATH.value_or("absent"), QString(300, 'c'));
    EXPECT_EQ(client()->subWindowList().size(), 1);  // OK closed its window
    // The other window opened with the box clear: its OK wins.
    dlgs[1]->CmOk();
    EXPECT_FALSE(CBDEBUG);

    trigger(cmd::JavaArgs);
    auto* prog = qobject_cast<TProgDialog*>(client()->subWindowList().last()->widget());
    ASSERT_NE(prog, nullptr);
    QTest::keyClicks(prog->CmdLine, "a 'b c'");
    prog->CmOk();
    EXPECT_EQ(EDITCMDLINE.value_or("absent"), "a 'b c'");
}

TEST_F(WorkflowTest, ProjectCompilesOnlyOutOfDateSources)
{
    writeFile("A.java", "public class A { public static void main(String[] a) { B.f(); } }\n");
    writeFile("B.java", "public class B { static void f() {} }\n");
    const QString jpr = writeFile(
        "demo.jpr", ("# demo\r\n" + dir.filePath("A.java") + "\r\n" + dir.filePath("B.java") + "\r\n").toUtf8());
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->isProject());
    EXPECT_EQ(client()->projectWindow(), p);
    EXPECT_TRUE(p->projectFromFile());
    // Classified as it opens, and again when saved.
    EXPECT_TRUE(p->build().IsJavaMain);
    EXPECT_FALSE(enabled(cmd::FileSave));
    EXPECT_TRUE(enabled(cmd::SaveJavaProj));
    p->editor()->document()->setModified(true);
    trigger(cmd::SaveJavaProj);
    EXPECT_TRUE(p->build().IsJavaMain);
    compile();
    EXPECT_TRUE(p->build().IsCompiled);
    EXPECT_TRUE(QFile::exists(dir.filePath("A.class")));
    EXPECT_TRUE(QFile::exists(dir.filePath("B.class")));
    // All current: nothing is compiled and nothing shown.
    const size_t shown = dialogs_.messages.size();
    p->build().IsCompiled = false;
    compile();
    EXPECT_TRUE(p->build().IsCompiled);
    EXPECT_EQ(dialogs_.messages.size(), shown);
}

TEST_F(WorkflowTest, AddNodeReplacesTheSelectionAndDelNodeRemovesALine)
{
    trigger(cmd::NewJavaProj);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p->isProject());
    EXPECT_FALSE(p->projectFromFile());
    QTest::keyClicks(p->editor(), "old entry");
    p->editor()->selectAll();
    p->build().IsCompiled = true;
    dialogs_.openPathLists.push_back({dir.filePath("X.java")});
    trigger(cmd::InsertNode);
    EXPECT_EQ(p->editor()->source()->rawText(), dir.filePath("X.java") + "\n");
    EXPECT_FALSE(p->build().IsCompiled);
    QTest::keyClicks(p->editor(), "second");
    QTextCursor c(p->editor()->document());
    p->editor()->setTextCursor(c);
    trigger(cmd::DeleteNode);
    EXPECT_EQ(p->editor()->source()->rawText(), "second");
    // The project is written with CR LF line ends.
    dialogs_.savePaths.push_back(dir.filePath("new.jpr"));
    QTextCursor end(p->editor()->document());
    end.movePosition(QTextCursor::End);
    end.insertText("\nthird");
    trigger(cmd::SaveAsJavaProj);
    EXPECT_EQ(readFile(dir.filePath("new.jpr")), "second\r\nthird");
    EXPECT_FALSE(p->isNewFile());

    // View Project brings the last project window back.
    trigger(cmd::FileNewJava);
    EXPECT_NE(current(), p);
    trigger(cmd::ViewJavaProj);
    EXPECT_EQ(current(), p);
}

TEST_F(WorkflowTest, ExitRoutedToTheMessageWindowGoesNoFurther)
{
    openJava(writeFile("Broken.java", kBroken));
    compile();
    ASSERT_TRUE(client()->messageList());
    client()->messageListFrame()->activate();
    QApplication::processEvents();
    if (QApplication::focusWidget() != client()->messageList())
        GTEST_SKIP() << "the offscreen platform gave the focus elsewhere";
    trigger(cmd::Exit);
    EXPECT_EQ(tracebrowser, 0);
    EXPECT_TRUE(app->Frame->isVisible());
}

TEST_F(WorkflowTest, JavaRunInAStandInTerminalWithArguments)
{
    const QString standIn = sourceDir() + "/tests/stand-ins/terminal.sh";
    ASSERT_TRUE(QFileInfo(standIn).isExecutable());
    const QString log = dir.filePath("term");
    qputenv("BREWPAD_STANDIN_LOG", log.toUtf8());
    doscmd = standIn;
    // Foo.java holds the class Bar: Bar is what runs.
    openJava(
        writeFile("Foo.java",
                  "class Bar {\n public static void main(String[] a) {\n"
                  "  System.out.println(a.length + \":\" + String.join(\"|\", a));\n  System.exit(3);\n }\n}\n"));
    EXPECT_EQ(current()->build().classename, "Bar");
    compile();
    ASSERT_TRUE(current()->build().IsCompiled);
    EDITCMDLINE = QString("one 'two words' \"$HOME\"");
    trigger(cmd::JavaRun);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(log + ".done"); }, 30000));
    const QByteArray out = readFile(log + ".out");
    EXPECT_TRUE(out.contains("3:one|two words|$HOME")) << out.toStdString();
    EXPECT_TRUE(out.contains("exit code 3")) << out.toStdString();
    EXPECT_EQ(readFile(log + ".cwd").trimmed(), QFileInfo(dir.path()).canonicalFilePath().toUtf8());
    qunsetenv("BREWPAD_STANDIN_LOG");
}

TEST_F(WorkflowTest, RunFailuresAreReported)
{
    openJava(writeFile("Foo.java", "class Bar { public static void main(String[] a) {} }\n"));
    TFileMDIChild* c = current();
    // Neither Bar.class nor Foo.class: nothing starts.
    c->build().IsCompiled = true;
    trigger(cmd::JavaRun);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, "Foo.class");
    EXPECT_EQ(dialogs_.messages.back().caption, "class not found");

    // The applet viewer is missing from today's JDKs: the page is written, the start fails.
    writeFile("Bar.class", "");
    c->build().IsJavaApplet = true;
    trigger(cmd::AppletRun);
    EXPECT_TRUE(QFile::exists(dir.filePath("brewpad.html")));
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("Win Exec : "));
    EXPECT_TRUE(dialogs_.messages.back().text.endsWith(" : Programe not found"));
    EXPECT_EQ(dialogs_.messages.back().caption, "ERROR");
    EXPECT_TRUE(readFile(dir.filePath("brewpad.html")).contains("code=\"Bar.class\""));
}

TEST_F(WorkflowTest, CancelledExitLeavesAnOldMessageWindowBehind)
{
    TFileMDIChild* c = openJava(writeFile("Broken.java", kBroken));
    compile();
    QPointer<PaneFrame> first = client()->messageListFrame();
    ASSERT_TRUE(first);
    QTest::keyClicks(c->editor(), "// unsaved");
    dialogs_.answers = {Answer::Cancel};
    EXPECT_FALSE(app->Frame->close());
    // The message window was asked first and let go; the editor refused.
    EXPECT_EQ(tracebrowser, 0);
    EXPECT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    // So the next failure opens a second window.
    c->editor()->document()->setModified(false);
    compile();
    ASSERT_TRUE(client()->messageListFrame());
    EXPECT_NE(client()->messageListFrame(), first.data());
    EXPECT_TRUE(first);
}

// ---------------------------------------------------------------- outcomes

namespace {

const char* kBoxed =
    "public class Boxed {\n"
    "    Integer error = new Integer(5);\n"
    "    public static void main(String[] args) { }\n"
    "}\n";

}  // namespace

// javac's exit status decides; the warnings of a success are counted in the
// status bar and Compiler Messages shows them.
TEST_F(WorkflowTest, WarningsEchoingErrorSucceedAndCompilerMessagesShowsThem)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("errors")));
    TFileMDIChild* c = openJava(writeFile("errors/Boxed.java", kBoxed));
    compile();
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_TRUE(c->build().IsCompiled);
    EXPECT_TRUE(enabled(cmd::JavaRun));
    EXPECT_FALSE(client()->messageList());
    EXPECT_TRUE(app->statusMessage().startsWith("Compilation success, 1 warning:"))
        << app->statusMessage().toStdString();

    // Compiler Messages stands in the Java Project menu with the table's caption.
    QMenu* menu = app->menu("Java Project...");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(app->action(cmd::CompilerMessages)));
    EXPECT_EQ(app->action(cmd::CompilerMessages)->text(), commandInfo(cmd::CompilerMessages)->menuCaption());
    EXPECT_FALSE(commandHint(cmd::CompilerMessages).isEmpty());
    ASSERT_TRUE(enabled(cmd::CompilerMessages));
    trigger(cmd::CompilerMessages);
    ASSERT_TRUE(client()->messageList());
    EXPECT_EQ(client()->messageListFrame()->windowTitle(), "Messages : Boxed.err");
    EXPECT_TRUE(listLines().join("\n").contains("Boxed.java:2: warning:")) << listLines().join("\n").toStdString();
    EXPECT_EQ(app->statusMessage(), "Compiler messages: 0 errors, 1 warning");
}

// A relative path in a message is taken in the directory its compiler ran
// in, whatever was compiled or run since; a file gone is said in the status bar.
TEST_F(WorkflowTest, MessagePathsAreResolvedWhereTheirCompilerRan)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("one")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("two")));
    const QString broken = writeFile("one/Broken.java", kBroken);
    writeFile("two/Broken.java", "class Broken { }\n");
    const QString jpr = writeFile("one/p.jpr", "Broken.java\r\n");
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    compile();  // javac names the project's sources relatively: "Broken.java:3: error: ..."
    ASSERT_TRUE(client()->messageList());
    ASSERT_TRUE(listLines().value(0).startsWith("Broken.java:3:")) << listLines().join("\n").toStdString();
    // F9 elsewhere that compiles nothing moves the current directory, not the
    // messages (a compilation there would show its own).
    writeFile("two/notes.txt", "x\n");
    client()->CmOpenJavaProjFile(writeFile("two/q.jpr", "notes.txt\r\n"));
    compile();
    ASSERT_EQ(QDir::current().dirName(), "two");
    closeEditors();
    followFirstMessage();
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->editor()->source()->fileName(), broken);
    EXPECT_EQ(current()->editor()->textCursor().blockNumber(), 2);

    current()->close();
    QApplication::processEvents();
    ASSERT_TRUE(QFile::remove(broken));
    followFirstMessage();
    EXPECT_EQ(current(), nullptr);
    EXPECT_EQ(app->statusMessage(), "The file " + broken + " named by this message no longer exists");
}

// ---------------------------------------------------------------- a compiler that waits

namespace {

// The javac stand-in of tests/stand-ins/javac-waits.sh as the Java tools'
// compiler: it waits until the test lets it end (see the script).
class StandInCompilerTest : public WorkflowTest {
protected:
    void SetUp() override
    {
        WorkflowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        useStandInCompiler("javac-waits.sh");
        log = dir.filePath("standin");
        qputenv("BREWPAD_STANDIN_LOG", QFile::encodeName(log));
        qunsetenv("BREWPAD_STANDIN_SIGNAL");
    }
    void TearDown() override
    {
        writeFile("standin.go", "");
        WorkflowTest::TearDown();
        qunsetenv("BREWPAD_STANDIN_LOG");
        qunsetenv("BREWPAD_STANDIN_SIGNAL");
    }
    // Starts compiling the active window; returns the stand-in's process id
    // and its helper's once it runs.
    std::pair<qint64, qint64> startCompile()
    {
        QFile::remove(log + ".pids");
        QFile::remove(log + ".go");
        trigger(cmd::JavaCompile);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(log + ".pids"); }, 60000));
        const QList<QByteArray> p = readFile(log + ".pids").trimmed().split(' ');
        return p.size() == 2 ? std::pair{p[0].toLongLong(), p[1].toLongLong()} : std::pair<qint64, qint64>{0, 0};
    }
    void finishCompile(const char* status)
    {
        writeFile("standin.go", status);
        waitUntilCompiled();
    }
    QString log;
};

}  // namespace

TEST_F(StandInCompilerTest, SaveDuringCompilationKeepsJavaRunDisabled)
{
    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    startCompile();
    QTest::keyClicks(c->editor(), "/* changed while compiling */");
    trigger(cmd::FileSave);
    finishCompile("0");
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(enabled(cmd::JavaRun));
    EXPECT_TRUE(app->statusMessage().contains("compile again")) << app->statusMessage().toStdString();

    // Compiled again without a save in between: current.
    startCompile();
    finishCompile("0");
    EXPECT_TRUE(c->build().IsCompiled);
    EXPECT_TRUE(enabled(cmd::JavaRun));
}

TEST_F(StandInCompilerTest, StopCompilingByItsKeyEndsTheCompilerGroup)
{
    // Stop Compiling stands in the Java Project menu with the table's caption.
    QMenu* menu = app->menu("Java Project...");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->actions().contains(app->action(cmd::StopCompiling)));
    EXPECT_EQ(app->action(cmd::StopCompiling)->text(), commandInfo(cmd::StopCompiling)->menuCaption());
    EXPECT_FALSE(commandHint(cmd::StopCompiling).isEmpty());

    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    c->build().IsCompiled = true;
    EXPECT_FALSE(enabled(cmd::StopCompiling));
    EDITJAVAOPTIONS = QString();  // present and empty: nothing is passed, nothing shown
    CBDEPEND = true;
    const auto [compiler, helper] = startCompile();
    ASSERT_GT(helper, 0);
    EXPECT_TRUE(enabled(cmd::StopCompiling));
    // The status bar says so while it runs, with the command as it was given.
    EXPECT_EQ(app->Frame->statusBar()->currentMessage(),
              "Compiling: " + compilerPath() + "  -Xprefer:newer " + c->editor()->source()->fileName());

    const size_t boxes = dialogs_.messages.size();
    QTest::keyClick(app->Frame, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !c->compiling(); }, 60000));
    QApplication::processEvents();
    EXPECT_EQ(app->statusMessage(), "Compilation stopped");
    EXPECT_TRUE(app->Frame->statusBar()->currentMessage().isEmpty());
    EXPECT_EQ(dialogs_.messages.size(), boxes);  // no success box
    EXPECT_FALSE(client()->messageList());       // no message window
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(enabled(cmd::StopCompiling));
    EXPECT_TRUE(QTest::qWaitFor([&, a = compiler, b = helper] { return processEnded(a) && processEnded(b); }, 60000));
}

TEST_F(StandInCompilerTest, ClosingTheWindowOrExitingEndsTheCompilerGroup)
{
    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    auto [compiler, helper] = startCompile();
    ASSERT_GT(helper, 0);
    EXPECT_FALSE(app->Frame->statusBar()->currentMessage().isEmpty());
    c->close();
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitFor([&, a = compiler, b = helper] { return processEnded(a) && processEnded(b); }, 60000));
    EXPECT_FALSE(enabled(cmd::StopCompiling));
    EXPECT_TRUE(app->Frame->statusBar()->currentMessage().isEmpty())
        << app->Frame->statusBar()->currentMessage().toStdString();  // no longer "Compiling"

    openJava(dir.filePath("Hello.java"));
    std::tie(compiler, helper) = startCompile();
    ASSERT_GT(helper, 0);
    for (TFileMDIChild* e : client()->editors())
        e->approveClose();
    EXPECT_TRUE(app->Frame->close());
    app.reset();
    EXPECT_TRUE(QTest::qWaitFor([&, a = compiler, b = helper] { return processEnded(a) && processEnded(b); }, 60000));
}

TEST_F(StandInCompilerTest, CrashedCompilerIsNamedInABox)
{
    qputenv("BREWPAD_STANDIN_SIGNAL", "SEGV");
    TFileMDIChild* c = openJava(writeFile("Hello.java", kHello));
    compile();
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_FALSE(client()->messageList());
    ASSERT_FALSE(dialogs_.messages.empty());
    const AskedMessage& box = dialogs_.messages.back();
    EXPECT_EQ(box.caption, "ERROR");
    EXPECT_TRUE(
        box.text.contains(QString("signal %1 (%2)").arg(SIGSEGV).arg(QString::fromLocal8Bit(strsignal(SIGSEGV)))))
        << box.text.toStdString();
}

// Add Node writes its entry with CR LF, also into a project file that had no
// line end yet (the host's own would be LF).
TEST_F(WorkflowTest, AddNodeWritesItsEntryWithCrLf)
{
    const QString jpr = writeFile("one.jpr", "A.java");
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->isProject());
    dialogs_.openPathLists.push_back({dir.filePath("X.java")});
    trigger(cmd::InsertNode);
    trigger(cmd::SaveJavaProj);
    EXPECT_EQ(readFile(jpr), (dir.filePath("X.java") + "\r\nA.java").toUtf8());
}

TEST_F(WorkflowTest, AddNodeWritesCrLfInAProjectOfLfLinesAndKeepsTheirs)
{
    const QString jpr = writeFile("lf.jpr", "A.java\nB.java\n");
    dialogs_.openPaths.push_back(jpr);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_NE(p, nullptr);
    ASSERT_TRUE(p->isProject());
    // On the second line: the entry goes in before B.java.
    QTextCursor c = p->editor()->textCursor();
    c.setPosition(p->editor()->document()->findBlockByNumber(1).position());
    p->editor()->setTextCursor(c);
    dialogs_.openPathLists.push_back({dir.filePath("X.java")});
    trigger(cmd::InsertNode);
    trigger(cmd::SaveJavaProj);
    EXPECT_EQ(readFile(jpr), ("A.java\n" + dir.filePath("X.java") + "\r\nB.java\n").toUtf8());
}
