// SPDX-License-Identifier: GPL-3.0-or-later
// Classification of the sources a Java project file lists.
#pragma once

#include <QString>

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
// each entry and sets the flags of the project column (AppletHintsOnly counts
// as an application). Flags are only set; `classename` becomes the name found by
// the last entry that yielded one and is unchanged when none did. An
// unreadable project file changes nothing.
void classifyProject(const QString& projectPath, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage,
                     QString& classename);
