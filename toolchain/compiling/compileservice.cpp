// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/compileservice.h"

#include "toolchain/compiling/serviceoutbox.h"
#include "toolchain/compiling/servicereplies.h"
#include "toolchain/compiling/servicerequest.h"
#include "toolchain/compiling/servicescratch.h"
#include "toolchain/compiling/shippedfile.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <csignal>
#include <sys/prctl.h>

namespace {

QPointer<CompileService> g_shared;

const char kJarName[] = "brewpad-compile-service.jar";
const char kMainClass[] = "brewpad.service.CompileService";
const char kStartErrors[] = "/start-errors";
const qint64 kFirstLaunchDelayMs = 1500;

}  // namespace

CompileService* sharedCompileService()
{
    return g_shared.data();
}

void setSharedCompileService(CompileService* service)
{
    g_shared = service;
}

CompileService::CompileService(QObject* parent) : QObject(parent), jar_(defaultJar())
{
    born_.start();
    outbox_ = new ServiceOutbox(
        [this](const QByteArray& frame) {
            if (proc_)
                proc_->write(frame);
        },
        this);
    qRegisterMetaType<ServiceDiagnostic>();
    qRegisterMetaType<QList<ServiceDiagnostic>>();
    qRegisterMetaType<QList<CompletionItem>>();
    qRegisterMetaType<SignatureHelp>();
    qRegisterMetaType<ServiceReply>();
    startTimer_ = new QTimer(this);
    startTimer_->setSingleShot(true);
    connect(startTimer_, &QTimer::timeout, this, [this] {
        if (state_ != State::Starting)
            return;
        const QString why =
            QStringLiteral("the compile service was not ready after %1 s").arg(startLimitMs_ / 1000.0);
        endProcess(why);
        markUnusable(why);
    });
}

CompileService::~CompileService()
{
    if (g_shared == this)
        g_shared = nullptr;
    // No signal may reach anyone from a half-destroyed object.
    pending_.clear();
    QList<QProcess*> all = dying_;
    if (proc_)
        all << proc_;
    for (QProcess* p : all) {
        p->disconnect(this);
        p->kill();
    }
    // Brewpad ends: the JVMs go before their files do.
    for (QProcess* p : all)
        p->waitForFinished(2000);
}

QString CompileService::defaultJar()
{
    QString relative, installed;
#ifdef BREWPAD_SERVICE_JAR_RELATIVE
    relative = QStringLiteral(BREWPAD_SERVICE_JAR_RELATIVE);
#endif
#ifdef BREWPAD_SERVICE_JAR_INSTALLED
    installed = QStringLiteral(BREWPAD_SERVICE_JAR_INSTALLED);
#endif
    return shippedFile(QLatin1String(kJarName), relative, installed);
}

qint64 CompileService::processId() const
{
    return proc_ ? proc_->processId() : 0;
}

void CompileService::start(const ServiceSetup& setup)
{
    if ((state_ == State::Starting || state_ == State::Ready) && setup_ == setup)
        return;
    if (!(setup_ == setup))
        cold_.clear();  // other options: the service may do what it could not
    if (hasUnusable_ && unusableSetup_ == setup) {
        state_ = State::Unusable;
        setup_ = setup;
        return;
    }
    endProcess(QStringLiteral("the service was restarted"));
    setup_ = setup;
    launch();
}

void CompileService::markUnusable(const QString& why)
{
    state_ = State::Unusable;
    unusableSetup_ = setup_;
    hasUnusable_ = true;
    lastError_ = why;
    emit unusable(why);
}

