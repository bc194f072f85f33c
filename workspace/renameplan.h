// SPDX-License-Identifier: GPL-3.0-or-later
// What Rename works out without a window: the name at the caret, the
// project's other sources that the compile service reads from disk, the
// places of its answer by source, where a place of a file's bytes stands in
// its editor's text, and the rows of the preview.
#pragma once
#include "platform/dialogs.h"
#include "toolchain/compiling/renaming.h"

#include <QList>
#include <QString>
#include <QStringList>

// The Java identifier that holds `position` of `text` or ends there; empty
// when none does.
QString identifierAt(const QString& text, int position);

// The other sources of the project of `file` (absolute paths, in order, not
// `file` itself): the ".java" files below the source and test roots of the
// open project that holds it; else those below the package root of a source
// in a package; else those beside it in its folder. At most `limit`.
QStringList renameProjectSources(const QString& file, int limit = 5000);

// The sources a project window's text `projectText` lists, one a line,
// relative to the folder of its file `projectFile`: absolute and clean.
QStringList listedSources(const QString& projectFile, const QString& projectText);

// The places of one source, from the first to the last.
struct RenameFileEdits {
    QString path;
    QList<RenamePlace> places;
};
// The places by source, the sources in the order they first come.
QList<RenameFileEdits> renameEditsByFile(const QList<RenamePlace>& places);

// A file's text as the compile service reads it from disk: UTF-8, else Latin-1.
QString diskSourceText(const QByteArray& bytes);
// Where `offset` of a disk text stands in an editor's text of it, whose line
// ends are each one '\n' (a CR LF is one character there).
int editorOffset(const QString& diskText, int offset);

// The preview's row of the place `offset` of `text`: the line (from 1) and
// its text, `file` the name shown.
RenamePreviewRow renamePreviewRow(const QString& file, const QString& text, int offset);
