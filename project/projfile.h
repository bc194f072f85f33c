// SPDX-License-Identifier: GPL-3.0-or-later
// Java project files (.jpr): plain text, one source path per line, lines
// starting with '#' are comments. Lines end in CR LF as the program writes
// them; a bare LF is accepted too, and so is a last line that ends in CR alone.
//
// Both readers take a line whole, whatever its length, and have no limit on
// the number of entries.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads the whole project file. False when it cannot be read or is no regular
// file (a named pipe or device is never opened).
bool readProjectFile(const QString& path, QByteArray* out);

// The entries the compile command reads: every line that is not empty and
// does not start with '#', taken as it stands.
QStringList projectCompileEntries(const QByteArray& contents);

// The entries the classification reads: those of projectCompileEntries with
// their leading spaces and tabs skipped, less those that held nothing else.
// The rest of the line, trailing blanks included, is the path.
QStringList projectScanPaths(const QByteArray& contents);
