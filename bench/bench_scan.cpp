// SPDX-License-Identifier: GPL-3.0-or-later
// Times the classification of large generated Java sources, dense with
// comments and white space, against one squeezing pass of `tr -s` over the
// largest of them. Each figure is the best of several runs, as elapsed time
// and as processor time (user + system; for tr, that of the child process).
// Processor time is what the growth and the ratio are computed from: on a
// busy machine elapsed times mostly measure the other programs.
// Last line: "ratio: <Brewpad's time / tr's time>" on the 100 MB file.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif

#include "toolchain/classify/classify.h"

namespace {

// A source of about `bytes` bytes: class Big with many commented,
// loosely indented members and its main method at the very end.
QByteArray makeSource(qint64 bytes)
{
    QByteArray src;
    src.reserve(bytes + 4096);
    src += "/*\n * Generated   source   for timing.\n */\nimport java.util.*;   // utilities\n\n";
    src += "public class Big {\n";
    for (int i = 0; src.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        src +=
            "    /**\n"
            "     * Member " +
            n +
            ":   a   block   comment\n"
            "     *   with   a   few   lines   of   text.\n"
            "     */\n"
            "    private  int  field" +
            n + "  =  " + n +
            " ;   // trailing   note\n"
            "\n"
            "\t\tpublic  int  get" +
            n +
            " ( int  a ,  int  b )  {\n"
            "        // body   follows\n"
            "        return   a  +  b  +  field" +
            n +
            " ; /* sum */\n"
            "    }\n"
            "\n\n";
    }
    src += "    public static void main(String[] args) {\n        System.out.println(\"done\");\n    }\n}\n";
    return src;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Processor time, in seconds, of this process (or of its waited-for children).
double cpuSeconds(bool children)
{
#if defined(Q_OS_UNIX)
    if (children) {
        rusage u{};
        getrusage(RUSAGE_CHILDREN, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    }
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
#else
    (void)children;
    return -1;
#endif
}

struct Times {
    double wall = 1e30;
    double cpu = 1e30;
    // The figure the comparisons use.
    double used() const { return cpu >= 0 ? cpu : wall; }
};

// Best of a few runs, in seconds.
template <class F>
Times bestOf(int runs, bool children, F f)
{
    Times best;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double c0 = cpuSeconds(children);
        t.start();
        f();
        best.wall = std::min(best.wall, double(t.nsecsElapsed()) / 1e9);
        const double c1 = cpuSeconds(children);
        best.cpu = c0 < 0 ? -1 : std::min(best.cpu, c1 - c0);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary directory\n");
        return 1;
    }

    const qint64 mb = 1024 * 1024;
    const qint64 sizes[] = {1 * mb, 10 * mb, 100 * mb};
    Times times[3];
    QString bigPath;
    for (int i = 0; i < 3; ++i) {
        // Each in a folder of its own, named after its class.
        const QString sub = QStringLiteral("size%1").arg(i);
        if (!QDir(dir.path()).mkdir(sub)) {
            std::fprintf(stderr, "cannot create a folder\n");
            return 1;
        }
        const QString path = dir.filePath(sub + QStringLiteral("/Big.java"));
        if (!writeFile(path, makeSource(sizes[i]))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        int verdict = -1;
        QString name;
        // More runs for the small files: a busy machine disturbs them most.
        const int runs[] = {21, 11, 5};
        times[i] = bestOf(runs[i], false, [&] {
            const ScanResult r = scanJavaFile(path);
            verdict = r.verdict;
            name = r.className;
        });
        std::printf("classify %4lld MB: %.4f s processor, %.4f s elapsed (verdict %d, class %s)\n", sizes[i] / mb,
                    times[i].cpu, times[i].wall, verdict, qPrintable(name));
        bigPath = path;
    }
    std::printf("growth 1->10 MB: %.2fx, 10->100 MB: %.2fx\n", times[1].used() / times[0].used(),
                times[2].used() / times[1].used());

    bool trOk = true;
    const Times trTime = bestOf(5, true, [&] {
        QProcess tr;
        tr.setStandardInputFile(bigPath);
        tr.setStandardOutputFile(QProcess::nullDevice());
        tr.start(QStringLiteral("tr"), {QStringLiteral("-s"), QStringLiteral(" \t\n")});
        if (!tr.waitForFinished(-1) || tr.exitStatus() != QProcess::NormalExit || tr.exitCode() != 0)
            trOk = false;
    });
    if (!trOk) {
        std::fprintf(stderr, "tr could not be run\n");
        return 1;
    }
    std::printf("tr -s 100 MB: %.4f s processor, %.4f s elapsed\n", trTime.cpu, trTime.wall);
    std::printf("elapsed ratio: %.3f\n", times[2].wall / trTime.wall);
    std::printf("ratio: %.3f\n", times[2].used() / trTime.used());
    return 0;
}
