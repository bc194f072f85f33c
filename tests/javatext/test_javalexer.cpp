// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's Java lexer without a window: the pieces of a line, and the
// colouring's tokens and the bracket rules agreeing on what is code.
#include "javatext/javalexer.h"
#include "javatext/javalines.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <array>
#include <random>

using javalex::Piece;
using javalex::State;

namespace {

struct P {
    Piece::Type type;
    QString text;
    friend bool operator==(const P&, const P&) = default;
};

void PrintTo(const P& p, std::ostream* os)
{
    *os << int(p.type) << ":" << p.text.toStdString();
}

QList<P> pieces(const QString& line, State in, State* out = nullptr)
{
    javalex::LineLexer lexer(line, in);
    QList<P> got;
    Piece p;
    while (lexer.next(&p))
        got.append(P{p.type, line.sliced(p.start, p.end - p.start)});
    if (out)
        *out = lexer.state();
    return got;
}

// Java-ish text made of pieces that start and end comments, literals and text
// blocks, escapes, brackets, words, numbers and annotations.
QString randomLine(std::mt19937& rng)
{
    static const std::array<const char16_t*, 36> atoms = {
        u"a",  u"x1", u"0x1p-3",   u"1e+5",   u".5",    u"/",          u"*",          u"\"",     u"'",
        u"\\", u"(",  u")",        u"[",      u"]",     u"{",          u"}",          u" ",      u"\t",
        u".",  u"@",  u"@Foo.bar", u"-",      u"int",   u"non-sealed", u"@interface", u"\"\"\"", u"/*",
        u"*/", u"//", u"\u00e9",   u"\u4e2d", u"'\\''", u"\"\\\"\"",   u"when",       u"class",  u"\\\"\"\""};
    QString line;
    const int n = int(rng() % 16);
    for (int k = 0; k < n; ++k)
        line += QString::fromUtf16(atoms[rng() % atoms.size()]);
    return line;
}

QStringList keywordsOf(const QString& line)
{
    QList<javalex::Token> tokens;
    javalex::lexLine(line, javalex::Normal, &tokens);
    QStringList got;
    for (const javalex::Token& t : tokens) {
        if (t.kind == javalex::Kind::Keyword)
            got << line.sliced(t.start, t.length);
    }
    return got;
}

// The contextual keywords decided over a plain token list: a line cut into
// words, single punctuation characters and whole comments or literals, each
// knowing whether blanks precede it.
struct Tk {
    QString text;
    bool blankBefore = false;
    bool opaque = false;  // a comment or literal
};

QList<Tk> plainTokens(const QString& line)
{
    QList<Tk> out;
    javalex::LineLexer lexer(line, javalex::Normal);
    bool blank = false;
    for (Piece p; lexer.next(&p);) {
        if (p.type != Piece::Code) {
            out.append(Tk{line.sliced(p.start, p.end - p.start), blank, true});
            blank = false;
            continue;
        }
        for (qsizetype i = p.start; i < p.end;) {
            const QChar c = line[i];
            if (c == u' ' || c == u'\t') {
                blank = true;
                ++i;
                continue;
            }
            qsizetype e = i + 1;
            if (c.isLetterOrNumber() || c == u'_' || c == u'$') {
                while (e < p.end && (line[e].isLetterOrNumber() || line[e] == u'_' || line[e] == u'$'))
                    ++e;
                if (line.sliced(i, e - i) == u"non" && line.sliced(e, p.end - e).startsWith(u"-sealed") &&
                    (e + 7 >= p.end ||
                     !(line[e + 7].isLetterOrNumber() || line[e + 7] == u'_' || line[e + 7] == u'$')))
                    e += 7;
            }
            out.append(Tk{line.sliced(i, e - i), blank, false});
            blank = false;
            i = e;
        }
    }
    return out;
}

bool isWord(const Tk& t)
{
    return !t.opaque && (t.text[0].isLetter() || t.text[0] == u'_' || t.text[0] == u'$');
}

bool operandStart(const Tk& t)
{
    return t.opaque ? !t.text.startsWith(u'/')
                    : (t.text[0].isLetterOrNumber() || t.text[0] == u'_' || t.text[0] == u'$' ||
                       QStringView(u"(!~").contains(t.text[0]));
}

QStringList referenceKeywords(const QString& line)
{
    static const QStringList reserved = {u"int"_qs,        u"class"_qs, u"case"_qs,  u"interface"_qs,
                                         u"instanceof"_qs, u"new"_qs,   u"return"_qs};
    const QList<Tk> t = plainTokens(line);
    QStringList got;
    bool caseSeen = false;
    for (qsizetype k = 0; k < t.size(); ++k) {
        const QString& w = t[k].text;
        if (!isWord(t[k]) || t[k].text[0].isDigit())
            continue;
        const Tk none{QString(u' '), false, true};
        const Tk& prev = k > 0 ? t[k - 1] : none;
        const Tk& next = k + 1 < t.size() ? t[k + 1] : Tk{QString(u';'), false, false};
        const bool member = (prev.text == u"." && !prev.opaque) ||
                            (prev.text == u":" && k > 1 && t[k - 2].text == u":" && !prev.blankBefore);
        bool kw = reserved.contains(w);
        const bool nextWord = isWord(next) && next.text != u"instanceof";
        if (!kw && !member && (w == u"var" || w == u"sealed" || w == u"non-sealed" || w == u"permits"))
            kw = nextWord;
        if (!kw && !member && w == u"record")
            kw = nextWord && k + 2 < t.size() && (t[k + 2].text == u"(" || t[k + 2].text == u"<");
        if (!kw && !member && w == u"yield") {
            if ((next.text == u"-" || next.text == u"+") && next.blankBefore)
                kw = k + 2 < t.size() && !t[k + 2].blankBefore &&
                     !QStringList{u"="_qs, u"+"_qs, u"-"_qs}.contains(t[k + 2].text);
            else if (!(next.text == u"(" && !next.blankBefore))
                kw = operandStart(next) && next.text != u"instanceof" && !(k + 1 >= t.size());
        }
        if (!kw && !member && w == u"when") {
            const QChar last = prev.text.back();
            kw = caseSeen &&
                 (prev.text == u")" || (!prev.opaque && (last.isLetterOrNumber() || last == u'_' || last == u'$'))) &&
                 k + 1 < t.size() && operandStart(next);
        }
        if (w == u"case")
            caseSeen = true;
        if (kw)
            got << w;
    }
    return got;
}

bool isBracket(QChar c)
{
    return QStringView(u"()[]{}").contains(c);
}

}  // namespace

