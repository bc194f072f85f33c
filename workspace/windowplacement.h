// SPDX-License-Identifier: GPL-3.0-or-later
// Where the windows of the workspace go: a new window's size and place (each a
// step below and to the right of the one opened before), and the minimised
// windows in a row along the bottom.
#pragma once

class QMdiArea;
class QMdiSubWindow;

class WindowPlacement {
public:
    explicit WindowPlacement(QMdiArea& area);

    // Adds a new window to the workspace, places it and shows it (maximised
    // when `maximise`), in a time that does not grow with the number of
    // windows. `quietly` while many files open: the window is not activated.
    void showNew(QMdiSubWindow* w, bool maximise, bool quietly);
    // An option window at the fixed size of its dialog, never maximised; an
    // editor window at three quarters of the workspace.
    // The keys of its own menu's Close are left to Close Window.
    void place(QMdiSubWindow* w);
    // Arrange Icons: the minimised windows in a row along the bottom.
    void arrangeIcons();

private:
    QMdiArea& area_;
};
