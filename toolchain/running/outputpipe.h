// SPDX-License-Identifier: GPL-3.0-or-later
// A pipe that a child process writes its output to, read by Brewpad in large
// blocks: after a read that found output the pipe is left alone for a few
// milliseconds, so that a program writing a line at a time is read in a few
// large chunks a second rather than a line at a time (each read would wake
// Brewpad and slow the program). A pipe nobody writes to costs nothing: no
// timer runs while the pipe is empty. The pipe is made as large as the system
// allows, so the program seldom waits while Brewpad leaves it alone.
#pragma once
#include <QByteArray>
#include <QObject>

class QSocketNotifier;
class QTimer;

class OutputPipe : public QObject {
    Q_OBJECT
public:
    explicit OutputPipe(QObject* parent = nullptr);
    ~OutputPipe() override;  // closes both ends

    // Makes the pipe; false when the system refuses. Both descriptors are
    // 3 or above and closed on exec.
    bool open();
    // The end the child writes to: it puts it in place (dup2) itself.
    int writeEnd() const { return write_; }
    // Once the child is started: closes Brewpad's copy of the write end, and
    // reading starts.
    void startReading();
    // Reads at once what the pipe holds (the child has ended), and closes it.
    void drainAndClose();

signals:
    void output(const QByteArray& bytes);

private:
    // Reads what the pipe holds; false at its end.
    bool readAvailable();
    void onReadable();
    void closeRead();
    void closeWrite();

    int read_ = -1;
    int write_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* pause_;
};
