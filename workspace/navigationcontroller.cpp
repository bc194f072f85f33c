// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/navigationcontroller.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "javatext/javaidentifiers.h"
#include "javatext/javasource.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/navigation/outlinewindow.h"
#include "workspace/caretcommand.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"
#include "workspace/panearea.h"
#include "workspace/servicesource.h"

#include <QDir>
#include <QFileInfo>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTimer>

namespace {

QString statusOf(const QString& text)
{
    return QStringLiteral("Go to Definition: ") + text;
}

}  // namespace

NavigationController::NavigationController(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace),
      ws_(workspace),
      service_(&workspace,
               [this](CompileService* s) {
                   connect(s, &CompileService::answered, this, &NavigationController::onAnswered);
                   connect(s, &CompileService::queryFailed, this, &NavigationController::onQueryFailed);
                   connect(s, &CompileService::ready, this, &NavigationController::requestOutline);
               }),
      outlineTimer_(new QTimer(this))
{
    outlineTimer_->setSingleShot(true);
    outlineTimer_->setInterval(kOutlinePauseMs);
    connect(outlineTimer_, &QTimer::timeout, this, &NavigationController::requestOutline);
    connect(&ws_, &TFileMDIClient::editorsChanged, this, &NavigationController::followActiveSource);

    onCaretCommand(table, ws_, cmd::GoToDefinition,
                   [this](EditControl* editor, int position) { goToDefinition(editor, position); });
    table.on(cmd::ShowOutline, [this] { showOutline(true); });
    table.enabler(cmd::ShowOutline, [](CommandState& s) { s.enabled = true; });
}

void NavigationController::editorOpened(TFileMDIChild* window)
{
    if (!window->isProject())
        window->editor()->viewport()->installEventFilter(this);
}

bool NavigationController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    const auto* me = static_cast<QMouseEvent*>(event);
    auto* editor = qobject_cast<EditControl*>(watched->parent());
    if (!editor || me->button() != Qt::LeftButton || !(me->modifiers() & Qt::ControlModifier))
        return false;
    // Ctrl+click: the caret goes to the name clicked, whose declaration is sought.
    if (TFileMDIChild* w = windowOf(editor); w && ws_.currentEditor() != w)
        ws_.bringToFront(w);
    editor->setTextCursor(editor->cursorForPosition(me->position().toPoint()));
    editor->setFocus();
    goToDefinition(editor, editor->textCursor().position());
    return true;
}

// ---------------------------------------------------------------- Go to Definition

void NavigationController::goToDefinition(EditControl* editor, int position)
{
    CompileService* s = service_.ready(serviceFolderOf(*editor->source()));
    if (s && definitionId_)
        s->cancel(definitionId_);
    definitionId_ = 0;
    if (s)
        definitionId_ = s->query(declarationRequest(
            serviceSourceName(*editor->source()), editor->source()->rawText(), position, jdkSourceCache(),
            CompileService::withoutJvmOptions(makeargsList(serviceSourceName(*editor->source()))),
            serviceFolderOf(*editor->source())));
    if (!definitionId_) {
        ws_.showStatus(statusOf(compileServiceHeldUntilCompile()
                                    ? QStringLiteral("the compile service starts with the first Java Compile (F9), "
                                                     "since the Java tools come from a brewpad.cfg of this folder")
                                    : QStringLiteral("the compile service is not ready; try again in a moment")));
        return;
    }
    definitionEditor_ = editor;
    definitionRevision_ = editor->document()->revision();
    definitionPosition_ = position;
    ws_.showStatus(statusOf(QStringLiteral("looking for the declaration...")));
}

void NavigationController::onAnswered(quint64 id, const ServiceReply& reply)
{
    if (id == outlineId_) {
        outlineId_ = 0;
        // A text changed since is asked about again once the typing pauses.
        if (outline_ && outlined_ && outlined_->document()->revision() == outlineRevision_) {
            outline_->showRows(outlineIn(reply));
            outline_->setNote(QFileInfo(serviceSourceName(*outlined_->source())).fileName());
        }
        return;
    }
    if (id != definitionId_ || !id)
        return;
    definitionId_ = 0;
    // The user moved on (another place, another text, another window): the answer is not wanted.
    EditControl* e = definitionEditor_;
    TFileMDIChild* active = ws_.currentEditor();
    if (!e || !active || active->editor() != e || e->document()->revision() != definitionRevision_ ||
        e->textCursor().position() != definitionPosition_) {
        ws_.showStatus(QString());
        return;
    }
    const ServiceDeclaration d = declarationIn(reply);
    if (!d.found) {
        ws_.showStatus(statusOf(d.reason));
        return;
    }
    showDeclaration(d);
}

