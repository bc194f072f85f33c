// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/javacrunner.h"

#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/running/run.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reasonText(int errnoValue)
{
    switch (startFailureIndex(errnoValue)) {
    case 0: return QStringLiteral("out of memory");
    case 2: return QStringLiteral("program not found");
    case 5: return QStringLiteral("permission denied");
    case 11: return QStringLiteral("not an executable");
    default: return QString::fromLocal8Bit(strerror(errnoValue));
    }
}

// Maps QProcess's text of a failed start ("execvp: Permission denied") to errno.
int errnoFromProcessText(const QString& text)
{
    if (text.contains(QLatin1String("No such file")) || text.contains(QLatin1String("Not a directory")))
        return ENOENT;
    if (text.contains(QLatin1String("Permission denied")))
        return EACCES;
    if (text.contains(QLatin1String("Exec format")))
        return ENOEXEC;
    if (text.contains(QLatin1String("memory")))
        return ENOMEM;
    return EIO;
}


JavacRunner* g_active = nullptr;

CompilationRecord& record()
{
    static CompilationRecord r;
    return r;
}

// What identifies a file's content on disk: device, inode, size, and the
// modification and change times at full precision; empty when it is missing.
QByteArray fileState(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    QByteArray b;
    b.reserve(64);
    for (qint64 v : {qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size), qint64(st.st_mtim.tv_sec),
                     qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec), qint64(st.st_ctim.tv_nsec)})
        b.append(reinterpret_cast<const char*>(&v), sizeof v);
    return b;
}

QString signalText(int sig)
{
    const char* name = ::strsignal(sig);
    return name ? QString::fromLocal8Bit(name) : QStringLiteral("unknown signal");
}

// Why the compiler's messages are not in `capture`: its folder is full or cannot be written.
QString captureFailure(const QString& capture, const QString& error)
{
    return QStringLiteral(
               "the compiler's messages could not be written whole to %1 (%2): the folder %3 is full "
               "or cannot be written")
        .arg(capture, error, QFileInfo(capture).absolutePath());
}
}  // namespace

const CompilationRecord& lastCompilation()
{
    return record();
}

JavacRunner* JavacRunner::active()
{
    return g_active;
}

JavacRunner::JavacRunner(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<CompileOutcome>();
}

JavacRunner::~JavacRunner()
{
    if (g_active == this)
        g_active = nullptr;
    // A compilation in the compile service ends with its window too: the
    // service is ended (and started again), as a javac would be.
    if (running_ && serviceRequest_ != 0 && service_)
        service_->restart();
    if (proc_) {
        proc_->disconnect(this);
        if (proc_->state() != QProcess::NotRunning) {
            killGroup();
            proc_->waitForFinished(3000);
        }
    }
}

void JavacRunner::killGroup()
{
    if (!proc_ || proc_->state() == QProcess::NotRunning)
        return;
    const qint64 pid = proc_->processId();
    if (pid <= 0)
        return;
    // The whole group: javac and whatever it started. The process itself too,
    // in case it had not yet entered its group.
    ::kill(-pid_t(group_ > 0 ? group_ : pid), SIGKILL);
    ::kill(pid_t(pid), SIGKILL);
}

bool JavacRunner::start(const QString& javacPath, const QStringList& args, const QString& workDir,
                        const QString& captureFile, const QStringList& watched)
{
    if (running_ || g_active)
        return false;
    holdCompileServiceUntilCompile(false);
    running_ = true;
    stopped_ = false;
    group_ = 0;
    g_active = this;
    capture_ = captureFile;
    if (recorded_)
        record() = CompilationRecord{captureFile, workDir};
    watched_.clear();
    for (const QString& w : watched)
        watched_.emplace_back(w, fileState(w));

    auto notStarted = [this](int err, const QString& why) {
        CompileOutcome o;
        o.kind = CompileOutcome::NotStarted;
        o.failureIndex = startFailureIndex(err);
        o.reason = why;
        // Reported later, like the end of a compilation that did start.
        QTimer::singleShot(0, this, [this, o] { conclude(o); });
        return true;
    };

    // No old message may be shown behind a new one: empty the capture first.
    {
        QFile cap(captureFile);
        if (!cap.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            CompileOutcome o;
            o.kind = CompileOutcome::CaptureFailed;
            o.reason = captureFailure(captureFile, cap.errorString());
            QTimer::singleShot(0, this, [this, o] { conclude(o); });
            return true;
        }
    }

    QString program;
    const int err = probeProgram(javacPath, &program);
    if (err != 0)
        return notStarted(err, reasonText(err));
    if (!QFileInfo(workDir).isDir())
        return notStarted(ENOENT, QStringLiteral("directory not found: %1").arg(workDir));

    program_ = program;
    args_ = args;
    workDir_ = workDir;
    serviceRequest_ = 0;
    serviceWanted_ = false;
    usedService_ = false;
    proceedWhenSettled();
    return true;
}

