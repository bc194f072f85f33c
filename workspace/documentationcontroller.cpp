// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/documentationcontroller.h"

#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "javatext/javaidentifiers.h"
#include "javatext/javasource.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/compiling/servicenavigation.h"
#include "workspace/caretcommand.h"
#include "workspace/panearea.h"
#include "workspace/servicesource.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QToolTip>

namespace {

// The name at a position of a text ("println"); empty when none is there.
QString docNameAt(const QString& text, int position)
{
    const qsizetype start = javatext::identifierStart(text, position);
    return text.mid(start, javatext::identifierEnd(text, position) - start);
}

DocPage docPageOf(const DocReply& r)
{
    return DocPage{r.name, r.signature, r.context, r.comment};
}

}  // namespace

DocumentationController::DocumentationController(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace), ws_(workspace), service_(&workspace, [this](CompileService* s) {
          connect(s, &CompileService::answered, this, &DocumentationController::onAnswered);
          connect(s, &CompileService::queryFailed, this, &DocumentationController::onQueryFailed);
      })
{
    onCaretCommand(table, ws_, cmd::ShowDocumentation,
                   [this](EditControl* editor, int position) { showDocumentation(editor, position); });
    table.on(cmd::DocumentationPane, [this] { showPane(true); });
    table.enabler(cmd::DocumentationPane, [](CommandState& s) { s.enabled = true; });
}

void DocumentationController::editorOpened(TFileMDIChild* window)
{
    if (window->isProject())
        return;
    EditControl* e = window->editor();
    connect(e, &EditControl::identifierRested, this,
            [this, e](int position, QPoint globalPos) { onRested(e, position, globalPos); });
    connect(e, &EditControl::identifierRestEnded, this, &DocumentationController::onRestEnded);
}

DocPane* DocumentationController::showPane(bool activate)
{
    ws_.panes().show(
        Pane::Documentation,
        [this] {
            pane_ = new DocPane;
            connect(pane_, &DocPane::linkWanted, this, &DocumentationController::followLink);
            return pane_.data();
        },
        activate);
    return pane_;
}

quint64 DocumentationController::ask(EditControl* editor, int position, const DocLink& link, bool start)
{
    DocRequest r;
    r.workDir = editor ? serviceFolderOf(*editor->source()) : QDir::currentPath();
    r.file = editor ? serviceSourceName(*editor->source()) : r.workDir + QStringLiteral("/Untitled.java");
    r.text = editor ? editor->source()->rawText() : QStringLiteral("class Untitled {}\n");
    r.offset = position;
    r.cacheDir = jdkSourceCache();
    r.context = link.context;
    r.reference = link.reference;
    r.options = CompileService::withoutJvmOptions(makeargsList(r.file));
    CompileService* s = service_.ready(r.workDir, start);
    return s ? s->query(r) : 0;
}

void DocumentationController::showDocumentation(EditControl* editor, int position)
{
    DocPane* pane = showPane(false);
    if (pageId_ && service_.connected())
        service_.connected()->cancel(pageId_);
    pageName_ = docNameAt(editor->document()->toPlainText(), position);
    pageEditor_ = editor;
    pageId_ = ask(editor, position, {});
    if (!pageId_) {
        pane->showNote(
            compileServiceHeldUntilCompile()
                ? QStringLiteral("The documentation comes from the compile service, which starts with the "
                                 "first Java Compile (F9), since the Java tools come from a brewpad.cfg of "
                                 "this folder.")
                : QStringLiteral("The compile service is not ready; try Show Documentation again in a "
                                 "moment."));
        return;
    }
    pane->showNote(QStringLiteral("Looking for the documentation of %1...").arg(pageName_));
}

void DocumentationController::followLink(const DocLink& link)
{
    DocPane* pane = showPane(false);
    if (pageId_ && service_.connected())
        service_.connected()->cancel(pageId_);
    QString shown = link.reference.startsWith(QLatin1Char('#')) ? link.reference.mid(1) : link.reference;
    pageName_ = shown.replace(QLatin1Char('#'), QLatin1Char('.'));
    pageId_ = ask(pageEditor_, 0, link);
    pane->showNote(pageId_ ? QStringLiteral("Looking for the documentation of %1...").arg(pageName_)
                           : QStringLiteral("The compile service is not ready; try the link again in a moment."));
}

void DocumentationController::onAnswered(quint64 id, const ServiceReply& reply)
{
    if (id && id == pageId_) {
        pageId_ = 0;
        showPageAnswer(reply);
    } else if (id && id == hoverId_) {
        hoverId_ = 0;
        showTooltipAnswer(reply);
    }
}

void DocumentationController::showPageAnswer(const ServiceReply& reply)
{
    if (!pane_)
        return;
    if (const auto* doc = std::get_if<DocReply>(&reply))
        pane_->showPage(docPageOf(*doc));
    else if (const auto* none = std::get_if<UndeclaredReply>(&reply))
        pane_->showNothingFor(pageName_, none->reason);
    else
        pane_->showNothingFor(pageName_);
}

void DocumentationController::showTooltipAnswer(const ServiceReply& reply)
{
    const auto* doc = std::get_if<DocReply>(&reply);
    // A tip of the text's own (a compiler message) stays.
    if (!doc || !hoverEditor_ || !hoverEditor_->isVisible() || QToolTip::isVisible())
        return;
    QToolTip::showText(hoverAt_, javadocTooltipHtml(docPageOf(*doc)), hoverEditor_->viewport());
    tipShown_ = true;
}

void DocumentationController::onQueryFailed(quint64 id, const QString& reason)
{
    if (id && id == hoverId_)
        hoverId_ = 0;
    if (!id || id != pageId_)
        return;
    pageId_ = 0;
    if (pane_ && reason != QLatin1String("cancelled"))
        pane_->showNote(QStringLiteral("No documentation of %1: %2").arg(pageName_, reason));
}

void DocumentationController::onRested(EditControl* editor, int position, QPoint globalPos)
{
    if (hoverId_ && service_.connected())
        service_.connected()->cancel(hoverId_);
    hoverEditor_ = editor;
    hoverAt_ = globalPos;
    hoverId_ = ask(editor, position, {}, false);
}

void DocumentationController::onRestEnded()
{
    if (hoverId_ && service_.connected())
        service_.connected()->cancel(hoverId_);
    hoverId_ = 0;
    if (tipShown_)
        QToolTip::hideText();
    tipShown_ = false;
}
