// SPDX-License-Identifier: GPL-3.0-or-later
// Debug Run through the main window with the real JDK: its commands, the
// console, pauses shown in the source's window, stepping, stopping.
#include "debugrun_fixture.h"

#include "toolchain/running/callstackwindow.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/running/classdebuginfo.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/inlinevalues.h"
#include "toolchain/running/variableswindow.h"
#include "workspace/breakpointsync.h"
#include "workspace/debugcontroller.h"
#include "workspace/panearea.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTextBlock>

#include <signal.h>

namespace {

std::vector<int> linesOf(const Breakpoints& list)
{
    std::vector<int> out;
    for (const Breakpoint& b : list)
        out.push_back(b.line);
    return out;
}

const QByteArray kDemo = R"(public class Demo {
    public static void main(String[] args) throws Exception {
        java.io.BufferedReader in = new java.io.BufferedReader(new java.io.InputStreamReader(System.in));
        System.out.println("ready");
        String line = in.readLine();
        System.out.println("got " + line);
        int a = 1;
        int b = a + 1;
        int c = b + 1;
        long total = 0;
        for (int i = 0; i < 1000; i++)
            total += i;
        System.out.println("sum " + (a + b + c) + " " + total);
        if (line != null && line.equals("throw"))
            throw new IllegalStateException("bad state " + c);
    }
}
)";


}  // namespace

class DebugRunTest : public DebugRunFixture {
protected:
    void SetUp() override
    {
        DebugRunFixture::SetUp();
        openCompiled("Demo.java", kDemo);
    }
    bool waitPaused()
    {
        return QTest::qWaitFor([&] { return debugger().live() && debugger().session()->settled(); }, 30000);
    }
    int caretLine() { return source->editor()->textCursor().blockNumber() + 1; }
};

TEST_F(DebugRunTest, TheConsoleShowsOutputTakesInputAndSaysHowTheProgramEnded)
{
    EXPECT_FALSE(enabled(cmd::StopDebugging));
    EXPECT_FALSE(enabled(cmd::StepOver));
    ASSERT_TRUE(enabled(cmd::DebugRun));
    press(Qt::Key_F5);
    ASSERT_TRUE(console());
    EXPECT_TRUE(enabled(cmd::StopDebugging));
    ASSERT_TRUE(waitForConsole("ready")) << console()->shownText().toStdString();
    typeLine("hello");
    ASSERT_TRUE(waitForConsole("got hello"));
    ASSERT_TRUE(waitForConsole("Program ended with exit code 0"));
    EXPECT_FALSE(debugger().live());
    EXPECT_EQ(app->statusMessage(), "Program ended with exit code 0");
    EXPECT_FALSE(enabled(cmd::StopDebugging));
    EXPECT_TRUE(enabled(cmd::DebugRun));
}

TEST_F(DebugRunTest, AnUncaughtExceptionPausesInTheSourceWindowAndF5Continues)
{
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    typeLine("throw");
    ASSERT_TRUE(waitPaused());
    QApplication::processEvents();
    EXPECT_EQ(current(), source);
    EXPECT_EQ(caretLine(), lineOf(kDemo, "throw new"));
    EXPECT_EQ(app->statusMessage(),
              QStringLiteral("Paused: java.lang.IllegalStateException: bad state 3 at Demo.java:%1")
                  .arg(lineOf(kDemo, "throw new")));
    EXPECT_TRUE(enabled(cmd::StepOver));
    EXPECT_TRUE(enabled(cmd::DebugRun));
    ASSERT_TRUE(debugger().variables());
    ASSERT_TRUE(debugger().callStack());
    // F5 continues: the exception ends the program, its trace in the console.
    press(Qt::Key_F5);
    ASSERT_TRUE(waitForConsole("Program ended with exit code 1"));
    EXPECT_TRUE(console()->shownText().contains("IllegalStateException: bad state 3"));
}

TEST_F(DebugRunTest, AStackTraceLineOpensItsSourceAtItsLine)
{
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    typeLine("throw");
    ASSERT_TRUE(waitPaused());
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("Program ended with exit code 1"));
    source->editor()->moveCursor(QTextCursor::Start);
    auto* view = console()->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(view);
    console()->flush();
    const QTextBlock b = view->document()->find(QStringLiteral("at Demo.main")).block();
    ASSERT_TRUE(b.isValid()) << console()->shownText().toStdString();
    view->setTextCursor(QTextCursor(b));
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(current(), source);
    EXPECT_EQ(caretLine(), lineOf(kDemo, "throw new"));
}

