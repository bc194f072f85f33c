// SPDX-License-Identifier: GPL-3.0-or-later
// How a quick fix of the compile service (toolchain/compiling/quickfixes.h)
// changes a text: its steps made into plain edits in the file's own
// indentation (tabs or spaces, as its lines are indented), touching nothing
// outside the fix. New lines are inserted at the starts of lines, so that the
// line ends of the lines there stay as they are and the new ones take the
// file's usual line end.
#pragma once
#include "toolchain/compiling/quickfixes.h"

#include <QList>
#include <QString>

// A range of a text replaced by `text` ("\n" for each new line break).
struct FixEdit {
    int start = 0;
    int end = 0;
    QString text;
    bool operator==(const FixEdit&) const = default;
};

// The edits of `fix` in `text` (lines separated by "\n", the positions of the
// fix's steps), from the last in the text to the first, so that each applies
// to the text the ones before it left; none when a step does not fit the
// text (a step out of range, or an import that would clash with one there).
QList<FixEdit> quickFixEdits(const QString& text, const QuickFix& fix);

// `text` with `edits` applied in their order.
QString applyFixEdits(QString text, const QList<FixEdit>& edits);

// Where the import of `qualified` goes in `text`: among the imports in the
// order of their names, else after the package line, else before the first
// line of code. Nothing to insert (an empty text) when it is imported already;
// false when another type of that simple name is.
bool importEdit(const QString& text, const QString& qualified, FixEdit* edit);
