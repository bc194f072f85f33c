// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's marks in the text of an edit control: the breakpoints (red
// dots in the margin), the line where the program is paused (an arrow in the
// margin and the line highlighted) and the values shown after the ends of
// lines, dimmed. All of them move with their lines as the text is edited (a
// breakpoint whose line was deleted comes back when the deletion is undone), and
// none of them is part of the text: the document, its undo stack and its
// modified flag stay as they are.
#pragma once

#include "toolchain/running/breakpoint.h"
#include "editor/trackedlines.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>

class QPainter;
class QRect;
class QRectF;
class QTextEdit;
class ShownBlocks;

class DebugMarks {
public:
    explicit DebugMarks(QTextEdit* edit);

    // By line (from 1, on the line they stand on now); their file is empty.
    Breakpoints breakpoints() const;
    bool hasBreakpoint(int line) const { return breakpoints_.lines().contains(line); }
    // The breakpoint of a line; nothing when it has none.
    std::optional<Breakpoint> breakpointAt(int line) const;
    // Replaces them all (one a line, the first given; lines beyond the text left out).
    void setBreakpoints(const Breakpoints& list);
    // Sets an enabled breakpoint without condition on a line without one,
    // else clears the line's. False for a line beyond the text.
    bool toggleBreakpoint(int line);
    // Sets the breakpoint of its line, replacing the one there. False for a
    // line beyond the text, or one that has that breakpoint already.
    bool setBreakpoint(const Breakpoint& breakpoint);

    // The paused line (from 1), 0 for none.
    int executionLine() const { return paused_.empty() ? 0 : paused_.lines().firstKey(); }
    void setExecutionLine(int line);

    QMap<int, QString> inlineValues() const { return values_.lines(); }
    void setInlineValues(const QMap<int, QString>& textByLine) { values_.set(textByLine); }

    // Runs `replace`, which replaces the whole text (a reload), and puts the
    // marks back on the same line numbers; true when breakpoints were left
    // out (their lines are gone).
    bool keepLinesWhile(const std::function<void()>& replace);
    // After an edit: the marks move with their lines; true when the lines of
    // the breakpoints changed.
    bool textChanged();

    // For screen readers: what a line (from 1) carries ("breakpoint", "paused
    // here", its values), empty when nothing; and a summary for the margin.
    QString describeLine(int line) const;
    QString summary() const;

    // The paused line's highlight, under the text, where it meets `area` of
    // the viewport; the values, over the text.
    void paintPausedLine(QPainter& p, const QRect& area) const;
    void paintValues(QPainter& p, const QRect& area, const ShownBlocks& shown) const;
    // The margin's signs of a line in `box`: the dot (a ring when the
    // breakpoint is disabled), the arrow over it.
    static void paintSigns(QPainter& p, const QRectF& box, const std::optional<Breakpoint>& breakpoint, bool paused);

private:
    QTextEdit* edit_;
    // The lines with breakpoints, each with the key of its value in
    // breakpointValues_ as its text: the value moves with the line, and
    // comes back with it when its deletion is undone.
    TrackedLines breakpoints_;
    QHash<QString, Breakpoint> breakpointValues_;
    quint64 lastKey_ = 0;
    TrackedLines paused_;
    TrackedLines values_;
    bool replacing_ = false;
};
