// SPDX-License-Identifier: GPL-3.0-or-later
// Opening many files named on the command line: `brewpad F1.java ... F1000.java`
// as the program does it, through the shown main window. For 250, 500 and 1,000
// files, each in a fresh window, prints the time until every file is open (on
// the clock and in processor time, which a loaded machine does not stretch), the
// time per file, which stays flat when opening grows linearly, and the longest
// time the event loop went unserved meanwhile (the window answers input only
// between those). Goal: 1,000 small files in at most 2 s. Arguments give other
// numbers of files.
#include "app/brewpad.h"
#include "app/cmdline.h"
#include "bench_support.h"
#include "editor/editorwindow.h"
#include "resources/resources.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double processSeconds()
{
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Opens `count` small files at start in a fresh main window; false when not all opened.
bool measure(int count)
{
    QTemporaryDir dir;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("F%1.java").arg(i, 4, 10, QLatin1Char('0'));
        bench::writeFile(dir.filePath(name), QStringLiteral("public class F%1 {\n    int x;\n}\n").arg(i).toUtf8());
        names << name;
    }
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TMDIFileApp::Options o;
    o.settleConfiguration = false;
    o.iniFile = dir.filePath("Brewpad.ini");
    TMDIFileApp app(o);
    app.InitMainWindow();
    bench::settle();

    // A timer that should fire every 10 ms tells how long the loop was kept busy.
    QElapsedTimer sinceTick;
    qint64 longestPause = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] { longestPause = std::max(longestPause, sinceTick.restart()); });

    QElapsedTimer t;
    t.start();
    const double cpuStart = processSeconds();
    sinceTick.start();
    tick.start();
    bool finished = false;
    StartFileOpener* opener = openStartFiles(app, absoluteStartPaths(names, dir.path()));
    QObject::connect(opener, &StartFileOpener::finished, [&] { finished = true; });
    while (!finished)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const double ms = t.nsecsElapsed() / 1e6;
    const double cpuMs = (processSeconds() - cpuStart) * 1e3;
    tick.stop();
    longestPause = std::max(longestPause, sinceTick.elapsed());
    const qsizetype opened = app.Client->editors().size();
    std::printf(
        "%5d files (%lld opened, window shown: %s): %8.1f ms, processor %8.1f ms, %.2f ms per file; "
        "longest pause of the event loop %lld ms\n",
        count, static_cast<long long>(opened), app.Frame->isVisible() ? "yes" : "no", ms, cpuMs, cpuMs / count,
        static_cast<long long>(longestPause));
    std::fflush(stdout);
    for (TFileMDIChild* c : app.Client->editors())
        c->approveClose();
    QDir::setCurrent(before);
    return opened == count;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    initBrewpadResources();
    std::vector<int> counts;
    for (int i = 1; i < argc; ++i)
        counts.push_back(std::max(1, std::atoi(argv[i])));
    if (counts.empty())
        counts = {250, 500, 1000};
    bool allOpened = true;
    for (int count : counts)
        allOpened = measure(count) && allOpened;
    std::printf("goal: 1000 files in <= 2000 ms\n");
    return allOpened ? 0 : 2;
}
