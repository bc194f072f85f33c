// SPDX-License-Identifier: GPL-3.0-or-later
// The pane area along the bottom of the workspace, beneath the editor windows:
// every pane (the compiler messages, the console, the debugger's windows, Find
// in Files, the Outline...) is a tab of it, so that no pane covers another and
// each has the whole width. The area makes the panes, brings them forward and
// lists them; its top edge is dragged to make it taller or shorter, a tab's
// close button closes its pane, and Ctrl+Tab / Ctrl+Shift+Tab (or
// Ctrl+PgDown / Ctrl+PgUp) with the focus in a pane go to the next or the
// previous one. The workspace places it and keeps the MDI windows above it.
#pragma once
#include "workspace/paneframe.h"

#include <QList>
#include <QWidget>

#include <functional>

class QStackedWidget;
class QTabBar;

class PaneArea : public QWidget {
    Q_OBJECT
public:
    explicit PaneArea(QWidget* parent = nullptr);
    // Closes no pane: the panes go with the area, without signals.
    ~PaneArea() override;

    // The pane of `kind` brought forward (the tab shown), made with the window
    // `make` returns when none is open; `activate` gives it the focus.
    PaneFrame* show(Pane kind, const std::function<QWidget*()>& make, bool activate);
    // A new pane of `kind` around `content`, also when one is open already.
    PaneFrame* add(Pane kind, QWidget* content, bool activate);
    // The newest open pane of `kind`, null when none is.
    PaneFrame* pane(Pane kind) const;
    // The open panes, in the order of their tabs.
    QList<PaneFrame*> panes() const;
    // The pane whose tab is shown; null when none is open.
    PaneFrame* current() const;
    // Shows the tab of `frame`; `activate` gives it the focus.
    void bringForward(PaneFrame* frame, bool activate);
    // Ctrl+Tab: the next (1) or previous (-1) pane, round, with the focus.
    void step(int step);

    // The height the area asks for while a pane is open (its default until
    // the user drags its top edge: 100 pixels, 160 with a debugger pane or
    // the Outline); 0 with none open.
    int wantedHeight() const;

    // Height of the top edge that resizes the area.
    static constexpr int Edge = 5;

signals:
    // The focus entered a pane.
    void paneActivated(PaneFrame* frame);
    // A pane was closed or destroyed.
    void paneGone(PaneFrame* frame);
    // The panes, or the height wanted, changed: the workspace lays out again.
    void layoutWanted();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void remove(PaneFrame* frame);
    int indexFor(Pane kind) const;

    QTabBar* tabs_;
    QStackedWidget* stack_;
    int userHeight_ = 0;  // the height the user dragged to; 0 before
    bool dragging_ = false;
    int dragStartY_ = 0;
    int dragStartHeight_ = 0;
};
