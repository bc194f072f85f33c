// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/navigation/outlinewindow.h"

#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QVBoxLayout>

OutlineWindow::OutlineWindow(QWidget* parent) : QWidget(parent), note_(new QLabel(this)), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Outline"));
    setAccessibleName(QStringLiteral("Outline"));
    note_->setAccessibleName(QStringLiteral("Outline note"));
    note_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    list_->setAccessibleName(QStringLiteral("Outline of the source"));
    list_->setUniformItemSizes(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(note_);
    layout->addWidget(list_);
    // Enter and a double-click activate a row; a single click only selects it.
    connect(list_, &QListWidget::itemActivated, this, &OutlineWindow::onChosen);
}

void OutlineWindow::showRows(const QList<OutlineRow>& rows)
{
    if (rows == rows_)
        return;
    const int current = list_->currentRow();
    const int scroll = list_->verticalScrollBar() ? list_->verticalScrollBar()->value() : 0;
    rows_ = rows;
    list_->clear();
    for (const OutlineRow& r : rows)
        list_->addItem(outlineRowText(r));
    if (current >= 0 && current < list_->count())
        list_->setCurrentRow(current);
    if (list_->verticalScrollBar())
        list_->verticalScrollBar()->setValue(scroll);
}

void OutlineWindow::setNote(const QString& note)
{
    note_->setText(note);
}

QString OutlineWindow::note() const
{
    return note_->text();
}

void OutlineWindow::selectLine(int line)
{
    const int row = outlineRowAt(rows_, line);
    if (row >= 0)
        list_->setCurrentRow(row);
}

void OutlineWindow::onChosen(QListWidgetItem* item)
{
    const int row = list_->row(item);
    if (row >= 0 && row < rows_.size())
        emit rowChosen(rows_[row]);
}
