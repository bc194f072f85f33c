// SPDX-License-Identifier: GPL-3.0-or-later
// The JShell pane's engine: the helper JVM (brewpad-jshell.jar, jdk.jshell in
// a JVM of its own) started with a class path, the inputs sent to it and its
// answers as typed values (jshellwire.h). Inputs sent while it starts wait in
// its input pipe; a reset ends the helper and starts a new one with the same
// java and class path.
#pragma once
#include "toolchain/running/jshellwire.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;

class JShellSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Ready, Ended };

    explicit JShellSession(QObject* parent = nullptr);
    ~JShellSession() override;

    // The helper's jar as installed beside Brewpad (or in the build folder).
    static QString defaultJar();
    void setJar(const QString& jar) { jar_ = jar; }

    // Starts the helper with `javaPath` and the class path `classPath`
    // (folders and jars); ended() says why when it cannot start.
    void start(const QString& javaPath, const QStringList& classPath);
    // Ends the helper and starts it afresh, its declarations gone.
    void reset();
    // Ends the helper.
    void stop();
    State state() const { return state_; }
    // The helper's process id, 0 when none runs.
    qint64 processId() const;
    const QStringList& classPath() const { return classPath_; }

    // Sends an input (or asks for completions); its id, 0 when no helper
    // runs or is starting.
    qint64 eval(const QString& source);
    qint64 complete(const QString& source, int cursor);
    // Whether an input sent is not answered whole yet.
    bool evaluating() const { return unanswered_ > 0; }
    // Stops the snippet running now and the rest of its input; the inputs
    // sent after it are evaluated still, the declarations kept.
    void interrupt();

signals:
    void ready();
    void output(qint64 id, const QString& stream, const QString& text);
    void value(qint64 id, const jshellwire::reply::Value& value);
    void done(qint64 id);
    void completions(qint64 id, int anchor, const QStringList& texts);
    // The helper ended, or could not start: `reason` says it in a sentence.
    void ended(const QString& reason);

private:
    qint64 send(const jshellwire::Request& r, qint64 id);
    void readReplies();
    void dispatch(const jshellwire::Reply& r);
    void helperFinished();
    void kill();

    QString jar_;
    QString java_;
    QStringList classPath_;
    QProcess* helper_ = nullptr;
    State state_ = State::Idle;
    qint64 nextId_ = 1;
    int unanswered_ = 0;  // inputs sent and not yet done
    QByteArray pending_;  // a reply line not yet ended
    QByteArray errors_;   // the helper's error output, its last part
};
