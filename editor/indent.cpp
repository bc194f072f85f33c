// SPDX-License-Identifier: GPL-3.0-or-later
// Indentation as the user types in the edit control: Enter, "}", Tab and
// Shift+Tab on selected lines.
#include "editor/editcontrol.h"
#include "editor/highlighter.h"
#include "editor/javalines.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <map>

// ---------------------------------------------------------------- indentation

QString EditControl::indentUnit() const
{
    if (!indentUnit_.isEmpty())
        return indentUnit_;
    QStringList lines;
    int n = 0;
    for (QTextBlock b = document()->firstBlock(); b.isValid() && n < 1000; b = b.next(), ++n)
        lines << b.text();
    indentUnit_ = javalines::indentUnit(lines);
    return indentUnit_;
}

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
}  // namespace

void EditControl::indentSelection()
{
    if (isReadOnly())
        return;
    const QString unit = indentUnit();
    const auto [first, last] = selectedLines(textCursor());
    QTextCursor c(document());
    c.beginEditBlock();
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (b.length() > 1) {
            c.setPosition(b.position());
            c.insertText(unit);
        }
        if (b == last)
            break;
    }
    c.endEditBlock();
    QTextCursor sel(document());
    sel.setPosition(first.position());
    sel.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(sel);
}

void EditControl::unindentSelection()
{
    if (isReadOnly())
        return;
    const QString unit = indentUnit();
    const bool hadSelection = textCursor().hasSelection();
    const auto [first, last] = selectedLines(textCursor());
    QTextCursor c(document());
    bool begun = false;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const int k = javalines::unindentCount(b.text(), unit);
        if (k > 0) {
            if (!begun)
                c.beginEditBlock();
            begun = true;
            c.setPosition(b.position());
            c.setPosition(b.position() + k, QTextCursor::KeepAnchor);
            c.removeSelectedText();
        }
        if (b == last)
            break;
    }
    if (begun)
        c.endEditBlock();
    if (hadSelection) {
        QTextCursor sel(document());
        sel.setPosition(first.position());
        sel.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        setTextCursor(sel);
    }
}

void EditControl::indentNewLine(const QString& before)
{
    const QString indent = javalines::newLineIndent(before, indentUnit());
    if (indent.isEmpty())
        return;
    QTextCursor c = textCursor();
    c.joinPreviousEditBlock();
    c.insertText(indent);
    c.endEditBlock();
    setTextCursor(c);
}

bool EditControl::comfortKey(QKeyEvent* e)
{
    if (isReadOnly())
        return false;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    QTextCursor c = textCursor();
    if (e->key() == Qt::Key_Tab && mods == Qt::NoModifier && c.hasSelection() &&
        document()->findBlock(c.selectionStart()) != document()->findBlock(c.selectionEnd())) {
        indentSelection();
        return true;
    }
    if (e->key() == Qt::Key_Backtab) {
        unindentSelection();
        return true;
    }
    if (e->text() == QLatin1String("}") && !c.hasSelection() && !overwriteMode()) {
        const QString before = c.block().text().left(c.positionInBlock());
        const int k = javalines::closeBraceUnindent(before, indentUnit());
        if (k == 0)
            return false;
        const QTextCharFormat typed = currentCharFormat();
        c.beginEditBlock();
        c.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, k);
        c.removeSelectedText();
        c.insertText(QStringLiteral("}"), typed);
        c.endEditBlock();
        setTextCursor(c);
        return true;
    }
    return false;
}
