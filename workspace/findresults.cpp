// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/findresults.h"

#include <QListWidget>
#include <QVBoxLayout>

FindResultsWindow::FindResultsWindow(QWidget* parent) : QWidget(parent), list_(new QListWidget(this))
{
    setAccessibleName(QStringLiteral("Find in Files"));
    list_->setAccessibleName(QStringLiteral("Matches"));
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    setFocusProxy(list_);
    // A double-click, or Enter on the current row.
    connect(list_, &QListWidget::activated, this, [this](const QModelIndex& index) {
        if (index.isValid() && size_t(index.row()) < matches_.size())
            emit matchChosen(matches_[size_t(index.row())]);
    });
}

void FindResultsWindow::clear()
{
    list_->clear();
    matches_.clear();
}

void FindResultsWindow::addMatches(const std::vector<FileMatch>& matches)
{
    // The summary, when there is one, stays last.
    const int at = int(matches_.size());
    QStringList rows;
    for (const FileMatch& m : matches)
        rows << matchRowText(m);
    matches_.insert(matches_.end(), matches.begin(), matches.end());
    list_->insertItems(at, rows);
    if (at == 0 && list_->count() > 0 && !list_->currentItem())
        list_->setCurrentRow(0);
}

void FindResultsWindow::setSummary(const QString& text)
{
    if (list_->count() > int(matches_.size()))
        delete list_->takeItem(list_->count() - 1);
    list_->addItem(text);
    if (!list_->currentItem())
        list_->setCurrentRow(0);
}
