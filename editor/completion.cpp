// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/completion.h"

#include "editor/completionpopup.h"
#include "editor/editcontrol.h"
#include "javatext/javaidentifiers.h"
#include "javatext/javaimports.h"
#include "javatext/javalexer.h"
#include "javatext/javasource.h"
#include "editor/lineendedit.h"
#include "editor/parameterhints.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// How long an answer may take before the words are offered instead.
constexpr int kBusyMs = 1500;
// How far from the caret the words of a large text are taken.
constexpr int kWordsAround = 256 * 1024;

// The file and folder a request names: an untitled window's text is taken
// as a source in the current folder.
QString requestFile(const EditControl* edit_)
{
    return edit_->source()->fileName().isEmpty()
               ? QDir::current().filePath(javatext::sourceFileName(QStringLiteral("Untitled")))
               : edit_->source()->fileName();
}

// The keys the list takes while it is shown.
// Whether `text`, what follows the opening parenthesis of a call, closes
// the call: a ")" in code that no "(" after it opened (the editor's lexer
// tells code from literals and comments).
bool closesTheCall(const QString& text)
{
    int depth = 0;
    bool closed = false;
    javalex::State state = javalex::Normal;
    for (const QString& line : text.split(QChar::ParagraphSeparator)) {
        state = javalex::forEachCode(line, state, [&](qsizetype start, qsizetype end) {
            for (qsizetype i = start; i < end && !closed; ++i) {
                if (line[i] == QLatin1Char('('))
                    ++depth;
                else if (line[i] == QLatin1Char(')') && --depth < 0)
                    closed = true;
            }
        });
        if (closed)
            return true;
    }
    return false;
}

bool isListKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Escape: return true;
    default: return false;
    }
}

// The text whose words stand in for the service's answer: of a large text
// only the stretch around `around`, so that the words of any text are found
// at once.
QString wordSource(const EditControl* e, int around)
{
    const QTextDocument* doc = e->document();
    const int size = doc->characterCount() - 1;
    QTextCursor c(const_cast<QTextDocument*>(doc));
    c.setPosition(std::clamp(around - kWordsAround, 0, std::max(0, size - 2 * kWordsAround)));
    c.setPosition(std::min(size, c.position() + 2 * kWordsAround), QTextCursor::KeepAnchor);
    return c.selectedText();  // lines end in U+2029, which no name holds
}

}  // namespace

Completion::Completion(EditControl* edit) : edit_(edit) {}

Completion::~Completion() = default;

void Completion::watch()
{
    popup_ = new CompletionPopup(edit_);
    hints_ = new ParameterHintLabel(edit_);
    busyTimer_ = new QTimer(this);
    busyTimer_->setSingleShot(true);
    busyTimer_->setInterval(kBusyMs);
    connect(busyTimer_, &QTimer::timeout, this, [this] {
        // The words stand in for a late answer (the list shows only while no
        // answer is awaited); with none to offer, the answer is still awaited
        // and shown when it comes.
        const quint64 awaited = std::exchange(completeId_, 0);
        if (awaited && wordsOnFailure_ && !offerWords(QStringLiteral("The compile service is busy"))) {
            completeId_ = awaited;
            emit statusShown(QStringLiteral("The compile service is busy: its answer will show when it comes"));
        }
    });
    connect(popup_, &CompletionPopup::picked, this, &Completion::insertChosen);
    connect(edit_, &QTextEdit::cursorPositionChanged, this, [this] {
        if (anchor_ >= 0)
            refilter();
        if (hints_->isVisible() && caretLeftTheCall())
            closeHints();
    });
    edit_->commands().on(cmd::Complete, [this] { complete(); });
    edit_->commands().on(cmd::ParameterHints, [this] { showHints(); });
    edit_->installEventFilter(this);
}

QString Completion::prefix() const
{
    const QTextCursor c = edit_->textCursor();
    const int caret = c.position();
    const int lineStart = c.block().position();
    if (anchor_ < lineStart || caret < anchor_)
        return QString();
    return c.block().text().mid(anchor_ - lineStart, caret - anchor_);
}

int Completion::anchorAtCaret() const
{
    // A name never spans lines: the caret's line alone tells where it starts.
    const QTextCursor c = edit_->textCursor();
    return c.block().position() + int(javatext::identifierStart(c.block().text(), c.positionInBlock()));
}

QPoint Completion::belowCaret() const
{
    return edit_->viewport()->mapToGlobal(edit_->cursorRect().bottomLeft() + QPoint(0, 2));
}

