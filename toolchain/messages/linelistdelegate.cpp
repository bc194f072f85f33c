// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/linelistdelegate.h"

#include "toolchain/messages/linelist.h"

#include <QPainter>

#include <algorithm>

TODItemDelegate::TODItemDelegate(TODListBox* owner) : QAbstractItemDelegate(owner), box(owner) {}

QSize TODItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    // All items are one line high and the view asks for one item only: answer
    // the widest extent known, so that the scroll range covers every item.
    // The layout that asks lays the items out with the answer: no other is needed.
    const QSize extent = box->ItemExtentOf(index.row());
    box->GrowMaxWidthInLayout(extent.width());
    return QSize(box->GetMaxWidth(), extent.height());
}

void TODItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const QSize extent = box->ItemExtentOf(row);
    box->GrowMaxWidth(extent.width());

    const QRect bound = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    QColor background = option.palette.color(QPalette::Base);
    QColor foreground = option.palette.color(QPalette::Text);
    if (selected) {
        // The selection inverts the colours of the item's rectangle.
        background = QColor(255 - background.red(), 255 - background.green(), 255 - background.blue());
        foreground = QColor(255 - foreground.red(), 255 - foreground.green(), 255 - foreground.blue());
    }

    painter->save();
    painter->setClipRect(bound, Qt::IntersectClip);
    painter->fillRect(bound, background);
    painter->setFont(option.font);
    painter->setPen(foreground);
    const QFontMetrics metrics(option.font);
    const int left = bound.left() + 1;
    const int baseline = bound.top() + 1 + metrics.ascent();
    if (const LongLineLayout* layout = box->LongLine(row)) {
        // Only the pieces in sight are decoded and drawn.
        const QRect seen = bound & box->viewport()->rect();
        const QByteArrayView bytes = box->listModel()->lineBytes(row);
        const size_t pieces = layout->byteStart.size();
        size_t i = std::upper_bound(layout->x.begin(), layout->x.begin() + pieces, seen.left() - left) -
                   layout->x.begin();
        i = i > 0 ? i - 1 : 0;
        for (; i < pieces && left + layout->x[i] <= seen.right(); ++i) {
            const qsizetype from = layout->byteStart[i];
            const qsizetype to = i + 1 < pieces ? layout->byteStart[i + 1] : bytes.size();
            painter->drawText(QPoint(left + layout->x[i], baseline),
                              QString::fromUtf8(bytes.sliced(from, to - from)));
        }
    } else {
        const QString text = box->listModel()->line(row);
        if (!text.isEmpty())
            painter->drawText(QPoint(left, baseline), text);
    }
    // The frame of the item with the caret surrounds the text's width only:
    // light grey while the list has the focus, black on a selected item while
    // it has not.
    QColor frame;
    if (option.state & QStyle::State_HasFocus)
        frame = QColor(Qt::lightGray);
    else if (selected && index == box->currentIndex())
        frame = QColor(Qt::black);
    if (frame.isValid()) {
        painter->setPen(frame);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(bound.left(), bound.top(), extent.width(), bound.height()).adjusted(0, 0, -1, -1));
    }
    painter->restore();
}
