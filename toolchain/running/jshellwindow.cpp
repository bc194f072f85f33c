// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/jshellwindow.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringListModel>
#include <QVBoxLayout>

namespace {

// Each line of `text` after "|  ", as jshell marks what is not a value.
QString marked(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& l : lines)
        l.prepend(QStringLiteral("|  "));
    return lines.join(u'\n');
}

}  // namespace

QString jshellValueText(const jshellwire::reply::Value& v)
{
    if (v.status == u"error")
        return marked(QStringLiteral("Error:\n") + v.text);
    if (v.status == u"exception")
        return marked(QStringLiteral("Exception ") + v.text);
    if (v.status == u"stopped")
        return marked(v.text);
    if (v.kind == u"expression" || v.kind == u"variable")
        return v.name.isEmpty() ? v.text : v.name + QStringLiteral(" ==> ") + v.text;
    return v.text.isEmpty() ? QString() : marked(v.text);
}

JShellWindow::JShellWindow(QWidget* parent)
    : QWidget(parent),
      transcript_(new QPlainTextEdit(this)),
      input_(new QLineEdit(this)),
      completer_(new QCompleter(this)),
      offers_(new QStringListModel(this))
{
    transcript_->setReadOnly(true);
    transcript_->setLineWrapMode(QPlainTextEdit::NoWrap);
    transcript_->setAccessibleName(QStringLiteral("JShell transcript"));
    transcript_->setFont(QFont(QStringLiteral("Monospace")));
    input_->setAccessibleName(QStringLiteral("JShell input"));
    input_->setPlaceholderText(
        QStringLiteral("A Java expression, statement or declaration; Enter evaluates it, Escape stops it"));
    input_->setFont(transcript_->font());
    input_->installEventFilter(this);
    completer_->setModel(offers_);
    completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer_->setWidget(input_);
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), input_, &QLineEdit::setText);
    auto* prompt = new QLabel(QStringLiteral("jshell>"), this);
    prompt->setBuddy(input_);
    auto* line = new QHBoxLayout;
    line->addWidget(prompt);
    line->addWidget(input_, 1);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(2);
    l->addWidget(transcript_, 1);
    l->addLayout(line);
    setFocusProxy(input_);
    connect(input_, &QLineEdit::returnPressed, this, &JShellWindow::submit);
    setReady(false);
}

void JShellWindow::append(const QString& text)
{
    transcript_->appendPlainText(text);
    transcript_->verticalScrollBar()->setValue(transcript_->verticalScrollBar()->maximum());
}

void JShellWindow::showInput(const QString& source)
{
    append(QStringLiteral("jshell> ") + QString(source).replace(u'\n', QStringLiteral("\n   ...> ")));
}

void JShellWindow::showValue(const jshellwire::reply::Value& v)
{
    const QString text = jshellValueText(v);
    if (!text.isEmpty())
        append(text);
}

void JShellWindow::showOutput(const QString&, const QString& text)
{
    append(text.endsWith(u'\n') ? text.chopped(1) : text);
}

void JShellWindow::showNote(const QString& text)
{
    append(marked(text));
}

void JShellWindow::showCompletions(const QString& asked, int anchor, const QStringList& continuations)
{
    if (input_->text() != asked || continuations.isEmpty())
        return;
    QStringList whole;
    for (const QString& c : continuations)
        whole << asked.left(anchor) + c;
    if (whole.size() == 1) {
        input_->setText(whole.first());
        return;
    }
    offers_->setStringList(whole);
    completer_->complete();
}

void JShellWindow::setReady(bool ready)
{
    input_->setEnabled(ready);
}

QString JShellWindow::transcript() const
{
    return transcript_->toPlainText();
}

void JShellWindow::submit()
{
    const QString source = input_->text();
    if (source.trimmed().isEmpty())
        return;
    history_.add(source);
    input_->clear();
    emit evaluateWanted(source);
}

bool JShellWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != input_ || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    const auto* k = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+Space completes here, not in the editor the menu's Complete means.
        const bool ours = k->key() == Qt::Key_Space && k->modifiers() == Qt::ControlModifier;
        if (ours)
            event->accept();
        return ours;
    }
    if (k->key() == Qt::Key_Space && k->modifiers() == Qt::ControlModifier) {
        emit completionWanted(input_->text(), input_->cursorPosition());
        return true;
    }
    if (k->modifiers() != Qt::NoModifier || completer_->popup()->isVisible())
        return false;
    if (k->key() == Qt::Key_Escape) {
        emit interruptWanted();
        return true;
    }
    if (k->key() == Qt::Key_Up) {
        if (const auto s = history_.older(input_->text()))
            input_->setText(*s);
        return true;
    }
    if (k->key() == Qt::Key_Down) {
        if (const auto s = history_.newer())
            input_->setText(*s);
        return true;
    }
    return false;
}
