// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger with the real JDK: a small program compiled with `javac -g`
// once, run under DebugSession (the helper jar and the program's own
// process), driven through its methods and signals as the windows will.
#include "debugger_fixture.h"

#include "resources/colours.h"
#include "toolchain/running/callstackwindow.h"
#include "toolchain/running/debugprotocol.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/stacktraceline.h"
#include "toolchain/running/variableswindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <csignal>
#include <memory>

namespace {

// Lines marked "//@name" are found by name.
const char kDemo[] = R"(package demo;

import java.io.*;

public class Demo {
    static int counter = 7;
    int width = 3;
    String title = "box";

    int area(int h, Demo other) {
        int a = width * h; //@area
        return a + other.width; //@areaReturn
    }

    static class Inner {
        int twice(int x) {
            return 2 * x; //@inner
        }
    }

    public static void main(String[] args) throws Exception {
        int n = 5; //@first
        String s = "hello"; //@s
        int[] arr = {1, 2, 3};
        int[][] grid = {{1, 2}, {3, 4}};
        Demo d = new Demo(); //@d
        //@blank
        int r = d.area(n, d); //@call
        int t = new Inner().twice(r); //@twice
        for (int i = 0; i < 3; i++) {
            counter += i; //@loop
        }
        System.out.println("r=" + r + " t=" + t); //@print
        String mode = args.length > 0 ? args[0] : "";
        if (mode.equals("read")) {
            BufferedReader in = new BufferedReader(new InputStreamReader(System.in));
            System.out.println("got " + in.readLine());
        } else if (mode.equals("throw")) {
            throw new IllegalStateException("bad state " + n); //@throw
        } else if (mode.equals("parse")) {
            Integer.parseInt("x" + s); //@parse
        } else if (mode.equals("steps")) {
            for (int k = 0; k < 100000; k++) {
                counter += k % 3; //@steps
                counter -= k % 3;
            }
        } else if (mode.equals("child")) {
            new ProcessBuilder("sleep", "300").start();
            Thread.sleep(300000); //@sleep
        }
    }
}
)";

int lineOf(const char* name)
{
    const QList<QByteArray> lines = QByteArray(kDemo).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].endsWith(QByteArray("//@") + name))
            return i + 1;
    }
    ADD_FAILURE() << "no line " << name;
    return 0;
}


// An enabled breakpoint without condition on `line`.
Breakpoint plain(int line)
{
    Breakpoint b;
    b.line = line;
    return b;
}

struct DebugRun {
    DebugSession session;
    QList<DebugPause> pauses;
    QByteArray out, err;
    QStringList errors;
    QString endText;
    bool ended = false;
    QList<std::tuple<QString, int, int>> breakpoints;
};

}  // namespace

class DebuggerTest : public DebuggedProgramTest {
protected:
    static void SetUpTestSuite() { compileProgram("demo/Demo.java", kDemo); }
    void SetUp() override { skipWithout(builtFile(BP_DEBUGGER_JAR)); }

