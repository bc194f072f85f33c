// SPDX-License-Identifier: GPL-3.0-or-later
// The "Test Results" pane: the classes of the last JUnit run and their tests,
// each with its outcome and time, a failure's message with what was expected
// and what came, the summary line ("N passed, M failed, K skipped"), and the
// buttons Run Failed Tests Again and Stop. A double-click (or Enter) on a
// failed test goes to its failing line.
#pragma once
#include "toolchain/testing/testreport.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TestResultsWindow : public QWidget {
    Q_OBJECT
public:
    explicit TestResultsWindow(QWidget* parent = nullptr);

    // A run started (`what` names it): the tree empties.
    void showRunning(const QString& what);
    // The run's outcome; `error`, when not empty, stands in the summary line.
    void showResult(const TestRunResult& result, const QString& error);

    const TestRunResult& result() const { return result_; }
    QTreeWidget* tree() const { return tree_; }
    QLabel* summary() const { return summary_; }
    QPushButton* runFailedButton() const { return runFailed_; }

signals:
    // A test was chosen: its class, the source file named in its trace and the line.
    void placeChosen(const QString& className, const QString& fileName, int line);
    void runFailedWanted();
    void stopWanted();

private:
    void choose(QTreeWidgetItem* item);
    QTreeWidgetItem* caseItem(const TestCaseResult& t) const;

    QTreeWidget* tree_;
    QLabel* summary_;
    QPushButton* runFailed_;
    QPushButton* stop_;
    TestRunResult result_;
};
