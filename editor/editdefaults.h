// SPDX-License-Identifier: GPL-3.0-or-later
// What every edit control shares: the default font and the state of the
// Insert key.
#pragma once

#include <QFont>
#include <QTextCharFormat>

// The editor's default font: the host's fixed-width system font at its default size.
QFont GetLogFont();
// The character format of text read from a file: that font, nothing else.
QTextCharFormat readTextFormat();

// Shared Insert-key state: overwrite mode of every editor, shown as "Ins".
bool insertToggleOn();
void setInsertToggle(bool on);