    // Starts the demo with `args`, plain breakpoints on `lines` set before it runs.
    std::unique_ptr<DebugRun> start(const QStringList& args, std::initializer_list<int> lines)
    {
        Breakpoints list;
        for (const int line : lines)
            list << plain(line);
        return startWith(args, list);
    }
    std::unique_ptr<DebugRun> startWith(const QStringList& args, const Breakpoints& breakpoints)
    {
        QString cmdline;
        for (const QString& a : args)
            cmdline += a + ' ';
        return startCommand(
            javaProgramCommand(kJdk + "/java", "demo.Demo", dir_->path(), std::nullopt, std::nullopt, cmdline, {}),
            breakpoints);
    }
    // Starts `command` as the program (the agent's option goes first among its arguments).
    std::unique_ptr<DebugRun> startCommand(const ProgramCommand& command, const Breakpoints& breakpoints)
    {
        auto run = std::make_unique<DebugRun>();
        DebugRun* r = run.get();
        r->session.setJar(builtFile(BP_DEBUGGER_JAR));
        QObject::connect(&r->session, &DebugSession::paused, [r](const DebugPause& p) { r->pauses << p; });
        QObject::connect(&r->session, &DebugSession::error, [r](const QString& e) { r->errors << e; });
        QObject::connect(&r->session, &DebugSession::ended, [r] { r->ended = true; });
        QObject::connect(&r->session, &DebugSession::breakpointSet,
                         [r](const QString& c, int l, int a) { r->breakpoints << std::make_tuple(c, l, a); });
        ProgramProcess* p = r->session.program();
        QObject::connect(p, &ProgramProcess::standardOutput, [r](const QByteArray& b) { r->out += b; });
        QObject::connect(p, &ProgramProcess::standardError, [r](const QByteArray& b) { r->err += b; });
        QObject::connect(p, &ProgramProcess::ended, [r](const QString& t) { r->endText = t; });
        for (const Breakpoint& b : breakpoints)
            r->session.setBreakpoint("demo.Demo", b);
        r->session.start(kJdk + "/java", command);
        return run;
    }
    // Waits until the program is paused with every motion done, or has ended.
    static bool settle(DebugRun& r)
    {
        return QTest::qWaitFor([&] { return r.session.settled() || r.ended; }, 30000) && !r.ended;
    }
    static bool finish(DebugRun& r)
    {
        return QTest::qWaitFor([&] { return r.ended; }, 30000);
    }
    static QList<DebugValue> variables(DebugRun& r, int frame = 0, QString* note = nullptr)
    {
        QList<DebugValue> got;
        bool done = false;
        auto c = QObject::connect(&r.session, &DebugSession::variables,
                                  [&](qint64, int, const QString& n, const QList<DebugValue>& v) {
                                      got = v;
                                      if (note)
                                          *note = n;
                                      done = true;
                                  });
        r.session.requestVariables(frame);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
        QObject::disconnect(c);
        return got;
    }
    static QList<DebugValue> expand(DebugRun& r, qint64 id, int start = 0, int* total = nullptr)
    {
        QList<DebugValue> got;
        bool done = false;
        auto c = QObject::connect(&r.session, &DebugSession::children,
                                  [&](qint64, int, int t, const QList<DebugValue>& v) {
                                      got = v;
                                      if (total)
                                          *total = t;
                                      done = true;
                                  });
        r.session.expand(id, start);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
        QObject::disconnect(c);
        return got;
    }
    static DebugValue find(const QList<DebugValue>& v, const QString& name)
    {
        for (const DebugValue& x : v)
            if (x.name == name)
                return x;
        ADD_FAILURE() << "no value " << name.toStdString();
        return {};
    }
};


TEST_F(DebuggerTest, BreakpointOnABlankLineMovesToTheNextCodeLineAndShowsTheValues)
{
    auto r = start({}, {lineOf("blank")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString() << r->err.toStdString();
    ASSERT_FALSE(r->breakpoints.isEmpty());
    EXPECT_EQ(r->breakpoints.last(), std::make_tuple(QString("demo.Demo"), lineOf("blank"), lineOf("call")));
    const DebugPause p = r->session.lastPause();
    EXPECT_EQ(p.line, lineOf("call"));
    EXPECT_EQ(p.reason, "breakpoint");
    EXPECT_EQ(p.className, "demo.Demo");
    EXPECT_EQ(p.file, "Demo.java");

    const QList<DebugValue> v = variables(*r);
    EXPECT_EQ(find(v, "n").text, "5");
    EXPECT_EQ(find(v, "n").kind, "local");
    EXPECT_EQ(find(v, "s").text, "\"hello\"");
    EXPECT_EQ(find(v, "args").kind, "argument");
    EXPECT_EQ(find(v, "counter").kind, "static");
    EXPECT_EQ(find(v, "counter").text, "7");
    const DebugValue arr = find(v, "arr");
    EXPECT_EQ(arr.text, "int[3]");
    int total = 0;
    const QList<DebugValue> elems = expand(*r, arr.id, 0, &total);
    EXPECT_EQ(total, 3);
    ASSERT_EQ(elems.size(), 3);
    EXPECT_EQ(elems[2].name, "[2]");
    EXPECT_EQ(elems[2].text, "3");
    const QList<DebugValue> fields = expand(*r, find(v, "d").id);
    EXPECT_EQ(find(fields, "width").text, "3");
    EXPECT_EQ(find(fields, "title").text, "\"box\"");

    // A 2-D array: rows, then a row's elements; the frame's values stay.
    const DebugValue grid = find(v, "grid");
    EXPECT_EQ(grid.text, "int[2][]");
    const QList<DebugValue> rows = expand(*r, grid.id);
    ASSERT_EQ(rows.size(), 2);
    const QList<DebugValue> row = expand(*r, rows[1].id);
    ASSERT_EQ(row.size(), 2);
    EXPECT_EQ(row[0].text, "3");
    EXPECT_EQ(variables(*r).size(), v.size());
    EXPECT_EQ(expand(*r, find(v, "s").id).value(0).text, "\"hello\"");

    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->out, "r=18 t=36\n");
    EXPECT_EQ(r->endText, "Program ended with exit code 0");
    EXPECT_TRUE(r->errors.isEmpty()) << r->errors.join('\n').toStdString();
}

TEST_F(DebuggerTest, StepsLandWhereJdbWould)
{
    auto r = start({}, {lineOf("call")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    r->session.stepInto();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("area"));
    EXPECT_EQ(r->session.lastPause().reason, "step");
    // Parameters, object references included, at the first stop; `this` first.
    const QList<DebugValue> v = variables(*r);
    ASSERT_FALSE(v.isEmpty());
    EXPECT_EQ(v[0].name, "this");
    EXPECT_NE(v[0].id, 0);
    EXPECT_EQ(find(v, "h").text, "5");
    EXPECT_EQ(find(v, "other").kind, "argument");
    EXPECT_EQ(find(v, "other").id, v[0].id);
    r->session.stepOver();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("areaReturn"));
    r->session.stepOut();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("call"));
    r->session.stepOver();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("twice"));
    // Into the constructor of Inner (its class line) first, as jdb's step.
    r->session.stepInto();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("inner") - 2);
    r->session.stepOut();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("twice"));
    r->session.stepInto();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("inner"));
    EXPECT_EQ(r->session.lastPause().className, "demo.Demo$Inner");
    r->session.runToCursor("demo.Demo", lineOf("print"));
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("print"));
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(DebuggerTest, BreakpointInALoopStopsAtEveryPassAndInANestedClass)
{
    auto r = start({}, {lineOf("loop"), lineOf("inner")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("inner"));
    EXPECT_EQ(r->session.lastPause().className, "demo.Demo$Inner");
    EXPECT_EQ(find(variables(*r), "x").text, "18");
    for (int pass = 0; pass < 3; ++pass) {
        r->session.continue_();
        ASSERT_TRUE(settle(*r));
        EXPECT_EQ(r->session.lastPause().line, lineOf("loop"));
        EXPECT_EQ(find(variables(*r), "i").text, QString::number(pass));
    }
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses.size(), 4);
}

