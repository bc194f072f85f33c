// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/startuptrace.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <sys/resource.h>

namespace startuptrace {

namespace {

// With BREWPAD_STARTUP_TRACE=quit the process ends at the box, so that a
// profiler run over it counts the start alone.
bool quitAtBox()
{
    const char* v = std::getenv("BREWPAD_STARTUP_TRACE");
    return v && std::strcmp(v, "quit") == 0;
}

// Writes "box-shown" at the first paint of a message box, then the box's text
// on a line "brewpad-startup-box: TEXT", each line break in it written as a
// backslash and an n (a benchmark checks that it measured the box it meant);
// then stops watching.
class FirstBoxWatch : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<QMessageBox*>(watched)) {
            mark("box-shown");
            const QString text = static_cast<QMessageBox*>(watched)->text();
            std::fprintf(stderr, "brewpad-startup-box: %s\n",
                         text.toUtf8().replace('\\', "\\\\").replace('\n', "\\n").constData());
            std::fflush(stderr);
            if (quitAtBox())
                std::_Exit(0);
            qApp->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

}  // namespace

bool enabled()
{
    static const bool on = std::getenv("BREWPAD_STARTUP_TRACE") != nullptr;
    return on;
}

void mark(const char* phase)
{
    if (!enabled())
        return;
    timespec ts{}, cpu{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    std::fprintf(stderr, "brewpad-startup: %s %lld %lld %ld\n", phase,
                 (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec, (long long)cpu.tv_sec * 1000000000LL + cpu.tv_nsec,
                 use.ru_minflt);
    std::fflush(stderr);
}

void watchFirstBox()
{
    if (enabled() && qApp)
        qApp->installEventFilter(new FirstBoxWatch(qApp));
}

}  // namespace startuptrace
