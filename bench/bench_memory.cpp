// SPDX-License-Identifier: GPL-3.0-or-later
// Resident memory (VmRSS of /proc/PID/status): the compile service's JVM at
// rest after its start and after 100 compilations, and Brewpad at its start
// (the "ENV:" box shown, a second later) against a bare Qt program that shows
// one message box, and the debugger's helper JVM at rest (started ahead, as
// Brewpad starts it, after its rehearsal). Each figure is printed with its goal and a "ratio:" line
// (the service's figure over its goal; Brewpad's over the bare program's).
#include "bench_runner.h"
#include "config/cfgfile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/running/debugsession.h"

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

// The debugger's helper started ahead, at rest once its rehearsal is over.
bool debuggerMemory()
{
    const QString java = QFileInfo(QFileInfo(kJavac).canonicalFilePath()).absolutePath() + QStringLiteral("/java");
    DebugSession::prepareHelper(java, QStringLiteral(BP_DEBUGGER_JAR));
    const qint64 pid = DebugSession::preparedHelper();
    if (pid == 0) {
        std::fprintf(stderr, "the debugger's helper did not start (%s)\n", BP_DEBUGGER_JAR);
        return false;
    }
    // Its memory settles once the rehearsal on its own program is done.
    long last = 0;
    for (int i = 0; i < 30; ++i) {
        idle(1000);
        const long now = vmRssKb(pid);
        if (i >= 4 && std::labs(now - last) < 512)
            break;
        last = now;
    }
    if (DebugSession::preparedHelper() != pid) {
        std::fprintf(stderr, "the debugger's helper ended while at rest\n");
        return false;
    }
    figure("debugger's helper JVM at rest after its start", vmRssKb(pid) / 1024.0, 80);
    DebugSession::prepareHelper(java, QString());  // ends it
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
    return debuggerMemory() ? 0 : 1;
}