TEST_F(DebugRunTest, StopDebuggingLeavesNoProcess)
{
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    const qint64 pid = debugger().session()->program()->processId();
    ASSERT_GT(pid, 0);
    press(QKeyCombination(Qt::SHIFT, Qt::Key_F5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !debugger().live(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(pid_t(pid), 0) != 0; }, 20000));
    EXPECT_FALSE(enabled(cmd::StopDebugging));
}

TEST_F(DebugRunTest, ClosingTheConsoleEndsTheProgram)
{
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    const qint64 pid = debugger().session()->program()->processId();
    auto* frame = qobject_cast<QWidget*>(console()->parentWidget());
    ASSERT_TRUE(frame);
    frame->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !debugger().live(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(pid_t(pid), 0) != 0; }, 20000));
}

TEST_F(DebugRunTest, AfterADebugRunAFailedCompileShowsItsMessagesAndNoPaneCoversAnother)
{
    // A compilation failed once: its messages are open.
    TFileMDIChild* broken = openJava(writeFile("Broken.java", "class Broken { int x = \"s\"; }\n"));
    compile();
    ASSERT_TRUE(client()->messageList());
    // A Debug Run pauses, with the console, the variables and the call stack open.
    client()->bringToFront(source);
    source->editor()->source()->marks().toggleBreakpoint(lineOf(kDemo, "int b = a + 1"));
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    typeLine("x");
    ASSERT_TRUE(waitPaused());
    trigger(cmd::ShowConsole);
    trigger(cmd::ShowVariables);
    trigger(cmd::ShowCallStack);
    QApplication::processEvents();
    QStringList captions;
    for (const TFileMDIClient::WindowEntry& e : client()->windowList())
        captions << e.caption;
    for (const char* caption : {"Console", "Variables", "Call Stack", "Messages : Broken.err"})
        EXPECT_TRUE(captions.contains(caption)) << caption;

    // F9 fails again: its messages are in front, whole, in the visible workspace.
    client()->bringToFront(broken);
    compile();
    EXPECT_TRUE(app->statusMessage().contains("1 error")) << app->statusMessage().toStdString();
    TBrowserWindow* list = client()->messageList();
    ASSERT_TRUE(list);
    EXPECT_EQ(client()->panes().current(), client()->messageListFrame());
    EXPECT_TRUE(list->isVisible());
    auto rectOf = [&](const QWidget* w) { return QRect(w->mapTo(client(), QPoint(0, 0)), w->size()); };
    EXPECT_TRUE(client()->contentsRect().contains(rectOf(list)));
    EXPECT_EQ(list->viewport()->visibleRegion(), QRegion(list->viewport()->rect())) << "nothing covers the messages";
    // No pane covers another, nor an editor window (maximised ones neither).
    source->showMaximized();
    QApplication::processEvents();
    const auto panes = client()->messageWindows();
    ASSERT_EQ(panes.size(), 4);
    for (const auto* a : panes) {
        if (!a->isVisible())
            continue;
        for (const auto* b : panes) {
            if (a != b && b->isVisible()) {
                EXPECT_FALSE(rectOf(a).intersects(rectOf(b)))
                    << a->windowTitle().toStdString() << " and " << b->windowTitle().toStdString();
            }
        }
        // The MDI windows are seen through the workspace's viewport only.
        for (QMdiSubWindow* w : client()->subWindowList())
            EXPECT_FALSE(rectOf(a).intersects(rectOf(w) & rectOf(client()->viewport())))
                << a->windowTitle().toStdString();
    }
    // Each pane comes forward from the Window menu, the messages again with Compiler Messages.
    client()->bringToFront(panes[1]);
    EXPECT_EQ(client()->panes().current(), panes[1]);
    EXPECT_FALSE(list->isVisible());
    trigger(cmd::CompilerMessages);
    EXPECT_TRUE(list->isVisible());
}

