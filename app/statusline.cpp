// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/statusline.h"

#include "editor/editcontrol.h"
#include "platform/keyboard.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTime>
#include <QTimer>

StatusLine::StatusLine(QMainWindow* frame, const HintModes& mode) : QObject(frame), frame_(frame), mode_(mode)
{
    bar_ = frame->statusBar();
    menuBar_ = frame->menuBar();
    bar_->setAccessibleName(QStringLiteral("Status bar"));
    bar_->setSizeGripEnabled(true);
    buildMessage();
    buildModified();
    addSeparator();
    buildIndicators();
    buildClock();
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    statusTimer_->setInterval(4000);
    connect(statusTimer_, &QTimer::timeout, this, [this] {
        hintShown_ = false;
        refreshMessage();
    });
    qApp->installEventFilter(this);
}

StatusLine::~StatusLine()
{
    qApp->removeEventFilter(this);
}

void StatusLine::buildMessage()
{
    // The fields have no fixed accessible name: a screen reader reads the text
    // each one shows; the description says which field it is.
    // The field sits in a box of its own that the bar lays out: its text
    // changes with every caret move (the line and column), and a box without a
    // layout keeps that from laying out the whole bar again each time.
    messageBox_ = new QWidget(bar_);
    messageBox_->setAccessibleName(QStringLiteral("Message area"));
    message_ = new QLabel(messageBox_);
    message_->setAccessibleDescription(QStringLiteral("Message"));
    messageBox_->setMinimumSize(1, message_->sizeHint().height());
    messageBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar_->addWidget(messageBox_, 1);
}

void StatusLine::buildModified()
{
    modified_ = new QLabel(bar_);
    modified_->setFrameShape(QFrame::Panel);
    modified_->setFrameShadow(QFrame::Sunken);
    modified_->setAlignment(Qt::AlignCenter);
    modified_->setMinimumWidth(modified_->fontMetrics().horizontalAdvance(QStringLiteral("Modified")) + 10);
    modified_->setAccessibleDescription(QStringLiteral("Unsaved changes"));
    bar_->addPermanentWidget(modified_);
}

void StatusLine::addSeparator()
{
    auto* line = new QFrame(bar_);
    line->setObjectName(QStringLiteral("separator"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    bar_->addPermanentWidget(line);
}

void StatusLine::buildIndicators()
{
    const struct {
        const char* text;
        const char* description;
    } modes[] = {{"Up", "Up-arrow key"},
                 {"Down", "Down-arrow key"},
                 {"Num", "Num Lock"},
                 {"Ins", "Insert"},
                 {"Scr", "Scroll Lock"}};
    for (const auto& mode : modes) {
        auto* l = new QLabel(QString::fromLatin1(mode.text), bar_);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("Down")) + 10);
        l->setAccessibleDescription(QString::fromLatin1(mode.description));
        l->setEnabled(false);
        bar_->addPermanentWidget(l);
        indicators_ << l;
        addSeparator();
    }
    refreshLocks();
}

void StatusLine::buildClock()
{
    clock_ = new QLabel(bar_);
    clock_->setFrameShape(QFrame::Panel);
    clock_->setFrameShadow(QFrame::Sunken);
    clock_->setAlignment(Qt::AlignCenter);
    QFont f = clock_->font();
    f.setPointSize(10);
    clock_->setFont(f);
    clock_->setFixedWidth(QFontMetrics(f).averageCharWidth() * 12);
    clock_->setAccessibleDescription(QStringLiteral("Clock"));
    bar_->addPermanentWidget(clock_);
    clockTimer_ = new QTimer(this);
    clockTimer_->setSingleShot(true);
    clockTimer_->setTimerType(Qt::PreciseTimer);
    connect(clockTimer_, &QTimer::timeout, this, &StatusLine::tick);
    tick();
}

void StatusLine::tick()
{
    const QTime now = QTime::currentTime();
    clock_->setText(now.toString(QStringLiteral("HH:mm:ss")));
    // The next tick just after the next full second.
    clockTimer_->start(1000 - now.msec() + 5);
}

QLabel* StatusLine::indicator(const QString& text) const
{
    for (QLabel* l : indicators_) {
        if (l->text() == text)
            return l;
    }
    return nullptr;
}

QString StatusLine::message() const
{
    return message_->text();
}

void StatusLine::watchButton(QWidget* button, QAction* action)
{
    buttons_.insert(button, action);
    connect(button, &QObject::destroyed, this, [this, button] { buttons_.remove(button); });
}

