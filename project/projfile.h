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

// What the classification of a project's entries found.
struct ProjectClassification {
    bool main = false;
    bool applet = false;
    bool package = false;
    QString className;  // of the last entry that yielded one; empty if none
};

// Classifies every entry of the project file at `projectPath`. An entry that
// is a relative path is taken relative to the project file's directory.
// False (and nothing found) when the project file cannot be read.
bool scanProject(const QString& projectPath, ProjectClassification* result);

// The project window's classification: reads the project file, classifies
// each entry and sets the flags of the project column (verdict 4 counts as an
// application). Flags are only set; `classename` becomes the name found by
// the last entry that yielded one and is unchanged when none did. An
// unreadable project file changes nothing.
void classifyProject(const QString& projectPath, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage,
                     QString& classename);