void NavigationController::onQueryFailed(quint64 id, const QString& reason)
{
    const bool cancelled = reason == QLatin1String("cancelled");
    if (id && id == outlineId_) {
        outlineId_ = 0;
        if (outline_ && !cancelled)
            outline_->setNote(QStringLiteral("No outline: %1").arg(reason));
    } else if (id && id == definitionId_) {
        definitionId_ = 0;
        if (!cancelled)
            ws_.showStatus(statusOf(reason));
    }
}

TFileMDIChild* NavigationController::windowOf(const EditControl* editor) const
{
    for (TFileMDIChild* c : ws_.editors()) {
        if (c->editor() == editor)
            return c;
    }
    return nullptr;
}

void NavigationController::showDeclaration(const ServiceDeclaration& d)
{
    const PlaceTarget at{.line = d.line,
                         .span = [column = d.column](const QString& text) { return nameAt(text, column - 1); }};
    TFileMDIChild* target = ws_.places().windowShowing(d.path);
    if (!target && d.jdk) {
        // Not one of the user's files: not in the recent list, and never edited.
        TFileMDIChild* from = ws_.currentEditor();
        ws_.useDialogRecord(TFileMDIClient::DialogKind::JavaSource);
        target = ws_.openEditor(EditorKind::JavaSource, d.path);
        if (target)
            target->source()->setReadOnly(true);
        if (target && from)
            ws_.bringToFront(from);  // the jump is taken from where it was asked
    }
    target = ws_.places().open(d.path, at);
    if (!target) {
        ws_.showStatus(statusOf(QStringLiteral("%1 could not be opened").arg(d.path)));
        return;
    }
    const QString where = QStringLiteral("%1, line %2").arg(QFileInfo(d.path).fileName()).arg(d.line);
    // The service's cache holds the JDK's sources and, under jars/, the classes of jars.
    const bool jar = d.path.startsWith(jdkSourceCache() + QStringLiteral("/jars/"));
    ws_.showStatus(statusOf(!d.jdk ? where
                                   : where + (jar ? QStringLiteral(" (a class of a jar on the class path, read-only)")
                                                  : QStringLiteral(" (a source of the JDK, read-only)"))));
}

TextSpan NavigationController::nameAt(const QString& text, int start)
{
    // From the column to the end of the word there.
    const int from = std::clamp(start, 0, int(text.size()));
    return TextSpan{from, int(javatext::identifierEnd(text, from))};
}

// ---------------------------------------------------------------- Outline

void NavigationController::showOutline(bool activate)
{
    bool made = false;
    ws_.panes().show(
        Pane::Outline,
        [this, &made] {
            made = true;
            outline_ = new OutlineWindow;
            connect(outline_, &OutlineWindow::rowChosen, this, &NavigationController::goToRow);
            return outline_.data();
        },
        activate);
    if (made) {
        followActiveSource();
        requestOutline();
    }
}

void NavigationController::followActiveSource()
{
    TFileMDIChild* c = ws_.currentEditor();
    if (!c || c->isProject() || c->editor() == outlined_) {
        // The source shown was closed.
        if (!outlined_ && outline_ && !outline_->rows().isEmpty() && ws_.editors().isEmpty())
            requestOutline();
        return;
    }
    if (outlined_)
        outlined_->document()->disconnect(this);
    outlined_ = c->editor();
    connect(outlined_->document(), &QTextDocument::contentsChanged, outlineTimer_, qOverload<>(&QTimer::start));
    if (outline_)
        outlineTimer_->start(0);
}

void NavigationController::requestOutline()
{
    if (!outline_)
        return;
    if (!outlined_) {
        outline_->showRows({});
        outline_->setNote(QStringLiteral("No source window is active"));
        return;
    }
    CompileService* s = service_.ready(serviceFolderOf(*outlined_->source()));
    if (s && outlineId_)
        s->cancel(outlineId_);
    outlineId_ = s ? s->query(outlineRequest(serviceSourceName(*outlined_->source()), outlined_->source()->rawText()))
                   : 0;
    outlineRevision_ = outlined_->document()->revision();
    if (!outlineId_)
        outline_->setNote(QStringLiteral("The outline comes once the compile service is ready"));
}

void NavigationController::goToRow(const OutlineRow& row)
{
    TFileMDIChild* w = outlined_ ? windowOf(outlined_) : nullptr;
    if (!w)
        return;
    const int column = row.column - 1;
    ws_.places().show(w, PlaceTarget{.line = row.line, .span = [column](const QString&) {
                                         return TextSpan{column, column};
                                     }});
}
