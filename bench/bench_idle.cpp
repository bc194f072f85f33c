// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad left alone: the main window with an editor window holding a little
// text, 10 seconds without input. Prints the processor time the process used
// and the timer events it handled in that time, by the class of their receiver
// (the status bar's clock ticks once a second; nothing else should wake).
#include "app/brewpad.h"
#include "bench_support.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "resources/commands.h"
#include "resources/resources.h"
#include "workspace/client.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// Counts the timer events of every receiver while it is installed.
class TimerCounter : public QObject {
public:
    QMap<QByteArray, int> counts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            ++counts[watched->metaObject()->className()];
        return QObject::eventFilter(watched, event);
    }
};

double processSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    initBrewpadResources();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    TMDIFileApp::Options o;
    o.settleConfiguration = false;
    o.iniFile = dir.filePath("Brewpad.ini");
    TMDIFileApp app(o);
    app.InitMainWindow();
    app.dispatch(cmd::FileNewJava);
    bench::settle();
    // The caret of the editor blinks as the desktop has it: its timer events
    // are those of the text control.
    if (TFileMDIChild* c = app.Client->currentEditor())
        QTest::keyClicks(c->editor(), "class Idle {}");
    // The effects of the typing settle before the measurement.
    QTest::qWait(1500);

    TimerCounter counter;
    qapp.installEventFilter(&counter);
    const double cpu0 = processSeconds();
    QElapsedTimer wall;
    wall.start();
    QTimer::singleShot(10000, &qapp, &QCoreApplication::quit);
    qapp.exec();
    const double cpu = processSeconds() - cpu0;
    qapp.removeEventFilter(&counter);

    std::printf("idle for %.1f s: %.1f ms of processor time\n", double(wall.elapsed()) / 1000, cpu * 1000);
    int total = 0;
    for (auto it = counter.counts.cbegin(); it != counter.counts.cend(); ++it) {
        std::printf("timer events to %s: %d\n", it.key().constData(), it.value());
        total += it.value();
    }
    std::printf("timer events: %d\n", total);
    return 0;
}
