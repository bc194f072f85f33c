// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/commentlines.h"

#include "javatext/javalines.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>

namespace {
// Replaces the text of block `b`, `was`, by `now`: only the part between
// their common start and their common end.
void replaceChanged(QTextCursor& c, const QTextBlock& b, const QString& was, const QString& now)
{
    qsizetype head = 0;
    const qsizetype shorter = std::min(was.size(), now.size());
    while (head < shorter && was[head] == now[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && was[was.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    c.setPosition(b.position() + int(head));
    c.setPosition(b.position() + int(was.size() - tail), QTextCursor::KeepAnchor);
    c.insertText(now.mid(head, now.size() - tail - head));
}
}  // namespace

void toggleCommentSelection(QTextEdit* edit)
{
    if (edit->isReadOnly())
        return;
    QTextDocument* doc = edit->document();
    const QTextCursor caret = edit->textCursor();
    const QTextBlock first = doc->findBlock(caret.selectionStart());
    QTextBlock last = doc->findBlock(caret.selectionEnd());
    // A selection that ends at the start of a line does not take that line.
    if (last != first && caret.selectionEnd() == last.position())
        last = last.previous();
    QStringList lines;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        lines << b.text();
        if (b == last)
            break;
    }
    const QStringList now = javalines::toggleLineComments(lines);
    QTextCursor c(doc);
    c.beginEditBlock();
    qsizetype k = 0;
    for (QTextBlock b = first; b.isValid() && k < lines.size(); b = b.next(), ++k) {
        if (now[k] != lines[k])
            replaceChanged(c, b, lines[k], now[k]);
    }
    c.endEditBlock();
    if (caret.hasSelection()) {
        QTextCursor sel(doc);
        sel.setPosition(first.position());
        sel.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
        edit->setTextCursor(sel);
    }
}