void CompileService::launch()
{
    if (jar_.isEmpty() || !QFileInfo(jar_).isFile())
        return markUnusable(QStringLiteral("the compile service is not installed"));
    const QString java = setup_.javaBin + QStringLiteral("/java");
    if (setup_.javaBin.isEmpty() || !QFileInfo(java).isExecutable())
        return markUnusable(QStringLiteral("no java in %1").arg(setup_.javaBin));
    if (!QFileInfo(setup_.workDir).isDir())
        return markUnusable(QStringLiteral("directory not found: %1").arg(setup_.workDir));
    // The first JVM waits until Brewpad itself has started (its window, the
    // "ENV:" report): two cores are soon shared.
    const qint64 wait = kFirstLaunchDelayMs - born_.elapsed();
    if (!launched_ && wait > 0) {
        state_ = State::Starting;
        const quint64 generation = ++generation_;
        QTimer::singleShot(int(wait), this, [this, generation] {
            if (generation == generation_ && state_ == State::Starting && !proc_)
                launch();
        });
        return;
    }
    ++generation_;
    launched_ = true;
    if (!spawn())
        return markUnusable(QStringLiteral("no temporary directory or pipe for the compile service"));
}

bool CompileService::spawn()
{
    scratch_ = std::make_unique<ServiceScratch>();
    auto* replies = new ServiceReplies(this);
    if (!scratch_->isValid() || !replies->open()) {
        delete replies;
        scratch_.reset();
        return false;
    }
    replies_ = replies;
    connect(replies, &ServiceReplies::reply, this, &CompileService::handle);
    connect(replies, &ServiceReplies::garbled, this, [this] {
        lastError_ = QStringLiteral("the compile service sent nonsense");
        restart();
    });
    proc_ = new QProcess(this);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Read by the java launcher only, never by javac's.
    env.remove(QStringLiteral("JDK_JAVA_OPTIONS"));
    proc_->setProcessEnvironment(env);
    proc_->setWorkingDirectory(setup_.workDir);
    // What the JVM prints as it starts (a warning about an option, "Picked
    // up ..."), javac would print into every capture: such a setup is left
    // to javac. A file, so that all of it is there once the service speaks.
    // The standard output is javac's, which Brewpad drops; replies have a
    // pipe of their own.
    proc_->setStandardOutputFile(QProcess::nullDevice());
    proc_->setStandardErrorFile(scratch_->path() + QLatin1String(kStartErrors), QIODevice::Truncate);
    proc_->setChildProcessModifier([replies] {
        // Ends with Brewpad, even when Brewpad is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        replies->placeInChild();
    });
    connect(proc_, &QProcess::finished, this, &CompileService::onFinished);
    connect(proc_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            onFinished();
    });
    QStringList args = setup_.jvmOptions;
    args << QStringLiteral("-cp") << jar_ << QLatin1String(kMainClass)
         << QStringLiteral("--replies=/proc/self/fd/%1").arg(ServiceReplies::kChildFd)
         << QStringLiteral("--scratch=") + scratch_->path();
    state_ = State::Starting;
    startTimer_->start(startLimitMs_);
    proc_->start(setup_.javaBin + QStringLiteral("/java"), args);
    if (replies_)
        replies_->closeWriteEnd();
    return true;
}

void CompileService::endProcess(const QString& reason)
{
    startTimer_->stop();
    if (replies_) {
        replies_->disconnect(this);
        replies_->deleteLater();
        replies_ = nullptr;
    }
    const Requests held = std::exchange(pending_, {});
    outbox_->clear();  // frames for this process that have not gone out
    for (QTimer* t : std::as_const(timers_))
        t->deleteLater();
    timers_.clear();
    if (state_ == State::Starting || state_ == State::Ready)
        state_ = State::Stopped;
    QProcess* p = std::exchange(proc_, nullptr);
    if (p)
        p->disconnect(this);
    if (!p || p->state() == QProcess::NotRunning) {
        if (p)
            p->deleteLater();
        scratch_.reset();
        failRequests(held, reason);
        return;
    }
    // Its requests are answered, and its files removed, once it has gone:
    // whoever takes them over never runs beside it.
    dying_ << p;
    std::shared_ptr<ServiceScratch> scratch(std::move(scratch_));
    connect(p, &QProcess::finished, this, [this, p, held, reason, scratch]() mutable {
        dying_.removeOne(p);
        p->deleteLater();
        scratch.reset();
        failRequests(held, reason);
        if (dying_.isEmpty())
            emit settled();
    });
    p->kill();
}