TEST_F(DebuggerTest, ADisabledBreakpointStopsNothingAndEnablingItStopsThere)
{
    Breakpoint loop, call;
    loop.line = lineOf("loop");
    loop.enabled = false;
    call.line = lineOf("call");
    auto r = startWith({}, {loop, call});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("call"));
    EXPECT_TRUE(r->breakpoints.contains(std::make_tuple(QString("demo.Demo"), lineOf("loop"), 0)));
    // Disabled while paused: the program runs past it to its end.
    call.enabled = false;
    r->session.setBreakpoint("demo.Demo", call);
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses.size(), 1);
    EXPECT_TRUE(r->errors.isEmpty()) << r->errors.join('\n').toStdString();

    // Set disabled, then enabled while the program is paused: it stops there.
    loop.enabled = false;
    r = startWith({}, {loop, call});
    call.enabled = true;
    call.line = lineOf("twice");
    r->session.setBreakpoint("demo.Demo", call);
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("twice"));
    loop.enabled = true;
    r->session.setBreakpoint("demo.Demo", loop);
    r->session.continue_();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(r->session.lastPause().line, lineOf("loop"));
    EXPECT_EQ(find(variables(*r), "i").text, "0");
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(DebuggerTest, AHitCountOfThreeStopsFromTheThirdPassOfALoop)
{
    Breakpoint loop;
    loop.line = lineOf("loop");
    loop.hitCount = 3;
    loop.condition = "i >= 1";  // true from the second pass: the count decides
    auto r = startWith({}, {loop});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("loop"));
    EXPECT_EQ(find(variables(*r), "i").text, "2") << "the third pass";
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses.size(), 1) << "the loop has three passes";
    EXPECT_TRUE(r->errors.isEmpty()) << r->errors.join('\n').toStdString();

    // A count of two: the second pass, then every pass after it.
    loop.hitCount = 2;
    r = startWith({}, {loop});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(find(variables(*r), "i").text, "1");
    r->session.continue_();
    ASSERT_TRUE(settle(*r));
    EXPECT_EQ(find(variables(*r), "i").text, "2");
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses.size(), 2);
}

