// SPDX-License-Identifier: GPL-3.0-or-later
// What every edit control shares: the default font and the state of the
// Insert key.
#pragma once

#include <QFont>

// The editor's default font: the host's fixed-width system font at its default size.
QFont GetLogFont();

// Shared Insert-key state: overwrite mode of every editor, shown as "Ins".
bool insertToggleOn();
void setInsertToggle(bool on);
