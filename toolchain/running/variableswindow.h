// SPDX-License-Identifier: GPL-3.0-or-later
// The "Variables" window of a paused program: the frame's `this`, arguments
// and locals, the exception that paused it, and the statics of its class, as
// the debug session lists them. Objects, arrays and strings expand when the
// user opens them (an array 100 elements at a time, with a row that fetches
// the next hundred); at each stop the values are replaced, what was open is
// opened again, and a value that differs from the last stop is marked
// "changed". The window asks the session for nothing itself: it signals.
#pragma once
#include "toolchain/running/debugsession.h"

#include <QHash>
#include <QSet>
#include <QWidget>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

class VariablesWindow : public QWidget {
    Q_OBJECT
public:
    explicit VariablesWindow(QWidget* parent = nullptr);

    // The values of a stop (DebugSession::variables); `note` is shown above
    // them when not empty.
    void showVariables(const QString& note, const QList<DebugValue>& values);
    // The children of value `id` (DebugSession::children).
    void showChildren(qint64 id, int start, int total, const QList<DebugValue>& values);
    // Nothing to show (the program runs or has ended).
    void clear();

    QTreeWidget* tree() const { return tree_; }
    // The path of the value chosen ("local:count", "this:this/items/[3]"), empty when none is.
    QString currentPath() const;
    // Its value's text at this stop, without the "changed" mark.
    QString currentValue() const { return texts_.value(currentPath()); }

signals:
    // The user opened value `id` (or asked for its elements from `start`).
    void expandRequested(qint64 id, int start);

protected:
    // A change of look: the changed values take its colour.
    void changeEvent(QEvent* event) override;

private:
    QTreeWidgetItem* addValue(QTreeWidgetItem* parent, const DebugValue& value, const QString& path);
    void onExpanded(QTreeWidgetItem* item);
    void onActivated(QTreeWidgetItem* item);
    void remember(QTreeWidgetItem* item);

    QLabel* note_;
    QTreeWidget* tree_;
    QHash<qint64, QTreeWidgetItem*> byId_;  // values shown now that may expand
    QHash<QString, QString> lastTexts_;     // path -> text at the last stop
    QHash<QString, QString> texts_;         // path -> text at this stop
    QSet<QString> openPaths_;               // paths the user has opened
};