TEST_F(DebuggerTest, UncaughtExceptionPausesAtTheLineThatThrewIt)
{
    auto r = start({"throw"}, {});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    DebugPause p = r->session.lastPause();
    EXPECT_EQ(p.reason, "exception");
    EXPECT_EQ(p.line, lineOf("throw"));
    EXPECT_EQ(p.exceptionClass, "java.lang.IllegalStateException");
    EXPECT_EQ(p.exceptionMessage, "bad state 5");
    const QList<DebugValue> v = variables(*r);
    EXPECT_EQ(find(v, "<exception>").kind, "exception");
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_TRUE(r->err.contains("IllegalStateException: bad state 5")) << r->err.toStdString();
    EXPECT_EQ(r->endText, "Program ended with exit code 1");

    // Thrown inside the JDK: the program's own line is the one shown.
    r = start({"parse"}, {});
    ASSERT_TRUE(settle(*r));
    p = r->session.lastPause();
    EXPECT_EQ(p.exceptionClass, "java.lang.NumberFormatException");
    EXPECT_EQ(p.line, lineOf("parse"));
    EXPECT_EQ(p.className, "demo.Demo");
    EXPECT_GT(p.frame, 0);
    EXPECT_EQ(find(variables(*r, p.frame), "s").text, "\"hello\"");
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(DebuggerTest, InputWrittenReachesTheProgram)
{
    auto r = start({"read"}, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->out.contains("r=18"); }, 30000));
    r->session.program()->writeInput("typed line\n");
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->out, "r=18 t=36\ngot typed line\n");
    EXPECT_EQ(r->endText, "Program ended with exit code 0");

    // Ctrl+D: the end of input.
    r = start({"read"}, {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->out.contains("r=18"); }, 30000));
    r->session.program()->closeInput();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->out, "r=18 t=36\ngot null\n");
}

namespace {
// The processes whose process group is `pgid`.
QList<qint64> groupMembers(qint64 pgid)
{
    QList<qint64> out;
    for (const QString& e : QDir("/proc").entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = e.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray stat = readFile("/proc/" + e + "/stat");
        const QList<QByteArray> f = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 2 && f[2].toLongLong() == pgid)
            out << pid;
    }
    return out;
}
}  // namespace

TEST_F(DebuggerTest, StopLeavesNoProcessBehind)
{
    auto r = start({"child"}, {lineOf("sleep")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    const qint64 pid = r->session.program()->processId();
    const QList<qint64> group = groupMembers(pid);
    EXPECT_GE(group.size(), 2) << "the program and the sleep it started";
    r->session.stop();
    ASSERT_TRUE(finish(*r));
    for (qint64 p : group)
        EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(p); }, 5000)) << p;
    EXPECT_TRUE(r->endText.startsWith("Program ended by signal 9")) << r->endText.toStdString();

    // Destroying a session in the middle ends everything too.
    r = start({"child"}, {lineOf("sleep")});
    ASSERT_TRUE(settle(*r));
    const QList<qint64> second = groupMembers(r->session.program()->processId());
    r.reset();
    for (qint64 p : second)
        EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(p); }, 5000)) << p;
}

TEST_F(DebuggerTest, TwoHundredQuickStepsEndInAConsistentPause)
{
    auto r = start({"steps"}, {lineOf("steps")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    for (int i = 0; i < 200; ++i)
        r->session.stepOver();
    ASSERT_TRUE(settle(*r));
    const DebugPause p = r->session.lastPause();
    EXPECT_EQ(p.reason, "step");
    // A pass steps through the loop's two lines and its `for` line: 200
    // steps from the first line are 66 passes and two lines further, at the
    // `for` line before k++.
    EXPECT_EQ(p.line, lineOf("steps") - 1) << p.line;
    QList<DebugFrame> frames;
    QObject::connect(&r->session, &DebugSession::frames, [&](qint64, const QList<DebugFrame>& f) { frames = f; });
    r->session.requestFrames();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frames.isEmpty(); }, 10000));
    EXPECT_EQ(frames[0].line, p.line);
    EXPECT_EQ(frames[0].method, "main");
    EXPECT_EQ(find(variables(*r), "k").text, "66");
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(DebuggerTest, APreparedHelperServesTheNextRun)
{
    DebugSession::prepareHelper(kJdk + "/java", builtFile(BP_DEBUGGER_JAR));
    QTest::qWait(300);
    auto r = start({}, {lineOf("loop")});
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("loop"));
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(DebuggerTest, TheDebugPortTakesNoSecondConnection)
{
    auto r = start({}, {lineOf("call")});
    ASSERT_TRUE(settle(*r));
    ASSERT_GT(r->session.debugPort(), 0);
    QProcess probe;  // bash's /dev/tcp: a plain connection attempt
    probe.start("/bin/bash", {"-c", QString("exec 3<>/dev/tcp/127.0.0.1/%1").arg(r->session.debugPort())});
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_NE(probe.exitCode(), 0) << "connected to the debug port";
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

// A script in the fixture's folder, run as the program (its first argument is the agent's option).
ProgramCommand scriptProgram(const QString& dir, const QString& name, const QByteArray& body)
{
    const QString path = dir + "/" + name;
    writeFile(path, "#!/bin/bash\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return {path, {}, dir};
}

TEST_F(DebuggerTest, AConnectionFromAnotherProcessIsRefusedAndTheProgramsOwnIsStillTaken)
{
    // The program connects half a second late, so that the test's own connection comes first.
    auto r = startCommand(scriptProgram(dir_->path(), "late.sh",
                                        "cd \"$(dirname \"$0\")\"; sleep 0.5; exec " + kJdk.toUtf8() +
                                            "/java \"$1\" -cp . demo.Demo\n"),
                          {plain(lineOf("call"))});
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->session.debugPort() > 0; }, 20000));
    QProcess other;  // another process than the program: connects, and reads until the debugger closes it
    other.start(
        "/bin/bash",
        {"-c", QString("exec 3<>/dev/tcp/127.0.0.1/%1 || exit 9; cat <&3 >/dev/null").arg(r->session.debugPort())});
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.state() == QProcess::NotRunning; }, 10000))
        << "the other process's connection was kept";
    EXPECT_EQ(other.exitCode(), 0) << "the other process could not connect";
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(r->session.lastPause().line, lineOf("call"));
    EXPECT_TRUE(r->errors.isEmpty()) << r->errors.join('\n').toStdString();
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

