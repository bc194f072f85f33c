// SPDX-License-Identifier: GPL-3.0-or-later
// The values of a paused frame's variables shown at the end of the lines that
// set them, in the frame's own source.
#pragma once
#include "toolchain/running/debugsession.h"

#include <QList>
#include <QMap>
#include <QString>

// For each local and argument of `values`, the last line at or above
// `pausedLine` (1-based) of `sourceText` where "name =" (not "==") or a
// declaration of name appears (not "return name;", "throw name;" and the like)
// gets "name = text"; the values of one line are
// joined by ", ". Lines are 1-based; a name found on no line is not shown.
QMap<int, QString> inlineValueLines(const QString& sourceText, int pausedLine, const QList<DebugValue>& values);
