// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/shownblocks.h"

#include "editor/highlighter.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

QTextBlock walkToBlockAt(const QAbstractTextDocumentLayout* layout, QTextBlock b, qreal y)
{
    QRectF r = layout->blockBoundingRect(b);
    // A block the layout has not reached yet has no rectangle.
    while ((r.isNull() || r.top() > y) && b.previous().isValid()) {
        b = b.previous();
        r = layout->blockBoundingRect(b);
    }
    while (r.bottom() <= y && b.next().isValid()) {
        const QRectF next = layout->blockBoundingRect(b.next());
        if (next.isNull())
            break;
        b = b.next();
        r = next;
    }
    return b;
}

QTextBlock ShownBlocks::blockAtY(qreal y) const
{
    const QTextDocument* doc = edit_->document();
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    QTextBlock b = doc->findBlockByNumber(guess_);
    if (!b.isValid())
        b = doc->firstBlock();
    QRectF r = layout->blockBoundingRect(b);
    // Far from the last place: let the layout find it.
    if (r.isNull() || std::abs(r.top() - y) > 4.0 * std::max(1, edit_->viewport()->height())) {
        const int pos = layout->hitTest(QPointF(0, y), Qt::FuzzyHit);
        if (pos >= 0)
            b = doc->findBlock(pos);
    }
    b = walkToBlockAt(layout, b, y);
    guess_ = b.blockNumber();
    return b;
}

std::pair<QTextBlock, QTextBlock> ShownBlocks::shown(int extra) const
{
    const int top = edit_->verticalScrollBar()->value();
    const qreal bottom = top + edit_->viewport()->height();
    QAbstractTextDocumentLayout* layout = edit_->document()->documentLayout();
    QTextBlock first = blockAtY(top);
    QTextBlock last = first;
    while (last.next().isValid()) {
        const QRectF r = layout->blockBoundingRect(last.next());
        if (r.isNull() || r.top() >= bottom)
            break;
        last = last.next();
    }
    for (int k = 0; k < extra && first.previous().isValid(); ++k)
        first = first.previous();
    for (int k = 0; k < extra && last.next().isValid(); ++k)
        last = last.next();
    return {first, last};
}