TEST(JavaLexer, PiecesOfALine)
{
    State st = javalex::Normal;
    EXPECT_EQ(pieces(u"f(\"a(\", ')') /* b */ /*c*/ x // d"_qs, javalex::Normal, &st),
              (QList<P>{{Piece::Code, u"f("_qs},
                        {Piece::Literal, u"\"a(\""_qs},
                        {Piece::Code, u", "_qs},
                        {Piece::Literal, u"')'"_qs},
                        {Piece::Code, u") "_qs},
                        {Piece::Comment, u"/* b */"_qs},
                        {Piece::Code, u" "_qs},
                        {Piece::Comment, u"/*c*/"_qs},
                        {Piece::Code, u" x "_qs},
                        {Piece::Comment, u"// d"_qs}}));
    EXPECT_EQ(st, javalex::Normal);
    // A slash alone is code; an unclosed comment runs to the line end.
    EXPECT_EQ(pieces(u"a / b /*/ c"_qs, javalex::Normal, &st),
              (QList<P>{{Piece::Code, u"a / b "_qs}, {Piece::Comment, u"/*/ c"_qs}}));
    EXPECT_EQ(st, javalex::BlockComment);
    EXPECT_EQ(pieces(u"c */ s = \"\"\""_qs, javalex::BlockComment, &st),
              (QList<P>{{Piece::Comment, u"c */"_qs}, {Piece::Code, u" s = "_qs}, {Piece::Literal, u"\"\"\""_qs}}));
    EXPECT_EQ(st, javalex::TextBlock);
    EXPECT_EQ(pieces(u"q \\\"\"\" r\"\"\";"_qs, javalex::TextBlock, &st),
              (QList<P>{{Piece::Literal, u"q \\\"\"\" r\"\"\""_qs}, {Piece::Code, u";"_qs}}));
    EXPECT_EQ(st, javalex::Normal);
    // An empty line keeps the state it starts in.
    EXPECT_EQ(pieces(QString(), javalex::TextBlock, &st), QList<P>{});
    EXPECT_EQ(st, javalex::TextBlock);
}

