// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/hoverrest.h"

#include "javatext/javaidentifiers.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

HoverRest::HoverRest(QTextEdit* edit) : QObject(edit), edit_(edit), timer_(new QTimer(this))
{
    timer_->setSingleShot(true);
    timer_->setInterval(kRestMs);
    connect(timer_, &QTimer::timeout, this, &HoverRest::onTimeout);
    edit_->viewport()->setMouseTracking(true);
    edit_->viewport()->installEventFilter(this);
}

int HoverRest::identifierAt(QPoint viewportPos) const
{
    const QPointF scrolled(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
    const int pos = edit_->document()->documentLayout()->hitTest(QPointF(viewportPos) + scrolled, Qt::ExactHit);
    if (pos < 0)
        return -1;
    // The character whose cell holds the point: the one after the boundary hit, or the one before it.
    if (javatext::isIdentifierPart(edit_->document()->characterAt(pos)))
        return pos;
    if (pos > 0 && javatext::isIdentifierPart(edit_->document()->characterAt(pos - 1)))
        return pos - 1;
    return -1;
}

bool HoverRest::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (p != at_) {
            end();
            at_ = p;
            if (!static_cast<QMouseEvent*>(event)->buttons())
                timer_->start();
        }
        break;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
    case QEvent::Hide: end(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void HoverRest::onTimeout()
{
    const int position = identifierAt(at_);
    if (position < 0 || !edit_->isVisible())
        return;
    reported_ = true;
    emit rested(position, edit_->viewport()->mapToGlobal(at_));
}

void HoverRest::end()
{
    timer_->stop();
    if (reported_) {
        reported_ = false;
        emit ended();
    }
}
