// SPDX-License-Identifier: GPL-3.0-or-later
// The time from the start of the process to the "ENV:" box on screen: the
// built brewpad, with a valid brewpad.cfg in a fresh HOME that names the
// real JDK, against a bare Qt program that shows one message box
// (bench/bare_message_box.cpp) with the same text, started in turn, eleven times each after one round to
// warm the caches (medians of eleven: a machine busy with other work moves
// those of five by a tenth). Both programs write the time the box is first painted
// (BREWPAD_STARTUP_TRACE, platform/startuptrace.h); the clock is the one
// this program reads just before it starts them. Prints the medians, their
// ratio (goal: at most 1.1), the ratio of the processor time they used until
// then (which a loaded machine spreads less), the machine's load, and where
// Brewpad's time before the box goes (the median time from the start of the
// process to each phase, with the processor time and the page faults by then). A second
// round does the same with a last session of five files to restore.
// The platform is QT_QPA_PLATFORM's (offscreen when unset). An argument names
// another brewpad program to measure instead of the one built beside this one.
#include "bench_support.h"
#include "config/cfgfile.h"
#include "config/search.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kRuns = 11;  // starts of each program in a round

struct Mark {
    QByteArray phase;
    double ms;     // since the process was started
    double cpuMs;  // the processor time it had used by then
    long faults;   // the page faults it had taken by then; -1 when not written
};
using Marks = std::vector<Mark>;

qint64 monotonicNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Start {
    Marks marks;
    QString boxText;  // as the program wrote it; empty when it writes none
};

// Starts `program` in `cwd` with `env` and reads its marks until the box is
// shown (and, when `wantText`, until its text follows); then ends it. No
// marks when no box came within 30 s.
Start startOnce(const QString& program, const QString& cwd, const QProcessEnvironment& env,
                const QStringList& args = {}, bool wantText = false)
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setWorkingDirectory(cwd);
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    Start run;
    QByteArray pending;
    const qint64 t0 = monotonicNs();
    p.start();
    QElapsedTimer limit;
    limit.start();
    bool shown = false, texted = !wantText;
    while (!(shown && texted) && limit.elapsed() < 30000 && p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(100);
        pending += p.readAllStandardError();
        qsizetype nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QByteArray line = pending.left(nl);
            pending.remove(0, nl + 1);
            static const QByteArray textTag = "brewpad-startup-box: ";
            if (line.startsWith(textTag)) {
                QByteArray t = line.mid(textTag.size());
                t.replace("\\n", "\n").replace("\\\\", "\\");
                run.boxText = QString::fromUtf8(t);
                texted = true;
                continue;
            }
            const QList<QByteArray> f = line.split(' ');
            // Builds before the processor time and the page faults were
            // written give three or four fields.
            if (f.size() < 3 || f.size() > 5 || f[0] != "brewpad-startup:")
                continue;
            run.marks.push_back(Mark{f[1], double(f[2].toLongLong() - t0) / 1e6,
                                     double(f.value(3).toLongLong()) / 1e6, f.size() > 4 ? f[4].toLong() : -1L});
            shown = shown || f[1] == "box-shown";
        }
    }
    p.kill();
    p.waitForFinished(5000);
    if (!shown)
        run.marks.clear();
    return run;
}

const Mark& boxShown(const Marks& m)
{
    return *std::find_if(m.begin(), m.end(), [](const Mark& k) { return k.phase == "box-shown"; });
}

struct Setup {
    QTemporaryDir dir;
    QString home, cwd;
    QProcessEnvironment env;
    QString report;  // the "ENV:" text Brewpad shows in this setting, which the bare program shows too
};