TEST_F(DebugRunTest, ABreakpointStopsOnItsLineInTheActiveSourceAndF10StepsToTheNextLines)
{
    EditControl* e = source->editor();
    e->setTextCursor(QTextCursor(e->document()->findBlockByNumber(lineOf(kDemo, "int a = 1") - 1)));
    e->setFocus();
    press(QKeyCombination(Qt::CTRL, Qt::Key_B));
    EXPECT_EQ(linesOf(e->source()->marks().breakpoints()), std::vector<int>{lineOf(kDemo, "int a = 1")});
    e->moveCursor(QTextCursor::Start);
    press(Qt::Key_F5);
    ASSERT_TRUE(waitForConsole("ready"));
    typeLine("x");
    ASSERT_TRUE(waitPaused());
    QApplication::processEvents();
    EXPECT_EQ(current(), source);
    EXPECT_EQ(e->source()->marks().executionLine(), lineOf(kDemo, "int a = 1"));
    EXPECT_EQ(caretLine(), lineOf(kDemo, "int a = 1"));
    EXPECT_EQ(app->statusMessage(), QStringLiteral("Paused at Demo.java:%1").arg(lineOf(kDemo, "int a = 1")));
    // Stepping leaves the source in front with the focus.
    e->setFocus();
    press(Qt::Key_F10);
    ASSERT_TRUE(waitPaused());
    QApplication::processEvents();
    EXPECT_EQ(e->source()->marks().executionLine(), lineOf(kDemo, "int b = a + 1"));
    press(Qt::Key_F10);
    ASSERT_TRUE(waitPaused());
    QApplication::processEvents();
    EXPECT_EQ(e->source()->marks().executionLine(), lineOf(kDemo, "int c = b + 1"));
    EXPECT_EQ(current(), source);
    EXPECT_TRUE(e->hasFocus());
    press(Qt::Key_F5);
    ASSERT_TRUE(waitForConsole("Program ended with exit code 0"));
    EXPECT_EQ(e->source()->marks().executionLine(), 0);
}

TEST_F(DebugRunTest, WithTheDefaultOptionsTheVariablesShowTheLocalsAndTheClassFileStaysAsItWas)
{
    // F9 with the default options: javac without -g writes no local-variable tables.
    ASSERT_FALSE(CBDEBUG);
    const QString classFile = dir.filePath("Demo.class");
    const QByteArray before = readFile(classFile);
    ASSERT_EQ(classDebugInfo(before), ClassDebugInfo::Absent);
    const QString capture = lastCompilation().capture;
    EditControl* e = source->editor();
    e->setTextCursor(QTextCursor(e->document()->findBlockByNumber(lineOf(kDemo, "int c = b + 1") - 1)));
    e->setFocus();
    press(QKeyCombination(Qt::CTRL, Qt::Key_B));
    press(Qt::Key_F5);
    ASSERT_TRUE(waitForConsole("ready")) << app->statusMessage().toStdString();
    typeLine("x");
    ASSERT_TRUE(waitPaused());
    QStringList shown;
    const bool listed = QTest::qWaitFor(
        [&] {
            shown.clear();
            QTreeWidget* t = debugger().variables() ? debugger().variables()->tree() : nullptr;
            for (int i = 0; t && i < t->topLevelItemCount(); ++i)
                shown << t->topLevelItem(i)->text(0) + "=" + t->topLevelItem(i)->text(1);
            return shown.contains("a=1") && shown.contains("b=2");
        },
        10000);
    EXPECT_TRUE(listed) << shown.join(", ").toStdString();
    EXPECT_TRUE(shown.contains("line=\"x\"")) << shown.join(", ").toStdString();
    EXPECT_EQ(readFile(classFile), before) << "the user's class file was changed";
    EXPECT_EQ(lastCompilation().capture, capture) << "F8 and Compiler Messages would show another compilation";
    EXPECT_EQ(QDir(dir.path()).entryList({"*.class"}, QDir::Files), QStringList{"Demo.class"});
    press(Qt::Key_F5);
    ASSERT_TRUE(waitForConsole("Program ended with exit code 0"));
}

