// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad beside Geany (Debian's `geany`) on one X display (Xvfb, started here
// when there is no DISPLAY), each with a throwaway HOME, started in turn. For
// each program, the medians of several rounds of:
// - start-up: from the start of the process to its first window mapped (seen
//   by polling `xdotool search --onlyvisible --pid`), elapsed and the
//   processor time it had used by then (/proc/PID/stat);
// - resident memory at rest (VmRSS once the process has used no processor
//   time for a second; Brewpad's process only, its JVMs apart);
// - opening a 10 MB Java source named on the command line: the elapsed and
//   processor time to rest, less those of the same start without a file (a
//   start counts only when the program read the file: /proc/PID/io);
// - a keystroke in a 10,000-line source: the processor time per key of 50
//   keys typed by `xdotool type` (an outside view of the repaint: the time
//   each program spends on the key, its layout and its repaint). A start
//   counts only when Ctrl+S then saves the file with every key in it.
// A start that does not count is tried again, at most three times.
// Brewpad's "ENV:" box is answered with Return (also in the start without a
// file). Prints each figure, then "ratio:" lines, Brewpad over Geany.
#include "bench_support.h"
#include "config/cfgfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using namespace bench;

QString run(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

double cpuMsOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = f.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    return (fields.value(11).toDouble() + fields.value(12).toDouble()) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
}

// The bytes `pid` has read so far, in MB.
double readMbOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/io").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toDouble() / 1e6;
    }
    return -1;
}

double rssMbOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

struct Peer {
    const char* name;
    QString program;
    QStringList args;  // before the file
    bool answerBox;    // Brewpad's "ENV:" box
};

struct Setup {
    QProcessEnvironment env;
    QString home;
};

Setup freshHome(const QTemporaryDir& dir, const QString& display, int n)
{
    const QString home = dir.filePath(QStringLiteral("home%1").arg(n));
    const QString runtime = home + QStringLiteral("/runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Brewpad's configuration names the JDK, so that it starts without searching.
    const QString javac = QFileInfo(kJavac).canonicalFilePath();
    const QString help = home + QStringLiteral("/element-list");
    writeFile(help, "java.base\n");
    cfgfile::save(home + QStringLiteral("/.config/brewpad/brewpad.cfg"),
                  cfgfile::encodeRecord(QFileInfo(javac).absolutePath()) + cfgfile::encodeRecord(help));
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH", QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));  // no accessibility bus for either
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    return {env, home};
}

struct Figures {
    double startMs = -1, startCpuMs = -1;
    double restMs = -1, restCpuMs = -1, rssMb = -1, readMb = -1;
    double keyCpuMs = -1;
};

constexpr int kKeys = 50;

// Saves the typed file with Ctrl+S: true when it then holds every typed key.
bool keysArrived(const QString& window, const QString& file, qint64 sizeBefore, const QProcessEnvironment& env)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), window, QStringLiteral("key"), QStringLiteral("ctrl+s")}, env);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 10000) {
        if (QFileInfo(file).size() == sizeBefore + kKeys)
            return true;
        QThread::msleep(50);
    }
    return false;
}

QStringList visibleWindows(qint64 pid, const QProcessEnvironment& env)
{
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                QString::number(pid)},
               env)
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString visibleWindow(qint64 pid, const QProcessEnvironment& env)
{
    const QStringList ids = visibleWindows(pid, env);
    return ids.isEmpty() ? QString() : ids.last();
}

// Answers the box `window` of `pid` with Return until it has gone and the
// program's next window is shown (a key sent before the box takes the
// keyboard is lost, and a search of the windows may come back empty while
// windows come and go): false when the box stays.
bool answerBox(qint64 pid, const QString& window, const QProcessEnvironment& env)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("windowfocus"), window, QStringLiteral("key"), QStringLiteral("Return")}, env);
        for (int wait = 0; wait < 40; ++wait) {
            const QStringList shown = visibleWindows(pid, env);
            if (!shown.isEmpty() && !shown.contains(window))
                return true;
            QThread::msleep(50);
        }
    }
    return false;
}

