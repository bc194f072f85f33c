// SPDX-License-Identifier: GPL-3.0-or-later
// Debug Run in the workspace: the debug session of the program being debugged,
// the "Console", "Variables" and "Call Stack" panes (in the pane area along the
// bottom of the workspace, like the compiler messages), and the
// commands that drive them: Debug Run, the steps, Run to Cursor, Stop
// Debugging, Toggle Breakpoint and the commands that show the three windows.
// When the program pauses, the window of its source shows the line; stepping
// never brings another window in front of it nor takes its focus.
#pragma once
#include "toolchain/building/filebuild.h"
#include "toolchain/running/callstackwindow.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/stacktraceline.h"
#include "toolchain/running/variableswindow.h"

#include <QObject>
#include <QPointer>
#include <QString>

class BreakpointSync;
class DebugClasses;
class CommandTable;
class EditControl;
class TFileMDIChild;
class TFileMDIClient;
struct CommandState;

class DebugController : public QObject {
    Q_OBJECT
public:
    explicit DebugController(TFileMDIClient& workspace);
    // Ends the program being debugged and everything it started.
    ~DebugController() override;

    void addCommands(CommandTable& table);
    // A window opened: it shows the breakpoints of its file.
    void editorOpened(TFileMDIChild* window);
    const BreakpointSync& breakpoints() const { return *breakpoints_; }
    BreakpointSync& breakpoints() { return *breakpoints_; }

    // The session of the last Debug Run; null before the first.
    DebugSession* session() const { return session_; }
    // The windows; null while they are not open.
    ConsoleWindow* console() const { return console_; }
    VariablesWindow* variables() const { return variables_; }
    CallStackWindow* callStack() const { return callStack_; }
    // True from Debug Run until the program has ended.
    bool live() const;
    // The debugger's jar; the one shipped with Brewpad unless set.
    void setJar(const QString& path) { jar_ = path; }

    // Debug Run: continues a paused program, else starts the active window's
    // class under the debugger.
    void debugRun();
    // Starts `target` under the debugger, its class compiled from `source`
    // (with local variables first when its class has none).
    void debugRun(const DebugTarget& target, const QString& source);
    void stop();
    // The Console pane, made when first needed.
    void showConsole(bool activate);
    // The frame whose line and variables are shown at this pause (0: the top).
    int shownFrame() const { return frameShown_; }

signals:
    // A Debug Run made its session.
    void sessionStarted(DebugSession* session);
    // The program paused, or another frame of the paused thread was chosen:
    // its values are asked for.
    void frameShown(int frame);

private:
    // Starts the debugger ahead (DebugSession::prepareHelper) while nothing
    // is debugged and Debug Run can run the active window's class (when the
    // commands' states are updated): the program then reaches its first
    // breakpoint sooner. The debugger started waits without using the
    // processor.
    void prepareAhead();
    void startTarget(const DebugTarget& target);
    // When the target's class has no local-variable tables: compiles `source`
    // with them into a private folder and starts the target with that folder
    // first on its class path once done. False when nothing was started.
    bool startWithLocals(const DebugTarget& target, const QString& source);
    void connectSession();
    void onPaused(const DebugPause& pause);
    void onResumed();
    void onEnded(const QString& text);
    void onError(const QString& text);
    void onFrameChosen(int index, const DebugFrame& frame);
    void runToCursor();
    void toggleBreakpoint();
    void motion(void (DebugSession::*step)());

    // The three windows, made when first needed; `activate` gives the focus.
    void showVariables(bool activate);
    void showCallStack(bool activate);

    // The source of a class's frame: beside the class or in the open project.
    QString sourceOf(const QString& className, const QString& file, int line) const;
    QStringList projectSources() const;
    void markLine(const QString& className, const QString& file, int line);
    void clearMarks();
    // The execution line of an editor (0: none), the inline values of the
    // marked one, and the class an editor's source declares.
    static void markExecution(EditControl* editor, int line);
    void showInlineValues(const QList<DebugValue>& values);
    static QString classOf(EditControl* editor);
    void openStackTrace(const StackTraceLocation& location);
    void enableWhilePaused(CommandTable& table, int id);
    void stateChanged();

    TFileMDIClient& ws_;
    QString jar_;
    BreakpointSync* breakpoints_;
    QPointer<DebugSession> session_;
    QPointer<ConsoleWindow> console_;
    QPointer<VariablesWindow> variables_;
    QPointer<CallStackWindow> callStack_;
    DebugClasses* classes_;
    bool preparing_ = false;  // the classes to debug are being compiled with local variables
    DebugTarget target_;
    bool ended_ = true;
    QPointer<EditControl> marked_;  // the editor showing the execution line
    QString pausedSource_;          // the source of the frame shown
    int pausedLine_ = 0;            // its line
    int frameShown_ = 0;
};