QString Completion::serviceUnavailable() const
{
    const CompileService* service = sharedCompileService();
    if (!service)
        return QStringLiteral("No compile service (no JDK)");
    switch (service->state()) {
    case CompileService::State::Ready: return QString();
    case CompileService::State::Unusable:
        return QStringLiteral("The compile service is not available (%1)").arg(service->lastError());
    case CompileService::State::Starting:
    case CompileService::State::Stopped: break;
    }
    return QStringLiteral("The compile service is starting");
}

void Completion::complete()
{
    closePopup();
    anchor_ = anchorAtCaret();
    request(true);
}

void Completion::request(bool fallBackToWords)
{
    CompileService* service = sharedCompileService();
    const QString why = serviceUnavailable();
    const QString file = requestFile(edit_);
    completeId_ = why.isEmpty() ? service->complete(file, edit_->source()->rawText(), edit_->textCursor().position(),
                                                    CompileService::withoutJvmOptions(makeargsList(file)),
                                                    QFileInfo(file).absolutePath())
                                : 0;
    wordsOnFailure_ = fallBackToWords;
    if (!completeId_) {
        if (fallBackToWords)
            offerWords(why.isEmpty() ? QStringLiteral("The compile service cannot complete this source") : why);
        else
            anchor_ = -1;
        return;
    }
    connectService(service);
    busyTimer_->start();
}

void Completion::setBusyAfter(int ms)
{
    busyTimer_->setInterval(ms);
}

void Completion::connectService(CompileService* service)
{
    if (connected_ == service)
        return;
    if (connected_)
        connected_->disconnect(this);
    connected_ = service;
    connect(service, &CompileService::completed, this, &Completion::onCompleted);
    connect(service, &CompileService::signatureFound, this, &Completion::onSignature);
    connect(service, &CompileService::completeFailed, this, &Completion::onFailed);
}

bool Completion::offerWords(const QString& why)
{
    QStringList texts;
    for (const EditControl* e : edit_->window()->findChildren<EditControl*>())
        texts << wordSource(e, e == edit_ ? edit_->textCursor().position() : 0);
    const QString typed = prefix();
    items_ = wordItems(wordsStartingWith(texts, typed));
    emit statusShown(why + QStringLiteral(": words of the open files offered"));
    refilter();
    return !items_.isEmpty();
}

void Completion::onCompleted(quint64 id, const QList<CompletionItem>& items)
{
    if (id != completeId_)
        return;  // an older request, or one given up
    completeId_ = 0;
    busyTimer_->stop();
    const int caret = edit_->textCursor().position();
    // The caret left the word it was asked for, or the focus the window: the
    // answer is not for it.
    if (anchor_ < 0 || caret < anchor_ || anchorAtCaret() != anchor_ || !edit_->hasFocus()) {
        anchor_ = -1;
        return;
    }
    items_ = items;
    if (items.isEmpty())
        emit statusShown(QStringLiteral("Nothing to complete at the caret"));
    refilter();
}

void Completion::onFailed(quint64 id, const QString& reason)
{
    if (id == hintsId_)
        hintsId_ = 0;
    if (id != completeId_)
        return;
    completeId_ = 0;
    busyTimer_->stop();
    if (wordsOnFailure_ && reason != QLatin1String("cancelled"))
        offerWords(QStringLiteral("The compile service could not complete (%1)").arg(reason));
    else
        anchor_ = -1;
}

void Completion::refilter()
{
    const int caret = edit_->textCursor().position();
    if (anchor_ < 0 || caret < anchor_ || anchorAtCaret() != anchor_) {
        closePopup();
        return;
    }
    if (completeId_)
        return;  // the list comes with the answer
    const QList<CompletionItem> shown = filterCompletions(items_, prefix());
    if (shown.isEmpty()) {
        popup_->hide();
        return;
    }
    popup_->showItems(shown, belowCaret());
}

void Completion::insertChosen()
{
    const CompletionItem* item = popup_->chosen();
    if (!item || anchor_ < 0)
        return;
    const CompletionItem chosen = *item;
    const QString text = edit_->source()->rawText();
    const int end = int(javatext::identifierEnd(text, edit_->textCursor().position()));
    const int from = anchor_;
    closePopup();
    // A method whose parentheses follow already: its name alone.
    const bool parenthesesThere = chosen.kind == QLatin1String("method") &&
                                  text.mid(end).startsWith(QLatin1Char('('));
    QString insert = parenthesesThere ? chosen.name : chosen.insert;
    // A type out of scope comes by its simple name, with its import.
    javaimports::Import import{javaimports::Import::Present, {}};
    if (chosen.kind == QLatin1String("type") && insert.endsWith(QLatin1Char('.') + chosen.name)) {
        import = javaimports::importOf(text, insert);
        if (import.need != javaimports::Import::Clash)
            insert = chosen.name;
    }
    const int caretInInsert = parenthesesThere || insert != chosen.insert ? int(insert.size())
                                                                          : int(chosen.caretInInsert());
    QTextCursor c = edit_->textCursor();
    c.beginEditBlock();  // one undo step
    c.setPosition(from);
    c.setPosition(end, QTextCursor::KeepAnchor);
    c.insertText(insert);
    c.setPosition(from + caretInInsert);
    if (import.need == javaimports::Import::Add) {
        QTextCursor at(edit_->document());  // above the caret, which moves down with its line
        at.setPosition(int(import.at.position));
        LineEndEdit lineEnds(at, LineEndEdit::Kind::Insert);
        at.insertText(import.at.text);
        lineEnds.finish(at);
        emit statusShown(QStringLiteral("Added: import %1;").arg(chosen.insert));
    }
    c.endEditBlock();
    edit_->setTextCursor(c);
    if (!parenthesesThere && caretInInsert < insert.size())
        showHints();
}

