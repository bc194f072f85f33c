// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/testresultswindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Role { ClassRole = Qt::UserRole, FileRole, LineRole };

QString outcomeText(TestCaseResult::Outcome o)
{
    switch (o) {
    case TestCaseResult::Passed: return QStringLiteral("Passed");
    case TestCaseResult::Failed: return QStringLiteral("Failed");
    case TestCaseResult::Skipped: return QStringLiteral("Skipped");
    }
    return {};
}

QString timeText(double seconds)
{
    return QStringLiteral("%1 s").arg(seconds, 0, 'f', 3);
}

// The message column: the failure's message, with what was expected and what came.
QString messageText(const TestCaseResult& t)
{
    QString m = t.message.section(QLatin1Char('\n'), 0, 0);
    if (!t.expected.isNull() && !t.actual.isNull() && (!t.expected.isEmpty() || !t.actual.isEmpty()))
        m = QStringLiteral("Expected: %1, actual: %2  (%3)").arg(t.expected, t.actual, m);
    return m;
}

}  // namespace

TestResultsWindow::TestResultsWindow(QWidget* parent)
    : QWidget(parent),
      tree_(new QTreeWidget(this)),
      summary_(new QLabel(this)),
      runFailed_(new QPushButton(QStringLiteral("Run &Failed Tests Again"), this)),
      stop_(new QPushButton(QStringLiteral("Sto&p"), this))
{
    tree_->setColumnCount(4);
    tree_->setHeaderLabels(
        {QStringLiteral("Test"), QStringLiteral("Outcome"), QStringLiteral("Time"), QStringLiteral("Message")});
    tree_->header()->setStretchLastSection(true);
    tree_->setAccessibleName(QStringLiteral("Test results"));
    summary_->setAccessibleName(QStringLiteral("Test summary"));
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    runFailed_->setEnabled(false);
    stop_->setEnabled(false);
    auto* bar = new QHBoxLayout;
    bar->addWidget(summary_, 1);
    bar->addWidget(runFailed_);
    bar->addWidget(stop_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(bar);
    layout->addWidget(tree_, 1);
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { choose(item); });
    connect(runFailed_, &QPushButton::clicked, this, &TestResultsWindow::runFailedWanted);
    connect(stop_, &QPushButton::clicked, this, &TestResultsWindow::stopWanted);
}

void TestResultsWindow::showRunning(const QString& what)
{
    tree_->clear();
    result_ = {};
    summary_->setText(QStringLiteral("Running %1...").arg(what));
    runFailed_->setEnabled(false);
    stop_->setEnabled(true);
}

QTreeWidgetItem* TestResultsWindow::caseItem(const TestCaseResult& t) const
{
    auto* item = new QTreeWidgetItem({t.name, outcomeText(t.outcome), timeText(t.seconds), messageText(t)});
    item->setData(0, ClassRole, t.className);
    item->setData(0, FileRole, t.fileName);
    item->setData(0, LineRole, t.line);
    if (t.outcome == TestCaseResult::Failed)
        item->setToolTip(3, t.trace.left(4000));
    return item;
}

void TestResultsWindow::showResult(const TestRunResult& result, const QString& error)
{
    tree_->clear();
    result_ = result;
    for (const TestClassResult& c : result.classes) {
        auto* top = new QTreeWidgetItem({c.name, outcomeText(c.outcome()), timeText(c.seconds()), QString()});
        top->setData(0, ClassRole, c.name);
        for (const TestCaseResult& t : c.tests)
            top->addChild(caseItem(t));
        tree_->addTopLevelItem(top);
        top->setExpanded(c.outcome() == TestCaseResult::Failed);
    }
    tree_->resizeColumnToContents(0);
    summary_->setText(error.isEmpty() ? result.summary() : error);
    runFailed_->setEnabled(result.failed > 0);
    stop_->setEnabled(false);
}

void TestResultsWindow::choose(QTreeWidgetItem* item)
{
    if (!item->parent()) {
        // A class: its first failed test.
        for (int i = 0; i < item->childCount(); ++i) {
            if (item->child(i)->data(0, LineRole).toInt() > 0)
                return choose(item->child(i));
        }
        return;
    }
    const int line = item->data(0, LineRole).toInt();
    if (line > 0)
        emit placeChosen(item->data(0, ClassRole).toString(), item->data(0, FileRole).toString(), line);
}
