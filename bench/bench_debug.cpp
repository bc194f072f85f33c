// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger and the program's process: the round trip of Step Over, Debug
// Run to the first breakpoint against plain `java` reaching main, and
// 1,000,000 short lines of output through ProgramProcess against the same
// program writing them to a file.
#include "bench_support.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/programprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

using namespace bench;

const QString kJava = QStringLiteral("/usr/lib/jvm/java-17-openjdk-amd64/bin/java");

const char kProgram[] = R"(public class Bench {
    public static void main(String[] args) {
        int sum = 0; //@first
        if (args.length > 0 && args[0].equals("lines")) {
            for (int i = 0; i < 1000000; i++)
                System.out.println("line " + i);
            return;
        }
        if (args.length == 0)
            System.out.println("main");
        for (int i = 0; i < 1000; i++) {
            sum += i;
            sum -= i / 2;
        }
    }
}
)";
constexpr int kFirstLine = 3;

// Runs the event loop until done(), as Brewpad's own loop runs: woken by the
// event that changes it (QTest::qWaitFor sleeps 10 ms between looks, which
// would add to every round trip measured here).
bool wait(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    QTimer tick;  // wakes the loop now and then, should an event never come
    tick.start(100);
    while (!done()) {
        if (t.elapsed() > 60000) {
            std::fprintf(stderr, "timed out\n");
            std::exit(1);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// The processor time process `pid` has used so far, in clock ticks; -1 once it is gone.
long long processorTicks(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // The fields after the command's name, which is in parentheses: utime and stime are the 12th and 13th.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

// Lets events run until the helper started ahead is at rest: its rehearsal
// over, it has used no processor time for half a second (after two seconds
// at least, 20 at most), as it waits when the user starts Debug Run.
void waitForPreparedHelper()
{
    QTest::qWait(2000);
    const qint64 pid = DebugSession::preparedHelper();
    long long last = processorTicks(pid);
    for (int i = 0; i < 36 && last >= 0; ++i) {
        QTest::qWait(500);
        const long long now = processorTicks(pid);
        if (now == last)
            return;
        last = now;
    }
}

// From start() to the pause at the first line of main.
// With `prepared`, the debugger was started ahead (DebugSession::prepareHelper)
// and its rehearsal is over.
double debugToFirstBreakpoint(const QString& dir, DebugSession** keep, bool prepared, double* toConnection = nullptr)
{
    if (prepared) {
        DebugSession::prepareHelper(kJava, QStringLiteral(BP_DEBUGGER_JAR));
        waitForPreparedHelper();
    }
    auto* s = new DebugSession;
    s->setJar(QStringLiteral(BP_DEBUGGER_JAR));
    bool ended = false;
    QObject::connect(s, &DebugSession::ended, [&] { ended = true; });
    QObject::connect(s, &DebugSession::error, [](const QString& e) { std::fprintf(stderr, "%s\n", qPrintable(e)); });
    QElapsedTimer t;
    QObject::connect(s, &DebugSession::connected, [&] {
        if (toConnection)
            *toConnection = t.nsecsElapsed() / 1e6;
    });
    t.start();
    Breakpoint first;
    first.line = kFirstLine;
    s->setBreakpoint(QStringLiteral("Bench"), first);
    s->start(kJava, javaProgramCommand(kJava, QStringLiteral("Bench"), dir, {}, {}, QStringLiteral("x"), {}));
    wait([&] { return s->settled() || ended; });
    const double ms = t.nsecsElapsed() / 1e6;
    if (!s->settled()) {
        std::fprintf(stderr, "the debug run did not stop\n");
        std::exit(1);
    }
    *keep = s;
    return ms;
}

// From start() to the first output of main; with `agent`, the JVM loads the
// JDWP agent as a debug run does, but nothing connects to it.
double plainToMain(const QString& dir, bool agent = false)
{
    ProgramProcess p;
    bool seen = false;
    QObject::connect(&p, &ProgramProcess::standardOutput, [&](const QByteArray&) { seen = true; });
    bool ended = false;
    QObject::connect(&p, &ProgramProcess::ended, [&] { ended = true; });
    QElapsedTimer t;
    t.start();
    ProgramCommand c = javaProgramCommand(kJava, QStringLiteral("Bench"), dir, {}, {}, {}, {});
    if (agent)
        c.args.prepend(QStringLiteral("-agentlib:jdwp=transport=dt_socket,server=y,suspend=n,address=127.0.0.1:0"));
    p.start(c);
    wait([&] { return seen; });
    const double ms = t.nsecsElapsed() / 1e6;
    wait([&] { return ended; });
    return ms;
}

double linesThroughProcess(const QString& dir, qint64* bytes)
{
    ProgramProcess p;
    qint64 got = 0;
    int chunks = 0;
    bool ended = false;
    QObject::connect(&p, &ProgramProcess::standardOutput, [&](const QByteArray& b) {
        got += b.size();
        ++chunks;
    });
    QObject::connect(&p, &ProgramProcess::ended, [&] { ended = true; });
    QElapsedTimer t;
    t.start();
    p.start(javaProgramCommand(kJava, QStringLiteral("Bench"), dir, {}, {}, QStringLiteral("lines"), {}));
    wait([&] { return ended; });
    *bytes = got;
    return t.nsecsElapsed() / 1e6;
}

double linesToFile(const QString& dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setStandardOutputFile(dir + QStringLiteral("/lines.txt"), QIODevice::Truncate);
    QElapsedTimer t;
    t.start();
    p.start(kJava, {QStringLiteral("-classpath"), dir, QStringLiteral("Bench"), QStringLiteral("lines")});
    p.waitForFinished(120000);
    return t.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    writeFile(dir + QStringLiteral("/Bench.java"), kProgram);
    QProcess javac;
    javac.setWorkingDirectory(dir);
    javac.start(kJavac, {QStringLiteral("-g"), QStringLiteral("Bench.java")});
    if (!javac.waitForFinished(60000) || javac.exitCode() != 0) {
        std::fprintf(stderr, "javac failed\n");
        return 1;
    }

    std::vector<double> debug, warm, plain, steps, withAgent, connected;

    for (int i = 0; i < 5; ++i) {
        plain.push_back(plainToMain(dir));
        withAgent.push_back(plainToMain(dir, true));
        DebugSession* w = nullptr;
        connected.push_back(0);
        warm.push_back(debugToFirstBreakpoint(dir, &w, true, &connected.back()));
        delete w;
        DebugSession* s = nullptr;
        debug.push_back(debugToFirstBreakpoint(dir, &s, false));
        if (i == 0) {
            for (int k = 0; k < 60; ++k) {
                QElapsedTimer t;
                t.start();
                s->stepOver();
                wait([&] { return s->settled(); });
                steps.push_back(t.nsecsElapsed() / 1e6);
            }
        }
        delete s;
    }
    std::printf("Step Over round trip: median %.2f ms (goal <= 30 ms)\n", median(steps));
    std::printf(
        "Debug Run to the first breakpoint, debugger prepared: %.0f ms, plain java to main: %.0f ms, "
        "ratio %.2fx (goal <= 1.3x)\n",
        median(warm), median(plain), median(warm) / median(plain));
    std::printf("Debug Run to the first breakpoint, debugger started with it: %.0f ms, ratio %.2fx\n", median(debug),
                median(debug) / median(plain));
    std::printf(
        "  of which the program's connection (debugger prepared): %.0f ms; plain java with the JDWP agent "
        "loaded, nothing connected, to main: %.0f ms\n",
        median(connected), median(withAgent));

    std::vector<double> piped, filed;
    qint64 bytes = 0;
    for (int i = 0; i < 3; ++i) {
        filed.push_back(linesToFile(dir));
        piped.push_back(linesThroughProcess(dir, &bytes));
    }
    std::printf(
        "1,000,000 lines (%lld bytes): through ProgramProcess %.0f ms, to a file %.0f ms, ratio %.2fx "
        "(goal <= 1.5x)\n",
        static_cast<long long>(bytes), median(piped), median(filed), median(piped) / median(filed));
    std::printf(
        "ratio: %.3f (Debug Run to the first breakpoint, debugger prepared, over plain java to main; goal: "
        "at most 1.3)\n",
        median(warm) / median(plain));
    return 0;
}
