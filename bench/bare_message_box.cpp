// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick of bench_startup: a bare Qt Widgets program that shows one
// message box, the same kind of box as Brewpad's "ENV:" report, and writes,
// as Brewpad does with BREWPAD_STARTUP_TRACE set, "brewpad-startup: main NS"
// on entering main and "brewpad-startup: box-shown NS" when the box is first
// painted (CLOCK_MONOTONIC); with BREWPAD_STARTUP_TRACE=quit it ends there.
// Its argument is the text of the box (bench_startup gives the report that
// Brewpad shows in the same setting, so that both lay out the same text).
#include <QApplication>
#include <QEvent>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

void mark(const char* phase)
{
    timespec ts{}, cpu{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    std::fprintf(stderr, "brewpad-startup: %s %lld %lld\n", phase, (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec,
                 (long long)cpu.tv_sec * 1000000000LL + cpu.tv_nsec);
    std::fflush(stderr);
}

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMessageBox*>(watched) && !seen_) {
            seen_ = true;
            mark("box-shown");
            const char* v = std::getenv("BREWPAD_STARTUP_TRACE");
            if (v && std::strcmp(v, "quit") == 0)
                std::_Exit(0);  // a profiler run counts the start alone
        }
        return false;
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    mark("main");
    QApplication app(argc, argv);
    mark("application");
    FirstPaint watch;
    app.installEventFilter(&watch);
    // The text to show, as Brewpad will show it; a made-up report without one.
    const QString text =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QStringLiteral(
                       "ENV:\nJAVA BIN :\t/usr/lib/jvm/default/bin\nJAVA HELP:\t/usr/share/doc/api/element-list");
    QMessageBox box(QMessageBox::Information, QStringLiteral("Brewpad"), text, QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? 0 : 1;
}
