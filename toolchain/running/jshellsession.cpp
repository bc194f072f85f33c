// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/jshellsession.h"

#include "toolchain/running/debugprotocol.h"
#include "toolchain/compiling/shippedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace {
const char kJarName[] = "brewpad-jshell.jar";
constexpr qsizetype kErrorKept = 8192;

// A small JVM that starts quickly: the class data shared by the JDK, the
// simplest collector and no performance-data file. Its heap starts small and
// grows as the snippets need it (the JVM would start it at a 64th of the
// machine's memory, every page of its young part touched before the first
// collection), and gives back what it does not
// use after a full collection; the memory the JIT frees is returned to the
// system now and then (a JDK that lacks that option ignores it, one that
// has it as experimental takes it). The snippets
// keep the JIT's every tier and the JVM's default heap limit.
QStringList helperJvmOptions()
{
    return {QStringLiteral("-Xshare:auto"),
            QStringLiteral("-XX:+UseSerialGC"),
            QStringLiteral("-XX:-UsePerfData"),
            QStringLiteral("-Xms8m"),
            QStringLiteral("-XX:MinHeapFreeRatio=10"),
            QStringLiteral("-XX:MaxHeapFreeRatio=20"),
            QStringLiteral("-XX:+UnlockExperimentalVMOptions"),
            QStringLiteral("-XX:+IgnoreUnrecognizedVMOptions"),
            QStringLiteral("-XX:TrimNativeHeapInterval=2000")};
}
}  // namespace

JShellSession::JShellSession(QObject* parent) : QObject(parent), jar_(defaultJar()) {}

JShellSession::~JShellSession()
{
    kill();
}

QString JShellSession::defaultJar()
{
    QString relative;
#ifdef BREWPAD_JSHELL_JAR_RELATIVE
    relative = QStringLiteral(BREWPAD_JSHELL_JAR_RELATIVE);
#endif
    return shippedFile(QLatin1String(kJarName), relative);
}

void JShellSession::start(const QString& javaPath, const QStringList& classPath)
{
    kill();
    java_ = javaPath;
    classPath_ = classPath;
    pending_.clear();
    errors_.clear();
    if (jar_.isEmpty() || !QFileInfo(jar_).isFile()) {
        state_ = State::Ended;
        emit ended(QStringLiteral("JShell (%1) is not installed beside Brewpad: reinstall Brewpad.")
                       .arg(QLatin1String(kJarName)));
        return;
    }
    if (javaPath.isEmpty() || !QFileInfo(javaPath).isExecutable()) {
        state_ = State::Ended;
        emit ended(
            QStringLiteral("No java was found beside the configured javac (%1): JShell needs a JDK.").arg(javaPath));
        return;
    }
    state_ = State::Starting;
    helper_ = new QProcess(this);
    helper_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    connect(helper_, &QProcess::readyReadStandardOutput, this, &JShellSession::readReplies);
    connect(helper_, &QProcess::readyReadStandardError, this, [this] {
        errors_ += helper_->readAllStandardError();
        if (errors_.size() > kErrorKept)
            errors_ = errors_.right(kErrorKept);
    });
    connect(helper_, &QProcess::finished, this, &JShellSession::helperFinished);
    connect(helper_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            helperFinished();
    });
    helper_->start(javaPath, helperJvmOptions()
                                 << QStringLiteral("-jar") << jar_ << classPath.join(QDir::listSeparator()));
}

qint64 JShellSession::processId() const
{
    return helper_ && helper_->state() != QProcess::NotRunning ? helper_->processId() : 0;
}

void JShellSession::reset()
{
    start(java_, classPath_);
}

void JShellSession::stop()
{
    kill();
    state_ = State::Idle;
}

qint64 JShellSession::eval(const QString& source)
{
    const qint64 id = nextId_++;
    const qint64 sent = send(jshellwire::request::Eval{id, source}, id);
    if (sent)
        ++unanswered_;
    return sent;
}

void JShellSession::interrupt()
{
    if (evaluating())
        send(jshellwire::request::Stop{}, 0);
}

qint64 JShellSession::complete(const QString& source, int cursor)
{
    const qint64 id = nextId_++;
    return send(jshellwire::request::Complete{id, source, cursor}, id);
}

qint64 JShellSession::send(const jshellwire::Request& r, qint64 id)
{
    if (!helper_ || (state_ != State::Starting && state_ != State::Ready))
        return 0;
    helper_->write(jshellwire::encode(r));
    return id;
}

void JShellSession::readReplies()
{
    pending_ += helper_->readAllStandardOutput();
    qsizetype start = 0;
    for (qsizetype nl; (nl = pending_.indexOf('\n', start)) >= 0; start = nl + 1) {
        if (const auto r = jshellwire::decodeReply(pending_.mid(start, nl - start)))
            dispatch(*r);
        if (!helper_)
            return;  // a slot ended the session
    }
    pending_.remove(0, start);
}

void JShellSession::dispatch(const jshellwire::Reply& r)
{
    using namespace jshellwire::reply;
    std::visit(Overloaded{
                   [this](const Ready&) {
                       state_ = State::Ready;
                       emit ready();
                   },
                   [this](const Output& o) { emit output(o.id, o.stream, o.text); },
                   [this](const Value& v) { emit value(v.id, v); },
                   [this](const Done& d) {
                       unanswered_ = std::max(0, unanswered_ - 1);
                       emit done(d.id);
                   },
                   [this](const Completions& c) { emit completions(c.id, c.anchor, c.texts); },
                   [this](const Failed& f) { emit output(0, QStringLiteral("err"), f.text + u'\n'); },
               },
               r);
}

void JShellSession::helperFinished()
{
    if (!helper_)
        return;
    const bool started = helper_->error() != QProcess::FailedToStart;
    const int code = helper_->exitCode();
    kill();
    state_ = State::Ended;
    const QString why = javaFailureLine(QString::fromUtf8(errors_));
    if (!started)
        emit ended(QStringLiteral("JShell could not be started with %1.").arg(java_));
    else if (!why.isEmpty())
        emit ended(QStringLiteral("JShell ended: %1").arg(why));
    else
        emit ended(QStringLiteral("JShell ended (exit code %1).").arg(code));
}

void JShellSession::kill()
{
    if (!helper_)
        return;
    QProcess* h = helper_;
    helper_ = nullptr;
    unanswered_ = 0;
    h->disconnect(this);
    if (h->state() != QProcess::NotRunning) {
        h->kill();
        h->waitForFinished(2000);
    }
    h->deleteLater();
}
