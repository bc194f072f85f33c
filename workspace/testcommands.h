// SPDX-License-Identifier: GPL-3.0-or-later
// Run Tests and Run Test at Caret: the active editor's source, when it is a
// JUnit test class (it imports org.junit), is compiled as Java Compile
// compiles it (JUnit's jars on its class path) and its tests, or only the
// @Test method at the caret, are run by the JUnit console launcher. The
// outcome shows in the "Test Results" pane, which leads to a failing line
// and runs the failed tests again.
#pragma once
#include "project/projectmodel.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/testing/testrun.h"
#include "workspace/testresultswindow.h"

#include <QObject>
#include <QPointer>

class CommandTable;
class TFileMDIChild;
class TFileMDIClient;

class TestCommands : public QObject {
    Q_OBJECT
public:
    TestCommands(TFileMDIClient& workspace, CommandTable& table);

    // Run Tests (`atCaret` false) and Run Test at Caret on the active editor.
    void runTests(bool atCaret);
    // Runs the tests that failed in the last run again (without compiling).
    void runFailedAgain();
    // Runs `selection` (described as `what`) with `classPath` in `workDir`;
    // a failing line is looked for in the package folders under `sourceRoot`.
    void runSelection(const TestSelection& selection, const QStringList& classPath, const QString& workDir,
                      const QString& sourceRoot, const QString& what);
    // The Test Results pane, made when first needed.
    TestResultsWindow* showResults(bool activate);
    TestResultsWindow* results() const { return window_; }
    TestRun& testRun() { return *run_; }

private:
    // False, after saying why, when the source cannot be tested.
    bool mayTest(TFileMDIChild* c, QString* className);
    void compiled(const CompileOutcome& outcome);
    void start(const TestSelection& selection, const QString& what);
    void finished(const TestRunResult& result, const QString& error);
    void goTo(const QString& className, const QString& fileName, int line);
    void refuse(const QString& text);

    TFileMDIClient& ws_;
    TestRun* run_;
    QPointer<JavacRunner> javac_;
    QPointer<TestResultsWindow> window_;
    TestSelection pending_;  // what runs once the compilation succeeded
    QString sourceFile_;     // the test class's source
    QString sourceRoot_;     // the folder of its package's root
    QStringList classPath_;
    ProjectModel model_;  // the model of the tested source: its package, its jars
    QString workDir_;     // where the tests run
};
