// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds of the workspace: every MDI window in the order
// it was opened, then the message windows along its bottom, each a window with
// its caption (the message windows are not MDI windows, so the toolkit's own
// description of the workspace leaves them out).
#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// The accessibility factory for the workspace and its message windows;
// installed once, by the first workspace made.
QAccessibleInterface* workspaceAccessibleFactory(const QString& className, QObject* object);
void installWorkspaceAccessibility();
