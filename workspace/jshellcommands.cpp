// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/jshellcommands.h"

#include "resources/commands.h"
#include "platform/routing.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/running/programprocess.h"
#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "workspace/panearea.h"
#include "workspace/workspace.h"

#include <QTextBlock>
#include <QTextCursor>

JShellCommands::JShellCommands(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace), ws_(workspace), session_(new JShellSession(this))
{
    table.on(cmd::ShowJShell, [this] { showPane(true); });
    table.enabler(cmd::ShowJShell, [](CommandState& s) { s.enabled = true; });
    table.on(cmd::JShellPane, [this] { showPane(true); });
    table.enabler(cmd::JShellPane, [](CommandState& s) { s.enabled = true; });
    table.on(cmd::SendToJShell, [this] { sendFromEditor(); });
    table.enabler(cmd::SendToJShell, [this](CommandState& s) { s.enabled = ws_.currentEditor() != nullptr; });
    table.on(cmd::ResetJShell, [this] { reset(); });
    table.enabler(cmd::ResetJShell, [](CommandState& s) { s.enabled = true; });
    table.on(cmd::InterruptJShell, [this] { session_->interrupt(); });
    table.enabler(cmd::InterruptJShell, [this](CommandState& s) { s.enabled = session_->evaluating(); });

    connect(session_, &JShellSession::ready, this, [this] {
        if (window_) {
            window_->setReady(true);
            window_->showNote(QStringLiteral("JShell is ready (class path: %1).")
                                  .arg(session_->classPath().isEmpty() ? QStringLiteral("none")
                                                                       : session_->classPath().join(u' ')));
        }
    });
    connect(session_, &JShellSession::value, this, [this](qint64, const jshellwire::reply::Value& v) {
        if (window_)
            window_->showValue(v);
    });
    connect(session_, &JShellSession::output, this, [this](qint64, const QString& stream, const QString& text) {
        if (window_)
            window_->showOutput(stream, text);
    });
    connect(session_, &JShellSession::completions, this, [this](qint64 id, int anchor, const QStringList& texts) {
        const QString asked = asked_.take(id);
        if (window_)
            window_->showCompletions(asked, anchor, texts);
    });
    connect(session_, &JShellSession::ended, this, [this](const QString& reason) {
        if (window_) {
            window_->setReady(false);
            window_->showNote(reason + QStringLiteral(" Reset JShell starts it again."));
        }
    });
}

JShellWindow* JShellCommands::showPane(bool activate)
{
    // The active source's, before the pane takes the focus from its window.
    const QStringList classPath = activeClassPath();
    bool made = false;
    ws_.panes().show(
        Pane::JShell,
        [this, &made] {
            made = true;
            window_ = new JShellWindow;
            connect(window_, &JShellWindow::evaluateWanted, this, &JShellCommands::evaluate);
            connect(window_, &JShellWindow::interruptWanted, session_, &JShellSession::interrupt);
            connect(window_, &JShellWindow::completionWanted, this, [this](const QString& source, int cursor) {
                if (const qint64 id = session_->complete(source, cursor))
                    asked_.insert(id, source);
            });
            return window_.data();
        },
        activate);
    if (made || session_->state() == JShellSession::State::Idle)
        start(classPath);
    return window_;
}

void JShellCommands::start(const QStringList& classPath)
{
    if (window_) {
        window_->setReady(false);
        window_->showNote(QStringLiteral("JShell is starting..."));
    }
    asked_.clear();
    session_->start(configuredJava(), classPath);
}

void JShellCommands::evaluate(const QString& source)
{
    JShellWindow* w = showPane(false);
    if (!w)
        return;
    w->showInput(source);
    if (!session_->eval(source))
        w->showNote(QStringLiteral("JShell is not running: Reset JShell starts it again."));
}

void JShellCommands::sendFromEditor()
{
    TFileMDIChild* c = ws_.currentEditor();
    if (!c)
        return;
    const QTextCursor cursor = c->editor()->textCursor();
    QString text = cursor.hasSelection() ? cursor.selectedText() : cursor.block().text();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    if (text.trimmed().isEmpty())
        return;
    evaluate(text);
}

void JShellCommands::reset()
{
    const QStringList classPath = activeClassPath();
    if (!window_) {
        showPane(false);  // a new pane starts a new JShell
        return;
    }
    showPane(false);
    window_->showNote(QStringLiteral("JShell is reset: its declarations are gone."));
    start(classPath);
}

QStringList JShellCommands::activeClassPath() const
{
    TFileMDIChild* c = ws_.currentEditor();
    if (!c || c->isNewFile())
        return {};
    const ProjectModel model = c->build().model();
    QStringList out{model.classDirectory()};
    for (const ClassPathEntry& e : model.classPath)
        out << e.path;
    return out;
}
