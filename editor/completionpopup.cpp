// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/completionpopup.h"

#include <QAccessible>
#include <QScreen>

#include <algorithm>

CompletionPopup::CompletionPopup(QWidget* owner) : QListWidget(owner)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Completions"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit picked(); });
}

void CompletionPopup::showItems(const QList<CompletionItem>& items, const QPoint& globalPos)
{
    if (items.isEmpty()) {
        hide();
        return;
    }
    if (items != items_) {
        items_ = items;
        clear();
        for (const CompletionItem& item : items) {
            auto* row = new QListWidgetItem(item.shownText(), this);
            row->setToolTip(item.detail);
        }
    }
    setCurrentRow(0);
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height());
    const int rows = std::min<int>(int(items.size()), kRowsShown);
    int width = 0;
    for (int i = 0; i < std::min<int>(count(), 200); ++i)
        width = std::max(width, fontMetrics().horizontalAdvance(item(i)->text()));
    resize(std::clamp(width + 40, 200, 600), rows * rowHeight + 2 * frameWidth() + 2);
    move(globalPos);
    show();
    announceChoice();
}

const CompletionItem* CompletionPopup::chosen() const
{
    const int row = currentRow();
    return isVisible() && row >= 0 && row < items_.size() ? &items_[row] : nullptr;
}

void CompletionPopup::moveChoice(int rows)
{
    if (count() == 0)
        return;
    const int row = std::clamp(currentRow() + rows, 0, count() - 1);
    setCurrentRow(row);
    scrollToItem(item(row));
    announceChoice();
}

void CompletionPopup::announceChoice()
{
    // The focus stays in the text: screen readers hear of the row all the same.
    QAccessibleEvent event(this, QAccessible::Selection);
    event.setChild(currentRow());
    QAccessible::updateAccessibility(&event);
}
