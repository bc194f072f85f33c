// SPDX-License-Identifier: GPL-3.0-or-later
// The channel on which the compile service replies: a pipe of its own, handed
// down to the service's JVM as a file descriptor, so that nothing the JVM, the
// compiler or an annotation processor prints on the standard output can mix
// with a reply. Reads the replies (toolchain/compiling/serviceprotocol.h) as they come.
#pragma once
#include "toolchain/compiling/serviceprotocol.h"

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

class ServiceReplies : public QObject {
    Q_OBJECT
public:
    // The descriptor number the service's JVM finds the pipe under.
    static constexpr int kChildFd = 3;

    explicit ServiceReplies(QObject* parent = nullptr);
    ~ServiceReplies() override;

    // Makes the pipe; false when the system refuses.
    bool open();
    // For the child, between fork and exec: puts the pipe's writing end at
    // kChildFd, open across exec. Only async-signal-safe calls.
    void placeInChild() const;
    // Once the child has started (or failed to): the parent's copy of the
    // writing end is closed, so that the end of the child ends the pipe.
    void closeWriteEnd();

signals:
    void reply(const ServiceReply& reply);
    // The stream is not made of frames: the service is not to be trusted.
    void garbled();

private:
    void onReadable();

    int read_ = -1;
    int write_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QByteArray input_;
};
