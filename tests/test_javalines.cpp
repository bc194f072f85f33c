// SPDX-License-Identifier: GPL-3.0-or-later
// The Java editor's text rules without a window: matching brackets and
// indentation.
#include "editor/javalines.h"

#include <gtest/gtest.h>

using namespace javalines;

namespace {
int match(const QString& text, QChar bracket, int nth = 0)
{
    int pos = -1;
    for (int k = 0; k <= nth; ++k)
        pos = text.indexOf(bracket, pos + 1);
    return matchingBracket(text, pos);
}
}  // namespace

TEST(JavaLines, MatchingBracketsOfEachKind)
{
    const QString t = "class A {\n  int f(int[] a) { return a[0]; }\n}\n";
    EXPECT_EQ(match(t, '{'), t.lastIndexOf('}'));
    EXPECT_EQ(match(t, '}', 1), t.indexOf('{'));
    EXPECT_EQ(match(t, '('), t.indexOf(')'));
    EXPECT_EQ(match(t, ')'), t.indexOf('('));
    EXPECT_EQ(match(t, '['), t.indexOf(']'));
    EXPECT_EQ(match(t, ']', 1), t.indexOf('[', t.indexOf('[') + 1));
    EXPECT_EQ(match(t, '{', 1), t.indexOf('}'));
}

TEST(JavaLines, BracketsInLiteralsAndCommentsAreIgnored)
{
    const QString t = "f(\"(\", ')', /* ( */ x // )\n  , \"\"\"\n  )\n  \"\"\" );";
    const int open = t.indexOf('(');
    EXPECT_EQ(matchingBracket(t, open), t.lastIndexOf(')'));
    EXPECT_EQ(matchingBracket(t, t.lastIndexOf(')')), open);
    // A bracket inside a string has no match: it is not code.
    EXPECT_EQ(matchingBracket(t, t.indexOf('(', open + 1)), -1);
    // Nor one inside a text block.
    EXPECT_EQ(matchingBracket(t, t.indexOf("  )") + 2), -1);
}

TEST(JavaLines, UnbalancedAndNonBrackets)
{
    EXPECT_EQ(matchingBracket(u"f((x)", 0), -1);
    EXPECT_EQ(matchingBracket(u"f((x)", 1), -1);
    EXPECT_EQ(matchingBracket(u"f((x)", 2), 4);
    EXPECT_EQ(matchingBracket(u"abc", 1), -1);
    EXPECT_EQ(matchingBracket(u"abc", 7), -1);
    // Brackets of other kinds do not count.
    EXPECT_EQ(matchingBracket(u"{ ( ] }", 0), 6);
}

TEST(JavaLines, SearchStopsAfterMaxLines)
{
    QString t = "{\n";
    for (int i = 0; i < 50; ++i)
        t += "x;\n";
    t += "}";
    const TextLines lines(t);
    EXPECT_EQ(matchingBracket(lines, LinePos{0, 0}), (LinePos{51, 0}));
    EXPECT_FALSE(matchingBracket(lines, LinePos{0, 0}, 10).has_value());
    EXPECT_EQ(matchingBracket(lines, LinePos{51, 0}), (LinePos{0, 0}));
}

TEST(JavaLines, IndentUnitFollowsTheFile)
{
    EXPECT_EQ(indentUnit({}), "    ");
    EXPECT_EQ(indentUnit({"class A {", "}"}), "    ");
    EXPECT_EQ(indentUnit({"class A {", "\tint x;", "\tvoid f() {", "\t\tx = 1;", "\t}", "}"}), "\t");
    EXPECT_EQ(indentUnit({"class A {", "  int x;", "  void f() {", "    x = 1;", "  }", "}"}), "  ");
    EXPECT_EQ(indentUnit({"class A {", "   int x;", "   void f() {", "      x = 1;", "   }", "}"}), "   ");
    // Javadoc's " *" lines are no indentation step.
    EXPECT_EQ(indentUnit({"/**", " * Doc.", " */", "class A {", "        int x;", "}"}), QString(8, ' '));
}

TEST(JavaLines, NewLineIndent)
{
    EXPECT_EQ(newLineIndent(u"    int x;", u"    "), "    ");
    EXPECT_EQ(newLineIndent(u"    if (a) {", u"    "), "        ");
    EXPECT_EQ(newLineIndent(u"\tif (a) {  // open", u"\t"), "\t\t");
    EXPECT_EQ(newLineIndent(u"  s = \"{\";", u"  "), "  ");
    EXPECT_EQ(newLineIndent(u"", u"    "), "");
    EXPECT_EQ(newLineIndent(u"{", u"  "), "  ");
}

TEST(JavaLines, CloseBraceUnindent)
{
    EXPECT_EQ(closeBraceUnindent(u"        ", u"    "), 4);
    EXPECT_EQ(closeBraceUnindent(u"\t\t", u"\t"), 1);
    EXPECT_EQ(closeBraceUnindent(u"  ", u"    "), 2);
    EXPECT_EQ(closeBraceUnindent(u"", u"    "), 0);
    EXPECT_EQ(closeBraceUnindent(u"  x", u"    "), 0);
}

TEST(JavaLines, IndentAndUnindentLines)
{
    const QStringList lines{"a", "", "  b", "\tc", "      d"};
    EXPECT_EQ(indentLines(lines, u"    "), (QStringList{"    a", "", "      b", "    \tc", "          d"}));
    EXPECT_EQ(unindentLines(lines, u"    "), (QStringList{"a", "", "b", "c", "  d"}));
    EXPECT_EQ(unindentLines(indentLines(lines, u"\t"), u"\t"), lines);
}
