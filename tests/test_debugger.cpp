// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger with the real JDK: a small program compiled with `javac -g`
// once, run under DebugSession (the helper jar and the program's own
// process), driven through its methods and signals as the windows will.
#include "support.h"

#include "toolchain/debugprotocol.h"
#include "toolchain/debugsession.h"
#include "toolchain/stacktraceline.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

const QString kJdk = QStringLiteral("/usr/lib/jvm/java-17-openjdk-amd64/bin");

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

class DebuggerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new QTemporaryDir;
        writeFile(dir_->filePath("demo/Demo.java"), kDemo);
        QProcess javac;
        javac.setWorkingDirectory(dir_->path());
        javac.start(kJdk + "/javac", {"-g", "demo/Demo.java"});
        compiled_ = javac.waitForFinished(60000) && javac.exitCode() == 0;
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override
    {
        if (!QFileInfo(kJdk + "/java").isExecutable() || !QFileInfo(QStringLiteral(BP_DEBUGGER_JAR)).isFile())
            GTEST_SKIP() << "no JDK 17 or no debugger jar";
        ASSERT_TRUE(compiled_);
    }

    // Starts the demo with `args`, breakpoints set before it runs.
    std::unique_ptr<DebugRun> start(const QStringList& args, const QList<int>& lines)
    {
        auto run = std::make_unique<DebugRun>();
        DebugRun* r = run.get();
        r->session.setJar(QStringLiteral(BP_DEBUGGER_JAR));
        QObject::connect(&r->session, &DebugSession::paused, [r](const DebugPause& p) { r->pauses << p; });
        QObject::connect(&r->session, &DebugSession::error, [r](const QString& e) { r->errors << e; });
        QObject::connect(&r->session, &DebugSession::ended, [r] { r->ended = true; });
        QObject::connect(&r->session, &DebugSession::breakpointSet,
                         [r](const QString& c, int l, int a) { r->breakpoints << std::make_tuple(c, l, a); });
        ProgramProcess* p = r->session.program();
        QObject::connect(p, &ProgramProcess::standardOutput, [r](const QByteArray& b) { r->out += b; });
        QObject::connect(p, &ProgramProcess::standardError, [r](const QByteArray& b) { r->err += b; });
        QObject::connect(p, &ProgramProcess::ended, [r](const QString& t) { r->endText = t; });
        for (int line : lines)
            r->session.setBreakpoint("demo.Demo", line);
        QString cmdline;
        for (const QString& a : args)
            cmdline += a + ' ';
        r->session.start(kJdk + "/java", javaProgramCommand(kJdk + "/java", "demo.Demo", dir_->path(), std::nullopt,
                                                            std::nullopt, cmdline, {}));
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

    static QTemporaryDir* dir_;
    static bool compiled_;
};

QTemporaryDir* DebuggerTest::dir_ = nullptr;
bool DebuggerTest::compiled_ = false;

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
