// SPDX-License-Identifier: GPL-3.0-or-later
// When the enabled and checked states of the commands are brought up to date:
// on the events they depend on (the keyboard focus moving, the clipboard, the
// active editor's text, selection and undo history, a key or mouse button let
// go, whatever the workspace reports), at most once per turn of the event
// loop, and never while nothing happens.
#pragma once

#include <QObject>
#include <QPointer>

class QTimer;
class EditControl;

class CommandUpdates : public QObject {
    Q_OBJECT
public:
    explicit CommandUpdates(QObject* parent = nullptr);
    ~CommandUpdates() override;

    // Something a command depends on changed: due() follows once the events
    // being handled now are done.
    void schedule();
    // The editor whose text, selection and undo history the commands follow;
    // null for none.
    void setEditor(EditControl* editor);

signals:
    void due();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTimer* timer_;
    QPointer<EditControl> editor_;
};