// Waits until `pid` has used no processor time for `quietMs`; the elapsed time
// since `clock` started when it last did.
double untilRest(qint64 pid, const QElapsedTimer& clock, int quietMs = 1000)
{
    double cpu = cpuMsOf(pid);
    double lastBusy = clock.nsecsElapsed() / 1e6;
    while (clock.nsecsElapsed() / 1e6 - lastBusy < quietMs && clock.elapsed() < 60000) {
        QThread::msleep(20);
        const double now = cpuMsOf(pid);
        if (now != cpu) {
            cpu = now;
            lastBusy = clock.nsecsElapsed() / 1e6;
        }
    }
    return lastBusy;
}

// One start of `peer` (with `file` when not empty): its figures; with `keys`,
// also the processor time per typed key.
Figures startOnce(const Peer& peer, const Setup& setup, const QString& file, bool keys)
{
    QProcess p;
    p.setProcessEnvironment(setup.env);
    p.setWorkingDirectory(setup.home);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(setup.home + QStringLiteral("/stderr.txt"));
    QStringList args = peer.args;
    if (!file.isEmpty())
        args << file;
    Figures f;
    QElapsedTimer clock;
    clock.start();
    p.start(peer.program, args);
    if (!p.waitForStarted(10000))
        return f;
    const qint64 pid = p.processId();
    QString window;
    while (window.isEmpty() && clock.elapsed() < 30000 && !p.waitForFinished(1))
        window = visibleWindow(pid, setup.env);
    if (window.isEmpty()) {
        QFile err(setup.home + QStringLiteral("/stderr.txt"));
        err.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "%s: no window after %lld ms (%s, exit status %d): %s\n", peer.name,
                     qint64(clock.elapsed()), p.state() == QProcess::Running ? "running" : "ended", p.exitCode(),
                     err.readAll().right(300).constData());
    } else {
        f.startMs = clock.nsecsElapsed() / 1e6;
        f.startCpuMs = cpuMsOf(pid);
        if (peer.answerBox) {
            // The box is the window shown once the start has come to rest (a
            // window saying what it waits for may come and go before it).
            untilRest(pid, clock, 300);
            window = visibleWindow(pid, setup.env);
            if (!answerBox(pid, window, setup.env))
                std::fprintf(stderr, "%s: its first box did not close: this start's figures are unsound\n",
                             peer.name);
        }
        f.restMs = untilRest(pid, clock);
        f.restCpuMs = cpuMsOf(pid);
        f.rssMb = rssMbOf(pid);
        f.readMb = readMbOf(pid);
        if (keys) {
            const qint64 sizeBefore = QFileInfo(file).size();
            window = visibleWindow(pid, setup.env);
            run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), window}, setup.env);
            const double before = cpuMsOf(pid);
            run(QStringLiteral("xdotool"),
                {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"),
                 QString(kKeys, QLatin1Char('a'))},
                setup.env);
            untilRest(pid, clock, 500);
            f.keyCpuMs = (cpuMsOf(pid) - before) / kKeys;
            if (!keysArrived(window, file, sizeBefore, setup.env)) {
                std::fprintf(stderr, "%s: the typed keys did not all reach the file (it grew by %lld bytes)\n",
                             peer.name, QFileInfo(file).size() - sizeBefore);
                f.keyCpuMs = -1;
            }
        }
    }
    ::kill(pid_t(pid), SIGKILL);
    p.waitForFinished(5000);
    return f;
}

// The X display to use: DISPLAY's, else an Xvfb started in `xvfb`.
QString display(QProcess& xvfb)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return qEnvironmentVariable("DISPLAY");
    int n = 91;
    while (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && n < 199)
        ++n;
    xvfb.setStandardOutputFile(QProcess::nullDevice());
    xvfb.setStandardErrorFile(QProcess::nullDevice());
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral(":%1").arg(n), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                // Without it the server resets whenever its last client leaves,
                // and a program started meanwhile cannot open the display.
                QStringLiteral("-noreset")});
    QElapsedTimer t;
    t.start();
    while (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && t.elapsed() < 10000)
        QThread::msleep(20);
    return QStringLiteral(":%1").arg(n);
}