void JavacRunner::proceedWhenSettled()
{
    // A service that was ended may not have gone yet: nothing compiles
    // beside what it was compiling.
    CompileService* s = sharedCompileService();
    if (!s || !s->settling()) {
        proceed();
        return;
    }
    const quint64 compilation = ++compilation_;
    auto resume = [this, compilation] {
        if (running_ && !stopped_ && compilation == compilation_) {
            ++compilation_;  // once
            proceed();
        }
    };
    connect(s, &CompileService::settled, this, resume, Qt::SingleShotConnection);
    connect(s, &QObject::destroyed, this, resume, Qt::SingleShotConnection);
}

void JavacRunner::proceed()
{
    if (CompileService* s = sharedCompileService()) {
        const QString& program = program_;
        const QStringList& args = args_;
        const QString& workDir = workDir_;
        const ServiceSetup setup{CompileService::javaBinFor(program), CompileService::jvmOptionsFor(args), workDir};
        if (!setup.javaBin.isEmpty()) {
            if (s->readyToCompile(setup)) {
                service_ = s;
                connect(s, &CompileService::compiled, this, &JavacRunner::onServiceCompiled, Qt::UniqueConnection);
                connect(s, &CompileService::compileFailed, this, &JavacRunner::onServiceFailed, Qt::UniqueConnection);
                serviceRequest_ = s->compile(CompileService::withoutJvmOptions(args), workDir);
                if (serviceRequest_ != 0) {
                    // Should it refuse, the service is started anew here.
                    serviceWanted_ = !s->readyFor(setup);
                    return;
                }
            }
            serviceWanted_ = true;
        }
    }
    startJavac();
}

void JavacRunner::onServiceCompiled(quint64 id, int exitStatus, const QByteArray& output)
{
    if (!running_ || id == 0 || id != serviceRequest_)
        return;
    serviceRequest_ = 0;
    // The capture holds what javac would have written to its standard error.
    if (!writeCapture(output))
        return;
    CompileOutcome o;
    usedService_ = true;
    serviceWanted_ = false;
    o.exitCode = exitStatus;
    o.kind = exitStatus == 0 ? CompileOutcome::Success : CompileOutcome::Failed;
    conclude(o);
}

bool JavacRunner::writeCapture(const QByteArray& output)
{
    QFile cap(capture_);
    qint64 written = -1;
    if (cap.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        written = cap.write(output);
    if (written == output.size())
        return true;
    CompileOutcome o;
    o.kind = CompileOutcome::CaptureFailed;
    o.reason = captureFailure(capture_, cap.errorString());
    conclude(o);
    return false;
}

void JavacRunner::onServiceFailed(quint64 id)
{
    if (!running_ || id == 0 || id != serviceRequest_)
        return;
    // The service could not do it: javac does, from the start.
    serviceRequest_ = 0;
    startJavac();
}

void JavacRunner::startJavac()
{
    if (!proc_) {
        proc_ = new QProcess(this);
        connect(proc_, &QProcess::finished, this,
                [this](int code, QProcess::ExitStatus st) { onFinished(code, int(st)); });
        connect(proc_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) { onError(int(e)); });
        // The compiler leads a process group of its own (see killGroup).
        proc_->setChildProcessModifier([] { ::setpgid(0, 0); });
    }
    proc_->setProgram(program_);
    proc_->setArguments(args_);
    proc_->setWorkingDirectory(workDir_);
    proc_->setStandardInputFile(QProcess::nullDevice());
    proc_->setStandardOutputFile(QProcess::nullDevice());
    // Read here and written once the compiler has ended, so that a capture
    // that cannot be written whole is known (javac ignores its failed writes).
    proc_->setProcessChannelMode(QProcess::SeparateChannels);
    proc_->setReadChannel(QProcess::StandardError);
    proc_->start();
    if (const qint64 pid = proc_->processId(); pid > 0) {
        // Also from this side, so that the group exists whichever runs first.
        ::setpgid(pid_t(pid), pid_t(pid));
        group_ = pid;
    }
}

