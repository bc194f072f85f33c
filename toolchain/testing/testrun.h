// SPDX-License-Identifier: GPL-3.0-or-later
// A JUnit run: the JUnit console launcher started with the configured JDK's
// `java` (without a shell, in a process group of its own) on a test class,
// a test method or several classes, with the class path given (the classes'
// folder and jars) and JUnit's own jars, so that JUnit 5 (Jupiter) and JUnit 4
// tests (through the Vintage engine) both run. When the launcher ends, its XML
// reports are read into a TestRunResult. Stopping ends the launcher and all
// it started.
#pragma once
#include "toolchain/running/programprocess.h"
#include "toolchain/testing/junitjars.h"
#include "toolchain/testing/testreport.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QTemporaryDir;

// What a run runs: classes, fully qualified, and methods as "Class#method".
struct TestSelection {
    QStringList classes;
    QStringList methods;
    bool isEmpty() const { return classes.isEmpty() && methods.isEmpty(); }
};

// The launcher's command: `java` with JUnit's jars and `classPath` on its
// class path, the selection, and the reports written into `reportsDir`.
ProgramCommand junitCommand(const QString& java, const QStringList& classPath, const TestSelection& selection,
                            const QString& reportsDir, const QString& workDir);
using TestCommandLine = ProgramCommand (*)(const QString& java, const QStringList& classPath,
                                           const TestSelection& selection, const QString& reportsDir,
                                           const QString& workDir);

class TestRun : public QObject {
    Q_OBJECT
public:
    explicit TestRun(QObject* parent = nullptr);
    ~TestRun() override;

    // Starts the launcher with `java` (configuredJava() when empty); false,
    // with failed() sent, when it cannot start or a run is going on.
    bool start(const TestSelection& selection, const QStringList& classPath, const QString& workDir,
               const QString& java = {});
    bool running() const;
    // How the launcher's command is made: junitCommand() unless told.
    void setCommandLine(TestCommandLine line) { line_ = line; }
    // Ends the run: finished() follows with what was reported so far (none).
    void stop();
    // The launcher's output so far (standard output and error, mixed).
    const QByteArray& output() const { return output_; }

signals:
    void output(const QByteArray& chunk);
    // The run ended: `result` holds the tests reported; `error` is empty when
    // the reports were read, else says what went wrong (and `stopped` when
    // the user ended it).
    void finished(const TestRunResult& result, const QString& error, bool stopped);
    void failed(const QString& reason);

private:
    void onEnded(bool bySignal, int code);

    ProgramProcess* process_ = nullptr;
    std::unique_ptr<QTemporaryDir> reports_;
    QByteArray output_;
    bool stopped_ = false;
    TestCommandLine line_ = junitCommand;
};
