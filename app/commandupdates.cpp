// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandupdates.h"

#include "editor/editcontrol.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QTextDocument>
#include <QTimer>

CommandUpdates::CommandUpdates(QObject* parent) : QObject(parent), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &CommandUpdates::due);
    connect(qApp, &QApplication::focusChanged, this, &CommandUpdates::schedule);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, &CommandUpdates::schedule);
    qApp->installEventFilter(this);
}

CommandUpdates::~CommandUpdates()
{
    qApp->removeEventFilter(this);
}

void CommandUpdates::schedule()
{
    if (!timer_->isActive())
        timer_->start();
}

void CommandUpdates::setEditor(EditControl* editor)
{
    if (editor == editor_)
        return;
    if (editor_) {
        disconnect(editor_, nullptr, this, nullptr);
        disconnect(editor_->document(), nullptr, this, nullptr);
    }
    editor_ = editor;
    if (!editor)
        return;
    connect(editor, &QTextEdit::selectionChanged, this, &CommandUpdates::schedule);
    QTextDocument* doc = editor->document();
    connect(doc, &QTextDocument::undoAvailable, this, &CommandUpdates::schedule);
    connect(doc, &QTextDocument::redoAvailable, this, &CommandUpdates::schedule);
    connect(doc, &QTextDocument::modificationChanged, this, &CommandUpdates::schedule);
    // Clear All follows whether there is any text.
    connect(doc, &QTextDocument::contentsChanged, this, &CommandUpdates::schedule);
}

bool CommandUpdates::eventFilter(QObject* watched, QEvent* event)
{
    // What the user just did may have changed what a command depends on.
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::MouseButtonRelease)
        schedule();
    return QObject::eventFilter(watched, event);
}