void StatusLine::showHint(const QAction* action, bool fromMenuBar)
{
    statusTimer_->stop();
    hintShown_ = true;
    hintFromMenuBar_ = fromMenuBar;
    message_->setText(action->statusTip());
}

void StatusLine::clearHint()
{
    hintShown_ = false;
    hintFromMenuBar_ = false;
    refreshMessage();
}

void StatusLine::clearMenuBarHint()
{
    // The hint of a highlighted menu-bar item goes with the highlight.
    if (hintFromMenuBar_ && (!menuBar_ || !menuBar_->activeAction()))
        clearHint();
}

void StatusLine::showStatus(const QString& text)
{
    message_->setText(text);
    hintShown_ = true;
    hintFromMenuBar_ = false;
    statusTimer_->start();
}

void StatusLine::setEditor(EditControl* editor)
{
    clearMenuBarHint();
    if (editor != editor_) {
        if (editor_) {
            disconnect(editor_, nullptr, this, nullptr);
            disconnect(editor_->document(), nullptr, this, nullptr);
        }
        editor_ = editor;
        if (editor) {
            connect(editor, &QTextEdit::cursorPositionChanged, this, &StatusLine::refreshMessage);
            connect(editor->document(), &QTextDocument::modificationChanged, this, &StatusLine::refreshModified);
        }
    }
    refreshModified();
    refreshMessage();
}

void StatusLine::refreshModified()
{
    modified_->setText(editor_ && editor_->document()->isModified() ? QStringLiteral("Modified") : QString());
}

void StatusLine::refreshMessage()
{
    if (hintShown_)
        return;
    QString text;
    if (editor_) {
        const QTextCursor cur = editor_->textCursor();
        text = QStringLiteral("Line %1, Col %2").arg(cur.blockNumber() + 1).arg(cur.positionInBlock() + 1);
    }
    message_->setText(text);
}

void StatusLine::refreshLocks()
{
    refreshKeys();
    indicators_[2]->setEnabled(host::numLockOn());
    indicators_[4]->setEnabled(host::scrollLockOn());
}

void StatusLine::refreshKeys()
{
    indicators_[0]->setEnabled(upDown_[0]);
    indicators_[1]->setEnabled(upDown_[1]);
    indicators_[3]->setEnabled(insertToggleOn());
}

bool StatusLine::buttonEvent(QObject* watched, QEvent* event)
{
    QAction* action = buttons_.value(watched);
    if (!action)
        return false;
    const bool press = mode_ == HintModes::PressHints;
    switch (event->type()) {
    case QEvent::Enter:
        if (!press)
            showHint(action);
        break;
    case QEvent::MouseButtonPress:
        if (press)
            showHint(action);
        break;
    case QEvent::MouseButtonRelease:
        if (press)
            clearHint();
        break;
    case QEvent::Leave: clearHint(); break;
    case QEvent::ToolTip:
        // In press-hints mode a button shows nothing while the pointer only rests on it.
        return press;
    default: break;
    }
    return false;
}

bool StatusLine::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == messageBox_)
            message_->setGeometry(messageBox_->rect());
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat() && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down))
            upDown_[k->key() == Qt::Key_Up ? 0 : 1] = event->type() == QEvent::KeyPress;
        // Lock keys and Insert change their state as the key goes down or up.
        // Asking the keyboard for its locks is a round trip to the display
        // server: only for a lock key, not for every key typed.
        if (k->key() == Qt::Key_NumLock || k->key() == Qt::Key_ScrollLock)
            refreshLocks();
        else
            refreshKeys();
        if (event->type() == QEvent::KeyRelease)
            clearMenuBarHint();
        break;
    }
    case QEvent::ApplicationActivate:
        // A lock key may have changed while another program had the keyboard.
        refreshLocks();
        break;
    case QEvent::StatusTip:
        // The hints are this bar's message field's, shown as the hint mode says;
        // the frame does not show them as passing messages of its own.
        if (watched == frame_ && !static_cast<QStatusTipEvent*>(event)->tip().isEmpty())
            return true;
        break;
    case QEvent::Leave:
    case QEvent::FocusOut:
        // The pointer left the menu bar, or the keyboard did (Escape, or a
        // click elsewhere).
        if (watched == menuBar_.data())
            QTimer::singleShot(0, this, &StatusLine::clearMenuBarHint);
        break;
    default: break;
    }
    if (buttonEvent(watched, event))
        return true;
    return QObject::eventFilter(watched, event);
}
