// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicereplies.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

ServiceReplies::ServiceReplies(QObject* parent) : QObject(parent) {}

ServiceReplies::~ServiceReplies()
{
    closeWriteEnd();
    if (read_ >= 0)
        ::close(read_);
}

bool ServiceReplies::open()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    read_ = fds[0];
    write_ = fds[1];
    ::fcntl(read_, F_SETFL, ::fcntl(read_, F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(read_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &ServiceReplies::onReadable);
    return true;
}

void ServiceReplies::placeInChild() const
{
    if (write_ == kChildFd)
        ::fcntl(kChildFd, F_SETFD, 0);
    else
        ::dup2(write_, kChildFd);  // the copy is open across exec
}

void ServiceReplies::closeWriteEnd()
{
    if (write_ >= 0)
        ::close(write_);
    write_ = -1;
}

void ServiceReplies::onReadable()
{
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(read_, buf, sizeof buf);
        if (n > 0) {
            input_.append(buf, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            notifier_->setEnabled(false);  // the service has gone
        break;
    }
    for (;;) {
        QList<QByteArray> f;
        const ServiceFrameParse p = takeServiceFrame(input_, QByteArray(kServiceReplyMagic), &f);
        if (p == ServiceFrameParse::Incomplete)
            return;
        if (p == ServiceFrameParse::Bad) {
            input_.clear();
            notifier_->setEnabled(false);
            emit garbled();
            return;
        }
        if (const std::optional<ServiceReply> r = decodeServiceReply(f))
            emit reply(*r);
        if (read_ < 0)
            return;
    }
}
