// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/debugsession.h"

#include "toolchain/running/debugprotocol.h"
#include "toolchain/compiling/shippedfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/prctl.h>

namespace {
const char kJarName[] = "brewpad-debugger.jar";
constexpr qsizetype kErrorKept = 8192;

// A helper started ahead by prepareHelper().
struct Spare {
    QProcess* process = nullptr;
    QString java, jar;
};
Spare& spare()
{
    static Spare s;
    return s;
}

// A helper started `ahead` of its use rehearses a session on a program of its
// own while it waits, so that the user's session runs code that has run once.
QProcess* startHelper(const QString& javaPath, const QString& jar, QObject* parent, bool ahead)
{
    auto* p = new QProcess(parent);
    p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    // A JVM that starts quickly: the class data shared by the JDK, the JIT's
    // start-up tier only and the simplest collector (the helper's work is
    // small), and no performance-data file.
    QStringList args{QStringLiteral("-Xshare:auto"),
                     QStringLiteral("-XX:TieredStopAtLevel=1"),
                     QStringLiteral("-XX:+UseSerialGC"),
                     QStringLiteral("-XX:-UsePerfData"),
                     QStringLiteral("-jar"),
                     jar};
    if (ahead)
        args << QStringLiteral("--rehearse");
    p->start(javaPath, args);
    return p;
}

QList<DebugValue> valuesFrom(const QStringList& f, int first)
{
    QList<DebugValue> out;
    for (int i = first; i + 4 < f.size(); i += 5)
        out.append({f[i], f[i + 1], f[i + 2], f[i + 3], f[i + 4].toLongLong()});
    return out;
}
}  // namespace

DebugSession::DebugSession(QObject* parent) : QObject(parent), jar_(defaultJar())
{
    connect(&program_, &ProgramProcess::started, this, [this](qint64 pid) {
        programStarted_ = true;
        const QList<QStringList> early = std::exchange(early_, {});
        send({QStringLiteral("pid"), QString::number(pid)});
        for (const QStringList& r : early)
            send(r);
        send({QStringLiteral("run")});
    });
    connect(&program_, &ProgramProcess::failed, this, [this](const QString& why) { fail(why); });
    connect(&program_, &ProgramProcess::ended, this, [this] { finish(); });
}

DebugSession::~DebugSession()
{
    program_.disconnect(this);
    killHelper();
}

QString DebugSession::defaultJar()
{
    QString relative;
#ifdef BREWPAD_DEBUGGER_JAR_RELATIVE
    relative = QStringLiteral(BREWPAD_DEBUGGER_JAR_RELATIVE);
#endif
    return shippedFile(QLatin1String(kJarName), relative);
}

void DebugSession::start(const QString& javaPath, const ProgramCommand& command)
{
    if (state_ != State::Idle)
        return;
    java_ = javaPath;
    command_ = command;
    state_ = State::Starting;
    if (jar_.isEmpty() || !QFileInfo(jar_).isFile())
        return fail(QStringLiteral("The debugger (%1) is not installed beside Brewpad: reinstall Brewpad.")
                        .arg(QLatin1String(kJarName)));
    if (javaPath.isEmpty() || !QFileInfo(javaPath).isExecutable())
        return fail(QStringLiteral("No java was found beside the configured javac (%1): the debugger needs a JDK.")
                        .arg(javaPath));
    Spare& sp = spare();
    QProcess* h = nullptr;
    if (sp.process && sp.java == javaPath && sp.jar == jar_ && sp.process->state() != QProcess::NotRunning) {
        h = std::exchange(sp.process, nullptr);
        h->disconnect();
        h->setParent(this);
    } else {
        h = startHelper(javaPath, jar_, this, false);
    }
    adoptHelper(h);
}

void DebugSession::prepareHelper(const QString& javaPath, const QString& jar)
{
    Spare& sp = spare();
    if (sp.process && sp.java == javaPath && sp.jar == jar && sp.process->state() != QProcess::NotRunning)
        return;
    if (sp.process) {
        sp.process->kill();
        sp.process->waitForFinished(2000);
        delete sp.process;
        sp.process = nullptr;
    }
    if (jar.isEmpty() || !QFileInfo(jar).isFile() || !QFileInfo(javaPath).isExecutable())
        return;
    sp = {startHelper(javaPath, jar, QCoreApplication::instance(), true), javaPath, jar};
    QObject::connect(sp.process, &QProcess::finished, sp.process, [p = sp.process] {
        if (spare().process == p)
            spare().process = nullptr;
        p->deleteLater();
    });
}

