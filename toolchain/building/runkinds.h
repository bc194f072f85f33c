// SPDX-License-Identifier: GPL-3.0-or-later
// The ways a compiled program is run, one row each: Java Run, Applet Run,
// Debug Run and Run Tests. A row names its command (whose caption, keys and hint the
// command table gives), tells when the command is offered, from a plain state
// of the window, and builds the command line from a plain request.
#pragma once
#include "project/projectmodel.h"
#include "toolchain/running/programprocess.h"
#include "toolchain/running/run.h"
#include "toolchain/testing/testrun.h"

#include <QString>

#include <optional>
#include <vector>

enum class RunKindId { JavaRun, AppletRun, DebugRun, RunTests };

// What decides whether a run is offered: the kind of the window's file and
// what the classification and the last compilation found.
struct RunState {
    bool isProject = false;
    bool IsJavaMain = false;
    bool IsJavaApplet = false;
    bool IsCompiled = false;
};

// What a command line is built from.
struct RunRequest {
    ProjectModel model;                // its class path and class folder
    QString className;                 // the class chosen to run
    QString workDir;                   // where the program starts: the source's folder
    QString program;                   // java or the applet viewer
    QString terminal;                  // Java Run's terminal
    std::optional<QString> arguments;  // the Program Arguments
    // Run Tests: the tests chosen, the class path they run with, and the
    // folder JUnit writes its reports into.
    TestSelection tests = {};
    QStringList testClassPath = {};
    QString reportsDir = {};
};

// A built command line. Java Run and Applet Run start a program on its own;
// Debug Run's program is started by Brewpad under the debugger, and Run
// Tests' JUnit launcher by Brewpad, which reads its reports.
struct RunLaunch {
    bool ok = true;  // false: the Program Arguments cannot be split
    StartCommand detached;
    ProgramCommand debugged;
    ProgramCommand tests;
};

struct RunKind {
    enum class Start { Detached, UnderDebugger, UnderJUnit };
    RunKindId id;
    int command;  // the command's id (resources/commands.h)
    Start start;
    // The class is looked for where the classes go (the Destination
    // Directory, when set); else in the source's folder.
    bool classInClassFolder;
    // The class name is given to the program on its command line.
    bool classOnCommandLine;
    // The box of a failed start: "%1" the command, "%2" the reason.
    const char* failureText;
    bool (*enabled)(const RunState& state);
    RunLaunch (*commandLine)(const RunRequest& request);
};

// Every run kind, in the order of their commands.
const std::vector<RunKind>& runKinds();
const RunKind& runKind(RunKindId id);
// The row of command `command`; null for a command that runs nothing.
const RunKind* runKindOfCommand(int command);
// Run Tests' row's command line for a TestRun (TestRun::setCommandLine).
ProgramCommand runTestsCommand(const QString& java, const QStringList& classPath, const TestSelection& selection,
                               const QString& reportsDir, const QString& workDir);
// The command's menu caption without its mnemonic and key ("Java Run").
QString runCaption(const RunKind& kind);
