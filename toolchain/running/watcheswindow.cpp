// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/watcheswindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The list's columns.
enum WatchColumn { WatchExpression, WatchValue, WatchType };

QString notPaused()
{
    return QStringLiteral("(not paused)");
}

}  // namespace

WatchesWindow::WatchesWindow(QWidget* parent)
    : QWidget(parent),
      field_(new QLineEdit(this)),
      evaluate_(new QPushButton(QStringLiteral("Evaluate"), this)),
      add_(new QPushButton(QStringLiteral("Add Watch"), this)),
      result_(new QLineEdit(this)),
      list_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Watches"));
    setAccessibleName(QStringLiteral("Watches"));
    auto* label = new QLabel(QStringLiteral("Expression:"), this);
    label->setBuddy(field_);
    field_->setAccessibleName(QStringLiteral("Expression"));
    field_->setPlaceholderText(QStringLiteral("A Java expression over the paused frame; Enter evaluates it"));
    evaluate_->setAccessibleName(QStringLiteral("Evaluate"));
    add_->setAccessibleName(QStringLiteral("Add Watch"));
    result_->setReadOnly(true);
    result_->setAccessibleName(QStringLiteral("Result"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Expression"), QStringLiteral("Value"), QStringLiteral("Type")});
    list_->setAccessibleName(QStringLiteral("Watched expressions"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(true);
    list_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    list_->installEventFilter(this);

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(field_, 1);
    row->addWidget(evaluate_);
    row->addWidget(add_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(row);
    layout->addWidget(result_);
    layout->addWidget(list_, 1);
    setFocusProxy(field_);

    connect(field_, &QLineEdit::returnPressed, this, [this] {
        if (!field_->text().trimmed().isEmpty())
            emit evaluateWanted(field_->text().trimmed());
    });
    connect(evaluate_, &QPushButton::clicked, field_, &QLineEdit::returnPressed);
    connect(add_, &QPushButton::clicked, this, [this] {
        if (!field_->text().trimmed().isEmpty())
            emit addWanted(field_->text().trimmed());
    });
    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!filling_ && column == WatchExpression)
            emit replaceWanted(list_->indexOfTopLevelItem(item), item->text(WatchExpression));
    });
}

void WatchesWindow::showWatches(const WatchList& watches)
{
    const int current = currentWatch();
    filling_ = true;
    list_->clear();
    for (const Watch& w : watches.watches()) {
        auto* item = new QTreeWidgetItem(list_);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
        item->setText(WatchExpression, w.expression);
        item->setText(WatchValue, !w.evaluated ? notPaused() : w.error.isEmpty() ? w.value.text : w.error);
        item->setText(WatchType, w.value.type);
        if (!w.error.isEmpty())
            item->setForeground(WatchValue, palette().color(QPalette::Disabled, QPalette::Text));
    }
    filling_ = false;
    if (current >= 0 && current < list_->topLevelItemCount())
        list_->setCurrentItem(list_->topLevelItem(current));
}

QString WatchesWindow::resultText(const QString& expression, const DebugValue& value, const QString& error)
{
    if (!error.isEmpty())
        return QStringLiteral("%1: %2").arg(expression, error);
    if (value.type.isEmpty())
        return QStringLiteral("%1 = %2").arg(expression, value.text);
    return QStringLiteral("%1 = %2 (%3)").arg(expression, value.text, value.type);
}

void WatchesWindow::showResult(const QString& expression, const DebugValue& value, const QString& error)
{
    result_->setText(resultText(expression, value, error));
    result_->setCursorPosition(0);
}

void WatchesWindow::editExpression(const QString& expression)
{
    field_->setText(expression);
    field_->selectAll();
    field_->setFocus();
}

int WatchesWindow::currentWatch() const
{
    QTreeWidgetItem* item = list_->currentItem();
    return item ? list_->indexOfTopLevelItem(item) : -1;
}

bool WatchesWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (const int i = currentWatch(); i >= 0)
            emit removeWanted(i);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