// A stand-in for a program under the debugger: it connects to the debugger's
// port, answers the JDWP handshake, then does `then`.
ProgramCommand fakeDebuggee(const QString& dir, const QString& name, const QByteArray& then)
{
    return scriptProgram(dir, name,
                         "port=${1##*:}; port=${port%%,*}\n"
                         "exec 3<>/dev/tcp/127.0.0.1/$port || exit 3\n"
                         "read -r -N 14 -u 3 hello\n"
                         "printf 'JDWP-Handshake' >&3\n" +
                             then + "\nsleep 60\n");
}

void expectNoAnswerSaid(DebugRun& r)
{
    ASSERT_EQ(r.errors.size(), 1) << r.errors.join('\n').toStdString();
    const QString& e = r.errors[0];
    EXPECT_TRUE(e.startsWith("The program did not answer the debugger: ")) << e.toStdString();
    EXPECT_FALSE(e.contains('\n') || e.contains("Exception") || e.contains("\tat ")) << e.toStdString();
    EXPECT_FALSE(r.session.program()->running()) << "the program was left running";
}

TEST_F(DebuggerTest, AProgramSilentAfterItsHandshakeIsGivenUpAndEnded)
{
    auto r = startCommand(fakeDebuggee(dir_->path(), "silent.sh", ""), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->ended; }, 25000)) << "Debug Run stays in Starting";
    expectNoAnswerSaid(*r);
    EXPECT_TRUE(r->errors.value(0).contains("sent nothing")) << r->errors.value(0).toStdString();
}

TEST_F(DebuggerTest, AProgramSendingAnAbsurdPacketLengthIsGivenUpAndEnded)
{
    auto r = startCommand(fakeDebuggee(dir_->path(), "liar.sh", "printf '\\x7f\\xff\\xff\\xff' >&3"), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return r->ended; }, 25000)) << "Debug Run stays in Starting";
    expectNoAnswerSaid(*r);
    EXPECT_TRUE(r->errors.value(0).contains("2147483647 bytes")) << r->errors.value(0).toStdString();
}

TEST(DebugProtocol, AHelpersFailureIsOneLineWithoutItsStack)
{
    EXPECT_EQ(javaFailureLine("Exception in thread \"main\" java.lang.OutOfMemoryError: Java heap space\n"
                              "\tat DebuggerConnection.readPacket(DebuggerConnection.java:170)\n"
                              "\t... 3 more\n"),
              "java.lang.OutOfMemoryError: Java heap space");
    EXPECT_EQ(javaFailureLine("\n  Error: Unable to access jarfile x.jar\n"),
              "Error: Unable to access jarfile x.jar");
    EXPECT_EQ(javaFailureLine(""), "");
}

namespace {
// The children of process `pid` that run the debugger's rehearsal program.
QList<qint64> rehearsalPrograms(qint64 pid)
{
    QList<qint64> out;
    const QString tasks = QString("/proc/%1/task").arg(pid);
    for (const QString& t : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QByteArray& c : readFile(tasks + "/" + t + "/children").split(' ')) {
            if (!c.trimmed().isEmpty() && readFile("/proc/" + QString::fromLatin1(c.trimmed()) + "/cmdline")
                                              .contains("DebuggerRehearsalProgram"))
                out << c.trimmed().toLongLong();
        }
    }
    return out;
}