bool JavacRunner::stop()
{
    if (!running_)
        return false;
    stopped_ = true;
    // Stopping ends the compile service too; it is started again in the background.
    serviceRequest_ = 0;
    if (CompileService* s = sharedCompileService())
        s->restart();
    if (proc_ && proc_->state() != QProcess::NotRunning) {
        killGroup();  // finished() follows when the compiler has ended
    } else {
        CompileOutcome o;
        o.kind = CompileOutcome::Stopped;
        conclude(o);
    }
    return true;
}

void JavacRunner::onError(int error)
{
    if (error != QProcess::FailedToStart || !running_)
        return;  // a crash is reported by finished()
    const int err = errnoFromProcessText(proc_->errorString());
    CompileOutcome o;
    o.kind = CompileOutcome::NotStarted;
    o.failureIndex = startFailureIndex(err);
    o.reason = err == EIO ? proc_->errorString() : reasonText(err);
    QTimer::singleShot(0, this, [this, o] { conclude(o); });
}

void JavacRunner::onFinished(int exitCode, int exitStatus)
{
    if (!running_)
        return;
    // Whatever the compiler started and left behind ends with it.
    if (group_ > 0)
        ::kill(-pid_t(group_), SIGKILL);
    if (!stopped_ && !writeCapture(proc_->readAllStandardError()))
        return;
    CompileOutcome o;
    if (stopped_) {
        o.kind = CompileOutcome::Stopped;
    } else if (exitStatus == QProcess::CrashExit) {
        // QProcess gives the signal's number as the exit code of a crash.
        o.kind = CompileOutcome::Crashed;
        o.signal = exitCode;
        o.reason = QStringLiteral("it was ended by signal %1 (%2)").arg(exitCode).arg(signalText(exitCode));
    } else {
        o.exitCode = exitCode;
        o.kind = exitCode == 0 ? CompileOutcome::Success : CompileOutcome::Failed;
    }
    conclude(o);
}

void JavacRunner::conclude(CompileOutcome outcome)
{
    if (!running_)
        return;
    running_ = false;
    group_ = 0;
    if (g_active == this)
        g_active = nullptr;
    serviceRequest_ = 0;
    for (const auto& [path, state] : watched_) {
        if (fileState(path) != state)
            outcome.sourcesChanged = true;
    }
    watched_.clear();
    // The next compilation with this setup can go to the service.
    if (serviceWanted_ && !stopped_) {
        serviceWanted_ = false;
        if (CompileService* s = sharedCompileService())
            s->start(
                ServiceSetup{CompileService::javaBinFor(program_), CompileService::jvmOptionsFor(args_), workDir_});
    }
    emit finished(outcome);
}

namespace {
bool g_serviceHeld = false;
}

void holdCompileServiceUntilCompile(bool held)
{
    g_serviceHeld = held;
}

bool compileServiceHeldUntilCompile()
{
    return g_serviceHeld;
}

CompileService* makeCompileService(QObject* owner)
{
    if (CompileService::defaultJar().isEmpty())
        return nullptr;
    CompileService* s = sharedCompileService();
    if (!s) {
        s = new CompileService(owner);
        setSharedCompileService(s);
    }
    return s;
}

void startCompileService(QObject* owner, const QString& dir)
{
    CompileService* s = makeCompileService(owner);
    if (!s)
        return;
    QPointer<CompileService> guard(s);
    QTimer::singleShot(0, s, [guard, dir] {
        if (!guard)
            return;
        const ServiceSetup setup{CompileService::javaBinFor(javacProgram()),
                                 CompileService::jvmOptionsFor(makeargsList()), dir};
        if (!setup.javaBin.isEmpty())
            guard->start(setup);
    });
}

CompileOutcome runJavacBlocking(const QString& javacPath, const QStringList& args, const QString& workDir,
                                const QString& captureFile)
{
    JavacRunner runner;
    QEventLoop loop;
    CompileOutcome result;
    QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& o) {
        result = o;
        loop.quit();
    });
    if (!runner.start(javacPath, args, workDir, captureFile))
        return result;
    loop.exec();
    return result;
}
