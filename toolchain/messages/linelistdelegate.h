// SPDX-License-Identifier: GPL-3.0-or-later
// How a TODListBox (toolchain/messages/linelist.h) measures and draws its items.
#pragma once
#include <QAbstractItemDelegate>

class TODListBox;

// Measures items as their text extent plus 2 each way (an empty item on one
// blank) and draws them: text at 1,1 inside the item's rectangle, clipped to it,
// over the filled background; a selected item inverted; the frame of the item
// with the caret only as wide as the text: light grey while the list has the
// focus, black on a selected item while it has not.
class TODItemDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    explicit TODItemDelegate(TODListBox* box);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    TODListBox* box;
};
