// SPDX-License-Identifier: GPL-3.0-or-later
// The requests on their way to the compile service, in the order they were
// made. A request that carries a source's text, which may be megabytes, is
// encoded off the user's thread; the frames after it wait for it.
#pragma once
#include "toolchain/compiling/serviceprotocol.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QTimer;

class ServiceOutbox : public QObject {
public:
    // `write` takes each frame once it may go out.
    explicit ServiceOutbox(std::function<void(const QByteArray&)> write, QObject* parent = nullptr);

    void push(const ServiceRequest& request);
    // Forgets the frames not yet written (their process has gone).
    void clear() { frames_.clear(); }

private:
    struct Frame {
        QByteArray bytes;
        std::atomic<bool> ready = false;
    };
    void flush();

    std::function<void(const QByteArray&)> write_;
    std::deque<std::shared_ptr<Frame>> frames_;
    QTimer* poll_ = nullptr;  // looks for the frames encoded meanwhile
};
