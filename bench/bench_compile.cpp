// SPDX-License-Identifier: GPL-3.0-or-later
// Times a compilation through JavacRunner (from start() to the outcome)
// against the same javac command run directly, for one small class and for a
// project of 200 classes where one source changed (planning included).
// Each side is timed as elapsed time and as processor time (this process's and
// its children's, user + system); the ratios are computed from processor time,
// since on a busy machine elapsed times mostly measure the other programs.
#include "bench_runner.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/compiling/projectcompile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace bench;

constexpr int kRounds = 5;

double seconds(const timeval& tv)
{
    return double(tv.tv_sec) + double(tv.tv_usec) / 1e6;
}

// Processor time used so far by this process and its waited-for children, in ms.
double cpuMs()
{
    rusage self{}, children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    return 1000 * (seconds(self.ru_utime) + seconds(self.ru_stime) + seconds(children.ru_utime) +
                   seconds(children.ru_stime));
}

// Runs f() (which returns its elapsed time), appends the elapsed and the processor time.
template <class F>
void timed(std::vector<double>& wall, std::vector<double>& cpu, F f)
{
    const double c0 = cpuMs();
    wall.push_back(f());
    cpu.push_back(cpuMs() - c0);
}

// javac run directly, waited for, standard error to the capture file.
double direct(const QStringList& args, const QString& dir, const QString& capture)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setWorkingDirectory(dir);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(capture, QIODevice::Truncate);
    p.start(kJavac, args);
    p.waitForFinished(-1);
    const double ms = t.nsecsElapsed() / 1e6;
    if (p.exitCode() != 0) {
        std::fprintf(stderr, "direct javac failed\n");
        std::exit(1);
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString capture = tmp.filePath("capture.err");

    // 1. One small class.
    const QString one = tmp.filePath("one");
    QDir().mkpath(one);
    writeFile(one + "/Small.java", "public class Small { public static void main(String[] a) { } }\n");
    const QStringList smallArgs{one + "/Small.java"};
    direct(smallArgs, one, capture);  // warm the file cache
    std::vector<double> runSmall, directSmall, runSmallCpu, directSmallCpu;
    for (int i = 0; i < kRounds; ++i) {
        timed(runSmall, runSmallCpu, [&] { return timedRunner([&] { return smallArgs; }, one, capture); });
        timed(directSmall, directSmallCpu, [&] { return direct(smallArgs, one, capture); });
    }
    const double r1 = median(runSmallCpu) / median(directSmallCpu);
    std::printf(
        "small class: JavacRunner %.1f ms (%.1f ms processor), direct javac %.1f ms (%.1f ms processor) "
        "(medians of %d), ratio %.3f\n",
        median(runSmall), median(runSmallCpu), median(directSmall), median(directSmallCpu), kRounds, r1);

    // 2. A project of 200 classes, one source changed.
    const QString proj = tmp.filePath("proj");
    QDir().mkpath(proj);
    QByteArray list;
    QStringList all;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("C%1").arg(i);
        writeFile(proj + "/" + name + ".java",
                  "public class " + name.toUtf8() + " { int v = " + QByteArray::number(i) + "; }\n");
        list += "src/" + name.toUtf8() + ".java\n";
        all << name + ".java";
    }
    writeFile(proj + "/Proj.jpr", list);
    direct(all, proj, capture);
    auto touchOne = [&] {
        for (int i = 0; i < 200; ++i) {
            setMtime(proj + QStringLiteral("/C%1.java").arg(i), 1700000000);
            setMtime(proj + QStringLiteral("/C%1.class").arg(i), 1700000010);
        }
        setMtime(proj + "/C17.java", 1700000020);
    };
    std::vector<double> runProj, directProj, runProjCpu, directProjCpu;
    for (int i = 0; i < kRounds; ++i) {
        touchOne();
        timed(runProj, runProjCpu, [&] {
            return timedRunner(
                [&] {
                    const ProjectCompilePlan plan = planProjectCompile(proj + "/Proj.jpr");
                    if (plan.sources != QStringList{"C17.java"}) {
                        std::fprintf(stderr, "unexpected plan: %s\n", qPrintable(plan.sources.join(' ')));
                        std::exit(1);
                    }
                    return plan.sources;
                },
                proj, capture);
        });
        touchOne();
        timed(directProj, directProjCpu, [&] { return direct({"C17.java"}, proj, capture); });
    }
    const double r2 = median(runProjCpu) / median(directProjCpu);
    std::printf(
        "project of 200, one changed: plan + JavacRunner %.1f ms (%.1f ms processor), direct javac %.1f ms "
        "(%.1f ms processor), ratio %.3f\n",
        median(runProj), median(runProjCpu), median(directProj), median(directProjCpu), r2);
    std::printf("ratio: %.3f\n", std::max(r1, r2));
    return 0;
}
