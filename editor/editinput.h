// SPDX-License-Identifier: GPL-3.0-or-later
// What the edit control lets pass and what it takes: the keys the main window
// binds to its commands, and the local files in dropped or pasted data.
#pragma once

#include <QStringList>

class QKeyEvent;
class QMimeData;

// True for a key that the main window binds to a command (Ctrl+Y, Ctrl+F, ...).
bool mainWindowKey(const QKeyEvent* e);
// The local files that `md` carries (native paths), in its order.
QStringList localFiles(const QMimeData* md);
