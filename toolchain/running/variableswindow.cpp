// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/variableswindow.h"

#include "resources/colours.h"

#include <QHeaderView>
#include <QLabel>
#include <QEvent>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

enum VariableColumn { NameColumn, ValueColumn, TypeColumn };
enum VariableRole { IdRole = Qt::UserRole, PathRole, LoadedRole, MoreStartRole };

// Elements fetched at a time, as the debugger sends them.
constexpr int kPage = 100;

QString changedMark()
{
    return QStringLiteral(" (changed)");
}

}  // namespace

VariablesWindow::VariablesWindow(QWidget* parent)
    : QWidget(parent), note_(new QLabel(this)), tree_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Variables"));
    setAccessibleName(QStringLiteral("Variables"));
    note_->setWordWrap(true);
    note_->setAccessibleName(QStringLiteral("Variables note"));
    note_->hide();
    tree_->setColumnCount(3);
    tree_->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Type")});
    tree_->setAccessibleName(QStringLiteral("Variables"));
    tree_->setUniformRowHeights(true);
    tree_->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(note_);
    layout->addWidget(tree_, 1);
    connect(tree_, &QTreeWidget::itemExpanded, this, &VariablesWindow::onExpanded);
    connect(tree_, &QTreeWidget::itemActivated, this, &VariablesWindow::onActivated);
}

void VariablesWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::PaletteChange)
        return;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if ((*it)->data(ValueColumn, Qt::ForegroundRole).isValid())
            (*it)->setForeground(ValueColumn, colours::current().changedValue);
    }
}

void VariablesWindow::clear()
{
    tree_->clear();
    byId_.clear();
    note_->hide();
}

void VariablesWindow::showVariables(const QString& note, const QList<DebugValue>& values)
{
    lastTexts_ = texts_;
    texts_.clear();
    tree_->clear();
    byId_.clear();
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    for (const DebugValue& v : values)
        addValue(nullptr, v, v.kind + QLatin1Char(':') + v.name);
}

QTreeWidgetItem* VariablesWindow::addValue(QTreeWidgetItem* parent, const DebugValue& value, const QString& path)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    const bool changed = lastTexts_.contains(path) && lastTexts_.value(path) != value.text;
    texts_.insert(path, value.text);
    item->setText(NameColumn, value.name);
    item->setText(ValueColumn, changed ? value.text + changedMark() : value.text);
    item->setText(TypeColumn, value.type);
    item->setData(NameColumn, PathRole, path);
    if (changed) {
        QFont bold = item->font(ValueColumn);
        bold.setBold(true);
        item->setFont(ValueColumn, bold);
        item->setForeground(ValueColumn, colours::current().changedValue);
    }
    if (value.id != 0) {
        item->setData(NameColumn, IdRole, value.id);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        byId_.insert(value.id, item);
        if (openPaths_.contains(path))
            item->setExpanded(true);  // asks for the children again
    }
    return item;
}

void VariablesWindow::onExpanded(QTreeWidgetItem* item)
{
    openPaths_.insert(item->data(NameColumn, PathRole).toString());
    if (item->data(NameColumn, LoadedRole).toBool())
        return;
    const qint64 id = item->data(NameColumn, IdRole).toLongLong();
    if (id != 0) {
        item->setData(NameColumn, LoadedRole, true);
        emit expandRequested(id, 0);
    }
}

void VariablesWindow::onActivated(QTreeWidgetItem* item)
{
    const QVariant start = item->data(NameColumn, MoreStartRole);
    if (!start.isValid() || !item->parent())
        return;
    const qint64 id = item->parent()->data(NameColumn, IdRole).toLongLong();
    delete item;
    emit expandRequested(id, start.toInt());
}

void VariablesWindow::showChildren(qint64 id, int start, int total, const QList<DebugValue>& values)
{
    QTreeWidgetItem* parent = byId_.value(id);
    if (!parent)
        return;  // from an earlier stop
    const QString path = parent->data(NameColumn, PathRole).toString();
    for (const DebugValue& v : values)
        addValue(parent, v, path + QLatin1Char('/') + v.name);
    if (total == 0 && start == 0) {
        parent->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        return;
    }
    const int next = start + int(values.size());
    if (next < total && values.size() == kPage) {
        auto* more = new QTreeWidgetItem(parent);
        more->setText(NameColumn,
                      QStringLiteral("Show %1 more (of %2)").arg(std::min(kPage, total - next)).arg(total));
        more->setData(NameColumn, MoreStartRole, next);
        more->setData(NameColumn, PathRole, path + QStringLiteral("/more"));
    }
}

QString VariablesWindow::currentPath() const
{
    const QTreeWidgetItem* item = tree_->currentItem();
    if (!item || item->data(NameColumn, MoreStartRole).isValid())
        return {};  // none, or the row that shows more elements
    return item->data(NameColumn, PathRole).toString();
}