TEST(ClassDebugInfo, ReadsWhetherTheMethodsHaveLocalVariableTables)
{
    QTemporaryDir d;
    writeFile(d.filePath("P.java"),
              "interface I { void f(); }\npublic class P { long x = 5L; double y = 1.5;\n"
              "  static int g(int a) { int b = a + 1; return b; } }\n");
    for (const bool debug : {false, true}) {
        QProcess javac;
        javac.setWorkingDirectory(d.path());
        QStringList args{"P.java"};
        if (debug)
            args.prepend("-g");
        javac.start("/usr/lib/jvm/java-17-openjdk-amd64/bin/javac", args);
        ASSERT_TRUE(javac.waitForFinished(60000) && javac.exitCode() == 0);
        EXPECT_EQ(classFileDebugInfo(d.filePath("P.class")),
                  debug ? ClassDebugInfo::Present : ClassDebugInfo::Absent);
        EXPECT_EQ(classFileDebugInfo(d.filePath("I.class")), ClassDebugInfo::Unreadable);  // no code
    }
    QByteArray cut = readFile(d.filePath("P.class"));
    EXPECT_EQ(classDebugInfo(cut.left(cut.size() / 2)), ClassDebugInfo::Unreadable);
    EXPECT_EQ(classDebugInfo("not a class"), ClassDebugInfo::Unreadable);
    EXPECT_EQ(classFileDebugInfo(d.filePath("Missing.class")), ClassDebugInfo::Unreadable);
}

TEST_F(DebugRunTest, CommandsAreEnabledExactlyWhenTheyCanActAfterTwoHundredQuickSteps)
{
    EditControl* e = source->editor();
    e->source()->marks().toggleBreakpoint(lineOf(kDemo, "int a = 1"));
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("ready"));
    EXPECT_FALSE(enabled(cmd::StepOver));
    EXPECT_FALSE(enabled(cmd::DebugRun));
    EXPECT_TRUE(enabled(cmd::StopDebugging));
    typeLine("x");
    ASSERT_TRUE(waitPaused());
    // Steps through the loop as fast as the commands allow.
    int steps = 0;
    for (int i = 0; i < 200 && debugger().live(); ++i) {
        const int id = i % 2 == 0 ? cmd::StepInto : cmd::StepOver;
        if (!QTest::qWaitFor([&] { return enabled(id) || !debugger().live(); }, 30000))
            break;
        if (!debugger().live())
            break;
        trigger(id);
        ++steps;
        const bool paused = debugger().session()->settled();
        EXPECT_EQ(enabled(cmd::StepOver), paused);
        EXPECT_EQ(enabled(cmd::StepInto), paused);
        EXPECT_EQ(enabled(cmd::StepOut), paused);
        EXPECT_EQ(enabled(cmd::RunToCursor), paused);
    }
    EXPECT_EQ(steps, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !debugger().live() || debugger().session()->settled(); }, 30000));
    const bool paused = debugger().live();
    EXPECT_TRUE(paused);
    EXPECT_EQ(enabled(cmd::StepOver), paused);
    EXPECT_EQ(enabled(cmd::DebugRun), true);
    EXPECT_EQ(enabled(cmd::StopDebugging), paused);
}

TEST_F(DebugRunTest, AWindowOpenedLaterShowsTheBreakpointsOfItsFileWithTheirValues)
{
    source->editor()->source()->marks().toggleBreakpoint(lineOf(kDemo, "int a = 1"));
    Breakpoint counted;
    counted.line = lineOf(kDemo, "int b = a + 1");
    counted.enabled = false;
    counted.hitCount = 3;
    counted.condition = "a > 0";
    source->editor()->source()->marks().setBreakpoint(counted);
    const Breakpoints before = source->editor()->source()->marks().breakpoints();
    ASSERT_EQ(before.size(), 2);
    const Breakpoints stored = debugger().breakpoints().store().breakpoints(dir.filePath("Demo.java"));
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[1].hitCount, 3);
    EXPECT_EQ(stored[1].file, BreakpointStore::key(dir.filePath("Demo.java")));
    source->approveClose();
    source->close();
    QApplication::processEvents();
    source = openJava(dir.filePath("Demo.java"));
    ASSERT_TRUE(source);
    EXPECT_EQ(source->editor()->source()->marks().breakpoints(), before);
    EXPECT_EQ(linesOf(source->editor()->source()->marks().breakpoints()),
              std::vector<int>({lineOf(kDemo, "int a = 1"), lineOf(kDemo, "int b = a + 1")}));
    EXPECT_TRUE(source->editor()->source()->marks().breakpoints().first().enabled);
}