qint64 DebugSession::preparedHelper()
{
    const Spare& sp = spare();
    return sp.process && sp.process->state() != QProcess::NotRunning ? sp.process->processId() : 0;
}

void DebugSession::adoptHelper(QProcess* h)
{
    helper_ = h;
    connect(helper_, &QProcess::readyReadStandardOutput, this, &DebugSession::onHelperOutput);
    connect(helper_, &QProcess::readyReadStandardError, this, [this] {
        helperErr_ += helper_->readAllStandardError();
        if (helperErr_.size() > kErrorKept)
            helperErr_ = helperErr_.right(kErrorKept);
    });
    connect(helper_, &QProcess::finished, this, &DebugSession::onHelperFinished);
    connect(helper_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            fail(QStringLiteral("The debugger could not be started with %1: %2").arg(java_, helper_->errorString()));
    });
    if (helper_->state() == QProcess::NotRunning) {  // failed within start()
        return fail(
            QStringLiteral("The debugger could not be started with %1: %2").arg(java_, helper_->errorString()));
    }
    helper_->write(encodeDebugLine({QStringLiteral("listen")}));
}

void DebugSession::send(const QStringList& fields)
{
    if (!programStarted_) {
        early_.append(fields);
        return;
    }
    if (helper_ && helper_->state() == QProcess::Running)
        helper_->write(encodeDebugLine(fields));
}

void DebugSession::setBreakpoint(const QString& className, int line)
{
    send({QStringLiteral("break"), className, QString::number(line)});
}

void DebugSession::clearBreakpoint(const QString& className, int line)
{
    send({QStringLiteral("clear"), className, QString::number(line)});
}

void DebugSession::motion(const QStringList& fields)
{
    if (state_ == State::Ended || state_ == State::Idle)
        return;
    ++motionsAsked_;
    send(fields);
}

void DebugSession::continue_()
{
    motion({QStringLiteral("continue")});
}
void DebugSession::stepOver()
{
    motion({QStringLiteral("stepOver")});
}
void DebugSession::stepInto()
{
    motion({QStringLiteral("stepInto")});
}
void DebugSession::stepOut()
{
    motion({QStringLiteral("stepOut")});
}

void DebugSession::runToCursor(const QString& className, int line)
{
    motion({QStringLiteral("runTo"), className, QString::number(line)});
}

void DebugSession::requestThreads()
{
    send({QStringLiteral("threads")});
}

void DebugSession::requestFrames(qint64 thread)
{
    send({QStringLiteral("frames"), QString::number(thread ? thread : pause_.thread)});
}

void DebugSession::requestVariables(int frame, qint64 thread)
{
    send({QStringLiteral("variables"), QString::number(thread ? thread : pause_.thread), QString::number(frame)});
}

void DebugSession::expand(qint64 id, int start)
{
    send({QStringLiteral("expand"), QString::number(id), QString::number(start)});
}

void DebugSession::stop()
{
    if (state_ == State::Ended)
        program_.stop();  // what the program left running
    if (state_ == State::Idle || state_ == State::Ended)
        return;
    send({QStringLiteral("stop")});
    if (program_.running())
        program_.stop();  // ended() follows, and finishes the session
    else
        finish();
}

void DebugSession::onHelperOutput()
{
    helperIn_ += helper_->readAllStandardOutput();
    qsizetype from = 0;
    for (qsizetype nl; (nl = helperIn_.indexOf('\n', from)) >= 0; from = nl + 1) {
        handle(decodeDebugLine(helperIn_.mid(from, nl - from)));
        if (!helper_)
            return;  // the session ended meanwhile
    }
    helperIn_.remove(0, from);
}

