// SPDX-License-Identifier: GPL-3.0-or-later
// Where the Java tools lie, settled once at start-up.
#pragma once
#include <QString>

extern QString javabin;  // directory holding javac, no trailing separator
extern QString javahlp;  // Java help file (the API documentation's element-list)
extern QString temp;     // directory of compiler capture files
extern QString doscmd;   // terminal used by Java Run; empty when none
extern QString homedir;  // current directory at start, when used for the configuration file
extern QString curdir;   // directory of the last compiled or run source

// Back to the values of a fresh start (all empty).
void resetToolPaths();
