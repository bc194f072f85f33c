// SPDX-License-Identifier: GPL-3.0-or-later
// One debug run of a program: Brewpad's debugger (brewpad-debugger.jar, a JDI
// client run by the configured JDK's `java -jar`) and the program's process,
// started with a JDWP agent that connects back to the debugger on the
// loopback interface. Everything is asynchronous: requests return at once and
// signals answer them; nothing waits on the GUI thread.
#pragma once
#include "toolchain/running/debugwire.h"
#include "toolchain/running/programprocess.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

class DebugSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Running, Paused, Ended };

    explicit DebugSession(QObject* parent = nullptr);
    ~DebugSession() override;  // ends the program and the debugger

    // The debugger's jar: beside the program, then where it is installed
    // relative to it; empty when neither exists.
    static QString defaultJar();
    void setJar(const QString& path) { jar_ = path; }

    // Starts a debugger with `javaPath` and `jar` in the background, to be
    // taken by the next start() with the same java and jar: its JVM and JDI
    // classes are then ready, and the program reaches its first breakpoint
    // sooner. Nothing listens until it is taken. One is kept at most; it ends
    // with Brewpad.
    static void prepareHelper(const QString& javaPath, const QString& jar = defaultJar());
    // The process id of the debugger started ahead and not yet taken; 0 when none.
    static qint64 preparedHelper();

    // Starts the debugger with `javaPath` (the configured JDK's java), then
    // the program `command` with the agent added before its first argument.
    // Breakpoints set before are sent before the program runs.
    void start(const QString& javaPath, const ProgramCommand& command);

    State state() const { return state_; }
    // Paused, with every step or continue asked for done.
    bool settled() const { return state_ == State::Paused && motionsDone_ == motionsAsked_; }
    DebugPause lastPause() const { return pause_; }
    ProgramProcess* program() { return &program_; }
    // The loopback port the debugger listened on for the program (0 before).
    int debugPort() const { return port_; }

    // Breakpoints by top-level class (binary name) and line: set (or
    // replaced, a line having one at most) with every field of the value;
    // answered by breakpointSet(). A disabled one is kept but stops nothing;
    // one with a condition stops at the hits where it is true (evaluated in
    // the hit's top frame), conditionFailed() telling of one that failed.
    void setBreakpoint(const QString& className, const Breakpoint& breakpoint);
    void clearBreakpoint(const QString& className, int line);

    // Motions: asked while the program runs, they are done in order at the
    // next pause (none is dropped).
    void continue_();
    void stepOver();
    void stepInto();
    void stepOut();
    void runToCursor(const QString& className, int line);
    // Ends the program and everything it started, and the debugger; after
    // the program ended, what it left running in its group.
    void stop();

    void requestThreads();
    void requestFrames(qint64 thread = 0);  // 0: the paused thread
    void requestVariables(int frame, qint64 thread = 0);
    // Fields of an object, a string's text, or 100 elements of an array from `start`.
    void expand(qint64 id, int start = 0);
    // Evaluates a Java expression over a frame of the paused thread (0: the top); an assignment
    // `name = value` sets a local, a field or an element. Answered by evaluated().
    void evaluate(const QString& expression, int frame = 0, qint64 thread = 0);

signals:
    void connected();
    void paused(const DebugPause& pause);
    void resumed();
    // The program has ended (its end text is ProgramProcess::ended's).
    void ended();
    // `actual` is the line with code the breakpoint moved to; 0 while the
    // class is not loaded (the breakpoint then waits for it).
    void breakpointSet(const QString& className, int line, int actual);
    void threads(const QList<DebugThread>& list);
    void frames(qint64 thread, const QList<DebugFrame>& list);
    void variables(qint64 thread, int frame, const QString& note, const QList<DebugValue>& list);
    void children(qint64 id, int start, int total, const QList<DebugValue>& list);
    // `value.name` is the expression, `value.kind` "value"; `error` empty on success.
    void evaluated(const QString& expression, int frame, const DebugValue& value, const QString& error);
    // The condition of the breakpoint at `line` of `className` failed at a
    // hit, just before the program pauses there: `message` says to the user
    // what failed and what to do (one that does not compile stops the
    // program once, until the breakpoint is replaced; one that throws, at
    // each hit).
    void conditionFailed(const QString& className, int line, const QString& message);
    void error(const QString& text);

private:
    void send(const debugwire::Request& r);
    void motion(const debugwire::Request& r);
    void onHelperOutput();
    void onHelperFinished();
    void handle(const debugwire::Reply& r);
    void handleLists(const debugwire::Reply& r);
    // What the user is told of a failed condition.
    static QString conditionText(const debugwire::reply::Condition& c);
    void onReady(int port);
    void finish();
    void fail(const QString& text);
    void killHelper();
    void adoptHelper(QProcess* helper);

    QString jar_;
    QString java_;
    ProgramCommand command_;
    ProgramProcess program_;
    QProcess* helper_ = nullptr;
    QByteArray helperIn_;
    QByteArray helperErr_;
    State state_ = State::Idle;
    DebugPause pause_;
    QList<debugwire::Request> early_;  // requests made before the program started
    bool programStarted_ = false;
    qint64 motionsAsked_ = 0;
    qint64 motionsDone_ = 0;
    int port_ = 0;
    bool debuggeeGone_ = false;
};