// A start of `peer` whose figures count: with `file`, the program has read
// it; with `keys`, they all arrived. Tried at most three times.
Figures soundStart(const Peer& peer, const Setup& setup, const QString& file, bool keys, double plainReadMb)
{
    Figures f;
    for (int attempt = 0; attempt < 3; ++attempt) {
        QString copy = file;
        if (!file.isEmpty()) {
            // A copy of its own in the start's home, which typing and saving may change.
            copy = setup.home + QLatin1Char('/') + QFileInfo(file).fileName();
            QFile::remove(copy);
            QFile::copy(file, copy);
        }
        f = startOnce(peer, setup, copy, keys);
        // What the start without a file read, the program may read less of
        // with one (a last session's file it does not open then).
        const bool read = file.isEmpty() || f.readMb - plainReadMb >= 0.9 * double(QFileInfo(file).size()) / 1e6;
        if (f.startMs >= 0 && read && (!keys || f.keyCpuMs >= 0))
            return f;
        if (!read)
            std::fprintf(stderr, "%s: the file was not read (%.1f MB read in all): tried again\n", peer.name,
                         f.readMb);
    }
    return Figures{};
}

double med(const std::vector<Figures>& v, double Figures::*field)
{
    std::vector<double> x;
    for (const Figures& f : v)
        x.push_back(f.*field);
    return median(x);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Peer peers[] = {{"Brewpad", QStringLiteral(BREWPAD_PROGRAM), {}, true},
                          {"Geany", QStringLiteral("/usr/bin/geany"), {QStringLiteral("-i")}, false}};
    if (!QFileInfo(peers[1].program).isExecutable()) {
        std::fprintf(stderr, "geany is not installed (scripts/install-deps.sh --bench installs it)\n");
        return 1;
    }
    QProcess xvfb;
    const QString x = display(xvfb);
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("Big.java"));
    writeFile(big, generatedJavaSource("Big", 10 * 1000 * 1000, 0));
    const QString typed = dir.filePath(QStringLiteral("Typing.java"));
    writeFile(typed, generatedJavaSource("Typing", 0, 10000));

    constexpr int kRounds = 5;
    std::vector<Figures> plain[2], opened[2], typing[2];
    int home = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            plain[k].push_back(soundStart(peers[k], freshHome(dir, x, home++), QString(), false, 0));
            const double plainRead = plain[k].back().readMb;
            opened[k].push_back(soundStart(peers[k], freshHome(dir, x, home++), big, false, plainRead));
            typing[k].push_back(soundStart(peers[k], freshHome(dir, x, home++), typed, true, 0));
        }
    }
    xvfb.kill();
    xvfb.waitForFinished(5000);
    double start[2], startCpu[2], rss[2], open[2], openCpu[2], key[2];
    for (int k = 0; k < 2; ++k) {
        start[k] = med(plain[k], &Figures::startMs);
        startCpu[k] = med(plain[k], &Figures::startCpuMs);
        rss[k] = med(plain[k], &Figures::rssMb);
        open[k] = med(opened[k], &Figures::restMs) - med(plain[k], &Figures::restMs);
        openCpu[k] = med(opened[k], &Figures::restCpuMs) - med(plain[k], &Figures::restCpuMs);
        key[k] = med(typing[k], &Figures::keyCpuMs);
        if (start[k] < 0 || rss[k] < 0 || key[k] < 0 || med(opened[k], &Figures::restMs) < 0) {
            std::fprintf(stderr, "%s: most starts had no sound figures\n", peers[k].name);
            return 1;
        }
        std::printf(
            "%s: start-up to its first window mapped %.0f ms (processor %.0f ms); at rest %.1f MB; "
            "opening a 10 MB source %.0f ms (processor %.0f ms); a keystroke in 10,000 lines: "
            "processor %.2f ms (medians of %d)\n",
            peers[k].name, start[k], startCpu[k], rss[k], open[k], openCpu[k], key[k], kRounds);
    }
    std::printf("ratio: %.2f start-up, elapsed (processor: %.2f)\n", start[0] / start[1], startCpu[0] / startCpu[1]);
    std::printf("ratio: %.2f resident memory at rest\n", rss[0] / rss[1]);
    std::printf("ratio: %.2f opening a 10 MB source, elapsed (processor: %.2f)\n", open[0] / open[1],
                openCpu[0] / openCpu[1]);
    std::printf("ratio: %.2f processor time per keystroke\n", key[0] / key[1]);
    return 0;
}
