// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/windowplacement.h"

#include "toolchain/settings/optiondialogs.h"

#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>

#include <algorithm>

WindowPlacement::WindowPlacement(QMdiArea& area) : area_(area) {}

void WindowPlacement::showNew(QMdiSubWindow* w, bool maximise, bool quietly)
{
    // What the toolkit does for each new window is kept to the window itself:
    // opening thousands of files costs each file the same.
    // - Untitled and of no size while it joins the workspace: joining measures
    //   the shortened title several times over, and the workspace's search for a
    //   free place, which compares every window with every other, gives up at
    //   once for a window of no size. The window takes its place right after.
    const QString title = w->windowTitle();
    w->setWindowTitle(QString());
    w->resize(0, 0);
    area_.addSubWindow(w);
    w->setWindowTitle(title);
    place(w);
    // - While many files open, disabled as it shows: a window that shows is
    //   activated, and the activation goes over every other window (see
    //   openingMany).
    if (quietly)
        w->setEnabled(false);
    if (maximise)
        w->showMaximized();
    else
        w->show();
    if (quietly)
        w->setEnabled(true);
}

void WindowPlacement::place(QMdiSubWindow* w)
{
    QSize size;
    if (auto* dlg = qobject_cast<TOptionDialog*>(w->widget())) {
        // An option window has the fixed size of a dialog: its layout, around
        // it the sub-window's frame and caption. It is never maximised, also
        // not over a maximised editor window.
        w->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
        area_.setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
        w->ensurePolished();
        const QMargins m = w->contentsMargins();
        const QSize inner = dlg->pixelSize();
        size = QSize(inner.width() + m.left() + m.right(), inner.height() + m.top() + m.bottom());
    } else {
        // An editor window: three quarters of the workspace.
        const QSize area = area_.viewport()->size();
        size = QSize(std::max(320, area.width() * 3 / 4), std::max(200, area.height() * 3 / 4));
    }
    // Each new window a step below and to the right of the one opened before.
    const QSize area = area_.viewport()->size();
    const int step = 24 * (area_.subWindowList().size() - 1);
    const int room = std::max(1, std::min(area.width() - size.width(), area.height() - size.height()));
    const int offset = step % room;
    w->setGeometry(offset, offset, size.width(), size.height());
    // The window's own menu shows its Close with the keys of Close Window,
    // which the main window answers for whichever window is active: there
    // they act only while that menu is open (two owners would cancel both).
    if (QMenu* m = w->systemMenu()) {
        for (QAction* a : m->actions()) {
            if (!a->shortcuts().isEmpty())
                a->setShortcutContext(Qt::WidgetShortcut);
        }
    }
}

void WindowPlacement::arrangeIcons()
{
    // Minimised windows in a row along the bottom of the workspace.
    int x = 0;
    for (QMdiSubWindow* w : area_.subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        w->move(x, area_.viewport()->height() - s.height());
        x += s.width();
    }
}
