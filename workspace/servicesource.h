// SPDX-License-Identifier: GPL-3.0-or-later
// What the compile service is told of a window's source: the folder it is
// compiled in and the name it goes by (an untitled source is "Untitled.java"
// in the folder Brewpad was started in).
#pragma once

#include <QString>

class SourceDocument;

QString serviceFolderOf(const SourceDocument& source);
QString serviceSourceName(const SourceDocument& source);
