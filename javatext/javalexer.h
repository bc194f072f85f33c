// SPDX-License-Identifier: GPL-3.0-or-later
// The Java lexer of the editor, one line at a time (QtCore only): where a
// line's comments, string and character literals and text blocks lie, the
// state it leaves for the next line, and its coloured tokens. The syntax
// colouring and the bracket and indentation rules both read lines through
// it, so they always agree on what is code.
#pragma once

#include <QList>
#include <QStringView>

namespace javalex {

// Where a line starts or ends, lexically: in code, inside a /* */ comment or
// inside a """ text block.
enum State : int { Normal = 0, BlockComment = 1, TextBlock = 2 };

// A stretch of a line: a run of code, a comment (/* */ or //, with its
// delimiters) or a literal (string, character or text block, with its quotes).
// A comment or text block carried in from the line before starts at the
// line's start; one left open ends at the line's end.
struct Piece {
    enum Type { Code, Comment, Literal };
    Type type = Code;
    qsizetype start = 0;
    qsizetype end = 0;  // exclusive
};

// Cuts one line into its pieces, in order, none of them empty. Adjacent
// comments or literals are separate pieces; a run of code ends only where a
// comment or literal starts.
class LineLexer {
public:
    LineLexer(QStringView line, State in) : line_(line), state_(in) {}

    // The next piece; false at the line end.
    bool next(Piece* piece);

    // The state after the pieces read so far: once next() has returned
    // false, the state at the end of the line.
    State state() const { return state_; }

private:
    QStringView line_;
    qsizetype at_ = 0;
    State state_;
};

// The state at the end of a line that starts in `in`.
State scanLine(QStringView line, State in);

// Calls code(start, end) for each run of code of a line that starts in `in`,
// in order (comments and literals left out); returns the state at its end.
template <typename F>
State forEachCode(QStringView line, State in, F&& code)
{
    LineLexer lexer(line, in);
    for (Piece p; lexer.next(&p);) {
        if (p.type == Piece::Code)
            code(p.start, p.end);
    }
    return lexer.state();
}

enum class Kind { Keyword, String, Comment, Number, Annotation };

// A coloured stretch of a line.
struct Token {
    int start = 0;
    int length = 0;
    Kind kind = Kind::Keyword;
};

// Splits one line into coloured tokens (comments, literals, keywords,
// numbers and annotations; other code is not a token). The contextual
// keywords (var, record, sealed, non-sealed, permits, yield, when) are
// keywords only where they act as such on the line: `var x`, `record P(`,
// `sealed interface`, `permits A`, `yield x;`, `case T t when c`, but not a
// variable, field or method of that name (`record = 1`, `Thread.yield()`). Returns the state at
// the end of the line, the same as scanLine; `in` is the state at its start.
// `tokens` may be null.
State lexLine(QStringView line, State in, QList<Token>* tokens);

// Reserved words and literals (true, false, null): keywords wherever they
// stand.
bool isKeyword(QStringView word);

}  // namespace javalex
