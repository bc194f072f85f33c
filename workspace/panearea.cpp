// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/panearea.h"

#include <QMouseEvent>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The height of a pane's window before the user chooses one: the compiler
// messages a few lines, the debugger's windows and the Outline more.
int defaultPaneHeight(Pane kind)
{
    return kind == Pane::CompilerMessages || kind == Pane::FindInFiles ? 100 : 160;
}

}  // namespace

PaneArea::PaneArea(QWidget* parent) : QWidget(parent), tabs_(new QTabBar(this)), stack_(new QStackedWidget(this))
{
    setObjectName(QStringLiteral("panes"));
    setAccessibleName(QStringLiteral("Panes"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    tabs_->setAccessibleName(QStringLiteral("Panes"));
    tabs_->setTabsClosable(true);
    tabs_->setDocumentMode(true);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->setElideMode(Qt::ElideRight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, Edge, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);
    connect(tabs_, &QTabBar::currentChanged, stack_, &QStackedWidget::setCurrentIndex);
    connect(tabs_, &QTabBar::tabCloseRequested, this, [this](int i) {
        if (auto* f = qobject_cast<PaneFrame*>(stack_->widget(i)))
            f->close();
    });
    const struct {
        QKeySequence key;
        int step;
    } keys[] = {{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
                {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}};
    for (const auto& k : keys) {
        auto* s = new QShortcut(k.key, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, [this, step = k.step] { this->step(step); });
    }
    hide();
}

PaneArea::~PaneArea()
{
    for (PaneFrame* f : panes()) {
        f->disconnect(this);
        delete f;
    }
}

int PaneArea::indexFor(Pane kind) const
{
    // In the order of the kinds, a new pane after the others of its kind.
    int i = 0;
    for (PaneFrame* f : panes()) {
        if (int(f->kind()) > int(kind))
            break;
        ++i;
    }
    return i;
}

PaneFrame* PaneArea::add(Pane kind, QWidget* content, bool activate)
{
    auto* frame = new PaneFrame(kind, content);
    const int at = indexFor(kind);
    stack_->insertWidget(at, frame);
    tabs_->insertTab(at, frame->caption());
    tabs_->setTabToolTip(at, frame->caption());
    connect(frame, &PaneFrame::captionChanged, this, [this, frame](const QString& c) {
        const int i = stack_->indexOf(frame);
        if (i >= 0) {
            tabs_->setTabText(i, c);
            tabs_->setTabToolTip(i, c);
        }
    });
    connect(frame, &PaneFrame::activated, this, [this, frame] {
        // The focus can come by a click: the pane's tab is shown then too.
        if (stack_->currentWidget() != frame)
            bringForward(frame, false);
        emit paneActivated(frame);
    });
    connect(frame, &PaneFrame::forwardWanted, this, [this](PaneFrame* f) { bringForward(f, false); });
    connect(frame, &PaneFrame::closed, this, &PaneArea::remove);
    connect(frame, &PaneFrame::goingAway, this, &PaneArea::remove);
    QWidget::show();
    bringForward(frame, activate);
    emit layoutWanted();
    return frame;
}

PaneFrame* PaneArea::show(Pane kind, const std::function<QWidget*()>& make, bool activate)
{
    if (PaneFrame* f = pane(kind)) {
        bringForward(f, activate);
        return f;
    }
    return add(kind, make(), activate);
}

void PaneArea::remove(PaneFrame* frame)
{
    const int i = stack_->indexOf(frame);
    if (i < 0)
        return;
    frame->disconnect(this);
    stack_->removeWidget(frame);
    tabs_->removeTab(i);
    if (stack_->count() == 0)
        hide();
    emit paneGone(frame);
    emit layoutWanted();
}

PaneFrame* PaneArea::pane(Pane kind) const
{
    PaneFrame* found = nullptr;
    for (PaneFrame* f : panes()) {
        if (f->kind() == kind)
            found = f;
    }
    return found;
}

QList<PaneFrame*> PaneArea::panes() const
{
    QList<PaneFrame*> out;
    for (int i = 0; i < stack_->count(); ++i) {
        if (auto* f = qobject_cast<PaneFrame*>(stack_->widget(i)))
            out << f;
    }
    return out;
}

PaneFrame* PaneArea::current() const
{
    return qobject_cast<PaneFrame*>(stack_->currentWidget());
}

void PaneArea::bringForward(PaneFrame* frame, bool activate)
{
    const int i = stack_->indexOf(frame);
    if (i < 0)
        return;
    tabs_->setCurrentIndex(i);
    stack_->setCurrentIndex(i);
    if (activate && frame->content())
        frame->content()->setFocus(Qt::OtherFocusReason);
}

void PaneArea::step(int step)
{
    const int n = stack_->count();
    if (n == 0)
        return;
    const int i = (stack_->currentIndex() + step + n) % n;
    bringForward(qobject_cast<PaneFrame*>(stack_->widget(i)), true);
}

int PaneArea::wantedHeight() const
{
    if (stack_->count() == 0)
        return 0;
    if (userHeight_ > 0)
        return userHeight_;
    int pane = 0;
    for (PaneFrame* f : panes())
        pane = std::max(pane, defaultPaneHeight(f->kind()));
    return Edge + tabs_->sizeHint().height() + pane;
}

void PaneArea::mousePressEvent(QMouseEvent* e)
{
    dragging_ = e->button() == Qt::LeftButton && e->position().y() < Edge;
    if (!dragging_) {
        QWidget::mousePressEvent(e);
        return;
    }
    dragStartY_ = int(e->globalPosition().y());
    dragStartHeight_ = height();
    e->accept();
}

void PaneArea::mouseMoveEvent(QMouseEvent* e)
{
    if (!dragging_) {
        if (e->position().y() < Edge)
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
        QWidget::mouseMoveEvent(e);
        return;
    }
    // The bottom stays; the top follows the pointer.
    const int minimum = Edge + tabs_->sizeHint().height() + 20;
    userHeight_ = std::max(minimum, dragStartHeight_ - (int(e->globalPosition().y()) - dragStartY_));
    emit layoutWanted();
    e->accept();
}

void PaneArea::mouseReleaseEvent(QMouseEvent* e)
{
    if (!dragging_) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    e->accept();
}
