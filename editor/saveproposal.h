// SPDX-License-Identifier: GPL-3.0-or-later
// What the save dialog proposes for a window that has no file yet.
#pragma once
#include <QString>

struct FileDialogRecord;

// Fills `rec` for the save dialog of a window without a file that shows
// `text`: a Java source (default extension "java") proposes the name of its
// public type (javatext/javatypename.h) followed by ".java", in the folder the
// record starts in; a project (default extension "jpr") starts in the folder
// of its first entry, where its sources are compiled. Otherwise nothing is
// proposed.
void proposeSaveName(FileDialogRecord& rec, const QString& text);
