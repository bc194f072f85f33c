// SPDX-License-Identifier: GPL-3.0-or-later
// The user's program run by Brewpad itself (not in a terminal): the configured
// JDK's `java` on the class, started without a shell in the class's folder,
// in a process group of its own. Its output arrives in chunks as it is
// written (a few large ones a second while it writes without pause), its
// input is written by Brewpad, and stopping it (or destroying this object)
// ends it and everything it started, also what is left of its group after the
// program itself ended (a process that left the group, by setsid, stays).
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class OutputPipe;
class QProcess;
class QTimer;

// What to run: `program` with `args` in `workDir`.
struct ProgramCommand {
    QString program;
    QStringList args;
    QString workDir;
};

// The command for class `className` compiled into `classDir`, as Java Run
// runs it: `javaPath` with `jvmOptions`, the class path of Java Run
// (javaClassPathOptions: the Compiler Options' `destination`, else the
// class's folder, then their `classPath`), the class and
// the Program Arguments `cmdline` split as Java Run splits them; started in
// `classDir`. When the arguments cannot be split, *ok is false.
ProgramCommand javaProgramCommand(const QString& javaPath, const QString& className, const QString& classDir,
                                  const std::optional<QString>& destination, const std::optional<QString>& classPath,
                                  const std::optional<QString>& cmdline, const QStringList& jvmOptions,
                                  bool* ok = nullptr);

// The `java` beside the configured compiler (config's javabin); empty when none.
QString configuredJava();

// "Program ended with exit code N", or "Program ended by signal N (NAME)".
QString programEndText(bool bySignal, int code);

class ProgramProcess : public QObject {
    Q_OBJECT
public:
    explicit ProgramProcess(QObject* parent = nullptr);
    ~ProgramProcess() override;

    // Starts the command: started() or failed() follows. False when this
    // object has started a program already.
    bool start(const ProgramCommand& command);
    bool running() const;
    qint64 processId() const { return pid_; }

    // Writes the user's input to the program's standard input.
    void writeInput(const QByteArray& bytes);
    // Ends the program's input (Ctrl+D).
    void closeInput();
    // Ends the program and everything in its process group. ended() follows
    // while the program runs; processesGone() when only its group was left.
    void stop();
    // The program has ended, and processes of its group still run.
    bool processesRemain() const { return groupLeft_; }

signals:
    void started(qint64 pid);
    void failed(const QString& reason);
    void standardOutput(const QByteArray& chunk);
    void standardError(const QByteArray& chunk);
    // The program has ended; `text` says how (programEndText).
    void ended(const QString& text, bool bySignal, int code);
    // After ended(): processes of the program's group still run; and, later,
    // the last of them has ended (stopped or on its own).
    void processesLeft(qint64 group);
    void processesGone();

private:
    void onFinished();
    void killGroup();
    void watchGroup();

    QProcess* proc_ = nullptr;
    OutputPipe* out_ = nullptr;
    OutputPipe* err_ = nullptr;
    qint64 pid_ = 0;
    bool groupLeft_ = false;
    QTimer* groupWatch_ = nullptr;
};
