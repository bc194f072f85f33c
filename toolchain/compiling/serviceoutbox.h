// SPDX-License-Identifier: GPL-3.0-or-later
// The frames on their way to the compile service, in the order they were
// made. A frame that carries a source's text, which may be megabytes, is
// encoded off the user's thread; the frames after it wait for it.
#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

class QTimer;

class ServiceOutbox : public QObject {
public:
    // `write` takes each frame once it may go out.
    explicit ServiceOutbox(std::function<void(const QByteArray&)> write, QObject* parent = nullptr);

    // A frame of `fields`; with `textAt` 0 or more, `text` (UTF-8 encoded)
    // goes in as the field at that index.
    void push(QList<QByteArray> fields, const QString& text = QString(), int textAt = -1);
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
