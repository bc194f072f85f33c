// SPDX-License-Identifier: GPL-3.0-or-later
// Maven projects in the workspace. Open Project on a pom.xml opens its project
// window (workspace/mavenwindow.h) at once and asks Maven about the project in
// the background ("Asking Maven about <pom>..." in the status bar), once for
// the pom as it is; the answer fills the window. While the window is active it
// carries Java Compile (the out-of-date sources through the warm compiler into
// the output folder, then the tests into theirs), Java Run and Debug Run (a
// class of the project with a `main`), Run Tests (every test class, from the
// test output folder with the test class path), Build with Maven (mvn package,
// its output in the Console, its errors and failed tests in the compiler
// messages) and Stop Compiling, which ends Maven's whole process group.
#pragma once
#include "project/projectmodel.h"
#include "toolchain/maven/mavenprobe.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class JavacRunner;
class MavenCall;
class MavenProjectWindow;
class TFileMDIClient;
struct CompileOutcome;

class MavenCommands : public QObject {
    Q_OBJECT
public:
    explicit MavenCommands(TFileMDIClient& workspace);
    ~MavenCommands() override;

    // True for a file Open Project takes for a Maven project (named pom.xml).
    static bool isPom(const QString& path);
    // Opens the project window of `pomPath` (brings it to the front when it
    // is open) and asks Maven about it.
    void openPom(const QString& pomPath);
    // The project window of `pomPath`; null when none is open.
    MavenProjectWindow* window(const QString& pomPath) const;
    // True while Maven runs (asked about a project, or building one).
    bool mavenRunning() const;
    // `mvn`: the Maven program; found on PATH when empty.
    void setMaven(const QString& mvn) { probe_ = MavenProbe(mvn); }
    const MavenProbe& probe() const { return probe_; }
    // True when the last compilation went to the warm compile service.
    bool compiledWarm() const;

    // The commands of the window, also reached through its table.
    void compile(MavenProjectWindow* w, std::function<void()> then = {});
    void run(MavenProjectWindow* w, bool debug);
    void runTests(MavenProjectWindow* w);
    void build(MavenProjectWindow* w);
    void stop();
    // Compiles the open Maven project whose roots hold `file`; false when none does.
    bool compileHolding(const QString& file);

signals:
    // Maven answered about the project `pomPath` (or failed: `ok` false).
    void answered(const QString& pomPath, bool ok);
    // Build with Maven ended with `exitCode`.
    void built(int exitCode);

private:
    void addCommands(MavenProjectWindow* w);
    void ask(MavenProjectWindow* w);
    void probeFinished(MavenProjectWindow* w, const QString& output, int exitCode, bool stopped);
    void showAnswer(MavenProjectWindow* w, const MavenAnswer& answer);
    // Moves the warm compiler to the project's folder.
    void warmUp(const ProjectModel& m);
    // Compiles the out-of-date sources of one half of the project; false
    // when there were none.
    bool compileStage(bool tests);
    void compileFinished(const CompileOutcome& outcome);
    void buildFinished(const QString& output, int exitCode, bool stopped);
    // The class Java Run and Debug Run start; empty, after saying why, when none.
    QString chooseMain(MavenProjectWindow* w);
    MavenCall* newCall();
    void refuse(const QString& text, const QString& caption);

    TFileMDIClient& ws_;
    MavenProbe probe_;
    QPointer<MavenCall> call_;
    QPointer<MavenProjectWindow> building_;  // the window of Build with Maven
    QPointer<JavacRunner> javac_;
    ProjectModel compiling_;  // the model of the compilation under way
    bool compilingTests_ = false;
    bool compiledAny_ = false;
    std::function<void()> afterCompile_;
};
