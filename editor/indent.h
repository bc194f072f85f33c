// SPDX-License-Identifier: GPL-3.0-or-later
// Indentation as the user types in a text edit: Enter keeps the indentation
// of the line (one unit more after '{'), '}' at the start of a line takes a
// unit away, Tab and Shift+Tab indent and unindent the selected lines. The
// rules are those of javatext/javalines.h; this applies them to the document.
#pragma once

#include <QString>

class QKeyEvent;
class QTextEdit;

class TypingIndent {
public:
    explicit TypingIndent(QTextEdit* edit) : edit_(edit) {}

    // The file's indentation unit: a tab or a number of spaces
    // (javalines::indentUnit), found from the text when it is first needed,
    // and kept until forget() (a new text was loaded).
    QString unit() const;
    void forget() { unit_.clear(); }
    // Indents or unindents the lines of the selection (the caret's line when
    // nothing is selected) by one unit, as one undo step; the whole lines stay
    // selected. Nothing in a read-only control.
    void indentSelection();
    void unindentSelection();
    // Handles Tab on lines, Shift+Tab and '}' at the start of a line; false
    // when the key is not one of them.
    bool key(const QKeyEvent* e);
    // Gives a new line, just made by Enter after the text `before`, its indentation.
    void newLine(const QString& before);

private:
    QTextEdit* edit_;
    mutable QString unit_;  // empty until needed
};
