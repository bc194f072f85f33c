// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a file that ships with Brewpad (a helper's jar).
#pragma once
#include <QString>

// The first that exists of `fileName` beside the program, the program's folder
// joined with `relativeToProgram` (where it is installed), and `installed`;
// empty when none exists. Empty places are not looked at.
QString shippedFile(const QString& fileName, const QString& relativeToProgram, const QString& installed = {});
