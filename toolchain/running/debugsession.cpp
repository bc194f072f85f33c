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

}  // namespace

DebugSession::DebugSession(QObject* parent) : QObject(parent), jar_(defaultJar())
{
    connect(&program_, &ProgramProcess::started, this, [this](qint64 pid) {
        programStarted_ = true;
        const QList<debugwire::Request> early = std::exchange(early_, {});
        send(debugwire::request::Pid{pid});
        for (const debugwire::Request& r : early)
            send(r);
        send(debugwire::request::Run{});
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
    helper_->write(debugwire::encode(debugwire::Request(debugwire::request::Listen{})));
}

void DebugSession::send(const debugwire::Request& r)
{
    if (!programStarted_) {
        early_.append(r);
        return;
    }
    if (helper_ && helper_->state() == QProcess::Running)
        helper_->write(debugwire::encode(r));
}

void DebugSession::setBreakpoint(const QString& className, const Breakpoint& breakpoint)
{
    send(debugwire::request::Break{className, breakpoint});
}

void DebugSession::clearBreakpoint(const QString& className, int line)
{
    send(debugwire::request::Clear{className, line});
}

void DebugSession::motion(const debugwire::Request& r)
{
    if (state_ == State::Ended || state_ == State::Idle)
        return;
    ++motionsAsked_;
    send(r);
}

void DebugSession::continue_()
{
    motion(debugwire::request::Move{debugwire::request::Motion::Continue});
}
void DebugSession::stepOver()
{
    motion(debugwire::request::Move{debugwire::request::Motion::StepOver});
}
void DebugSession::stepInto()
{
    motion(debugwire::request::Move{debugwire::request::Motion::StepInto});
}
void DebugSession::stepOut()
{
    motion(debugwire::request::Move{debugwire::request::Motion::StepOut});
}

void DebugSession::runToCursor(const QString& className, int line)
{
    motion(debugwire::request::RunTo{className, line});
}

void DebugSession::requestThreads()
{
    send(debugwire::request::Threads{});
}

void DebugSession::requestFrames(qint64 thread)
{
    send(debugwire::request::Frames{thread ? thread : pause_.thread});
}

void DebugSession::requestVariables(int frame, qint64 thread)
{
    send(debugwire::request::Variables{thread ? thread : pause_.thread, frame});
}

void DebugSession::expand(qint64 id, int start)
{
    send(debugwire::request::Expand{id, start});
}

void DebugSession::evaluate(const QString& expression, int frame, qint64 thread)
{
    send(debugwire::request::Evaluate{thread ? thread : pause_.thread, frame, expression});
}

void DebugSession::stop()
{
    if (state_ == State::Ended)
        program_.stop();  // what the program left running
    if (state_ == State::Idle || state_ == State::Ended)
        return;
    send(debugwire::request::Stop{});
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
        if (const std::optional<debugwire::Reply> r = debugwire::decodeReply(helperIn_.mid(from, nl - from)))
            handle(*r);
        if (!helper_)
            return;  // the session ended meanwhile
    }
    helperIn_.remove(0, from);
}

void DebugSession::handle(const debugwire::Reply& r)
{
    using namespace debugwire::reply;
    std::visit(Overloaded{
                   [this](const Ready& x) { onReady(x.port); },
                   [this](const Connected&) {
                       state_ = State::Running;
                       emit connected();
                   },
                   [this](const BreakpointState& b) { emit breakpointSet(b.className, b.line, b.actual); },
                   [this](const Paused& p) {
                       pause_ = p.pause;
                       motionsDone_ = p.done;
                       state_ = State::Paused;
                       emit paused(pause_);
                   },
                   [this](const Resumed&) {
                       state_ = State::Running;
                       emit resumed();
                   },
                   [this](const Ended&) {
                       debuggeeGone_ = true;  // the helper ends now; the program's end follows
                   },
                   [this](const Error& e) {
                       if (state_ == State::Starting)
                           fail(e.text);
                       else
                           emit error(e.text);
                   },
                   [this, &r](const auto&) { handleLists(r); },
               },
               r);
}

void DebugSession::handleLists(const debugwire::Reply& r)
{
    using namespace debugwire::reply;
    if (const auto* t = std::get_if<Threads>(&r))
        emit threads(t->threads);
    else if (const auto* f = std::get_if<Frames>(&r))
        emit frames(f->thread, f->frames);
    else if (const auto* v = std::get_if<Variables>(&r))
        emit variables(v->thread, v->frame, v->note, v->values);
    else if (const auto* c = std::get_if<Children>(&r))
        emit children(c->id, c->start, c->total, c->values);
    else if (const auto* e = std::get_if<Evaluated>(&r))
        emit evaluated(e->expression, e->frame, e->value, e->error);
    else if (const auto* b = std::get_if<Condition>(&r))
        emit conditionFailed(b->className, b->line, conditionText(*b));
}

QString DebugSession::conditionText(const debugwire::reply::Condition& c)
{
    const QString place = QStringLiteral("%1 line %2").arg(c.file.isEmpty() ? c.className : c.file).arg(c.line);
    if (c.outcome == QLatin1String("threw"))
        return QStringLiteral(
                   "The condition of the breakpoint at %1 threw an exception: %2. The program stopped "
                   "here; correct the condition in Breakpoint Properties.")
            .arg(place, c.message);
    return QStringLiteral(
               "The condition of the breakpoint at %1 does not compile: %2. The program stopped here "
               "once; correct the condition in Breakpoint Properties.")
        .arg(place, c.message);
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
