// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/outputpipe.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// How long the pipe is left alone after a read found output: short enough to
// look live, long enough that a program writing line by line is read in
// blocks of many lines.
constexpr int kPauseMs = 10;
// The pipe's size asked for: what a program writing at full speed fills in
// more than a pause.
constexpr int kPipeBytes = 1 << 20;
// The most taken in one read event, so that a flood cannot hold the event loop.
constexpr qsizetype kMostPerRead = 1 << 20;

// `fd` moved to 3 or above (the child's 0, 1 and 2 are set after this one is
// made), closed on exec.
int highDescriptor(int fd)
{
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

}  // namespace

OutputPipe::OutputPipe(QObject* parent) : QObject(parent), pause_(new QTimer(this))
{
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    connect(pause_, &QTimer::timeout, this, [this] {
        if (notifier_)
            notifier_->setEnabled(true);
    });
}

OutputPipe::~OutputPipe()
{
    closeRead();
    closeWrite();
}

bool OutputPipe::open()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    read_ = highDescriptor(fds[0]);
    write_ = highDescriptor(fds[1]);
    if (read_ < 0 || write_ < 0) {
        closeRead();
        closeWrite();
        return false;
    }
    ::fcntl(read_, F_SETFL, ::fcntl(read_, F_GETFL) | O_NONBLOCK);
    ::fcntl(read_, F_SETPIPE_SZ, kPipeBytes);  // the system's default size when refused
    return true;
}

void OutputPipe::startReading()
{
    closeWrite();
    if (read_ < 0 || notifier_)
        return;
    notifier_ = new QSocketNotifier(read_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &OutputPipe::onReadable);
}

void OutputPipe::onReadable()
{
    if (!readAvailable()) {
        closeRead();
        return;
    }
    // Let the program write on for a while before the next read.
    if (notifier_) {
        notifier_->setEnabled(false);
        pause_->start();
    }
}

bool OutputPipe::readAvailable()
{
    if (read_ < 0)
        return false;
    QByteArray got;
    char block[64 * 1024];
    while (got.size() < kMostPerRead) {
        const ssize_t n = ::read(read_, block, sizeof block);
        if (n > 0) {
            got.append(block, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const bool open = n < 0 && errno == EAGAIN;  // empty for now, not ended
        if (!got.isEmpty())
            emit output(got);
        return open;
    }
    emit output(got);
    return true;
}

void OutputPipe::drainAndClose()
{
    closeWrite();
    readAvailable();
    closeRead();
}

void OutputPipe::closeRead()
{
    pause_->stop();
    delete notifier_;
    notifier_ = nullptr;
    if (read_ >= 0)
        ::close(read_);
    read_ = -1;
}

void OutputPipe::closeWrite()
{
    if (write_ >= 0)
        ::close(write_);
    write_ = -1;
}
