// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/indent.h"

#include "editor/highlighter.h"
#include "javatext/javalines.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <functional>

namespace {
// The lines of a selection: a selection that ends at the start of a line does
// not take that line.
std::pair<QTextBlock, QTextBlock> selectedLines(const QTextCursor& c)
{
    const QTextDocument* doc = c.document();
    const QTextBlock first = doc->findBlock(c.selectionStart());
    QTextBlock last = doc->findBlock(c.selectionEnd());
    if (last != first && c.selectionEnd() == last.position())
        last = last.previous();
    return {first, last};
}

using LinesRule = std::function<QStringList(const QStringList&)>;

// Gives the lines from `first` to `last` the indentation `rule` gives their
// texts, as one undo step (none when nothing changes). Only the leading
// characters that change are inserted or removed: the rest of every line, and
// its line end, stays as it is.
void reindent(QTextDocument* doc, const QTextBlock& first, const QTextBlock& last, const LinesRule& rule)
{
    QStringList lines;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        lines << b.text();
        if (b == last)
            break;
    }
    const QStringList now = rule(lines);
    QTextCursor c(doc);
    bool begun = false;
    qsizetype k = 0;
    for (QTextBlock b = first; b.isValid() && k < lines.size(); b = b.next(), ++k) {
        const qsizetype grown = now[k].size() - lines[k].size();
        if (grown == 0)
            continue;
        if (!begun)
            c.beginEditBlock();
        begun = true;
        c.setPosition(b.position());
        if (grown > 0) {
            c.insertText(now[k].left(grown));
        } else {
            c.setPosition(b.position() + int(-grown), QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
    }
    if (begun)
        c.endEditBlock();
}

void selectLines(QTextEdit* edit, const QTextBlock& first, const QTextBlock& last)
{
    QTextCursor sel(edit->document());
    sel.setPosition(first.position());
    sel.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    edit->setTextCursor(sel);
}
}  // namespace

QString TypingIndent::unit() const
{
    if (!unit_.isEmpty())
        return unit_;
    QStringList lines;
    int n = 0;
    for (QTextBlock b = edit_->document()->firstBlock(); b.isValid() && n < 1000; b = b.next(), ++n)
        lines << b.text();
    unit_ = javalines::indentUnit(lines);
    return unit_;
}

void TypingIndent::indentSelection()
{
    if (edit_->isReadOnly())
        return;
    const QString u = unit();
    const auto [first, last] = selectedLines(edit_->textCursor());
    reindent(edit_->document(), first, last, [&u](const QStringList& l) { return javalines::indentLines(l, u); });
    selectLines(edit_, first, last);
}

void TypingIndent::unindentSelection()
{
    if (edit_->isReadOnly())
        return;
    const QString u = unit();
    const bool hadSelection = edit_->textCursor().hasSelection();
    const auto [first, last] = selectedLines(edit_->textCursor());
    reindent(edit_->document(), first, last, [&u](const QStringList& l) { return javalines::unindentLines(l, u); });
    if (hadSelection)
        selectLines(edit_, first, last);
}

void TypingIndent::newLine(const QString& before)
{
    // The line before the caret starts inside a text block or comment when the
    // colouring says so; the line that opened a text block gives the indent.
    const QTextBlock line = edit_->textCursor().block().previous();
    auto* colours = edit_->findChild<JavaHighlighter*>(QString(), Qt::FindDirectChildrenOnly);
    const javalex::State in = colours ? colours->stateAtStart(line) : javalex::Normal;
    QString opener;
    if (in == javalex::TextBlock) {
        QTextBlock b = line.previous();
        while (b.isValid() && colours->stateAtStart(b) == javalex::TextBlock)
            b = b.previous();
        opener = b.isValid() ? b.text() : QString();
    }
    const QString indent = javalines::newLineIndent(before, unit(), in, opener);
    if (indent.isEmpty())
        return;
    QTextCursor c = edit_->textCursor();
    c.joinPreviousEditBlock();
    c.insertText(indent);
    c.endEditBlock();
    edit_->setTextCursor(c);
}

bool TypingIndent::key(const QKeyEvent* e)
{
    if (edit_->isReadOnly())
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    QTextCursor c = edit_->textCursor();
    const QTextDocument* doc = edit_->document();
    if (e->key() == Qt::Key_Tab && mods == Qt::NoModifier && c.hasSelection() &&
        doc->findBlock(c.selectionStart()) != doc->findBlock(c.selectionEnd())) {
        indentSelection();
        return true;
    }
    if (e->key() == Qt::Key_Backtab) {
        unindentSelection();
        return true;
    }
    if (e->text() == QLatin1String("}") && !c.hasSelection() && !edit_->overwriteMode()) {
        const QString before = c.block().text().left(c.positionInBlock());
        const int k = javalines::closeBraceUnindent(before, unit());
        if (k == 0)
            return false;
        const QTextCharFormat typed = edit_->currentCharFormat();
        c.beginEditBlock();
        c.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, k);
        c.removeSelectedText();
        c.insertText(QStringLiteral("}"), typed);
        c.endEditBlock();
        edit_->setTextCursor(c);
        return true;
    }
    return false;
}
