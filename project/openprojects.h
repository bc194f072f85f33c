// SPDX-License-Identifier: GPL-3.0-or-later
// The projects open in the workspace that say where their sources stand (a
// Maven project once Maven has described it). A source below one of their
// source or test roots is checked while typing, completed, followed to its
// definitions and compiled with its project's class path, not as a lone file.
#pragma once
#include "project/projectmodel.h"

#include <optional>

// A source of an open project, and which half of the project holds it.
struct HeldSource {
    ProjectModel project;
    bool test = false;  // below a test source root: the test class path serves
};

namespace openprojects {
// Keeps `project` (replacing one of the same project file) while it is open.
void keep(const ProjectModel& project);
// Forgets the project of the file `projectFile`.
void forget(const QString& projectFile);
// The open project whose roots hold `source` (the deepest root wins); nullopt
// when none does.
std::optional<HeldSource> holding(const QString& source);
}  // namespace openprojects