QString readyLine(QProcess& helper)
{
    if (!helper.canReadLine() && !helper.waitForReadyRead(20000))
        return {};
    return decodeDebugLine(helper.readLine().trimmed()).value(0);
}
}  // namespace

TEST_F(DebuggerTest, AHelperStartedAheadRehearsesOnItsOwnProgramSilentlyAndThenServes)
{
    QProcess helper;
    helper.start(kJdk + "/java", {"-jar", builtFile(BP_DEBUGGER_JAR), "--rehearse"});
    ASSERT_TRUE(helper.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rehearsalPrograms(helper.processId()).isEmpty(); }, 20000))
        << "no rehearsal program was started";
    ASSERT_TRUE(QTest::qWaitFor([&] { return rehearsalPrograms(helper.processId()).isEmpty(); }, 20000))
        << "the rehearsal program did not end";
    QTest::qWait(200);
    EXPECT_EQ(helper.readAllStandardOutput(), "") << "a rehearsal must tell Brewpad nothing";
    EXPECT_EQ(helper.readAllStandardError(), "");
    helper.write(encodeDebugLine({"listen"}));
    EXPECT_EQ(readyLine(helper), "ready");
    helper.kill();
    helper.waitForFinished();
}

TEST_F(DebuggerTest, ListenInTheMiddleOfARehearsalEndsItsProgramAndIsServed)
{
    QProcess helper;
    helper.start(kJdk + "/java", {"-jar", builtFile(BP_DEBUGGER_JAR), "--rehearse"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rehearsalPrograms(helper.processId()).isEmpty(); }, 20000));
    const QList<qint64> programs = rehearsalPrograms(helper.processId());
    helper.write(encodeDebugLine({"listen"}));
    EXPECT_EQ(readyLine(helper), "ready");
    for (qint64 p : programs)
        EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(p); }, 5000)) << p;
    EXPECT_EQ(helper.readAllStandardError(), "") << "an abandoned rehearsal is no failure";
    helper.kill();
    helper.waitForFinished();
}

TEST_F(DebuggerTest, WithoutJdiOrHelperTheSessionSaysWhy)
{
    // A java whose module graph lacks jdk.jdi, as a runtime-only JDK's.
    qputenv("JDK_JAVA_OPTIONS", "--limit-modules java.base");
    auto r = start({}, {});
    EXPECT_TRUE(finish(*r));
    qunsetenv("JDK_JAVA_OPTIONS");
    ASSERT_EQ(r->errors.size(), 1);
    EXPECT_TRUE(r->errors[0].contains("needs a JDK with the module jdk.jdi")) << r->errors[0].toStdString();

    DebugSession none;
    none.setJar(dir_->filePath("missing.jar"));
    QStringList errors;
    QObject::connect(&none, &DebugSession::error, [&](const QString& e) { errors << e; });
    none.start(kJdk + "/java", javaProgramCommand(kJdk + "/java", "demo.Demo", dir_->path(), {}, {}, {}, {}));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("brewpad-debugger.jar")) << errors[0].toStdString();
    EXPECT_EQ(none.state(), DebugSession::State::Ended);
}

TEST(ProgramProcess, EndsWithItsExitCodeOrSignalAndDeliversOutputInChunks)
{
    ProgramProcess p;
    QByteArray out;
    QString end;
    QObject::connect(&p, &ProgramProcess::standardOutput, [&](const QByteArray& b) { out += b; });
    QObject::connect(&p, &ProgramProcess::ended, [&](const QString& t) { end = t; });
    p.start({"/bin/sh", {"-c", "pwd; echo err >&2; kill -TERM $$"}, "/tmp"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !end.isEmpty(); }, 10000));
    EXPECT_EQ(out, "/tmp\n");
    EXPECT_EQ(end, "Program ended by signal 15 (SIGTERM)");
    EXPECT_EQ(programEndText(false, 3), "Program ended with exit code 3");
}

