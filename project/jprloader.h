// SPDX-License-Identifier: GPL-3.0-or-later
// The .jpr loader of the project model: the compile entries and the scan paths
// of project/projfile.h, the project's folder, and the Compiler Options' class
// path and class folder (a .jpr carries none of its own), then the jars of
// the lib/ folder beside the project's file.
#pragma once
#include "project/projectmodel.h"

#include <QByteArray>

// The model of the project file `path` as it is on disk; an unreadable file
// gives a model without sources and `readable` false.
ProjectModel loadJprProject(const QString& path, const ModelSettings& settings);

// The model of a project file `path` that holds `contents`.
ProjectModel jprProjectModel(const QString& path, const QByteArray& contents, const ModelSettings& settings);
