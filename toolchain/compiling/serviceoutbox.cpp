// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/serviceoutbox.h"

#include <QThreadPool>
#include <QTimer>

ServiceOutbox::ServiceOutbox(std::function<void(const QByteArray&)> write, QObject* parent)
    : QObject(parent), write_(std::move(write)), poll_(new QTimer(this))
{
    poll_->setInterval(2);
    connect(poll_, &QTimer::timeout, this, &ServiceOutbox::flush);
}

void ServiceOutbox::push(const ServiceRequest& request)
{
    auto frame = std::make_shared<Frame>();
    frames_.push_back(frame);
    if (!serviceRequestHasText(request)) {
        frame->bytes = encodeServiceRequest(request);
        frame->ready = true;
        flush();
        return;
    }
    // The worker touches only its frame (and a shared copy of the text).
    QThreadPool::globalInstance()->start([frame, request] {
        frame->bytes = encodeServiceRequest(request);
        frame->ready.store(true, std::memory_order_release);
    });
    poll_->start();
}

void ServiceOutbox::flush()
{
    while (!frames_.empty() && frames_.front()->ready.load(std::memory_order_acquire)) {
        write_(frames_.front()->bytes);
        frames_.pop_front();
    }
    if (frames_.empty())
        poll_->stop();
}