TEST(ProgramProcess, CommandIsJavaRunsWithTheClassPathOfTheCompilerOptions)
{
    bool ok = false;
    const ProgramCommand c = javaProgramCommand("/jdk/bin/java", "Hello", "/src", QString("classes"),
                                                QString("/lib/a.jar:/lib/b"), QString("one 'two three' \"4\""),
                                                {"-Dx=1"}, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(c.program, "/jdk/bin/java");
    EXPECT_EQ(c.workDir, "/src");
    EXPECT_EQ(c.args, QStringList({"-Dx=1", "-classpath", "/src/classes:/lib/a.jar:/lib/b", "Hello", "one",
                                   "two three", "4"}));
    // Without those options, the class's folder.
    EXPECT_EQ(javaProgramCommand("java", "Hello", "/src", {}, {}, {}, {}).args,
              QStringList({"-classpath", "/src", "Hello"}));
    javaProgramCommand("java", "Hello", "/src", {}, {}, QString("'open"), {}, &ok);
    EXPECT_FALSE(ok);
}

TEST(StackTraceLine, GivesClassFileAndLine)
{
    auto loc = parseStackTraceLine("\tat demo.Demo$Inner.twice(Demo.java:17)");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->className, "demo.Demo$Inner");
    EXPECT_EQ(loc->method, "twice");
    EXPECT_EQ(loc->file, "Demo.java");
    EXPECT_EQ(loc->line, 17);
    EXPECT_EQ(loc->start, 1);
    EXPECT_EQ(topLevelClass(loc->className), "demo.Demo");
    loc = parseStackTraceLine("\tat java.base/java.lang.Integer.parseInt(Integer.java:652)");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->className, "java.lang.Integer");
    EXPECT_EQ(loc->line, 652);
    loc = parseStackTraceLine("    at Hello.<init>(Hello.java:3) ~[app.jar:?]");
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->method, "<init>");
    EXPECT_EQ(loc->length, int(QString("at Hello.<init>(Hello.java:3)").size()));
    EXPECT_FALSE(parseStackTraceLine("\tat jdk.internal.reflect.NativeMethodAccessorImpl.invoke0(Native Method)"));
    EXPECT_FALSE(parseStackTraceLine("Exception in thread \"main\" java.lang.Error: at A.b(A.java:1)"));
    EXPECT_FALSE(parseStackTraceLine("\tat Hello.main(Hello.java)"));
}

TEST(DebugProtocol, FieldsSurviveTheirEscapes)
{
    const QStringList fields{"variables", "a\tb", "line\nbreak\r", "back\\slash\\t", "", "é"};
    QByteArray line = encodeDebugLine(fields);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    line.chop(1);
    EXPECT_EQ(decodeDebugLine(line), fields);
}

// The Variables and Call Stack windows fed by a real session, as Brewpad
// connects them.
struct DebugWindows {
    VariablesWindow variables;
    CallStackWindow stack;
    explicit DebugWindows(DebugSession& s)
    {
        QObject::connect(
            &s, &DebugSession::variables,
            [this](qint64, int, const QString& n, const QList<DebugValue>& v) { variables.showVariables(n, v); });
        QObject::connect(&s, &DebugSession::children, &variables, &VariablesWindow::showChildren);
        QObject::connect(&variables, &VariablesWindow::expandRequested, &s, &DebugSession::expand);
        QObject::connect(&s, &DebugSession::frames, &stack, &CallStackWindow::showFrames);
        QObject::connect(&s, &DebugSession::threads, &stack, &CallStackWindow::showThreads);
        QObject::connect(&stack, &CallStackWindow::frameChosen, &s,
                         [&s](int index, const DebugFrame&) { s.requestVariables(index); });
    }
    QTreeWidgetItem* row(const QString& name, QTreeWidgetItem* parent = nullptr) const
    {
        QTreeWidget* t = variables.tree();
        const int n = parent ? parent->childCount() : t->topLevelItemCount();
        for (int i = 0; i < n; ++i) {
            QTreeWidgetItem* it = parent ? parent->child(i) : t->topLevelItem(i);
            if (it->text(0) == name)
                return it;
        }
        return nullptr;
    }
    bool waitForRow(const QString& name, QTreeWidgetItem* parent = nullptr) const
    {
        return QTest::qWaitFor([&] { return row(name, parent) != nullptr; }, 10000);
    }
};

TEST_F(DebuggerTest, VariablesWindowExpandsA2DArrayAndKeepsTheOtherLocals)
{
    auto run = start({}, {lineOf("call")});
    ASSERT_TRUE(settle(*run));
    DebugWindows w(run->session);
    run->session.requestVariables(0);
    ASSERT_TRUE(w.waitForRow("grid"));
    const int locals = w.variables.tree()->topLevelItemCount();
    EXPECT_EQ(w.row("n")->text(1), "5");
    EXPECT_EQ(w.row("s")->text(1), "\"hello\"");
    QTreeWidgetItem* grid = w.row("grid");
    grid->setExpanded(true);
    ASSERT_TRUE(w.waitForRow("[1]", grid));
    QTreeWidgetItem* inner = w.row("[1]", grid);
    inner->setExpanded(true);
    ASSERT_TRUE(w.waitForRow("[0]", inner));
    EXPECT_EQ(w.row("[0]", inner)->text(1), "3");
    EXPECT_EQ(w.variables.tree()->topLevelItemCount(), locals);
    QTreeWidgetItem* d = w.row("d");
    d->setExpanded(true);
    ASSERT_TRUE(w.waitForRow("title", d));
    EXPECT_EQ(w.row("width", d)->text(1), "3");
    run->session.stop();
    ASSERT_TRUE(finish(*run));
}

