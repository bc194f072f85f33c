// SPDX-License-Identifier: GPL-3.0-or-later
// The asynchronous compiler run: one compilation at a time in the whole
// program, by the compile service when it is warm, else by a javac process.
#pragma once
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class QProcess;
class CompileService;

// The outcome of one compilation, decided when the compiler has ended.
struct CompileOutcome {
    enum Kind {
        Success,     // the compiler exited with status 0
        Failed,      // the compiler exited with another status
        NotStarted,  // the compiler could not be started
        Crashed,     // the compiler was ended by a signal that Brewpad did not send
        Stopped,     // the user stopped the compilation (JavacRunner::stop)
        // The compiler's messages could not be written whole to the capture
        // file (its folder full or unwritable; `reason` says which and why):
        // nothing is known to be compiled.
        CaptureFailed,
    };
    Kind kind = NotStarted;
    int exitCode = -1;      // the compiler's exit status when it exited
    int signal = 0;         // for Crashed: the signal that ended it
    int failureIndex = -1;  // for NotStarted: index of libelle_erreur (run.h)
    QString reason;         // for NotStarted and Crashed: what went wrong, in words
    // A watched file (see JavacRunner::start) was written, replaced or removed
    // while the compiler ran: what it compiled is not what is on disk now.
    bool sourcesChanged = false;
};
Q_DECLARE_METATYPE(CompileOutcome)

// The compilation started last in this run of the program (empty before the
// first): its capture file and the directory the compiler ran in, against
// which the relative paths of its messages are resolved.
struct CompilationRecord {
    QString capture;
    QString directory;
};
const CompilationRecord& lastCompilation();

// Runs javac without blocking the caller's event loop. One compilation at a
// time in the whole program. When the shared compile service
// (sharedCompileService(), toolchain/compiling/compileservice.h) is warm with the JDK of
// `javacPath`, the Java Options of `args` and the directory `workDir`, it
// compiles instead of a new javac process, with the same exit status and the
// same bytes in the capture file; when it is not, or fails, or takes too
// long, javac is started as usual, and after the compilation the service is
// started in the background with what that compilation needed. The capture file is emptied before every
// compilation and receives the compiler's standard error when it has ended
// (written whole, or the outcome is CaptureFailed); its standard output is
// discarded. The compiler's exit status alone decides the outcome: 0 is
// Success, anything else Failed; the messages are only read to be shown.
// The compiler runs in a process group of its own, so that stopping it, or
// destroying the runner while it runs (closing its window, leaving Brewpad),
// ends every process it started.
class JavacRunner : public QObject {
    Q_OBJECT
public:
    explicit JavacRunner(QObject* parent = nullptr);
    ~JavacRunner() override;  // ends the compiler's whole process group

    // Starts a compilation. Returns false (and does nothing) while another
    // one runs; otherwise true, and finished() follows exactly once, later
    // (also when the program cannot be started). The files of `watched` (the
    // sources, the project file) are noted as they are now; the outcome says
    // whether any of them changed before the compiler ended.
    bool start(const QString& javacPath, const QStringList& args, const QString& workDir, const QString& captureFile,
               const QStringList& watched = {});
    // Ends the running compiler with its whole process group; finished()
    // then reports Stopped. False when no compilation runs.
    bool stop();
    bool isRunning() const { return running_; }
    QString captureFile() const { return capture_; }
    // Whether the last compilation that ended was done by the compile service.
    bool usedService() const { return usedService_; }

    // The runner whose compilation runs now, or nullptr.
    static JavacRunner* active();
    // Whether this runner's compilations become lastCompilation() (F9's do;
    // a compilation of Brewpad's own, such as Debug Run's, does not).
    void setRecorded(bool recorded) { recorded_ = recorded; }

signals:
    void finished(const CompileOutcome& outcome);

private:
    void conclude(CompileOutcome outcome);
    void onFinished(int exitCode, int exitStatus);
    void onError(int error);
    void killGroup();
    // Goes on with the compilation once a service that was ended has gone.
    void proceedWhenSettled();
    void proceed();
    void startJavac();
    void onServiceCompiled(quint64 id, int exitStatus, const QByteArray& output);
    void onServiceFailed(quint64 id);
    // Writes the compiler's messages to the capture file; else concludes CaptureFailed and returns false.
    bool writeCapture(const QByteArray& output);

    QProcess* proc_ = nullptr;
    QString capture_;
    bool running_ = false;
    bool recorded_ = true;
    bool stopped_ = false;
    qint64 group_ = 0;                                     // the compiler's process group while it runs
    std::vector<std::pair<QString, QByteArray>> watched_;  // path and noted state
    // This compilation, for javac when the service cannot do it.
    QString program_;
    QStringList args_;
    QString workDir_;
    QPointer<CompileService> service_;  // the service that compiles it now
    quint64 serviceRequest_ = 0;
    bool serviceWanted_ = false;  // start the service for this setup afterwards
    bool usedService_ = false;
    quint64 compilation_ = 0;  // the compilation waiting for the service to have gone
};

// Makes the shared compile service, owned by `owner`, and starts it in the
// background (once the event loop runs) for compilations in `dir`, with the
// JDK of `javabin` and the Java Options of the build settings. Nothing is
// started when the service is not installed; F9 then always starts javac.
void startCompileService(QObject* owner, const QString& dir);
// While held, only a compilation starts the shared compile service: the tool
// paths came from a brewpad.cfg of the start folder (or TEMP, TMP), so that
// nothing of that configuration runs before the first Java Compile. The first
// compilation lets go of it.
void holdCompileServiceUntilCompile(bool held);
bool compileServiceHeldUntilCompile();
// Makes the shared compile service, owned by `owner`, without starting it: the
// first compilation starts it (see JavacRunner). Nullptr when the service is
// not installed.
CompileService* makeCompileService(QObject* owner);

// Runs one compilation and waits for its outcome (spinning a local event
// loop). For tests and tools; the editor uses JavacRunner.
CompileOutcome runJavacBlocking(const QString& javacPath, const QStringList& args, const QString& workDir,
                                const QString& captureFile);