// The colouring's comment and string tokens cover exactly what the bracket
// rules take for no code, and both leave every line in the same state, so the
// edit control may hand the highlighter's line states to the bracket search.
TEST(JavaLexer, ColouringAndBracketRulesAgreeOnRandomText)
{
    std::mt19937 rng(20261209);
    for (int round = 0; round < 2000; ++round) {
        QStringList lines;
        for (int k = int(rng() % 10); k >= 0; --k)
            lines.append(randomLine(rng));
        const QString text = lines.join(u'\n');
        const javalines::TextLines byRules(text);
        ASSERT_EQ(byRules.lineCount(), lines.size());
        State st = javalex::Normal;
        for (int n = 0; n < lines.size(); ++n) {
            const QString& line = lines[n];
            ASSERT_EQ(byRules.stateAt(n), st) << text.toStdString();
            QList<javalex::Token> tokens;
            const State end = javalex::lexLine(line, st, &tokens);
            QList<int> notCode(line.size() + 1, 0);
            for (const javalex::Token& t : tokens) {
                if (t.kind == javalex::Kind::Comment || t.kind == javalex::Kind::String)
                    std::fill(notCode.begin() + t.start, notCode.begin() + t.start + t.length, 1);
            }
            QList<int> want;
            for (int i = 0; i < line.size(); ++i) {
                if (isBracket(line[i]) && !notCode[i])
                    want.append(i);
            }
            QList<int> brackets;
            EXPECT_EQ(javalines::codeBrackets(line, st, &brackets), end) << line.toStdString();
            EXPECT_EQ(brackets, want) << line.toStdString();
            EXPECT_EQ(javalex::scanLine(line, st), end) << line.toStdString();
            st = end;
        }
    }
}

TEST(JavaLexer, ContextualKeywordsOnlyWhereTheyActAsKeywords)
{
    EXPECT_EQ(keywordsOf(u"var x = 1; var = 2; var.length(); for (var e : es) {}"_qs),
              (QStringList{u"var"_qs, u"for"_qs, u"var"_qs}));
    EXPECT_EQ(keywordsOf(u"record Point(int x, int y) {} record Box<T>(T t) {}"_qs),
              (QStringList{u"record"_qs, u"int"_qs, u"int"_qs, u"record"_qs}));
    EXPECT_EQ(keywordsOf(u"int record = 1; record.x = record + 1; Record record;"_qs), QStringList{u"int"_qs});
    EXPECT_EQ(keywordsOf(u"public sealed interface Shape permits Circle, Square {}"_qs),
              (QStringList{u"public"_qs, u"sealed"_qs, u"interface"_qs, u"permits"_qs}));
    EXPECT_EQ(keywordsOf(u"final class Square implements Shape {} non-sealed class C {}"_qs),
              (QStringList{u"final"_qs, u"class"_qs, u"implements"_qs, u"non-sealed"_qs, u"class"_qs}));
    EXPECT_EQ(keywordsOf(u"int sealed = permits; boolean b = non-sealed;"_qs),
              (QStringList{u"int"_qs, u"boolean"_qs}));
    EXPECT_EQ(keywordsOf(u"default -> { yield x + 1; } case 2: yield \"two\"; yield -1;"_qs),
              (QStringList{u"default"_qs, u"yield"_qs, u"case"_qs, u"yield"_qs, u"yield"_qs}));
    EXPECT_EQ(keywordsOf(u"Thread.yield(); yield(); yield = 3; yield - 1; Foo::yield;"_qs), QStringList{});
    EXPECT_EQ(keywordsOf(u"case Circle c when c.r() > 0 -> 1; case Point(int x, int y) when x == y -> 2;"_qs),
              (QStringList{u"case"_qs, u"when"_qs, u"case"_qs, u"int"_qs, u"int"_qs, u"when"_qs}));
    EXPECT_EQ(keywordsOf(u"int when = 1; if (when > 0) go(when);"_qs), (QStringList{u"int"_qs, u"if"_qs}));
    // Inside literals and comments nothing is a keyword.
    EXPECT_EQ(keywordsOf(u"s = \"var x\"; // record R(int a)"_qs), QStringList{});
}

// The lexer's contextual keywords on random code agree with the same rules
// decided over a plain token list.
TEST(JavaLexer, ContextualKeywordsAgreeWithAPlainTokenListOnRandomText)
{
    static const std::array<const char16_t*, 34> atoms = {
        u"var", u"record", u"sealed", u"non-sealed", u"permits", u"yield",      u"when", u"case", u"x",
        u"Foo", u"int",    u" 1 ",    u" ",          u"  ",      u"\t",         u"(",    u")",    u"<",
        u".",   u":",      u"::",     u"=",          u"-",       u"+",          u";",    u",",    u"\"s\"",
        u"'c'", u"/*c*/",  u"!",      u"->",         u"{",       u"instanceof", u"non"};
    std::mt19937 rng(4711);
    for (int round = 0; round < 20000; ++round) {
        QString line;
        for (int k = int(rng() % 10); k >= 0; --k)
            line += QString::fromUtf16(atoms[rng() % atoms.size()]);
        ASSERT_EQ(keywordsOf(line), referenceKeywords(line)) << line.toStdString();
    }
}
