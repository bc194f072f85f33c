// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPixmap>
#include <QString>
// The icons compiled into the program (library bp_resources), under ":/icons/":
// one "<name>.png" per command that has a picture, named by what it does
// ("find-next.png"; the command table, resources/commands.h, names each
// command's picture), the frame icon "brewpad.png" (64 px) with
// "brewpad-32.png", and "editor.png", "project.png" and "world.png". See
// resources/ICONS.md.

// Registers the compiled-in icons. The program calls it once at start, before
// any icon is loaded; tests that load icons call it too. Calling it again is
// harmless. (The icons live in a static library, so nothing registers them
// unless this is called.)
void initBrewpadResources();

// A compiled-in PNG picture (":/icons/world.png"), read as the PNG it is.
// Left to find a file's format, Qt's image reader first loads every image
// plugin to ask it, which held up the first window at start; with this, the
// windows before the "ENV:" box load none.
QPixmap pngPixmap(const QString& path);
