// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicereplies.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

quint32 getU32(const QByteArray& in, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// Every reply begins with these bytes.
const QByteArray kMagic("BPSV");

enum class Parse { Frame, Incomplete, Bad };

// Takes one frame from the front of `in`.
Parse takeFrame(QByteArray& in, QList<QByteArray>* frame)
{
    if (in.size() < 8)
        return in.isEmpty() || kMagic.startsWith(in.left(kMagic.size())) ? Parse::Incomplete : Parse::Bad;
    if (!in.startsWith(kMagic))
        return Parse::Bad;
    const quint32 count = getU32(in, 4);
    if (count > (1u << 24))
        return Parse::Bad;
    qsizetype at = 8;
    QList<QByteArray> fields;
    for (quint32 i = 0; i < count; ++i) {
        if (in.size() < at + 4)
            return Parse::Incomplete;
        const quint32 len = getU32(in, at);
        at += 4;
        if (in.size() - at < qsizetype(len))
            return Parse::Incomplete;
        fields << in.mid(at, len);
        at += len;
    }
    in.remove(0, at);
    *frame = std::move(fields);
    return Parse::Frame;
}

}  // namespace

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
        const Parse p = takeFrame(input_, &f);
        if (p == Parse::Incomplete)
            return;
        if (p == Parse::Bad) {
            input_.clear();
            notifier_->setEnabled(false);
            emit garbled();
            return;
        }
        emit frame(f);
        if (read_ < 0)
            return;
    }
}
