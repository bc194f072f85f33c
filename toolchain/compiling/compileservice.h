// SPDX-License-Identifier: GPL-3.0-or-later
// The client of the compile service (toolchain/compiling/service/, spoken to
// in the values of toolchain/compiling/serviceprotocol.h): the JDK's compiler
// kept warm in a resident JVM, which compiles exactly as a javac process
// started in the same directory would, and checks a source's text in memory.
#pragma once
#include "toolchain/compiling/completionitems.h"
#include "toolchain/compiling/servicejvm.h"
#include "toolchain/compiling/serviceprotocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class QTimer;
class ServiceOutbox;
class ServiceReplies;
class ServiceScratch;

// How a service is started: with the `java` of `javaBin`, the JVM options
// `jvmOptions`, in the directory `workDir`. A compilation may go to a service
// only when it is ready with the very setup the compilation asks for.
struct ServiceSetup {
    QString javaBin;
    QStringList jvmOptions;
    QString workDir;
    bool operator==(const ServiceSetup&) const = default;
};

// A compile service process and the requests it serves, one at a time in the
// order they were made. Everything is asynchronous: a request returns its id
// at once and one signal answers it later. The process ends with this object
// (killed and reaped on destruction), when its input closes, and when
// Brewpad's process ends. Ending it never waits: it is killed, and the
// requests it held fail once it has gone (settled() then follows), so that
// whoever takes a request over never runs beside it. A request that takes
// too long or that the service's JVM cannot do (out of memory) is failed the
// same way, and that kind of request in that directory with those options
// goes straight to javac afterwards (compile() and check() return 0).
class CompileService : public QObject {
    Q_OBJECT
public:
    enum class State {
        Stopped,   // no process
        Starting,  // started, not yet warm
        Ready,     // serving requests
        Unusable,  // this setup cannot serve: its JVM failed, or printed something at its start
    };

    explicit CompileService(QObject* parent = nullptr);
    ~CompileService() override;

    // The service's jar: beside the program first, then where it is installed
    // relative to the program; empty when neither exists.
    static QString defaultJar();
    void setJar(const QString& path) { jar_ = path; }
    QString jar() const { return jar_; }

    // How long a compilation may take before it is given up (and the
    // service restarted): compileFailed() then lets the caller run javac.
    void setTimeout(int ms) { timeoutMs_ = ms; }
    // How long a JVM may take to say it is ready; one that takes longer is
    // ended, and this setup is left to javac.
    void setStartLimit(int ms) { startLimitMs_ = ms; }

    // The service's JVM options, a compile request's arguments and the JDK's
    // `java` for a javac (toolchain/compiling/servicejvm.h).
    static QStringList jvmOptionsFor(const QStringList& javacArgs) { return serviceJvmOptions(javacArgs); }
    static QStringList withoutJvmOptions(const QStringList& javacArgs)
    {
        return javacArgsWithoutJvmOptions(javacArgs);
    }
    static QString javaBinFor(const QString& javacPath) { return javaBinOfJavac(javacPath); }

    // Starts a service with `setup` in the background, ending the one that
    // runs with another setup; the first JVM not before Brewpad's own start
    // is over (1.5 s after this object was made). Nothing happens when one
    // runs or starts with this setup already, or when this setup was found
    // unusable.
    void start(const ServiceSetup& setup);
    // Ends the process at once; requests in flight fail once it has gone.
    void stop();
    // Ends the process and starts it again in the background with the same
    // setup, once the event loop runs.
    void restart();

    State state() const { return state_; }
    ServiceSetup setup() const { return setup_; }
    bool readyFor(const ServiceSetup& setup) const { return state_ == State::Ready && setup_ == setup; }
    // Ready with the `java` and JVM options of `setup`, in whichever
    // directory: a compilation in another one may go to it too (the service
    // takes its paths from there, or refuses what it cannot make exactly so).
    bool readyToCompile(const ServiceSetup& setup) const
    {
        return state_ == State::Ready && setup_.javaBin == setup.javaBin && setup_.jvmOptions == setup.jvmOptions;
    }
    qint64 processId() const;
    QString lastError() const { return lastError_; }
    // True while a process that was ended has not yet gone.
    bool settling() const { return !dying_.isEmpty(); }

