// SPDX-License-Identifier: GPL-3.0-or-later
// Plain text rules of the Java editor, on lines of text (QtCore only): the
// matching bracket, and the indentation of a file, of a new line, of a closing
// brace and of a range of lines. What is code and what is comment or literal
// is the editor's Java lexer's (javatext/javalexer.h).
#pragma once

#include "javatext/javalexer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace javalines {

// Where a line starts or ends, lexically, as the editor's Java lexer says.
using LineState = javalex::State;

// The brackets ( ) [ ] { } of one line that are code, not part of a string or
// character literal, a text block or a comment, as indexes into the line, in
// order. Returns the state at the end of the line.
LineState codeBrackets(QStringView line, LineState in, QList<int>* brackets);

// Index just past the last character of the line that is code (not comment),
// ignoring trailing blanks; 0 when the line holds no code.
int codeEnd(QStringView line, LineState in);

// A place in the text: line and column, both from 0.
struct LinePos {
    int line = 0;
    int column = 0;
    friend bool operator==(const LinePos&, const LinePos&) = default;
};

// The lines that the bracket search reads.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int lineCount() const = 0;
    virtual QString line(int n) const = 0;
    // The state at the start of line n.
    virtual LineState stateAt(int n) const = 0;
};

// The lines of a whole text in memory ('\n' ends a line).
class TextLines : public LineSource {
public:
    explicit TextLines(QStringView text);
    int lineCount() const override { return int(lines_.size()); }
    QString line(int n) const override { return lines_.at(n); }
    LineState stateAt(int n) const override { return states_.at(n); }

private:
    QStringList lines_;
    QList<LineState> states_;
};

// The bracket that matches the one at `at`: for an opening bracket the first
// closing one of its kind after it that closes it, for a closing one the
// opening one before it. Nothing when `at` is no bracket of the code, or the
// match lies more than `maxLines` lines away or does not exist.
std::optional<LinePos> matchingBracket(const LineSource& text, LinePos at, int maxLines = 5000);

// The same on a whole text, with positions as indexes into it; -1 for none.
int matchingBracket(QStringView text, int position);

// The indentation unit of a file from its lines: "\t" when its indented lines
// mostly start with a tab, else as many spaces as its indentation steps mostly
// are (2 to 8); four spaces when the lines tell nothing (a new or empty file).
QString indentUnit(const QStringList& lines);

// The leading blanks (spaces and tabs) of a line.
QStringView leadingBlanks(QStringView line);

// The indentation of the new line that Enter makes, from the text of the line
// before the caret: the same as that line's, one unit more after a line whose
// code ends with '{'. `in` is the state at the start of that line; a line
// that closes a text block takes the indentation of `opener`, the line that
// opened it (the statement's, not the block's text's), and a '{' inside a
// text block or comment adds nothing.
QString newLineIndent(QStringView before, QStringView unit, LineState in = LineState::Normal,
                      QStringView opener = {});

// How many characters before the caret a '}' typed at the start of a line
// takes away: one unit (a tab, or up to a unit's width of spaces) when the
// line before the caret holds only blanks, else 0.
int closeBraceUnindent(QStringView before, QStringView unit);

// How many leading characters unindenting a line removes: one unit, a tab, or
// up to a unit's width of spaces (4 for a tab unit).
int unindentCount(QStringView line, QStringView unit);

// A range of lines indented or unindented by one unit. Indenting leaves empty
// lines empty.
QStringList indentLines(const QStringList& lines, QStringView unit);
QStringList unindentLines(const QStringList& lines, QStringView unit);

// Toggle Comment on a range of lines. When every line that is not blank starts,
// after its leading blanks, with "//", one "//" (and one space after it, if
// there is one) is taken off each of them; otherwise "// " is put into each
// line that is not blank at the smallest number of leading blanks among them.
// Blank lines stay as they are.
QStringList toggleLineComments(const QStringList& lines);

}  // namespace javalines
