// SPDX-License-Identifier: GPL-3.0-or-later
// Times the search of Find in Files over a generated tree of Java sources
// (200 folders of 10 sources of about 20 KB, and as many other files): the
// median of five searches, with the files in the page cache, against
// `grep -rn --include=*.java` over the same tree.
// The last line is "ratio: <search time / grep time>".
#include "bench_support.h"
#include "workspace/filesearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QByteArray source = bench::generatedJavaSource("Gen", 20000, 400);
    qint64 bytes = 0;
    for (int d = 0; d < 200; ++d) {
        const QString folder = dir.filePath(QStringLiteral("p%1/q%2").arg(d / 20).arg(d));
        QDir().mkpath(folder);
        for (int f = 0; f < 10; ++f) {
            QByteArray text = source;
            if (f == 3)
                text += "// the needle is here\n";
            bench::writeFile(folder + QStringLiteral("/C%1.java").arg(f), text);
            bench::writeFile(folder + QStringLiteral("/C%1.class").arg(f), text);
            bytes += text.size();
        }
    }
    FindInFilesQuery q;
    q.folder = dir.path();
    q.pattern = QStringLiteral("NEEDLE");
    std::vector<double> times;
    FileSearchTotals totals;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        totals = FileSearch(q).run([](const FileMatch&) {});
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::vector<double> grepTimes;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        QProcess grep;
        grep.setStandardOutputFile(QProcess::nullDevice());
        grep.start(QStringLiteral("grep"), {QStringLiteral("-rni"), QStringLiteral("--include=*.java"),
                                            QStringLiteral("needle"), dir.path()});
        grep.waitForFinished(-1);
        grepTimes.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double ms = bench::median(times);
    const double grepMs = bench::median(grepTimes);
    std::printf("files searched: %d, %.1f MB, matches: %d in %d files\n", totals.searched, double(bytes) / 1e6,
                totals.matches, totals.files);
    std::printf("search: %.1f ms (%.0f MB/s); grep -rn: %.1f ms\n", ms, double(bytes) / 1e3 / ms, grepMs);
    std::printf("ratio: %.2f\n", ms / grepMs);
    return totals.matches == 200 ? 0 : 1;
}
