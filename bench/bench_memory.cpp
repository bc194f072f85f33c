// SPDX-License-Identifier: GPL-3.0-or-later
// Resident memory (VmRSS of /proc/PID/status): the compile service's JVM at
// rest after its start and after 100 compilations, and Brewpad at its start
// (the "ENV:" box shown, a second later) against a bare Qt program that shows
// one message box, the debugger's helper JVM at rest (started ahead, as
// Brewpad starts it, after its rehearsal), and the JShell pane's JVM at rest
// (started by the pane's session, as the pane starts it). Each figure is printed with its goal and a "ratio:" line
// (the service's figure over its goal; Brewpad's over the bare program's).
#include "bench_runner.h"
#include "config/cfgfile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/jshellsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace bench;

long vmRssKb(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Lets events run for `ms`.
void idle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

void figure(const char* what, double mb, double goalMb)
{
    std::printf("%s: %.1f MB (goal: at most %.0f MB)\n", what, mb, goalMb);
    std::printf("ratio: %.3f (of the goal)\n", mb / goalMb);
}

// The service's JVM at rest, then after 100 compilations of a small class.
bool serviceMemory()
{
    QTemporaryDir tmp;
    CompileService service;
    service.setJar(QStringLiteral(BP_SERVICE_JAR));
    if (service.jar().isEmpty()) {
        std::fprintf(stderr, "built without the compile service (no JDK at configure time)\n");
        return false;
    }
    const QString dir = tmp.path();
    writeFile(dir + "/Small.java", "public class Small { public static void main(String[] a) { } }\n");
    service.start(ServiceSetup{CompileService::javaBinFor(kJavac), CompileService::jvmOptionsFor({}), dir});
    QElapsedTimer t;
    t.start();
    while (service.state() == CompileService::State::Starting && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (service.state() != CompileService::State::Ready) {
        std::fprintf(stderr, "the compile service did not start: %s\n", qPrintable(service.lastError()));
        return false;
    }
    idle(4000);
    figure("compile service at rest after its start", vmRssKb(service.processId()) / 1024.0, 80);
    setSharedCompileService(&service);
    const QStringList args{dir + "/Small.java"};
    for (int i = 0; i < 100; ++i)
        timedRunner([&] { return args; }, dir, dir + "/capture.err", true);
    setSharedCompileService(nullptr);
    figure("compile service after 100 compilations", vmRssKb(service.processId()) / 1024.0, 110);
    return true;
}

// An environment whose brewpad.cfg names the JDK of kJavac, so that Brewpad
// starts without searching; `home` and `runtime` inside `dir`.
QProcessEnvironment startEnvironment(const QTemporaryDir& dir)
{
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString help = dir.filePath(QStringLiteral("element-list"));
    writeFile(help, "java.base\n");
    const QString javac = QFileInfo(kJavac).canonicalFilePath();
    cfgfile::save(home + QStringLiteral("/.config/brewpad/brewpad.cfg"),
                  cfgfile::encodeRecord(QFileInfo(javac).absolutePath()) + cfgfile::encodeRecord(help));
    const QProcessEnvironment sys = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment env;
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("PATH"), sys.value(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), sys.value(QStringLiteral("QT_QPA_PLATFORM"), "offscreen"));
    for (const char* name : {"DISPLAY", "XAUTHORITY", "LANG"}) {
        if (sys.contains(QLatin1String(name)))
            env.insert(QLatin1String(name), sys.value(QLatin1String(name)));
    }
    env.insert(QStringLiteral("BREWPAD_STARTUP_TRACE"), QStringLiteral("1"));
    return env;
}

// The resident memory of `program` a second after its box was first shown; -1
// when no box came within 30 s.
double startedRssMb(const QString& program, const QString& cwd, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProgram(program);
    p.setWorkingDirectory(cwd);
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start();
    QElapsedTimer limit;
    limit.start();
    QByteArray seen;
    while (!seen.contains("brewpad-startup: box-shown") && limit.elapsed() < 30000 &&
           p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(100);
        seen += p.readAllStandardError();
    }
    double mb = -1;
    if (seen.contains("brewpad-startup: box-shown")) {
        QThread::msleep(1000);
        mb = vmRssKb(p.processId()) / 1024.0;
    }
    p.kill();
    p.waitForFinished(5000);
    return mb;
}

bool startMemory()
{
    QTemporaryDir dir;
    const QProcessEnvironment env = startEnvironment(dir);
    const QString cwd = dir.filePath(QStringLiteral("start"));
    QDir().mkpath(cwd);
    std::vector<double> ours, theirs;
    for (int i = 0; i < 3; ++i) {
        ours.push_back(startedRssMb(QStringLiteral(BREWPAD_PROGRAM), cwd, env));
        theirs.push_back(startedRssMb(QStringLiteral(BARE_PROGRAM), cwd, env));
        if (ours.back() < 0 || theirs.back() < 0) {
            std::fprintf(stderr, "%s: no box was shown within 30 s\n",
                         ours.back() < 0 ? "brewpad" : "the bare program");
            return false;
        }
    }
    std::printf(
        "Brewpad at its start: %.1f MB; a bare Qt program with one message box: %.1f MB (medians of 3; "
        "goal: at most 1.3 times)\n",
        median(ours), median(theirs));
    std::printf("ratio: %.3f (goal: at most 1.3)\n", median(ours) / median(theirs));
    return true;
}

// Lets events run until the resident memory of `pid` settles (it changes by
// less than half a megabyte in a second, after five seconds at least, 30 at
// most); its last figure in kB.
long settledRssKb(qint64 pid)
{
    long last = 0;
    for (int i = 0; i < 30; ++i) {
        idle(1000);
        const long now = vmRssKb(pid);
        if (i >= 4 && std::labs(now - last) < 512)
            return now;
        last = now;
    }
    return vmRssKb(pid);
}

// The java beside the javac the benchmarks use.
QString benchJava()
{
    return QFileInfo(QFileInfo(kJavac).canonicalFilePath()).absolutePath() + QStringLiteral("/java");
}

// The debugger's helper started ahead, at rest once its rehearsal is over.
bool debuggerMemory()
{
    const QString java = benchJava();
    DebugSession::prepareHelper(java, QStringLiteral(BP_DEBUGGER_JAR));
    const qint64 pid = DebugSession::preparedHelper();
    if (pid == 0) {
        std::fprintf(stderr, "the debugger's helper did not start (%s)\n", BP_DEBUGGER_JAR);
        return false;
    }
    // Its memory settles once the rehearsal on its own program is done.
    const long rss = settledRssKb(pid);
    if (DebugSession::preparedHelper() != pid) {
        std::fprintf(stderr, "the debugger's helper ended while at rest\n");
        return false;
    }
    figure("debugger's helper JVM at rest after its start", rss / 1024.0, 80);
    DebugSession::prepareHelper(java, QString());  // ends it
    return true;
}

// The JShell pane's helper, started by its session with the class folder of a
// project as the pane starts it, at rest once it is ready and has settled.
bool jshellMemory()
{
    QTemporaryDir classes;
    JShellSession session;
    session.setJar(QStringLiteral(BP_JSHELL_JAR));
    QString failure;
    QObject::connect(&session, &JShellSession::ended, [&](const QString& why) { failure = why; });
    session.start(benchJava(), {classes.path()});
    QElapsedTimer t;
    t.start();
    while (session.state() == JShellSession::State::Starting && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (session.state() != JShellSession::State::Ready) {
        std::fprintf(stderr, "the JShell pane's helper did not start (%s): %s\n", BP_JSHELL_JAR, qPrintable(failure));
        return false;
    }
    const qint64 pid = session.processId();
    const long rss = settledRssKb(pid);
    if (session.processId() != pid) {
        std::fprintf(stderr, "the JShell pane's helper ended while at rest: %s\n", qPrintable(failure));
        return false;
    }
    figure("JShell pane's JVM at rest after its start", rss / 1024.0, 80);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (!startMemory())
        return 1;
    if (!serviceMemory())
        return 1;
    if (!debuggerMemory())
        return 1;
    return jshellMemory() ? 0 : 1;
}
