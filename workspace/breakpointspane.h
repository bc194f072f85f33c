// SPDX-License-Identifier: GPL-3.0-or-later
// The "Breakpoints" pane: every breakpoint of every file, one row each (file
// name, line, condition, hit count) with a check box that enables or disables
// it. Delete asks to remove the selected one, Enter or a double-click to go to
// its place.
#pragma once
#include "toolchain/running/breakpoint.h"

#include <QMap>
#include <QWidget>

class QStandardItemModel;
class QTreeView;

class BreakpointsPane : public QWidget {
    Q_OBJECT
public:
    explicit BreakpointsPane(QWidget* parent = nullptr);

    // Shows these breakpoints (by file key), keeping the selected row's place.
    void showBreakpoints(const QMap<QString, Breakpoints>& all);
    QTreeView* view() const { return view_; }
    QStandardItemModel* model() const { return model_; }
    // The breakpoint of a row (its file the store's key).
    Breakpoint breakpointOf(int row) const;

signals:
    void enabledChanged(const Breakpoint& breakpoint, bool enabled);
    void deleteWanted(const Breakpoint& breakpoint);
    void goWanted(const Breakpoint& breakpoint);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QStandardItemModel* model_;
    QTreeView* view_;
    bool filling_ = false;
};