// A HOME whose brewpad.cfg names the JDK of `javac`, and a start folder.
bool prepare(Setup& s)
{
    const QString javac = QFileInfo(bench::kJavac).canonicalFilePath();
    if (javac.isEmpty()) {
        std::fprintf(stderr, "no JDK at %s\n", qPrintable(bench::kJavac));
        return false;
    }
    s.home = s.dir.filePath(QStringLiteral("home"));
    s.cwd = s.dir.filePath(QStringLiteral("start"));
    QDir().mkpath(s.cwd);
    QDir().mkpath(s.dir.filePath(QStringLiteral("runtime")));
    QFile::setPermissions(s.dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The JDK's API documentation when installed, else a file in its place.
    QString help = QStringLiteral("/usr/share/doc/openjdk-17-jre-headless/api/element-list");
    if (!QFileInfo(help).isFile()) {
        help = s.dir.filePath(QStringLiteral("element-list"));
        bench::writeFile(help, "java.base\n");
    }
    const QString cfg = s.home + QStringLiteral("/.config/brewpad/brewpad.cfg");
    const QString bin = QFileInfo(javac).absolutePath();
    if (!cfgfile::save(cfg, cfgfile::encodeRecord(bin) + cfgfile::encodeRecord(help)))
        return false;
    // The report with the line that names the configuration read (config/search.cpp).
    s.report = envReport(bin, help, {}) + QStringLiteral("\nCONFIG   :\t") + cfg;
    const QProcessEnvironment sys = QProcessEnvironment::systemEnvironment();
    s.env.insert(QStringLiteral("HOME"), s.home);
    s.env.insert(QStringLiteral("PATH"), sys.value(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin")));
    s.env.insert(QStringLiteral("XDG_RUNTIME_DIR"), s.dir.filePath(QStringLiteral("runtime")));
    s.env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                 sys.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")));
    for (const char* name : {"DISPLAY", "XAUTHORITY", "LANG"}) {
        if (sys.contains(QLatin1String(name)))
            s.env.insert(QLatin1String(name), sys.value(QLatin1String(name)));
    }
    s.env.insert(QStringLiteral("BREWPAD_STARTUP_TRACE"), QStringLiteral("1"));
    return true;
}

// Five files of a last session, in the session file Brewpad keeps.
void plantSession(const Setup& s)
{
    QByteArray text = "frame 1000 720 normal\n";
    for (int i = 1; i <= 5; ++i) {
        const QString file = s.cwd + QStringLiteral("/Session%1.java").arg(i);
        bench::writeFile(file,
                         bench::generatedJavaSource(qPrintable(QStringLiteral("Session%1").arg(i)), 20000, 400));
        text += "source " + QFile::encodeName(file) + "\n";
    }
    text += "active 3\n";
    bench::writeFile(s.home + QStringLiteral("/.config/brewpad/session.ini"), text);
}

void printPhases(const std::vector<Marks>& runs)
{
    QMap<QByteArray, std::vector<double>> at, cpu, faults;
    QList<QByteArray> order;
    for (const Marks& m : runs) {
        for (const Mark& k : m) {
            if (!order.contains(k.phase))
                order << k.phase;
            at[k.phase].push_back(k.ms);
            cpu[k.phase].push_back(k.cpuMs);
            if (k.faults >= 0)
                faults[k.phase].push_back(double(k.faults));
        }
    }
    double before = 0;
    for (const QByteArray& phase : order) {
        const double t = bench::median(at[phase]);
        std::printf("    %-20s at %7.1f ms  (+%6.1f ms)  processor %6.1f ms", phase.constData(), t, t - before,
                    bench::median(cpu[phase]));
        if (!faults[phase].empty())
            std::printf("  page faults %5.0f", bench::median(faults[phase]));
        std::printf("\n");
        before = t;
    }
}

struct Ratios {
    double clock, processor;
};

// kRuns starts of each program in turn; prints the medians and returns their ratios.
Ratios compare(const Setup& s, const QString& brewpad, const QString& bare, const char* what)
{
    // Caches warmed, not counted; the bare program's box shows Brewpad's text.
    const QString text = startOnce(brewpad, s.cwd, s.env, {}, true).boxText;
    if (text != s.report)
        std::printf("  (brewpad's box does not show the text of the bare program's: %s)\n",
                    qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1String(" / "))));
    startOnce(bare, s.cwd, s.env, {s.report});
    std::vector<double> ours, theirs, oursCpu, theirsCpu;
    std::vector<Marks> runs, bareRuns;
    for (int i = 0; i < kRuns; ++i) {
        const Marks m = startOnce(brewpad, s.cwd, s.env).marks;
        const Marks b = startOnce(bare, s.cwd, s.env, {s.report}).marks;
        if (m.empty() || b.empty()) {
            std::fprintf(stderr, "%s: no box was shown within 30 s\n", m.empty() ? "brewpad" : "the bare program");
            std::exit(1);
        }
        ours.push_back(boxShown(m).ms);
        theirs.push_back(boxShown(b).ms);
        oursCpu.push_back(boxShown(m).cpuMs);
        theirsCpu.push_back(boxShown(b).cpuMs);
        runs.push_back(m);
        bareRuns.push_back(b);
    }
    const Ratios r{bench::median(ours) / bench::median(theirs), bench::median(oursCpu) / bench::median(theirsCpu)};
    std::printf(
        "%s: brewpad's box after %.1f ms (processor %.1f ms), the bare Qt program's after %.1f ms "
        "(processor %.1f ms); medians of %d\n",
        what, bench::median(ours), bench::median(oursCpu), bench::median(theirs), bench::median(theirsCpu), kRuns);
    double load[3] = {0, 0, 0};
    if (::getloadavg(load, 3) == 3)
        std::printf("  load average %.2f %.2f %.2f on %d processors\n", load[0], load[1], load[2],
                    int(::sysconf(_SC_NPROCESSORS_ONLN)));
    std::printf("  where brewpad's time goes (medians since the process was started):\n");
    printPhases(runs);
    std::printf("  the bare Qt program's:\n");
    printPhases(bareRuns);
    return r;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Another build of Brewpad may be named, to compare it with this one.
    const QString brewpad = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(BREWPAD_PROGRAM);
    const QString bare = QStringLiteral(BARE_PROGRAM);
    Setup s;
    if (!s.dir.isValid() || !prepare(s))
        return 1;
    const Ratios plain = compare(s, brewpad, bare, "no session");
    std::printf("ratio: %.2f (goal: at most 1.1); of the processor time: %.2f\n", plain.clock, plain.processor);
    plantSession(s);
    const Ratios session = compare(s, brewpad, bare, "a last session of five files");
    std::printf("ratio with a session of five files: %.2f (goal: at most 1.1); of the processor time: %.2f\n",
                session.clock, session.processor);
    return 0;
}