void DebugSession::handle(const QStringList& f)
{
    const QString& what = f.first();
    if (what == QLatin1String("ready") && f.size() > 1) {
        onReady(f[1].toInt());
    } else if (what == QLatin1String("connected")) {
        state_ = State::Running;
        emit connected();
    } else if (what == QLatin1String("breakpoint") && f.size() > 4) {
        emit breakpointSet(f[1], f[2].toInt(), f[4].toInt());
    } else if (what == QLatin1String("paused") && f.size() > 7) {
        pause_ = {f[1].toLongLong(), f[2], f[3], f[4].toInt(), f[5], f[6].toInt(), {}, {}};
        if (f.size() > 9) {
            pause_.exceptionClass = f[8];
            pause_.exceptionMessage = f[9];
        }
        motionsDone_ = f[7].toLongLong();
        state_ = State::Paused;
        emit paused(pause_);
    } else if (what == QLatin1String("resumed")) {
        state_ = State::Running;
        emit resumed();
    } else if (what == QLatin1String("threads")) {
        QList<DebugThread> list;
        for (int i = 1; i + 2 < f.size(); i += 3)
            list.append({f[i].toLongLong(), f[i + 1], f[i + 2]});
        emit threads(list);
    } else if (what == QLatin1String("frames") && f.size() > 1) {
        QList<DebugFrame> list;
        for (int i = 2; i + 3 < f.size(); i += 4)
            list.append({f[i], f[i + 1], f[i + 2], f[i + 3].toInt()});
        emit frames(f[1].toLongLong(), list);
    } else if (what == QLatin1String("variables") && f.size() > 3) {
        emit variables(f[1].toLongLong(), f[2].toInt(), f[3], valuesFrom(f, 4));
    } else if (what == QLatin1String("children") && f.size() > 3) {
        emit children(f[1].toLongLong(), f[2].toInt(), f[3].toInt(), valuesFrom(f, 4));
    } else if (what == QLatin1String("ended")) {
        debuggeeGone_ = true;  // the helper ends now; the program's end follows
    } else if (what == QLatin1String("error") && f.size() > 1) {
        if (state_ == State::Starting)
            fail(f[1]);
        else
            emit error(f[1]);
    }
}

void DebugSession::onReady(int port)
{
    port_ = port;
    ProgramCommand c = command_;
    // The agent goes before the program's own options. The program keeps the
    // JIT and the collector it has under Java Run: limiting them would start
    // it a little sooner but run a long computation slower than the user
    // expects of it.
    c.args.prepend(
        QStringLiteral("-agentlib:jdwp=transport=dt_socket,server=n,address=127.0.0.1:%1,suspend=y").arg(port));
    program_.start(c);
}

void DebugSession::onHelperFinished()
{
    if (!helper_)
        return;
    onHelperOutput();
    if (!helper_ || state_ == State::Ended)
        return;
    const QString raw = QString::fromLocal8Bit(helperErr_);
    const QString err = javaFailureLine(raw);
    if (state_ == State::Starting && !programStarted_) {
        if (raw.contains(QLatin1String("com/sun/jdi")) || raw.contains(QLatin1String("jdk.jdi")))
            return fail(QStringLiteral("The debugger needs a JDK with the module jdk.jdi, which %1 lacks: "
                                       "choose a full JDK (delete brewpad.cfg to search again).")
                            .arg(java_));
        return fail(
            QStringLiteral("The debugger could not start (%1): check the configured JDK, then start Debug Run "
                           "again.")
                .arg(err.isEmpty() ? QStringLiteral("no reason given") : err));
    }
    // The debugger is gone: the program cannot go on under it.
    if (!debuggeeGone_ && program_.running()) {
        emit error(QStringLiteral("The debugger ended unexpectedly%1; the program was ended with it: start Debug Run "
                                  "again.")
                       .arg(err.isEmpty() ? QString() : QStringLiteral(" (") + err + QLatin1Char(')')));
        program_.stop();
    }
}

void DebugSession::fail(const QString& text)
{
    if (state_ == State::Ended)
        return;
    emit error(text);
    killHelper();  // it has said all there is: its end is no second failure
    if (program_.running())
        program_.stop();  // ended() follows
    else
        finish();
}

void DebugSession::finish()
{
    if (state_ == State::Ended)
        return;
    state_ = State::Ended;
    killHelper();
    emit ended();
}

void DebugSession::killHelper()
{
    if (!helper_)
        return;
    QProcess* h = helper_;
    helper_ = nullptr;
    h->disconnect(this);
    if (h->state() != QProcess::NotRunning) {
        h->kill();
        h->waitForFinished(2000);  // SIGKILL: reaped at once
    }
    h->deleteLater();
}
