// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/quickfixpopup.h"

#include <QAccessible>

#include <algorithm>

namespace {

constexpr int kRowsShown = 10;

}  // namespace

QuickFixPopup::QuickFixPopup(QWidget* owner) : QListWidget(owner)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Quick Fixes"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemDoubleClicked, this, [this] { emit picked(); });
}

void QuickFixPopup::showTitles(const QStringList& titles, const QPoint& globalPos)
{
    clear();
    addItems(titles);
    setCurrentRow(0);
    const int rowHeight = std::max(sizeHintForRow(0), fontMetrics().height());
    const int rows = std::min<int>(int(titles.size()), kRowsShown);
    int width = 0;
    for (const QString& t : titles)
        width = std::max(width, fontMetrics().horizontalAdvance(t));
    resize(std::clamp(width + 40, 200, 700), rows * rowHeight + 2 * frameWidth() + 2);
    move(globalPos);
    show();
    announceChoice();
}

void QuickFixPopup::moveChoice(int rows)
{
    if (count() == 0)
        return;
    setCurrentRow(std::clamp(currentRow() + rows, 0, count() - 1));
    scrollToItem(currentItem());
    announceChoice();
}

void QuickFixPopup::announceChoice()
{
    // The focus stays in the text: screen readers hear of the row all the same.
    QAccessibleEvent event(this, QAccessible::Selection);
    event.setChild(currentRow());
    QAccessible::updateAccessibility(&event);
}
