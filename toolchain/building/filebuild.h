// SPDX-License-Identifier: GPL-3.0-or-later
// The build commands of one file: the classification of the file (an
// application, an applet, the class to run), Java Compile with its outcome,
// and the run kinds (toolchain/building/runkinds.h). They act on the file as
// last saved; the window that shows it is reached through a BuildSite.
#pragma once
#include "project/projectmodel.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/running/programprocess.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class BuildSite;
class JavacRunner;
struct CompileOutcome;
struct RunPlan;

// What Debug Run starts: the class Java Run would start, as a program Brewpad
// runs itself, the folder its classes are in, and the folder of its source.
struct DebugTarget {
    ProgramCommand command;
    QString className;
    QString classDir;
    QString sourceDir;
};

class FileBuild : public QObject {
    Q_OBJECT
public:
    // The build commands of the file `site` shows.
    explicit FileBuild(BuildSite* site);
    ~FileBuild() override;  // a compilation still running is given up

    // Classifies the file on disk (or every source of its project) as
    // application or applet; the flags are only ever set, and a class name
    // found replaces classename.
    void classify();
    // Java Compile: one compilation at a time in the whole program; the
    // outcome is told in the status bar and, for some, in a message.
    void compile();
    // A run kind that starts on its own (Java Run, Applet Run), in the
    // source's directory.
    void run(RunKindId kind);
    void run() { run(RunKindId::JavaRun); }
    void runApplet() { run(RunKindId::AppletRun); }
    // Debug Run's program, chosen as Java Run chooses it, with `java` (the
    // configured JDK's); nullopt, after saying why, when nothing can start.
    std::optional<DebugTarget> debugTarget(const QString& java);

    // The model of the file: its sources, class path and class folder.
    ProjectModel model() const;
    // What the enabling rules of the run kinds read.
    RunState runState() const;
    // True when the run kind `kind` is offered now.
    bool offers(RunKindId kind) const;

    // What the classification found, and whether the classes are current.
    bool IsJavaMain = false;
    bool IsJavaApplet = false;
    bool IsCompiled = false;  // set by a successful compilation, cleared by every save
    QString classename;       // the class to run; empty while none was found

private:
    // The file; empty for a window never saved.
    QString sourceFile() const;
    // False, after saying why, when `file` cannot be compiled now.
    bool mayCompile(const QString& file);
    // The classification of a source in its package's folders (the model's
    // packageName): its text without the package declaration.
    void classifyInPackage();
    // The status note that names the jars of lib/ the model adds, once for
    // each set of them; empty when they were named already.
    static QString libraryNote(const ProjectModel& model);
    // Starts javac on the project; false when nothing was started.
    bool startProject(const ProjectModel& model, const QString& capture, QString* shown);
    void compileFinished(const CompileOutcome& outcome);
    // What the status bar adds to a failed compilation of this source.
    QString failureNote() const;
    // Plans `kind` for the file; nullopt after showing why nothing starts.
    std::optional<RunPlan> plan(RunKindId kind, const QString& java = QString());

    BuildSite* site_;
    QPointer<JavacRunner> runner_;
    QString libraryNote_;  // what the end of the running compilation adds to its status
};
