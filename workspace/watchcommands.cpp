// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/watchcommands.h"

#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "javatext/javaidentifiers.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/variableswindow.h"
#include "toolchain/running/watcheswindow.h"
#include "workspace/debugcontroller.h"
#include "workspace/panearea.h"
#include "workspace/workspace.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextBlock>

WatchCommands::WatchCommands(TFileMDIClient& workspace, CommandTable& table) : QObject(&workspace), ws_(workspace)
{
    table.on(cmd::WatchesPane, [this] { showPane(true); });
    table.enabler(cmd::WatchesPane, [](CommandState& s) { s.enabled = true; });
    table.on(cmd::EvaluateExpression, [this] { evaluateExpression(); });
    table.enabler(cmd::EvaluateExpression, [this](CommandState& s) { s.enabled = paused(); });
    table.on(cmd::AddWatch, [this] { addWatch(); });
    table.enabler(cmd::AddWatch, [](CommandState& s) { s.enabled = true; });
    table.on(cmd::SetValue, [this] { setValue(); });
    table.enabler(cmd::SetValue, [this](CommandState& s) { s.enabled = paused() && !valueTarget().isEmpty(); });
    DebugController& d = ws_.debugger();
    connect(&d, &DebugController::sessionStarted, this, &WatchCommands::attach);
    connect(&d, &DebugController::frameShown, this, &WatchCommands::evaluateAll);
}

bool WatchCommands::paused() const
{
    return session_ && ws_.debugger().live() && session_->settled();
}

void WatchCommands::attach(DebugSession* session)
{
    session_ = session;
    forget();
    connect(session, &DebugSession::evaluated, this, &WatchCommands::onEvaluated);
    connect(session, &DebugSession::resumed, this, &WatchCommands::forget);
    connect(session, &DebugSession::ended, this, &WatchCommands::forget);
}

WatchesWindow* WatchCommands::showPane(bool activate)
{
    ws_.panes().show(
        Pane::Watches,
        [this] {
            pane_ = new WatchesWindow;
            connect(pane_, &WatchesWindow::evaluateWanted, this, &WatchCommands::evaluateField);
            connect(pane_, &WatchesWindow::addWanted, this, &WatchCommands::add);
            connect(pane_, &WatchesWindow::replaceWanted, this, [this](int index, const QString& expression) {
                list_.replace(index, expression);
                refresh();
                evaluateAll(ws_.debugger().shownFrame());
            });
            connect(pane_, &WatchesWindow::removeWanted, this, [this](int index) {
                list_.remove(index);
                refresh();
            });
            return pane_.data();
        },
        activate);
    refresh();
    return pane_;
}

void WatchCommands::refresh()
{
    if (pane_)
        pane_->showWatches(list_);
}

void WatchCommands::forget()
{
    list_.forgetResults();
    fieldAsked_.clear();
    setAsked_.clear();
    refresh();
}

void WatchCommands::evaluateAll(int frame)
{
    if (!paused())
        return;
    for (const QString& e : list_.expressions())
        session_->evaluate(e, frame);
}

void WatchCommands::evaluateField(const QString& expression)
{
    if (!paused()) {
        pane_->showResult(expression, {}, QStringLiteral("the program is not paused at a breakpoint or a step"));
        return;
    }
    fieldAsked_ = expression;
    session_->evaluate(expression, ws_.debugger().shownFrame());
}

void WatchCommands::add(const QString& expression)
{
    if (!list_.add(expression))
        return;
    showPane(false);
    if (paused())
        session_->evaluate(expression.trimmed(), ws_.debugger().shownFrame());
}

void WatchCommands::onEvaluated(const QString& expression, int frame, const DebugValue& value, const QString& error)
{
    if (frame != ws_.debugger().shownFrame())
        return;  // asked before another frame was chosen
    if (list_.setResult(expression, value, error))
        refresh();
    const bool changes = expression == fieldAsked_ || expression == setAsked_;
    if (expression == fieldAsked_ && pane_) {
        fieldAsked_.clear();
        pane_->showResult(expression, value, error);
    }
    if (expression == setAsked_) {
        setAsked_.clear();
        if (!error.isEmpty())
            dialogs().message(&ws_,
                              QStringLiteral("Brewpad could not set the value of %1: %2.\nCorrect the value and try "
                                             "Set Value again.")
                                  .arg(setTarget_, error),
                              QStringLiteral("Set Value"), Buttons::Ok, Icon::Stop);
    }
    // What was evaluated may have changed the program's values: they are shown again.
    if (changes && error.isEmpty() && paused()) {
        session_->requestVariables(frame);
        for (const QString& e : list_.expressions()) {
            if (e != expression)
                session_->evaluate(e, frame);
        }
    }
}

QString WatchCommands::textAtCaret() const
{
    TFileMDIChild* c = ws_.currentEditor();
    if (!c || c->isProject())
        return {};
    const QTextCursor cursor = c->editor()->textCursor();
    if (cursor.hasSelection()) {
        const QString s = cursor.selectedText();
        if (!s.contains(QChar::ParagraphSeparator))
            return s.trimmed();
    }
    const QString line = cursor.block().text();
    const int at = cursor.positionInBlock();
    const qsizetype start = javatext::identifierStart(line, at);
    return line.mid(start, javatext::identifierEnd(line, at) - start);
}

void WatchCommands::evaluateExpression()
{
    const QString text = textAtCaret();
    WatchesWindow* w = showPane(true);
    w->editExpression(text);
    if (!text.isEmpty())
        evaluateField(text);
}

void WatchCommands::addWatch()
{
    const std::optional<QString> e = dialogs().askText(&ws_, QStringLiteral("Add Watch"),
                                                       QStringLiteral("Expression to watch:"), textAtCaret());
    if (e && !e->trimmed().isEmpty())
        add(*e);
}

QString WatchCommands::valueTarget() const
{
    QWidget* focus = QApplication::focusWidget();
    if (pane_ && focus && pane_->isAncestorOf(focus)) {
        const int i = pane_->currentWatch();
        return i >= 0 ? list_.watches()[i].expression : QString();
    }
    VariablesWindow* v = ws_.debugger().variables();
    return v ? assignableExpression(v->currentPath()) : QString();
}

void WatchCommands::setValue()
{
    const QString target = valueTarget();
    if (!paused() || target.isEmpty())
        return;
    QString now;
    for (const Watch& w : list_.watches()) {
        if (w.expression == target)
            now = w.value.text;
    }
    if (VariablesWindow* v = ws_.debugger().variables(); now.isEmpty() && v)
        now = v->currentValue();
    const std::optional<QString> value = dialogs().askText(
        &ws_, QStringLiteral("Set Value"), QStringLiteral("New value of %1 (a Java expression):").arg(target), now);
    if (!value || value->trimmed().isEmpty())
        return;
    setTarget_ = target;
    setAsked_ = QStringLiteral("%1 = %2").arg(target, value->trimmed());
    session_->evaluate(setAsked_, ws_.debugger().shownFrame());
}