void Completion::closePopup()
{
    anchor_ = -1;
    // A request that the caret or the typing has left is given up.
    if (const quint64 stale = std::exchange(completeId_, 0); stale && connected_)
        connected_->cancel(stale);
    if (busyTimer_)
        busyTimer_->stop();
    if (popup_)
        popup_->hide();
}

void Completion::showHints()
{
    const QString why = serviceUnavailable();
    if (!why.isEmpty()) {
        emit statusShown(why + QStringLiteral(": no parameter hints"));
        return;
    }
    CompileService* service = sharedCompileService();
    const QString file = requestFile(edit_);
    hintsFrom_ = edit_->textCursor().position();
    hintsId_ = service->signature(file, edit_->source()->rawText(), hintsFrom_,
                                  CompileService::withoutJvmOptions(makeargsList(file)),
                                  QFileInfo(file).absolutePath());
    if (hintsId_)
        connectService(service);
}

void Completion::onSignature(quint64 id, const SignatureHelp& help)
{
    if (id != hintsId_)
        return;
    hintsId_ = 0;
    if (caretLeftTheCall() || !edit_->hasFocus()) {
        closeHints();
        return;
    }
    hints_->showHelp(help, belowCaret());
}

bool Completion::caretLeftTheCall() const
{
    const int caret = edit_->textCursor().position();
    if (caret < hintsFrom_)
        return true;
    QTextCursor between(edit_->document());
    between.setPosition(hintsFrom_);
    between.setPosition(caret, QTextCursor::KeepAnchor);
    return closesTheCall(between.selectedText());
}

void Completion::closeHints()
{
    hintsId_ = 0;
    if (hints_)
        hints_->hide();
}

bool Completion::popupKey(int key)
{
    switch (key) {
    case Qt::Key_Up: popup_->moveChoice(-1); return true;
    case Qt::Key_Down: popup_->moveChoice(1); return true;
    case Qt::Key_PageUp: popup_->moveChoice(-popup_->rowsPerPage()); return true;
    case Qt::Key_PageDown: popup_->moveChoice(popup_->rowsPerPage()); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab: insertChosen(); return true;
    case Qt::Key_Escape: closePopup(); return true;
    default: return false;
    }
}

bool Completion::eventFilter(QObject* watched, QEvent* e)
{
    if (watched != edit_)
        return false;
    if (e->type() == QEvent::FocusOut) {
        closePopup();
        closeHints();
        return false;
    }
    if (e->type() != QEvent::KeyPress && e->type() != QEvent::ShortcutOverride)
        return false;
    auto* k = static_cast<QKeyEvent*>(e);
    const bool plain = !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    const bool listKey = popup_->isVisible() && plain && isListKey(k->key());
    if (e->type() == QEvent::ShortcutOverride) {
        if (listKey || (hints_->isVisible() && k->key() == Qt::Key_Escape))
            e->accept();
        return false;
    }
    if (listKey)
        return popupKey(k->key());
    if (hints_->isVisible() && k->key() == Qt::Key_Escape) {
        closeHints();
        return true;
    }
    const QString typed = k->text();
    if (plain && (typed == QLatin1String(".") || typed == QLatin1String("(") || typed == QLatin1String(",") ||
                  typed == QLatin1String(")")))
        QTimer::singleShot(0, this, [this, typed] { afterTyped(typed); });
    return false;
}

void Completion::afterTyped(const QString& typed)
{
    if (edit_->isReadOnly())
        return;
    if (typed == QLatin1String(".")) {
        // A list after the dot only from the service: no words there.
        closePopup();
        anchor_ = edit_->textCursor().position();
        request(false);
    } else if (typed == QLatin1String("(")) {
        showHints();
    } else if (typed == QLatin1String(",") && (hints_->isVisible() || hintsId_)) {
        showHints();
    } else if (typed == QLatin1String(")")) {
        closeHints();
    }
}
