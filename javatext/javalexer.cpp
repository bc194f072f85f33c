// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javalexer.h"

#include "javatext/javaidentifiers.h"

#include <algorithm>
#include <array>

namespace javalex {

namespace {

using javatext::isIdentifierPart;
using javatext::isIdentifierStart;

// Sorted for binary search: the reserved words and literals.
constexpr std::array<QStringView, 53> kKeywords = {
    u"abstract",   u"assert",  u"boolean",    u"break",        u"byte",      u"case",   u"catch",  u"char",
    u"class",      u"const",   u"continue",   u"default",      u"do",        u"double", u"else",   u"enum",
    u"extends",    u"false",   u"final",      u"finally",      u"float",     u"for",    u"goto",   u"if",
    u"implements", u"import",  u"instanceof", u"int",          u"interface", u"long",   u"native", u"new",
    u"null",       u"package", u"private",    u"protected",    u"public",    u"return", u"short",  u"static",
    u"strictfp",   u"super",   u"switch",     u"synchronized", u"this",      u"throw",  u"throws", u"transient",
    u"true",       u"try",     u"void",       u"volatile",     u"while",
};

bool lessView(QStringView a, QStringView b)
{
    return a.compare(b) < 0;
}

bool isDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// End (exclusive) of a quoted literal starting at `start` with `quote`; the
// line end when the literal is not closed there.
qsizetype quotedEnd(QStringView s, qsizetype start, char16_t quote)
{
    const qsizetype n = s.size();
    qsizetype j = start + 1;
    while (j < n) {
        const char16_t u = s[j].unicode();
        if (u == '\\')
            j += 2;
        else if (u == quote)
            return j + 1;
        else
            ++j;
    }
    return n;
}

// Just past the """ that closes a text block, searched from `from`; -1 when
// the line ends inside the block.
qsizetype textBlockEnd(QStringView s, qsizetype from)
{
    const qsizetype n = s.size();
    for (qsizetype j = from; j < n; ++j) {
        const char16_t u = s[j].unicode();
        if (u == '\\')
            ++j;
        else if (u == '"' && j + 2 < n && s[j + 1] == u'"' && s[j + 2] == u'"')
            return j + 3;
    }
    return -1;
}

// End (exclusive) of the run of code that starts at `from`: the next comment
// or literal, or the line end.
qsizetype codeRunEnd(QStringView s, qsizetype from)
{
    const qsizetype n = s.size();
    for (qsizetype j = from; j < n; ++j) {
        const char16_t u = s[j].unicode();
        if (u > '/')  // most characters: past all three
            continue;
        if (u == '"' || u == '\'')
            return j;
        if (u == '/' && j + 1 < n && (s[j + 1] == u'/' || s[j + 1] == u'*'))
            return j;
    }
    return n;
}

bool isTextBlockStart(QStringView s, qsizetype i)
{
    return i + 2 < s.size() && s[i] == u'"' && s[i + 1] == u'"' && s[i + 2] == u'"';
}

qsizetype numberEnd(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    const bool hex = s[i] == u'0' && i + 1 < n && (s[i + 1] == u'x' || s[i + 1] == u'X');
    qsizetype j = hex ? i + 2 : i;
    while (j < n) {
        const QChar d = s[j];
        if (!(isIdentifierPart(d) || d == u'.'))
            break;
        ++j;
        if (j < n && (s[j] == u'+' || s[j] == u'-')) {
            const char16_t p = d.unicode();
            if (hex ? (p == 'p' || p == 'P') : (p == 'e' || p == 'E'))
                ++j;
        }
    }
    return j;
}

// The end of the word (identifier or keyword) that starts at `i`; with
// "-sealed" after "non" the end of "non-sealed".
qsizetype wordEnd(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    qsizetype j = i + 1;
    while (j < n && isIdentifierPart(s[j]))
        ++j;
    if (s.sliced(i, j - i) == u"non" && s.sliced(j).startsWith(u"-sealed") &&
        (j + 7 >= n || !isIdentifierPart(s[j + 7])))
        return j + 7;
    return j;
}

qsizetype skipBlanks(QStringView s, qsizetype j)
{
    while (j < s.size() && (s[j] == u' ' || s[j] == u'\t'))
        ++j;
    return j;
}

// The character at `j` of the line, or NUL past its end.
QChar at(QStringView s, qsizetype j)
{
    return j >= 0 && j < s.size() ? s[j] : QChar();
}

// The last character before `i` that is not blank, or NUL.
QChar before(QStringView s, qsizetype i)
{
    while (i > 0 && (s[i - 1] == u' ' || s[i - 1] == u'\t'))
        --i;
    return at(s, i - 1);
}

bool wordAtIs(QStringView s, qsizetype k, QStringView word)
{
    return isIdentifierStart(at(s, k)) && s.sliced(k, wordEnd(s, k) - k) == word;
}

// Whether an expression can start with `c` (a yield's or a guard's operand).
bool startsOperand(QChar c)
{
    return isIdentifierStart(c) || isDigit(c) || QStringView(u"\"'(!~").contains(c);
}

// Whether the word line[i, e) acts as a keyword. The reserved words always
// do; the contextual ones (var, record, sealed, non-sealed, permits, yield,
// when) only where they stand as keywords: never after '.' or '::' (a member),
// and each only before what it declares or introduces. `caseSeen`: the line's
// code holds "case" before the word (a guard's when).
bool keywordHere(QStringView line, qsizetype i, qsizetype e, bool caseSeen)
{
    const QStringView w = line.sliced(i, e - i);
    if (isKeyword(w))
        return true;
    const QChar prev = before(line, i);
    if (prev == u'.' || (prev == u':' && before(line, line.lastIndexOf(u':', i - 1)) == u':'))
        return false;
    const qsizetype k = skipBlanks(line, e);
    const QChar next = at(line, k);
    if (w == u"var" || w == u"sealed" || w == u"non-sealed" || w == u"permits")
        return isIdentifierStart(next) && !wordAtIs(line, k, u"instanceof");
    if (w == u"record") {  // record Name( or record Name<
        if (!isIdentifierStart(next))
            return false;
        const QChar after = at(line, skipBlanks(line, wordEnd(line, k)));
        return after == u'(' || after == u'<';
    }
    if (w == u"yield") {  // yield() is a call, yield = 1 an assignment
        if (k == e && next == u'(')
            return false;
        if ((next == u'-' || next == u'+') && k > e)
            return !QStringView(u" \t=+-").contains(at(line, k + 1)) && at(line, k + 1) != QChar();
        return startsOperand(next) && !wordAtIs(line, k, u"instanceof");
    }
    if (w == u"when")  // case Type t when ... / case Point(int x, int y) when ...
        return caseSeen && (isIdentifierPart(prev) || prev == u')') && startsOperand(next);
    return false;
}

qsizetype annotationEnd(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    qsizetype j = i + 1;
    while (j < n && (isIdentifierPart(s[j]) || (s[j] == u'.' && j + 1 < n && isIdentifierStart(s[j + 1]))))
        ++j;
    return j;
}

void add(QList<Token>* out, qsizetype start, qsizetype end, Kind kind)
{
    if (end > start)
        out->append(Token{int(start), int(end - start), kind});
}

// The tokens of the run of code line[start, end): keywords, numbers and
// annotations (what follows the run can start no token, nor continue one).
// `caseSeen` tells, and learns, whether the line's code so far holds "case".
void codeTokens(QStringView line, qsizetype start, qsizetype end, bool* caseSeen, QList<Token>* out)
{
    const QStringView code = line.first(end);
    qsizetype i = start;
    while (i < end) {
        const QChar c = code[i];
        if (isIdentifierStart(c)) {
            const qsizetype e = wordEnd(code, i);
            if (keywordHere(line, i, e, *caseSeen))
                add(out, i, e, Kind::Keyword);
            if (code.sliced(i, e - i) == u"case")
                *caseSeen = true;
            i = e;
        } else if (isDigit(c) || (c == u'.' && i + 1 < end && isDigit(code[i + 1]))) {
            const qsizetype e = numberEnd(code, i);
            add(out, i, e, Kind::Number);
            i = e;
        } else if (c == u'@' && i + 1 < end && isIdentifierStart(code[i + 1])) {
            const qsizetype e = annotationEnd(code, i);
            const bool atInterface = code.sliced(i + 1, e - i - 1) == u"interface";
            add(out, i, e, atInterface ? Kind::Keyword : Kind::Annotation);
            i = e;
        } else {
            ++i;
        }
    }
}

}  // namespace

bool LineLexer::next(Piece* piece)
{
    const QStringView s = line_;
    const qsizetype n = s.size();
    const qsizetype i = at_;
    if (i >= n)
        return false;
    qsizetype end = n;
    Piece::Type type = Piece::Code;
    if (state_ == BlockComment) {  // carried in
        const qsizetype e = s.indexOf(u"*/", i);
        type = Piece::Comment;
        end = e < 0 ? n : e + 2;
        state_ = e < 0 ? BlockComment : Normal;
    } else if (state_ == TextBlock) {  // carried in
        end = textBlockEnd(s, i);
        type = Piece::Literal;
        state_ = end < 0 ? TextBlock : Normal;
    } else if (s[i] == u'/' && i + 1 < n && s[i + 1] == u'/') {
        type = Piece::Comment;
    } else if (s[i] == u'/' && i + 1 < n && s[i + 1] == u'*') {
        const qsizetype e = s.indexOf(u"*/", i + 2);
        type = Piece::Comment;
        end = e < 0 ? n : e + 2;
        state_ = e < 0 ? BlockComment : Normal;
    } else if (isTextBlockStart(s, i)) {
        end = textBlockEnd(s, i + 3);
        type = Piece::Literal;
        state_ = end < 0 ? TextBlock : Normal;
    } else if (s[i] == u'"' || s[i] == u'\'') {
        end = quotedEnd(s, i, s[i].unicode());
        type = Piece::Literal;
    } else {
        end = codeRunEnd(s, i);
    }
    if (end < 0)
        end = n;
    *piece = Piece{type, i, end};
    at_ = end;
    return true;
}

State scanLine(QStringView line, State in)
{
    LineLexer lexer(line, in);
    Piece piece;
    while (lexer.next(&piece)) {
    }
    return lexer.state();
}

State lexLine(QStringView line, State in, QList<Token>* tokens)
{
    LineLexer lexer(line, in);
    Piece piece;
    bool caseSeen = false;
    while (lexer.next(&piece)) {
        if (!tokens)
            continue;
        switch (piece.type) {
        case Piece::Code: codeTokens(line, piece.start, piece.end, &caseSeen, tokens); break;
        case Piece::Comment: add(tokens, piece.start, piece.end, Kind::Comment); break;
        case Piece::Literal: add(tokens, piece.start, piece.end, Kind::String); break;
        }
    }
    return lexer.state();
}

bool isKeyword(QStringView word)
{
    return std::binary_search(kKeywords.begin(), kKeywords.end(), word, lessView);
}

}  // namespace javalex
