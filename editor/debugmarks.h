// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's marks of a document's mark list (editor/marks.h) as an edit
// control shows them: the breakpoints (red dots in the margin), the line where
// the program is paused (an arrow in the margin and the line highlighted) and
// the values shown after the ends of lines, dimmed.
#pragma once

#include "editor/marks.h"

#include <QList>
#include <QMap>
#include <QString>

class QPainter;
class QRect;
class QRectF;
class QTextEdit;
class ShownBlocks;

class DebugMarks {
public:
    // The marks of `marks` shown by `edit`.
    DebugMarks(QTextEdit* edit, const MarkList& marks) : edit_(edit), marks_(marks) {}

    // By line (from 1, ascending; their file empty).
    Breakpoints breakpoints() const { return marks_.breakpoints(); }
    bool hasBreakpoint(int line) const { return marks_.hasBreakpoint(line); }
    std::optional<Breakpoint> breakpointAt(int line) const { return marks_.breakpointAt(line); }
    // The paused line (from 1), 0 for none.
    int executionLine() const { return marks_.executionLine(); }
    QMap<int, QString> inlineValues() const { return marks_.inlineValues(); }

    // For screen readers: what a line (from 1) carries ("breakpoint", "paused
    // here", its values), empty when nothing; and a summary for the margin.
    QString describeLine(int line) const;
    QString summary() const;

    // The paused line's highlight, under the text, where it meets `area` of
    // the viewport; the values, over the text.
    void paintPausedLine(QPainter& p, const QRect& area) const;
    void paintValues(QPainter& p, const QRect& area, const ShownBlocks& shown) const;
    // The margin's signs of a line in `box`: the dot, the arrow over it.
    static void paintSigns(QPainter& p, const QRectF& box, const std::optional<Breakpoint>& breakpoint, bool paused);

private:
    QTextEdit* edit_;
    const MarkList& marks_;
};
