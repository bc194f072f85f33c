// SPDX-License-Identifier: GPL-3.0-or-later
// Build settings: process-wide, held in memory for the run only.
#pragma once
#include "project/projectmodel.h"

#include <QString>
#include <optional>

extern bool CBDEBUG;
extern bool CBDEPRECATION;
extern bool CBNOWARN;
extern bool CBOPTIMIZE;
extern bool CBVERBOSE;
extern bool CBDEPEND;

// Absent (nullopt) and empty are different: an empty value still yields its option.
extern std::optional<QString> EDITDESTINATION;
extern std::optional<QString> EDITCLASSPATH;
extern std::optional<QString> EDITJAVAOPTIONS;
extern std::optional<QString> EDITCMDLINE;

// 1 while the compiler-message window is taken to exist.
extern int tracebrowser;

// The Class Path and Destination Directory as a project model takes them: the
// models of a single source and of a .jpr file are built over these.
ModelSettings modelSettings();

// Back to the values of a fresh start.
void resetBuildSettings();
