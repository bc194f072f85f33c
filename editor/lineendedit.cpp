// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/lineendedit.h"

#include "editor/textdoc.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>

namespace {
// Whether text put in at the caret goes at the end of a line that has text
// and a line end (where lines added stay below the line and its line end).
bool addsBelowLine(const QTextCursor& c)
{
    return !c.hasSelection() && c.atBlockEnd() && c.block().length() > 1 && c.block().next().isValid();
}
}  // namespace

LineEndEdit::Kind LineEndEdit::kindOfKey(const QKeyEvent* e, const QTextCursor& caret)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        return Kind::Enter;
    if (caret.hasSelection())
        return Kind::Other;
    // Whether the key deletes the line break at the caret.
    if ((e->key() == Qt::Key_Delete && caret.atBlockEnd() && !caret.atEnd()) ||
        (e->key() == Qt::Key_Backspace && caret.atBlockStart() && !caret.atStart()))
        return Kind::Join;
    return Kind::Other;
}

LineEndEdit::LineEndEdit(const QTextCursor& caret, Kind kind)
    : step_(caret.document()), kind_(kind), below_(addsBelowLine(caret)), line_(caret.blockNumber())
{
    if (kind_ == Kind::Join)
        step_.beginEditBlock();
}

void LineEndEdit::finish(const QTextCursor& caret)
{
    QTextDocument* doc = step_.document();
    switch (kind_) {
    case Kind::Join: step_.endEditBlock(); break;
    case Kind::Enter:
        if (below_ && caret.blockNumber() == line_ + 1 && caret.block().length() == 1)
            keepLineEndAbove(doc, caret.block().previous(), caret.block());
        break;
    case Kind::Insert:
        if (below_)
            keepLineEndAbove(doc, doc->findBlockByNumber(line_), caret.block());
        break;
    case Kind::Other: break;
    }
}
