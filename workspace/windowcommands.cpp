// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/windowcommands.h"

#include "platform/routing.h"
#include "resources/commands.h"
#include "workspace/paneframe.h"
#include "workspace/workspace.h"

#include <QMdiSubWindow>

WindowCommands::WindowCommands(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

void WindowCommands::addCommands(CommandTable& table)
{
    table.on(cmd::CloseWindow, [this] { closeActive(); });
    table.enabler(cmd::CloseWindow, [this](CommandState& s) { s.enabled = activeWindow() != nullptr; });
}

QWidget* WindowCommands::activeWindow() const
{
    if (ws_.messageWindowActive()) {
        for (PaneFrame* f : ws_.messageWindows()) {
            if (f->isActive())
                return f;
        }
        return nullptr;
    }
    return ws_.currentSubWindow();
}

bool WindowCommands::closeActive()
{
    QWidget* w = activeWindow();
    // close() asks as the window's close box does, and says whether it closed.
    return w && w->close();
}

QString windowMenuText(int number, const QString& caption)
{
    QString text = caption;
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(text)
                       : QStringLiteral("%1 %2").arg(number).arg(text);
}