void CompileService::kill()
{
    endProcess(QStringLiteral("the service was stopped"));
}

void CompileService::stop()
{
    kill();
    state_ = State::Stopped;
}

void CompileService::restart()
{
    const ServiceSetup s = setup_;
    stop();
    hasUnusable_ = false;
    if (s.javaBin.isEmpty())
        return;
    // From the event loop: a window that closes, or Brewpad that ends, does
    // not start a JVM on its way.
    setup_ = s;
    state_ = State::Starting;
    const quint64 generation = ++generation_;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation == generation_ && state_ == State::Starting && !proc_)
            launch();
    });
}

void CompileService::failRequests(const Requests& requests, const QString& reason)
{
    for (auto it = requests.begin(); it != requests.end(); ++it) {
        keys_.remove(it.key());
        fail(it.key(), it.value(), reason);
    }
}

void CompileService::fail(quint64 id, Kind kind, const QString& reason)
{
    if (kind == Kind::Compile)
        emit compileFailed(id, reason);
    else if (kind == Kind::Check)
        emit checkFailed(id, reason);
    else if (kind == Kind::Query)
        emit queryFailed(id, reason);
    else
        emit completeFailed(id, reason);
}

void CompileService::finishRequest(quint64 id)
{
    pending_.remove(id);
    keys_.remove(id);
    if (QTimer* t = timers_.take(id))
        t->deleteLater();
}

void CompileService::rememberCold(quint64 id)
{
    if (keys_.contains(id))
        cold_.insert(keys_.value(id));
}

void CompileService::onFinished()
{
    if (!proc_)
        return;
    const bool wasReady = state_ == State::Ready;
    endProcess(QStringLiteral("the compile service ended"));
    if (!wasReady) {
        markUnusable(QStringLiteral("the compile service did not start"));
        return;
    }
    state_ = State::Stopped;
    // A service that was serving is started again, in the background.
    QTimer::singleShot(0, this, [this] {
        if (state_ == State::Stopped && !proc_ && !setup_.javaBin.isEmpty())
            launch();
    });
}

quint64 CompileService::submit(Kind kind, ServiceRequest request, const QByteArray& key)
{
    if (cold_.contains(key))
        return 0;
    // A compilation goes before the checks that wait, and a check before
    // older ones: they are given up. A completion, which the user waits
    // for, goes before them too, and before older completions. A question
    // (navigation) gives up nothing, nor is it given up.
    const bool completion = kind == Kind::Complete || kind == Kind::Signature;
    for (auto it = pending_.begin(); it != pending_.end() && kind != Kind::Query; ++it) {
        const bool older = it.value() == Kind::Complete || it.value() == Kind::Signature;
        if (it.value() == Kind::Check || (completion && older))
            outbox_->push(CancelRequest{it.key()});
    }
    const quint64 id = ++nextId_;
    setServiceRequestId(request, id);
    outbox_->push(request);
    pending_.insert(id, kind);
    keys_.insert(id, key);
    auto* t = new QTimer(this);
    t->setSingleShot(true);
    connect(t, &QTimer::timeout, this, [this, id] { onTimeout(id); });
    t->start(timeoutMs_);
    timers_.insert(id, t);
    return id;
}

void CompileService::onTimeout(quint64 id)
{
    if (!pending_.contains(id))
        return;
    // Too long: this request is left to javac, now and next time, and the
    // service, which may be stuck, is ended first and started anew.
    rememberCold(id);
    const ServiceSetup s = setup_;
    endProcess(QStringLiteral("the compile service took too long"));
    state_ = State::Stopped;
    setup_ = s;
    launch();
}

