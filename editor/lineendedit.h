// SPDX-License-Identifier: GPL-3.0-or-later
// An edit at the caret that adds lines below a line or joins two lines, and
// what keeps the line ends right around it (see editor/textdoc.h): lines
// added at the end of a line that has text (Enter, pasting lines there) leave
// that line its own line end; Delete or Backspace joining two lines is one
// undo step with the marks the document's LineBreakKeeper puts right after it.
#pragma once

#include <QTextCursor>

class QKeyEvent;

class LineEndEdit {
public:
    enum class Kind {
        Other,   // nothing to keep
        Enter,   // a new line made by Enter
        Insert,  // text put in (a paste, a drop)
        Join,    // the line break at the caret deleted
    };
    // The kind of edit a key makes at the caret of an editable control.
    static Kind kindOfKey(const QKeyEvent* e, const QTextCursor& caret);

    // Made just before the edit, at the caret where it starts.
    LineEndEdit(const QTextCursor& caret, Kind kind);
    // Called just after the edit, with the caret where it left it.
    void finish(const QTextCursor& caret);

private:
    QTextCursor step_;  // holds the undo step of a join
    Kind kind_;
    bool below_ = false;  // the edit starts at the end of a line that has text
    int line_ = -1;       // the caret's line before the edit
};
