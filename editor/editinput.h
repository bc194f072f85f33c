// SPDX-License-Identifier: GPL-3.0-or-later
// What the edit control lets pass and what it takes: the keys the main window
// binds to its commands, the keys it moves the caret with in its own way, and
// the local files in dropped or pasted data.
#pragma once

#include <QStringList>

class QKeyEvent;
class QMimeData;
class QTextEdit;

// True for a key that the main window binds to a command (Ctrl+Y, Ctrl+F, ...).
bool mainWindowKey(const QKeyEvent* e);
// Home moves the caret to the first character of its line that is not blank,
// or, when it stands there already (or the line holds only blanks), to the
// start of the line; Shift+Home selects to the same place. True when `e` was
// one of them and was handled; other keys (Ctrl+Home too) are left alone.
bool homeKey(QTextEdit* edit, const QKeyEvent* e);
// The local files that `md` carries (native paths), in its order.
QStringList localFiles(const QMimeData* md);