quint64 CompileService::compile(const QStringList& args, const QString& workDir)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    return submit(Kind::Compile, CompileRequest{0, QFileInfo(workDir).absoluteFilePath(), args},
                  serviceRequestKey('C', workDir, args));
}

quint64 CompileService::check(const QString& file, const QString& text, const QStringList& options,
                              const QString& workDir)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    return submit(Kind::Check, CheckRequest{0, workDir, file, text, options},
                  serviceRequestKey('K', workDir, options));
}

quint64 CompileService::query(ServiceRequest request)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    QByteArray key("Q");
    key += std::holds_alternative<OutlineRequest>(request) ? "outline" : "declaration";
    return submit(Kind::Query, std::move(request), key);
}

void CompileService::cancel(quint64 id)
{
    if (proc_ && pending_.value(id, Kind::Compile) != Kind::Compile && pending_.contains(id))
        outbox_->push(CancelRequest{id});
}

void CompileService::handle(const ServiceReply& reply)
{
    if (std::holds_alternative<ReadyReply>(reply)) {
        onReady();
        return;
    }
    const quint64 id = serviceReplyId(reply);
    if (!pending_.contains(id))
        return;  // given up already (a timeout)
    const Kind kind = pending_.value(id);
    const auto* failed = std::get_if<FailedReply>(&reply);
    if (failed && failed->cold)
        rememberCold(id);
    finishRequest(id);
    answer(id, kind, reply);
}

void CompileService::answer(quint64 id, Kind kind, const ServiceReply& reply)
{
    if (const auto* r = std::get_if<CompiledReply>(&reply); r && kind == Kind::Compile)
        emit compiled(id, r->status, r->output);
    else if (const auto* r = std::get_if<CheckedReply>(&reply); r && kind == Kind::Check)
        emit checked(id, r->diagnostics);
    else if (const auto* r = std::get_if<CompletedReply>(&reply); r && kind == Kind::Complete)
        emit completed(id, r->items);
    else if (const auto* r = std::get_if<SignaturesReply>(&reply); r && kind == Kind::Signature)
        emit signatureFound(id, r->help);
    else if (kind == Kind::Query && !std::holds_alternative<FailedReply>(reply) &&
             !std::holds_alternative<CancelledReply>(reply))
        emit answered(id, reply);
    else if (std::holds_alternative<CancelledReply>(reply))
        fail(id, kind, QStringLiteral("cancelled"));
    else if (const auto* r = std::get_if<FailedReply>(&reply); r && !r->reason.isEmpty())
        fail(id, kind, r->reason);
    else
        fail(id, kind, QStringLiteral("the compile service failed"));
}

void CompileService::onReady()
{
    if (state_ != State::Starting)
        return;
    startTimer_->stop();
    QFile errors(scratch_ ? scratch_->path() + QLatin1String(kStartErrors) : QString());
    if (errors.open(QIODevice::ReadOnly) && errors.size() > 0) {
        const QString why = QStringLiteral("the JVM of the compile service printed: %1")
                                .arg(QString::fromLocal8Bit(errors.read(500)).trimmed());
        endProcess(why);
        markUnusable(why);
        return;
    }
    state_ = State::Ready;
    emit ready();
}

quint64 CompileService::submitCompletion(CompleteRequest request)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    const bool items = request.kind == CompleteRequest::Items;
    const QByteArray key = serviceRequestKey(items ? 'P' : 'S', request.workDir, request.options);
    return submit(items ? Kind::Complete : Kind::Signature, std::move(request), key);
}

quint64 CompileService::complete(const QString& file, const QString& text, int offset, const QStringList& options,
                                 const QString& workDir)
{
    return submitCompletion(CompleteRequest{CompleteRequest::Items, 0, workDir, file, text, offset, options});
}

quint64 CompileService::signature(const QString& file, const QString& text, int offset, const QStringList& options,
                                  const QString& workDir)
{
    return submitCompletion(CompleteRequest{CompleteRequest::Signatures, 0, workDir, file, text, offset, options});
}
