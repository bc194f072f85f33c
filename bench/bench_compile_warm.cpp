// SPDX-License-Identifier: GPL-3.0-or-later
// F9 through the warm compile service against a javac process, in the same
// run: the first F9 after the start, a small class (the ratio), a project of
// 200 classes with one changed source, two other folders in turn, and the
// service's resident memory at rest and after 100 compilations.
#include "bench_runner.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/compiling/projectcompile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace bench;

// One F9, by the service or by javac as `wantService` says.
template <class ArgsFn>
double f9(ArgsFn argsFn, const QString& dir, const QString& capture, bool wantService)
{
    return timedRunner(argsFn, dir, capture, wantService);
}

void waitReady(CompileService& s)
{
    QElapsedTimer t;
    t.start();
    while (s.state() == CompileService::State::Starting && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (s.state() != CompileService::State::Ready) {
        std::fprintf(stderr, "the compile service did not start: %s\n", qPrintable(s.lastError()));
        std::exit(1);
    }
}

// Lets events run for `ms`, as a user reads.
void idle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

long vmRssKb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString capture = tmp.filePath("capture.err");
    CompileService service;
    service.setJar(QStringLiteral(BP_SERVICE_JAR));
    if (service.jar().isEmpty()) {
        std::fprintf(stderr, "built without the compile service (no JDK at configure time)\n");
        return 1;
    }

    // 1. One small class, compiled by its full path as F9 does.
    const QString one = tmp.filePath("one");
    QDir().mkpath(one);
    writeFile(one + "/Small.java", "public class Small { public static void main(String[] a) { } }\n");
    const QStringList smallArgs{one + "/Small.java"};
    service.start(ServiceSetup{CompileService::javaBinFor(kJavac), CompileService::jvmOptionsFor({}), one});
    waitReady(service);
    // The first F9, after a few seconds of reading, measured apart; the
    // memory of the service at rest before it.
    idle(4000);
    const long restKb = vmRssKb(service.processId());
    setSharedCompileService(&service);
    const double first = f9([&] { return smallArgs; }, one, capture, true);
    std::vector<double> warm, cold;
    int compilations = 1;
    for (int i = 0; i < 7; ++i) {
        setSharedCompileService(nullptr);
        cold.push_back(f9([&] { return smallArgs; }, one, capture, false));
        setSharedCompileService(&service);
        warm.push_back(f9([&] { return smallArgs; }, one, capture, true));
        ++compilations;
    }
    const double r1 = median(warm) / median(cold);
    std::printf("service resident memory at rest after its start: %.1f MB (VmRSS)\n", restKb / 1024.0);
    std::printf("first F9 through the service %.1f ms, ratio to javac %.3f\n", first, first / median(cold));
    std::printf("small class: F9 through the service %.1f ms, javac %.1f ms (medians of 7), ratio %.3f\n",
                median(warm), median(cold), r1);

    // 2. A project of 200 classes, one source changed.
    const QString proj = tmp.filePath("proj");
    QDir().mkpath(proj);
    QByteArray list;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("C%1").arg(i);
        const QString next = QStringLiteral("C%1").arg((i + 1) % 200);
        writeFile(proj + "/" + name + ".java", "public class " + name.toUtf8() +
                                                   " { int v = " + QByteArray::number(i) + "; " + next.toUtf8() +
                                                   " next; int get() { return next == null ? v : next.v; } }\n");
        list += name.toUtf8() + ".java\n";
    }
    writeFile(proj + "/Proj.jpr", list);
    auto plan = [&] {
        const ProjectCompilePlan p = planProjectCompile(proj + "/Proj.jpr");
        return p.sources;
    };
    setSharedCompileService(nullptr);
    f9(plan, proj, capture, false);  // everything compiled once
    auto touchOne = [&] {
        for (int i = 0; i < 200; ++i) {
            setMtime(proj + QStringLiteral("/C%1.java").arg(i), 1700000000);
            setMtime(proj + QStringLiteral("/C%1.class").arg(i), 1700000010);
        }
        setMtime(proj + "/C17.java", 1700000020);
    };
    service.start(ServiceSetup{CompileService::javaBinFor(kJavac), CompileService::jvmOptionsFor({}), proj});
    waitReady(service);
    std::vector<double> warmProj, coldProj;
    for (int i = 0; i < 5; ++i) {
        touchOne();
        setSharedCompileService(nullptr);
        coldProj.push_back(f9(plan, proj, capture, false));
        touchOne();
        setSharedCompileService(&service);
        warmProj.push_back(f9(plan, proj, capture, true));
    }
    std::printf("project of 200 classes, one changed: F9 through the service %.1f ms, javac %.1f ms, ratio %.3f\n",
                median(warmProj), median(coldProj), median(warmProj) / median(coldProj));

    // 3. Two folders in turn, neither the service's own (it runs in the
    // project's): a relative source name and the class path ".".
    std::vector<double> warmTurn, coldTurn;
    const QStringList dirs{tmp.filePath("a"), tmp.filePath("b")};
    for (const QString& d : dirs) {
        QDir().mkpath(d);
        writeFile(d + "/Turn.java", "public class Turn { Small s; public static void main(String[] a) { } }\n");
        writeFile(d + "/Small.java", "public class Small { }\n");
    }
    const QStringList turnArgs{QStringLiteral("-classpath"), QStringLiteral("."), QStringLiteral("Turn.java")};
    for (int i = 0; i < 7; ++i) {
        for (const QString& d : dirs) {
            setSharedCompileService(nullptr);
            coldTurn.push_back(f9([&] { return turnArgs; }, d, capture, false));
            setSharedCompileService(&service);
            warmTurn.push_back(f9([&] { return turnArgs; }, d, capture, true));
        }
    }
    std::printf("two folders in turn: F9 through the service %.1f ms, javac %.1f ms (medians of 14), ratio %.3f\n",
                median(warmTurn), median(coldTurn), median(warmTurn) / median(coldTurn));

    // 4. Resident memory after 100 compilations (the small class, the
    // project's source and the two folders').
    compilations = 6 + 14;
    while (compilations < 100) {
        touchOne();
        f9(plan, proj, capture, true);
        ++compilations;
    }
    std::printf("service resident memory after %d compilations: %.1f MB (VmRSS; heap limited to 256 MB)\n",
                compilations, vmRssKb(service.processId()) / 1024.0);
    idle(4000);
    std::printf("service resident memory after a few seconds idle: %.1f MB (VmRSS)\n",
                vmRssKb(service.processId()) / 1024.0);
    std::printf("ratio: %.3f\n", r1);
    return 0;
}
