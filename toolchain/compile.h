// SPDX-License-Identifier: GPL-3.0-or-later
// Compiling Java sources with javac: the option text, the capture file, the
// out-of-date test, the project's compile list and an asynchronous compiler run.
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

// The compiler options as javac arguments, built from the build settings in
// this order: "-classpath" and its text, "-d" and its text, the Java Options,
// "-Xprefer:newer", "-verbose", "-O", "-nowarn", "-g", "-deprecation".
// A text setting that is present adds its option even when its text is empty.
// The Java Options text becomes one "-J<word>" per space-separated word
// ("-J-Xmx256m"), as javac takes no "-J" followed by a separate word; an empty
// Java Options text adds nothing. Compilation Dependencies asks javac to
// compile a referenced source that is newer than its class ("-Xprefer:newer";
// javac no longer knows "-depend").
QStringList makeargsList();

// The option text shown while the compiler runs: every argument of
// makeargsList() preceded by a space, so that it shows exactly what is passed
// (" -classpath .:/lib -J-Xmx256m -g"; " -d " for an empty destination).
QString makeargs();

// Sets `curdir` to the directory of the full path `nameext` (without a
// trailing separator) and makes it the process's current directory.
// Returns false when the directory could not be entered.
bool setcurdir(const QString& nameext);

// 1 when the compiled file `fobj` or the source `fsrc` is no regular file or
// cannot be opened for reading (a named pipe or device is never opened), or when the source was modified later than the compiled file
// (compared at the file system's full precision); 0 otherwise, equal times
// included.
int need_comp(const QString& fobj, const QString& fsrc);

// True when the capture file `erf` exists, is not empty and contains "error"
// (lower case) anywhere. The file is read in pieces, never whole.
bool erreur(const QString& erf);

// The capture file of a source or project: `temp` + "/" + base name + ".err".
QString captureFileName(const QString& sourcePath);

// The full path of the compiler: `javabin` + "/" + "javac" (host's tool name).
QString javacProgram();

// The command as the status bar shows it: program, a space, the option text,
// a space, then the sources: for a single file its full path, for a project
// each out-of-date source (as listed in ProjectCompilePlan::sources) followed
// by a space.
QString javacCommandText(const QString& javacPath, const QString& singleSource);
QString javacCommandText(const QString& javacPath, const QStringList& projectSources);

// One usable line of a project file.
struct ProjectEntry {
    QString line;     // the entry as the project file writes it
    QString base;     // file name after the last separator, up to its first '.'
    QString ext;      // text after that first '.' (may be empty)
    int needComp = 0; // need_comp of base.class against base.ext in the project's directory
};

// What a project compilation has to do.
struct ProjectCompilePlan {
    QString directory;              // the project file's directory: javac runs there
    QStringList sources;            // out-of-date Java sources, each "Base.java" (or "./Base.java")
    int entries = 0;                // usable lines of the project file
    QStringList refused;            // out-of-date Java entries that are no regular files, "path (a named pipe)"
    std::vector<ProjectEntry> items;
};

// Reads the project file: its entries are those of projectCompileEntries
// (project/projfile.h), every line that is not empty and does not begin with
// '#' (a CR before the LF is dropped; lines of any length and any number of
// entries). Directories written in the lines are dropped:
// Base.class and Base.ext are compared in the project's directory, and an
// out-of-date entry whose extension is a Java one ("java", "JAVA", "jav",
// "JAV") is listed as "Base.java". A name beginning with "-" or "@" is listed
// as "./Base.java", so that javac never takes an entry for an option or an
// argument file. An out-of-date entry whose source is no regular file (a named
// pipe, a device, a folder) is not listed but named in `refused`. An unreadable
// project gives 0 entries.
ProjectCompilePlan planProjectCompile(const QString& projectPath);

// For a plan that lists no source: whether the project counts as compiled
// (it has Java sources, and each has its class, newer than the source), and
// the status text that says why nothing is compiled: "nothing to compile: "
// followed by "every class is newer than its source", or by the entries
// that are not Java sources, or by "the project lists no sources".
bool projectClassesCurrent(const ProjectCompilePlan& plan);
QString nothingToCompileText(const ProjectCompilePlan& plan);

// The outcome of one compilation, decided when the compiler has ended.
struct CompileOutcome {
    enum Kind {
        Success,     // the compiler exited with status 0
        Failed,      // the compiler exited with another status
        NotStarted,  // the compiler could not be started
        Crashed,     // the compiler was ended by a signal that Brewpad did not send
        Stopped,     // the user stopped the compilation (JavacRunner::stop)
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
// (sharedCompileService(), toolchain/compileservice.h) is warm with the JDK of
// `javacPath`, the Java Options of `args` and the directory `workDir`, it
// compiles instead of a new javac process, with the same exit status and the
// same bytes in the capture file; when it is not, or fails, or takes too
// long, javac is started as usual, and after the compilation the service is
// started in the background with what that compilation needed. The capture file is emptied before every
// compilation and receives the compiler's standard error; its standard output
// is discarded. The compiler's exit status alone decides the outcome: 0 is
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
    bool start(const QString& javacPath, const QStringList& args, const QString& workDir,
               const QString& captureFile, const QStringList& watched = {});
    // Ends the running compiler with its whole process group; finished()
    // then reports Stopped. False when no compilation runs.
    bool stop();
    bool isRunning() const { return running_; }
    QString captureFile() const { return capture_; }
    // Whether the last compilation that ended was done by the compile service.
    bool usedService() const { return usedService_; }

    // The runner whose compilation runs now, or nullptr.
    static JavacRunner* active();

signals:
    void finished(const CompileOutcome& outcome);

private:
    void conclude(CompileOutcome outcome);
    void onFinished(int exitCode, int exitStatus);
    void onError(int error);
    void killGroup();
    void proceed();
    void startJavac();
    void onServiceCompiled(quint64 id, int exitStatus, const QByteArray& output);
    void onServiceFailed(quint64 id);

    QProcess* proc_ = nullptr;
    QString capture_;
    bool running_ = false;
    bool stopped_ = false;
    qint64 group_ = 0;  // the compiler's process group while it runs
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
// Makes the shared compile service, owned by `owner`, without starting it: the
// first compilation starts it (see JavacRunner). Nullptr when the service is
// not installed.
CompileService* makeCompileService(QObject* owner);

// Runs one compilation and waits for its outcome (spinning a local event
// loop). For tests and tools; the editor uses JavacRunner.
CompileOutcome runJavacBlocking(const QString& javacPath, const QStringList& args,
                                const QString& workDir, const QString& captureFile);