// Once Debug Run can run the active window's class, the debugger is started
// ahead; the run takes it, and the next one is started when it has ended.
TEST_F(DebugRunTest, TheDebuggerIsStartedAheadAndTakenByTheRun)
{
    ASSERT_TRUE(QTest::qWaitFor([] { return DebugSession::preparedHelper() > 0; }, 10000));
    const qint64 ahead = DebugSession::preparedHelper();
    source->editor()->source()->marks().toggleBreakpoint(lineOf(kDemo, "int a = 1"));
    press(Qt::Key_F5);
    ASSERT_TRUE(QTest::qWaitFor([] { return DebugSession::preparedHelper() == 0; }, 20000));
    ASSERT_TRUE(waitForConsole("ready"));
    typeLine("x");
    ASSERT_TRUE(waitPaused());
    EXPECT_EQ(debugger().session()->lastPause().line, lineOf(kDemo, "int a = 1"));
    press(QKeyCombination(Qt::SHIFT, Qt::Key_F5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !debugger().live(); }, 20000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return DebugSession::preparedHelper() > 0 && DebugSession::preparedHelper() != ahead; }, 10000));
}

// Saved under a new name, a window's file takes its breakpoints along: the
// old name keeps none, and the new one shows them when opened again.
TEST_F(DebugRunTest, BreakpointsFollowTheirWindowsFileSavedUnderANewName)
{
    const int line = lineOf(kDemo, "int a = 1");
    const QString before = source->editor()->source()->fileName();
    source->editor()->source()->marks().toggleBreakpoint(line);
    ASSERT_TRUE(QDir(dir.path()).mkpath("moved"));
    const QString moved = dir.filePath("moved/Demo.java");
    dialogs_.savePaths.push_back(moved);
    trigger(cmd::FileSaveAs);
    ASSERT_EQ(source->editor()->source()->fileName(), moved);
    const BreakpointStore& store = debugger().breakpoints().store();
    EXPECT_EQ(linesOf(store.breakpoints(moved)), std::vector<int>{line});
    EXPECT_TRUE(store.breakpoints(before).isEmpty());
    source->approveClose();
    source->close();
    QApplication::processEvents();
    EXPECT_TRUE(openJava(before)->editor()->source()->marks().breakpoints().isEmpty());
    EXPECT_EQ(linesOf(openJava(moved)->editor()->source()->marks().breakpoints()), std::vector<int>{line});
}

TEST(InlineValues, EachLocalAtTheLastLineAboveThePauseThatSetsIt)
{
    const QString text =
        "int a = 1;\n"
        "int b = a + 1;\n"
        "if (a == b) a = 3;\n"
        "for (int i = 0; i < 3; i++)\n"
        "    b = b + i;\n"
        "a = 9;\n";
    const QList<DebugValue> values = {{"local", "a", "int", "3", 0},
                                      {"local", "b", "int", "4", 0},
                                      {"local", "i", "int", "2", 0},
                                      {"static", "s", "int", "7", 0}};
    const QMap<int, QString> shown = inlineValueLines(text, 5, values);
    // "a == b" is no assignment; line 6 lies below the pause.
    EXPECT_EQ(shown, (QMap<int, QString>{{3, "a = 3"}, {4, "i = 2"}, {5, "b = 4"}}));
    // A line that only uses a name, after a keyword, does not set it.
    const QString uses =
        "static int f(int n, String s) {\n"
        "    int[] r = {n};\n"
        "    if (n < 0) throw new IllegalStateException(s);\n"
        "    java.util.List<String> l = java.util.List.of(s);\n"
        "    if (n == 0) return n;\n"
        "    return r[0] + l.size();\n";
    const QList<DebugValue> locals = {{"argument", "n", "int", "2", 0},
                                      {"argument", "s", "String", "\"x\"", 0},
                                      {"local", "r", "int[]", "int[1]", 0},
                                      {"local", "l", "List", "List12", 0}};
    EXPECT_EQ(inlineValueLines(uses, 6, locals),
              (QMap<int, QString>{{1, "n = 2, s = \"x\""}, {2, "r = int[1]"}, {4, "l = List12"}}));
}

TEST_F(DebugRunTest, AProjectRunsItsClassAsJavaRunChoosesIt)
{
    client()->CmOpenJavaProjFile(writeFile("demo.jpr", (dir.filePath("Demo.java") + "\r\n").toUtf8()));
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    compile();  // Demo.class is current: nothing to compile, and the project counts as compiled
    ASSERT_TRUE(enabled(cmd::DebugRun));
    press(Qt::Key_F5);
    ASSERT_TRUE(console());
    ASSERT_TRUE(waitForConsole("ready")) << console()->shownText().toStdString();
    typeLine("hello");
    ASSERT_TRUE(waitForConsole("got hello"));
    ASSERT_TRUE(waitForConsole("Program ended with exit code 0"));
}
