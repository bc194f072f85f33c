// Compiling Java sources with javac: the option text, the capture file, the
// out-of-date test, the project's compile list and an asynchronous compiler run.
#pragma once
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

class QProcess;

// The compiler options built from the build settings, in this order:
// " -classpath %s", " -d %s", " -J %s", " -depend", " -verbose", " -O",
// " -nowarn", " -g", " -deprecation". Every piece begins with a space; a text
// setting that is present adds its piece even when its text is empty.
// This is the text shown while the compiler runs.
QString makeargs();

// The same options as javac arguments. The Java Options text becomes one
// "-J<word>" per space-separated word ("-J-Xmx256m"), as javac takes no "-J"
// followed by a separate word; an empty Java Options text adds nothing here.
QStringList makeargsList();

// Sets `curdir` to the directory of the full path `nameext` (without a
// trailing separator) and makes it the process's current directory.
// Returns false when the directory could not be entered.
bool setcurdir(const QString& nameext);

// 1 when the compiled file `fobj` or the source `fsrc` cannot be opened for
// reading, or when the source was modified later than the compiled file
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
// each out-of-date source followed by a space.
QString javacCommandText(const QString& javacPath, const QString& singleSource);
QString javacCommandText(const QString& javacPath, const QStringList& projectSources);

// One usable line of a project file.
struct ProjectEntry {
    QString base;     // file name after the last separator, up to its first '.'
    QString ext;      // text after that first '.' (may be empty)
    int needComp = 0; // need_comp of base.class against base.ext in the project's directory
};

// What a project compilation has to do.
struct ProjectCompilePlan {
    QString directory;              // the project file's directory: javac runs there
    QStringList sources;            // out-of-date Java sources, each "Base.java"
    int entries = 0;                // usable lines of the project file
    std::vector<ProjectEntry> items;
};

// Reads the project file: every line that is not empty and does not begin
// with '#' is an entry (a CR before the LF is dropped; lines of any length
// and any number of entries). Directories written in the lines are dropped:
// Base.class and Base.ext are compared in the project's directory, and an
// out-of-date entry whose extension is a Java one ("java", "JAVA", "jav",
// "JAV") is listed as "Base.java". An unreadable project gives 0 entries.
ProjectCompilePlan planProjectCompile(const QString& projectPath);

// The outcome of one compilation, decided when the compiler has ended.
struct CompileOutcome {
    enum Kind { Success, Failed, NotStarted };
    Kind kind = NotStarted;
    int exitCode = -1;      // the compiler's exit code when it ran
    int failureIndex = -1;  // for NotStarted: index of libelle_erreur (run.h)
    QString reason;         // for NotStarted (and a crash): what went wrong, in words
};
Q_DECLARE_METATYPE(CompileOutcome)

// Runs javac without blocking the caller's event loop. One compilation at a
// time. The capture file is emptied before every compilation and receives
// the compiler's standard error; its standard output is discarded.
// The outcome: Failed when the capture holds "error" or the exit code is not
// zero (or the compiler crashed); Success otherwise; NotStarted when the
// program could not be started (the capture file then stays empty).
class JavacRunner : public QObject {
    Q_OBJECT
public:
    explicit JavacRunner(QObject* parent = nullptr);
    ~JavacRunner() override;

    // Starts a compilation. Returns false (and does nothing) while another
    // one runs; otherwise true, and finished() follows exactly once, later
    // (also when the program cannot be started).
    bool start(const QString& javacPath, const QStringList& args, const QString& workDir,
               const QString& captureFile);
    bool isRunning() const { return running_; }
    QString captureFile() const { return capture_; }

signals:
    void finished(const CompileOutcome& outcome);

private:
    void conclude(const CompileOutcome& outcome);
    void onFinished(int exitCode, int exitStatus);
    void onError(int error);

    QProcess* proc_ = nullptr;
    QString capture_;
    bool running_ = false;
};

// Runs one compilation and waits for its outcome (spinning a local event
// loop). For tests and tools; the editor uses JavacRunner.
CompileOutcome runJavacBlocking(const QString& javacPath, const QStringList& args,
                                const QString& workDir, const QString& captureFile);
