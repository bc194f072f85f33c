// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's Java lexer without a window: the pieces of a line, and the
// colouring's tokens and the bracket rules agreeing on what is code.
#include "editor/javalexer.h"
#include "editor/javalines.h"

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