    // A compilation with the arguments `args` ("-J" options taken out) in
    // `workDir`, whichever directory the service runs in: the bytes of a javac
    // started there. Returns 0, and does nothing, unless the service is
    // ready; else the request's id, answered by compiled() or compileFailed()
    // (also when the service cannot reproduce a compilation in another
    // directory exactly).
    quint64 compile(const QStringList& args, const QString& workDir);
    // A check of `file` (relative to `workDir`, or absolute) holding `text`,
    // with the compiler options `options` (relative paths taken from
    // `workDir`; the service may run elsewhere). Nothing is written to disk.
    // An older check still waiting or running is cancelled. Returns 0 unless
    // the service is ready; else the id, answered by checked() or checkFailed().
    quint64 check(const QString& file, const QString& text, const QStringList& options, const QString& workDir);
    // A question about a text (a DeclarationRequest or an OutlineRequest, see
    // toolchain/compiling/servicenavigation.h; its id is given here). It
    // waits behind the requests made before it and cancels none. Returns 0
    // unless the service is ready; else the id, answered by answered() with
    // the reply, or queryFailed().
    quint64 query(ServiceRequest request);
    // Gives up a check or a question: checkFailed() or queryFailed() follows
    // with the reason "cancelled".
    void cancel(quint64 id);
    // What fits at `offset` (in UTF-16 units) of `text`, the text of `file`,
    // compiled as check() compiles it: answered by completed() or
    // completeFailed(). Older completion and signature requests and checks
    // still waiting or running are cancelled. Returns 0 unless the service
    // is ready.
    quint64 complete(const QString& file, const QString& text, int offset, const QStringList& options,
                     const QString& workDir);
    // The overloads of the call whose "(" encloses `offset`: answered by
    // signatureFound() or completeFailed(), as complete() is.
    quint64 signature(const QString& file, const QString& text, int offset, const QStringList& options,
                      const QString& workDir);

signals:
    void ready();
    // Every process that was ended has gone.
    void settled();
    void unusable(const QString& reason);
    void compiled(quint64 id, int exitStatus, const QByteArray& output);
    void compileFailed(quint64 id, const QString& reason);
    void checked(quint64 id, const QList<ServiceDiagnostic>& diagnostics);
    void checkFailed(quint64 id, const QString& reason);
    void answered(quint64 id, const ServiceReply& reply);
    void queryFailed(quint64 id, const QString& reason);
    void completed(quint64 id, const QList<CompletionItem>& items);
    void signatureFound(quint64 id, const SignatureHelp& help);
    // A completion or signature request was not answered ("cancelled" when given up).
    void completeFailed(quint64 id, const QString& reason);

private:
    enum class Kind { Compile, Check, Query, Complete, Signature };
    using Requests = QHash<quint64, Kind>;
    void launch();
    bool spawn();
    void onFinished();
    void handle(const ServiceReply& reply);
    void answer(quint64 id, Kind kind, const ServiceReply& reply);
    void onReady();
    quint64 submit(Kind kind, ServiceRequest request, const QByteArray& key);
    void onTimeout(quint64 id);
    void failRequests(const Requests& requests, const QString& reason);
    void fail(quint64 id, Kind kind, const QString& reason);
    quint64 submitCompletion(CompleteRequest request);
    void finishRequest(quint64 id);
    void rememberCold(quint64 id);
    void markUnusable(const QString& why);
    // Kills the process without waiting for it; its requests fail with
    // `reason` once it has gone.
    void endProcess(const QString& reason);
    void kill();

    QString jar_;
    int timeoutMs_ = 60000;
    int startLimitMs_ = 60000;
    State state_ = State::Stopped;
    ServiceSetup setup_;
    ServiceSetup unusableSetup_;
    bool hasUnusable_ = false;
    QString lastError_;
    QProcess* proc_ = nullptr;
    ServiceReplies* replies_ = nullptr;
    std::unique_ptr<ServiceScratch> scratch_;
    QTimer* startTimer_ = nullptr;
    QElapsedTimer born_;
    bool launched_ = false;   // a JVM was started once
    quint64 generation_ = 0;  // of the launch that is due
    QList<QProcess*> dying_;
    quint64 nextId_ = 0;
    Requests pending_;
    QHash<quint64, QTimer*> timers_;
    QHash<quint64, QByteArray> keys_;  // of the requests in flight
    QSet<QByteArray> cold_;            // requests left to javac from now on
    ServiceOutbox* outbox_;            // frames on their way to the process
};

// The service that F9 uses, or nullptr while none has been made (see
// startCompileService in toolchain/compiling/javacrunner.h).
CompileService* sharedCompileService();
void setSharedCompileService(CompileService* service);
