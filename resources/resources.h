#pragma once
// The icons compiled into the program (library bp_resources), under ":/icons/":
// one "<command id>.png" per tool-bar and menu command that has a picture, the
// frame icon "brewpad.png" (64 px) with "brewpad-32.png", and "editor.png",
// "project.png" and "world.png". See resources/ICONS.md.
#include <QIcon>
#include <QString>

// Registers the compiled-in icons. The program calls it once at start, before
// any icon is loaded; tests that load icons call it too. Calling it again is
// harmless. (The icons live in a static library, so nothing registers them
// unless this is called.)
void initBrewpadResources();

namespace brewpad {

// ":/icons/<commandId>.png"
QString commandIconPath(int commandId);

// The icon of a command, or a null icon when the command has none.
QIcon commandIcon(int commandId);

// The program's identity, the steaming cup, at 64 and 32 pixels.
QIcon frameIcon();

// A named icon: "editor", "project" or "world" (or any other name under
// ":/icons/"); a null icon when there is no such file.
QIcon namedIcon(const QString& name);

}  // namespace brewpad