TEST(VariablesWindow, AChangedValueTakesTheColourOfANewLook)
{
    const QPalette desktop = QApplication::palette();
    VariablesWindow variables;
    variables.showVariables({}, {DebugValue{"local", "n", "int", "1"}, DebugValue{"local", "m", "int", "5"}});
    variables.showVariables({}, {DebugValue{"local", "n", "int", "2"}, DebugValue{"local", "m", "int", "5"}});
    QTreeWidgetItem* n = variables.tree()->topLevelItem(0);
    QTreeWidgetItem* m = variables.tree()->topLevelItem(1);
    ASSERT_TRUE(n && m);
    EXPECT_EQ(n->foreground(1).color(), colours::colourSet(colours::Look::Light).changedValue);
    colours::setCurrentLook(colours::Look::Dark);
    QApplication::setPalette(colours::lookPalette(colours::Look::Dark));
    QApplication::processEvents();
    EXPECT_EQ(n->foreground(1).color(), colours::colourSet(colours::Look::Dark).changedValue);
    EXPECT_EQ(m->foreground(1).style(), Qt::NoBrush) << "an unchanged value follows the palette";
    colours::setCurrentLook(colours::Look::Light);
    QApplication::setPalette(desktop);
    QApplication::processEvents();
    EXPECT_EQ(n->foreground(1).color(), colours::colourSet(colours::Look::Light).changedValue);
}

TEST_F(DebuggerTest, VariablesWindowMarksTheValuesChangedSinceTheLastStop)
{
    auto run = start({}, {lineOf("loop")});
    ASSERT_TRUE(settle(*run));
    DebugWindows w(run->session);
    auto stopAndShow = [&] {
        w.variables.clear();
        run->session.requestVariables(0);
        return w.waitForRow("i");
    };
    ASSERT_TRUE(stopAndShow());  // i = 0, counter = 7
    run->session.continue_();
    ASSERT_TRUE(settle(*run));
    ASSERT_TRUE(stopAndShow());  // i = 1, counter = 7
    EXPECT_EQ(w.row("i")->text(1), "1 (changed)");
    EXPECT_EQ(w.row("counter")->text(1), "7");
    EXPECT_EQ(w.row("n")->text(1), "5");
    run->session.continue_();
    ASSERT_TRUE(settle(*run));
    ASSERT_TRUE(stopAndShow());  // i = 2, counter = 8
    EXPECT_EQ(w.row("counter")->text(1), "8 (changed)");
    run->session.stop();
    ASSERT_TRUE(finish(*run));
}

TEST_F(DebuggerTest, CallStackWindowListsTheFramesAndChoosingOneShowsItsVariables)
{
    auto run = start({}, {lineOf("area")});
    ASSERT_TRUE(settle(*run));
    DebugWindows w(run->session);
    run->session.requestFrames();
    run->session.requestThreads();
    QTreeWidgetItem* frames = w.stack.tree()->topLevelItem(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames->childCount() >= 2; }, 10000));
    EXPECT_EQ(frames->child(0)->text(0), QStringLiteral("area (Demo.java:%1)").arg(lineOf("area")));
    EXPECT_EQ(frames->child(1)->text(0), QStringLiteral("main (Demo.java:%1)").arg(lineOf("call")));
    QTreeWidgetItem* threads = w.stack.tree()->topLevelItem(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return threads->childCount() >= 1; }, 10000));
    run->session.requestVariables(0);
    ASSERT_TRUE(w.waitForRow("this"));
    EXPECT_EQ(w.variables.tree()->topLevelItem(0)->text(0), "this");  // first, before the parameters
    ASSERT_NE(w.row("other"), nullptr);                               // a parameter at the first stop
    emit w.stack.tree()->itemActivated(frames->child(1), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.row("grid") != nullptr; }, 10000));
    EXPECT_EQ(w.row("this"), nullptr);
    run->session.stop();
    ASSERT_TRUE(finish(*run));
}
