// SPDX-License-Identifier: GPL-3.0-or-later
// One run of Maven that does not keep the window waiting: `mvn` started with
// an argument list (no shell) in the project's folder, in a process group of
// its own, its output arriving as it is written. Stopping it, or destroying
// this object, ends Maven's whole group (the JVM the mvn script starts, and
// the forked test JVMs), not only the script.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class ProgramProcess;

class MavenCall : public QObject {
    Q_OBJECT
public:
    explicit MavenCall(QObject* parent = nullptr);
    ~MavenCall() override;

    // Starts `mvn` with `args` in `workDir`; false, with finished() sent
    // (exit code -1, the reason in the output), when one runs already or mvn
    // is missing.
    bool start(const QString& mvn, const QStringList& args, const QString& workDir);
    bool running() const;
    // Ends Maven's process group: finished() follows, `stopped` true.
    void stop();
    // The pid of the process group's leader while it runs; 0 otherwise.
    qint64 processId() const;
    // What Maven wrote so far (standard output and error, in order of arrival).
    const QByteArray& output() const { return output_; }

signals:
    void outputArrived(const QByteArray& chunk);
    // Maven ended with `exitCode` (-1 when it did not end on its own).
    void finished(const QString& output, int exitCode, bool stopped);

private:
    void onEnded(bool bySignal, int code);

    ProgramProcess* process_ = nullptr;
    QByteArray output_;
    bool stopped_ = false;
};

// The arguments of Build with Maven: offline, batch mode, Debian's settings
// when installed, the goal "package".
QStringList mavenBuildArgs();
