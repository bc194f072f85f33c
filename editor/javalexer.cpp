// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/javalexer.h"

#include <algorithm>
#include <array>

namespace javalex {

namespace {

// Sorted for binary search.
constexpr std::array<QStringView, 59> kKeywords = {
    u"abstract",   u"assert",  u"boolean",    u"break",    u"byte",      u"case",   u"catch",        u"char",
    u"class",      u"const",   u"continue",   u"default",  u"do",        u"double", u"else",         u"enum",
    u"extends",    u"false",   u"final",      u"finally",  u"float",     u"for",    u"goto",         u"if",
    u"implements", u"import",  u"instanceof", u"int",      u"interface", u"long",   u"native",       u"new",
    u"null",       u"package", u"permits",    u"private",  u"protected", u"public", u"record",       u"return",
    u"sealed",     u"short",   u"static",     u"strictfp", u"super",     u"switch", u"synchronized", u"this",
    u"throw",      u"throws",  u"transient",  u"true",     u"try",       u"var",    u"void",         u"volatile",
    u"when",       u"while",   u"yield",
};

bool lessView(QStringView a, QStringView b)
{
    return a.compare(b) < 0;
}

bool identStart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == '$';
    return c.isLetter();
}

bool identPart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '$';
    return c.isLetterOrNumber();
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
        if (!(identPart(d) || d == u'.'))
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

// The end of the word (identifier or keyword) that starts at `i`, and
// whether it is a keyword; "non-sealed" is one word.
qsizetype wordEnd(QStringView s, qsizetype i, bool* keyword)
{
    const qsizetype n = s.size();
    qsizetype j = i + 1;
    while (j < n && identPart(s[j]))
        ++j;
    const QStringView word = s.sliced(i, j - i);
    if (word == u"non" && s.sliced(j).startsWith(u"-sealed") && (j + 7 >= n || !identPart(s[j + 7]))) {
        *keyword = true;
        return j + 7;
    }
    *keyword = isKeyword(word);
    return j;
}

qsizetype annotationEnd(QStringView s, qsizetype i)
{
    const qsizetype n = s.size();
    qsizetype j = i + 1;
    while (j < n && (identPart(s[j]) || (s[j] == u'.' && j + 1 < n && identStart(s[j + 1]))))
        ++j;
    return j;
}

void add(QList<Token>* out, qsizetype start, qsizetype end, Kind kind)
{
    if (end > start)
        out->append(Token{int(start), int(end - start), kind});
}

// The tokens of a run of code: keywords, numbers and annotations. `code` is
// the run alone (what follows it can start no token, nor continue one);
// `offset` is where it starts in its line.
void codeTokens(QStringView code, qsizetype offset, QList<Token>* out)
{
    const qsizetype n = code.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = code[i];
        if (identStart(c)) {
            bool keyword = false;
            const qsizetype e = wordEnd(code, i, &keyword);
            if (keyword)
                add(out, offset + i, offset + e, Kind::Keyword);
            i = e;
        } else if (isDigit(c) || (c == u'.' && i + 1 < n && isDigit(code[i + 1]))) {
            const qsizetype e = numberEnd(code, i);
            add(out, offset + i, offset + e, Kind::Number);
            i = e;
        } else if (c == u'@' && i + 1 < n && identStart(code[i + 1])) {
            const qsizetype e = annotationEnd(code, i);
            const bool atInterface = code.sliced(i + 1, e - i - 1) == u"interface";
            add(out, offset + i, offset + e, atInterface ? Kind::Keyword : Kind::Annotation);
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
    while (lexer.next(&piece)) {
        if (!tokens)
            continue;
        switch (piece.type) {
        case Piece::Code: codeTokens(line.sliced(piece.start, piece.end - piece.start), piece.start, tokens); break;
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
