// Java project files (.jpr): plain text, one source path per line, lines
// starting with '#' are comments. Lines end in CR LF as the program writes
// them; a bare LF is accepted too.
//
// Both readers take a line whole, whatever its length, and have no limit on
// the number of entries.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reads the whole project file. False when it cannot be read.
bool readProjectFile(const QString& path, QByteArray* out);

// The entries the classification reads: leading spaces and tabs are skipped;
// a line is skipped when its first character (before skipping) is '#' or
// when nothing is left. The rest of the line, trailing blanks included, is
// the path.
QStringList projectScanPaths(const QByteArray& contents);

// The entries the compile command reads: every line that is not empty and
// does not start with '#', taken as it stands.
QStringList projectCompileEntries(const QByteArray& contents);
