// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/paneframe.h"

#include "resources/commands.h"
#include "toolchain/messages/messagewindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QVBoxLayout>

QString paneCaption(Pane kind)
{
    switch (kind) {
    case Pane::CompilerMessages: return QStringLiteral("Compiler messages");
    case Pane::Console: return QStringLiteral("Console");
    case Pane::Variables: return QStringLiteral("Variables");
    case Pane::CallStack: return QStringLiteral("Call Stack");
    case Pane::Breakpoints: return QStringLiteral("Breakpoints");
    case Pane::Watches: return QStringLiteral("Watches");
    case Pane::TestResults: return QStringLiteral("Test Results");
    case Pane::JShell: return QStringLiteral("JShell");
    case Pane::FindInFiles: return QStringLiteral("Find in Files");
    case Pane::Outline: return QStringLiteral("Outline");
    case Pane::Documentation: return QStringLiteral("Documentation");
    }
    return QString();
}

PaneFrame::PaneFrame(Pane kind, QWidget* content, QWidget* parent)
    : QFrame(parent), kind_(kind), list_(qobject_cast<TBrowserWindow*>(content)), content_(content)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::NoFrame);
    setWindowIcon(QIcon(QStringLiteral(":/icons/brewpad-32.png")));
    content->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content, 1);
    setFocusProxy(content);
    if (list_) {
        table_.on(cmd::Exit, [this] {
            if (list_)
                list_->CmExit();
        });
        connect(list_, &TBrowserWindow::captionChanged, this, &PaneFrame::setCaption);
        setCaption(list_->windowTitle());
    } else {
        setCaption(paneCaption(kind));
    }
    connect(qApp, &QApplication::focusChanged, this, &PaneFrame::onFocusChanged);
}

PaneFrame::~PaneFrame()
{
    emit goingAway(this);
}

void PaneFrame::setCaption(const QString& caption)
{
    caption_ = caption;
    setWindowTitle(caption);
    setAccessibleName(caption);
    emit captionChanged(caption);
}

void PaneFrame::onFocusChanged(QWidget* old, QWidget* now)
{
    // A pane of several controls: the focus entering any of them activates it.
    const bool was = old && isAncestorOf(old);
    const bool is = now && isAncestorOf(now);
    if (is && !was)
        emit activated();
}

bool PaneFrame::isActive() const
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void PaneFrame::activate()
{
    emit forwardWanted(this);
    if (content_)
        content_->setFocus(Qt::OtherFocusReason);
}

void PaneFrame::closeEvent(QCloseEvent* e)
{
    if (list_)
        list_->CanClose();
    e->accept();
    emit closed(this);
}
