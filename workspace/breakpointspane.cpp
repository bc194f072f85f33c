// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/breakpointspane.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {
constexpr int kFileRole = Qt::UserRole + 1;
constexpr int kLineRole = Qt::UserRole + 2;

QString rowText(const Breakpoint& b)
{
    QString text = QStringLiteral("%1, line %2, %3")
                       .arg(QFileInfo(b.file).fileName())
                       .arg(b.line)
                       .arg(b.enabled ? QStringLiteral("enabled") : QStringLiteral("disabled"));
    if (!b.condition.isEmpty())
        text += QStringLiteral(", when %1").arg(b.condition);
    if (b.hitCount > 0)
        text += QStringLiteral(", from hit %1").arg(b.hitCount);
    return text;
}
}  // namespace

BreakpointsPane::BreakpointsPane(QWidget* parent)
    : QWidget(parent), model_(new QStandardItemModel(0, 4, this)), view_(new QTreeView(this))
{
    setAccessibleName(QStringLiteral("Breakpoints"));
    model_->setHorizontalHeaderLabels(
        {QStringLiteral("File"), QStringLiteral("Line"), QStringLiteral("Condition"), QStringLiteral("Hit count")});
    view_->setModel(model_);
    view_->setRootIsDecorated(false);
    view_->setUniformRowHeights(true);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setAccessibleName(QStringLiteral("Breakpoints list"));
    view_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    view_->installEventFilter(this);
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->addWidget(view_);
    connect(view_, &QTreeView::activated, this,
            [this](const QModelIndex& i) { emit goWanted(breakpointOf(i.row())); });
    connect(model_, &QStandardItemModel::itemChanged, this, [this](QStandardItem* item) {
        if (filling_ || item->column() != 0)
            return;
        emit enabledChanged(breakpointOf(item->row()), item->checkState() == Qt::Checked);
    });
}

void BreakpointsPane::showBreakpoints(const QMap<QString, Breakpoints>& all)
{
    const int selected = view_->currentIndex().row();
    filling_ = true;
    model_->removeRows(0, model_->rowCount());
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        for (Breakpoint b : it.value()) {
            b.file = it.key();
            auto* file = new QStandardItem(QFileInfo(b.file).fileName());
            file->setCheckable(true);
            file->setCheckState(b.enabled ? Qt::Checked : Qt::Unchecked);
            file->setData(b.file, kFileRole);
            file->setData(b.line, kLineRole);
            file->setToolTip(b.file);
            const QString text = rowText(b);
            QList<QStandardItem*> row{file, new QStandardItem(QString::number(b.line)),
                                      new QStandardItem(b.condition),
                                      new QStandardItem(b.hitCount > 0 ? QString::number(b.hitCount) : QString())};
            for (QStandardItem* cell : row)
                cell->setData(text, Qt::AccessibleTextRole);
            model_->appendRow(row);
        }
    }
    filling_ = false;
    if (model_->rowCount() > 0)
        view_->setCurrentIndex(model_->index(std::clamp(selected, 0, model_->rowCount() - 1), 0));
}

Breakpoint BreakpointsPane::breakpointOf(int row) const
{
    Breakpoint b;
    const QStandardItem* file = model_->item(row, 0);
    if (!file)
        return b;
    b.file = file->data(kFileRole).toString();
    b.line = file->data(kLineRole).toInt();
    b.enabled = file->checkState() == Qt::Checked;
    b.condition = model_->item(row, 2)->text();
    b.hitCount = model_->item(row, 3)->text().toInt();
    return b;
}

bool BreakpointsPane::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == view_ && e->type() == QEvent::KeyPress && view_->currentIndex().isValid()) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Delete) {
            emit deleteWanted(breakpointOf(view_->currentIndex().row()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}
