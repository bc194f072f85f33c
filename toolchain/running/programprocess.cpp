// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/programprocess.h"

#include "config/toolpaths.h"
#include "platform/processgroup.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/running/outputpipe.h"
#include "toolchain/running/run.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <unistd.h>

ProgramCommand javaProgramCommand(const QString& javaPath, const QString& className, const QString& classDir,
                                  const std::optional<QString>& destination, const std::optional<QString>& classPath,
                                  const std::optional<QString>& cmdline, const QStringList& jvmOptions, bool* ok)
{
    ProgramCommand c;
    c.program = javaPath;
    c.workDir = classDir;
    // The class path Java Run gives, and the class's folder when Java Run
    // needs none (it then finds the class in its working folder).
    QStringList classPathOptions = javaClassPathOptions(destination, classPath, classDir);
    if (classPathOptions.isEmpty())
        classPathOptions = {QStringLiteral("-classpath"), classDir};
    c.args = jvmOptions + classPathOptions;
    c.args << className;
    bool good = true;
    if (cmdline)
        c.args << splitArguments(*cmdline, &good);
    if (ok)
        *ok = good;
    return c;
}

QString configuredJava()
{
    if (javabin.isEmpty())
        return {};
    const QString dir = CompileService::javaBinFor(javabin + QStringLiteral("/javac"));
    const QString java = (dir.isEmpty() ? javabin : dir) + QStringLiteral("/java");
    return QFileInfo(java).isExecutable() ? java : QString();
}

QString programEndText(bool bySignal, int code)
{
    if (!bySignal)
        return QStringLiteral("Program ended with exit code %1").arg(code);
    const char* name = sigabbrev_np(code);
    return name ? QStringLiteral("Program ended by signal %1 (SIG%2)").arg(code).arg(QLatin1String(name))
                : QStringLiteral("Program ended by signal %1").arg(code);
}

ProgramProcess::ProgramProcess(QObject* parent) : QObject(parent) {}

namespace {
// How often a group left behind by its program is looked at.
constexpr int kGroupWatchMs = 200;
}  // namespace

ProgramProcess::~ProgramProcess()
{
    if (!proc_)
        return;
    proc_->disconnect(this);
    killGroup();
    if (groupLeft_)
        endProcessGroup(pid_t(pid_));
    if (proc_->state() != QProcess::NotRunning)
        proc_->waitForFinished(5000);  // SIGKILL was sent: reaped at once
    delete proc_;
}

bool ProgramProcess::start(const ProgramCommand& command)
{
    if (proc_)
        return false;
    proc_ = new QProcess;
    proc_->setWorkingDirectory(command.workDir);
    // The output goes to pipes of Brewpad's own, read in large blocks.
    out_ = new OutputPipe(this);
    err_ = new OutputPipe(this);
    const int outFd = out_->open() ? out_->writeEnd() : -1;
    const int errFd = err_->open() ? err_->writeEnd() : -1;
    proc_->setStandardOutputFile(QProcess::nullDevice());
    proc_->setStandardErrorFile(QProcess::nullDevice());
    proc_->setChildProcessModifier([outFd, errFd] {
        ::setpgid(0, 0);                     // a group of its own, ended as one
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // and with Brewpad, even when it is killed
        if (outFd >= 0)
            ::dup2(outFd, STDOUT_FILENO);
        if (errFd >= 0)
            ::dup2(errFd, STDERR_FILENO);
    });
    connect(out_, &OutputPipe::output, this, &ProgramProcess::standardOutput);
    connect(err_, &OutputPipe::output, this, &ProgramProcess::standardError);
    connect(proc_, &QProcess::finished, this, &ProgramProcess::onFinished);
    connect(proc_, &QProcess::started, this, [this] {
        pid_ = proc_->processId();
        emit started(pid_);
    });
    connect(proc_, &QProcess::errorOccurred, this, [this, program = command.program](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            emit failed(QStringLiteral("%1 could not be started: %2").arg(program, proc_->errorString()));
    });
    proc_->start(command.program, command.args);
    // The child exists once start() returns, though its start is told only
    // later: a stop() before then must find its group already. The group is
    // made here too, in case the child has not made it yet.
    if (const qint64 pid = proc_->processId(); pid > 0) {
        (void)::setpgid(pid_t(pid), pid_t(pid));
        pid_ = pid;
    }
    out_->startReading();  // the child has its copies of the write ends now
    err_->startReading();
    return true;
}

bool ProgramProcess::running() const
{
    return proc_ && proc_->state() != QProcess::NotRunning;
}

void ProgramProcess::writeInput(const QByteArray& bytes)
{
    if (running())
        proc_->write(bytes);
}

void ProgramProcess::closeInput()
{
    if (running())
        proc_->closeWriteChannel();
}

void ProgramProcess::stop()
{
    killGroup();
    if (groupLeft_) {
        endProcessGroup(pid_t(pid_));
        groupWatch_->setInterval(10);  // gone at once: said at once
    }
}

void ProgramProcess::watchGroup()
{
    if (processGroupHasMembers(pid_t(pid_)))
        return;
    // Once empty the group's number is free again: it is never looked at again.
    groupLeft_ = false;
    groupWatch_->stop();
    emit processesGone();
}

void ProgramProcess::killGroup()
{
    // While the leader is not reaped its pid cannot name another group.
    if (pid_ > 0 && running())
        ::kill(-pid_, SIGKILL);
}

void ProgramProcess::onFinished()
{
    // Output still in the pipes comes first.
    out_->drainAndClose();
    err_->drainAndClose();
    const bool bySignal = proc_->exitStatus() == QProcess::CrashExit;
    const int code = proc_->exitCode();
    // The leader is reaped; while its group has members its number names
    // nothing else.
    groupLeft_ = processGroupHasMembers(pid_t(pid_));
    if (groupLeft_) {
        groupWatch_ = new QTimer(this);
        groupWatch_->setInterval(kGroupWatchMs);
        connect(groupWatch_, &QTimer::timeout, this, &ProgramProcess::watchGroup);
        groupWatch_->start();
    }
    emit ended(programEndText(bySignal, code), bySignal, code);
    if (groupLeft_)
        emit processesLeft(pid_);
}
