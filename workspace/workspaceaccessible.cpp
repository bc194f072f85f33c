// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/workspaceaccessible.h"

#include "workspace/workspace.h"
#include "workspace/paneframe.h"

#include <QAccessibleWidget>
#include <QMdiSubWindow>

namespace {

class WorkspaceAccessible : public QAccessibleWidget {
public:
    explicit WorkspaceAccessible(TFileMDIClient* workspace) : QAccessibleWidget(workspace, QAccessible::LayeredPane)
    {
    }

    int childCount() const override { return int(windows().size()); }
    QAccessibleInterface* child(int index) const override
    {
        const QList<QWidget*> all = windows();
        return index >= 0 && index < all.size() ? QAccessible::queryAccessibleInterface(all[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(windows().indexOf(static_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> windows() const
    {
        const auto* workspace = static_cast<const TFileMDIClient*>(widget());
        QList<QWidget*> out;
        for (QMdiSubWindow* w : workspace->subWindowList(QMdiArea::CreationOrder))
            out << w;
        for (PaneFrame* f : workspace->messageWindows())
            out << f;
        return out;
    }
};

}  // namespace

QAccessibleInterface* workspaceAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("TFileMDIClient"))
        return new WorkspaceAccessible(static_cast<TFileMDIClient*>(object));
    // A pane is a window of its own, named by its caption.
    if (className == QLatin1String("PaneFrame"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

void installWorkspaceAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(workspaceAccessibleFactory);
        return true;
    }();
    (void)installed;
}
