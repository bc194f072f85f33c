// SPDX-License-Identifier: GPL-3.0-or-later
// The colours chosen in the Edit menu (Follow Desktop Colours, Light Colours,
// Dark Colours), kept between runs in "look.ini" in the user's configuration
// folder, beside brewpad.cfg and session.ini. The file is plain text:
//
//     # Brewpad's colours: follow (the desktop's), light or dark.
//     colours dark
//
// Lines that are not understood are passed over; a missing or unreadable
// file, or a word that is not known, means following the desktop.
#pragma once
#include "resources/colours.h"

#include <QByteArray>
#include <QString>

namespace lookfile {

// "<configuration folder>/look.ini"; empty when there is no configuration folder.
QString defaultPath();

QByteArray encode(colours::Choice choice);
colours::Choice decode(const QByteArray& bytes);

colours::Choice read(const QString& path);
// Replaces the file atomically (cfgfile::save), creating its folder. False
// when it could not be written.
bool write(const QString& path, colours::Choice choice);

}  // namespace lookfile
