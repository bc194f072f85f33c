// SPDX-License-Identifier: GPL-3.0-or-later
// Opening many files named on the command line: `brewpad F1.java ... F1000.java`
// as the program does it, through the main window. Prints the time until every
// file is open and the longest time the event loop went unserved meanwhile
// (the window answers input only between those). Goal: 1,000 small files in
// at most 2 s. An argument gives another number of files.
#include "app/brewpad.h"
#include "app/cmdline.h"
#include "bench_support.h"
#include "editor/child.h"
#include "resources/resources.h"
#include "workspace/client.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    initBrewpadResources();
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    QTemporaryDir dir;
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("F%1.java").arg(i, 4, 10, QLatin1Char('0'));
        bench::writeFile(dir.filePath(name), QStringLiteral("public class F%1 {\n    int x;\n}\n").arg(i).toUtf8());
        names << name;
    }
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
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestPause = std::max(longestPause, sinceTick.restart());
    });

    QElapsedTimer t;
    t.start();
    sinceTick.start();
    tick.start();
    bool finished = false;
    StartFileOpener* opener = openStartFiles(app, absoluteStartPaths(names, dir.path()));
    QObject::connect(opener, &StartFileOpener::finished, [&] { finished = true; });
    while (!finished)
        QApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    const double ms = t.nsecsElapsed() / 1e6;
    tick.stop();
    longestPause = std::max(longestPause, sinceTick.elapsed());
    const qsizetype opened = app.Client->editors().size();
    std::printf("files: %d, opened: %lld\n", count, static_cast<long long>(opened));
    std::printf("time to open them all: %.1f ms (goal for 1000 files: <= 2000 ms)\n", ms);
    std::printf("longest pause of the event loop meanwhile: %lld ms\n", static_cast<long long>(longestPause));
    for (TFileMDIChild* c : app.Client->editors())
        c->approveClose();
    return opened == count ? 0 : 2;
}
