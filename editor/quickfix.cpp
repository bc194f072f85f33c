// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/quickfix.h"

#include "editor/editcontrol.h"
#include "editor/quickfixpopup.h"
#include "javatext/javasource.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/quickfixedit.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

namespace {

const QString kNoQuickFix = QStringLiteral("No quick fix for this line");

// The file a question names: an untitled window's text is taken as a source
// in the current folder.
QString quickFixFile(const EditControl* edit)
{
    return edit->source()->fileName().isEmpty()
               ? QDir::current().filePath(javatext::sourceFileName(QStringLiteral("Untitled")))
               : edit->source()->fileName();
}

QString quickFixUnavailable(const CompileService* service)
{
    if (!service)
        return QStringLiteral("No quick fixes: no compile service (no JDK)");
    if (service->state() == CompileService::State::Unusable)
        return QStringLiteral("No quick fixes: the compile service is not available (%1)").arg(service->lastError());
    if (service->state() != CompileService::State::Ready)
        return QStringLiteral("No quick fixes yet: the compile service is starting");
    return QString();
}

}  // namespace

QuickFixes::QuickFixes(EditControl* edit) : edit_(edit) {}

QuickFixes::~QuickFixes() = default;

void QuickFixes::watch()
{
    popup_ = new QuickFixPopup(edit_);
    connect(popup_, &QuickFixPopup::picked, this, [this] { apply(popup_->currentRow()); });
    edit_->commands().on(cmd::QuickFix, [this] { offer(); });
    // A change of the text or of the caret's place leaves the list behind.
    connect(edit_, &QTextEdit::cursorPositionChanged, this, &QuickFixes::close);
    edit_->installEventFilter(this);
}

void QuickFixes::offer()
{
    close();
    const int line = edit_->textCursor().blockNumber() + 1;
    if (edit_->isReadOnly() || edit_->source()->marks().messageTextsOnLine(line).isEmpty()) {
        emit statusShown(kNoQuickFix);
        return;
    }
    CompileService* service = sharedCompileService();
    if (const QString why = quickFixUnavailable(service); !why.isEmpty()) {
        emit statusShown(why);
        return;
    }
    const QString file = quickFixFile(edit_);
    askedText_ = edit_->source()->rawText();
    askedLine_ = line;
    askedId_ = service->query(FixesRequest{0, QFileInfo(file).absolutePath(), file, askedText_, line,
                                           CompileService::withoutJvmOptions(makeargsList(file))});
    if (!askedId_) {
        emit statusShown(quickFixUnavailable(service));
        return;
    }
    if (connected_ != service) {
        if (connected_)
            connected_->disconnect(this);
        connected_ = service;
        connect(service, &CompileService::answered, this, &QuickFixes::onAnswered);
        connect(service, &CompileService::queryFailed, this, &QuickFixes::onFailed);
    }
    emit statusShown(QStringLiteral("Looking for quick fixes..."));
}

void QuickFixes::onAnswered(quint64 id, const ServiceReply& reply)
{
    if (id == 0 || id != askedId_)
        return;
    askedId_ = 0;
    const auto* answer = std::get_if<FixesReply>(&reply);
    // The text changed meanwhile, or the caret left the line: the fixes are
    // for another text or line.
    if (!answer || edit_->source()->rawText() != askedText_ || edit_->textCursor().blockNumber() + 1 != askedLine_) {
        emit statusShown(answer ? QStringLiteral("The text changed: ask for quick fixes again") : kNoQuickFix);
        return;
    }
    fixes_.clear();
    QStringList titles;
    for (const QuickFix& f : answer->fixes) {
        if (quickFixEdits(askedText_, f).isEmpty())
            continue;
        fixes_ << f;
        titles << f.title;
    }
    if (fixes_.isEmpty()) {
        emit statusShown(kNoQuickFix);
        return;
    }
    emit statusShown(QString());
    popup_->showTitles(titles, edit_->viewport()->mapToGlobal(edit_->cursorRect().bottomLeft() + QPoint(0, 2)));
}

void QuickFixes::onFailed(quint64 id, const QString& reason)
{
    if (id == 0 || id != askedId_)
        return;
    askedId_ = 0;
    if (reason != QLatin1String("cancelled"))
        emit statusShown(QStringLiteral("No quick fixes: the compile service failed (%1)").arg(reason));
}

bool QuickFixes::apply(int row)
{
    if (row < 0 || row >= fixes_.size())
        return false;
    const QuickFix fix = fixes_[row];
    const QString text = askedText_;
    close();
    if (edit_->source()->rawText() != text) {
        emit statusShown(QStringLiteral("The text changed: ask for quick fixes again"));
        return false;
    }
    const QList<FixEdit> edits = quickFixEdits(text, fix);
    QTextCursor c(edit_->document());
    c.beginEditBlock();  // one undo step
    for (const FixEdit& e : edits) {
        c.setPosition(e.start);
        c.setPosition(e.end, QTextCursor::KeepAnchor);
        c.insertText(e.text);
    }
    c.endEditBlock();
    emit statusShown(QStringLiteral("Quick fix: %1").arg(fix.title));
    return true;
}

void QuickFixes::close()
{
    if (popup_ && popup_->isVisible())
        popup_->hide();
}

bool QuickFixes::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != edit_ || !popup_->isVisible())
        return false;
    if (e->type() == QEvent::FocusOut) {
        close();
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride)
        return false;
    const int key = static_cast<QKeyEvent*>(e)->key();
    const bool listKey = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter ||
                         key == Qt::Key_Escape;
    if (!listKey)
        return false;
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();
        return false;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        popup_->moveChoice(key == Qt::Key_Up ? -1 : 1);
    else if (key == Qt::Key_Escape)
        close();
    else
        apply(popup_->currentRow());
    return true;
}
