// SPDX-License-Identifier: GPL-3.0-or-later
// The Java editor's text rules without a window: matching brackets,
// indentation and Toggle Comment.
#include "javatext/javaimports.h"
#include "javatext/javalines.h"

#include <QRegularExpression>

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

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
    // Inside a text block a brace is text; the line that closes a block takes
    // the indentation of the line that opened it.
    EXPECT_EQ(newLineIndent(u"      if {", u"  ", javalex::TextBlock), "      ");
    EXPECT_EQ(newLineIndent(u"          \"\"\";", u"    ", javalex::TextBlock, u"    s = \"\"\""), "    ");
    EXPECT_EQ(newLineIndent(u"      \"\"\") {", u"  ", javalex::TextBlock, u"  if (s.equals(\"\"\""), "    ");
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

namespace {
// Toggle Comment as the words say it, written another way: with patterns.
QStringList toggledByReference(const QStringList& lines)
{
    static const QRegularExpression blankLine(QStringLiteral("^[ \\t]*$"));
    static const QRegularExpression commented(QStringLiteral("^([ \\t]*)// ?"));
    static const QRegularExpression indent(QStringLiteral("^[ \\t]*"));
    QStringList text;
    for (const QString& l : lines) {
        if (!blankLine.match(l).hasMatch())
            text << l;
    }
    if (text.isEmpty())
        return lines;
    const bool uncomment = std::all_of(text.begin(), text.end(),
                                       [](const QString& l) { return commented.match(l).hasMatch(); });
    qsizetype least = 1 << 20;
    for (const QString& l : text)
        least = std::min(least, indent.match(l).capturedLength());
    QStringList out;
    for (QString l : lines) {
        if (!blankLine.match(l).hasMatch())
            l = uncomment ? QString(l).replace(commented, QStringLiteral("\\1")) : l.insert(least, "// ");
        out << l;
    }
    return out;
}
}  // namespace

TEST(JavaLines, ToggleCommentCommentsOutAtTheLeastIndentationAndTakesItBack)
{
    const QStringList code{"    if (a) {", "", "        b();", "  \t", "    }"};
    const QStringList commented{"    // if (a) {", "", "    //     b();", "  \t", "    // }"};
    EXPECT_EQ(toggleLineComments(code), commented);
    EXPECT_EQ(toggleLineComments(commented), code);
    // One line without its comment mark: all get one more.
    EXPECT_EQ(toggleLineComments({"//a", "b", "  //c"}), (QStringList{"// //a", "// b", "//   //c"}));
    // Every line commented: one "//" and one space go, whatever follows.
    EXPECT_EQ(toggleLineComments({"//a", "  //  b", "\t////c", "//"}), (QStringList{"a", "   b", "\t//c", ""}));
    // Blank lines alone stay as they are.
    EXPECT_EQ(toggleLineComments({"", "   ", "\t"}), (QStringList{"", "   ", "\t"}));
    EXPECT_EQ(toggleLineComments({}), QStringList{});
}

TEST(JavaLines, ToggleCommentAgreesWithTheReferenceOnRandomLines)
{
    // Lines of blanks, slashes and letters, where every case of the rule
    // (comment marks at and after the indentation, blank lines, tabs) is common.
    std::mt19937 random(26);
    const QString alphabet = QStringLiteral("  \t//ab ");
    for (int round = 0; round < 20000; ++round) {
        QStringList lines;
        const int count = int(random() % 6);
        for (int i = 0; i < count; ++i) {
            QString l;
            const int length = int(random() % 8);
            for (int k = 0; k < length; ++k)
                l += alphabet[qsizetype(random() % alphabet.size())];
            // Often a comment mark after the indentation.
            if (random() % 2)
                l.insert(javalines::leadingBlanks(l).size(), random() % 2 ? "// " : "//");
            lines << l;
        }
        ASSERT_EQ(toggleLineComments(lines), toggledByReference(lines)) << lines.join('|').toStdString();
    }
}

TEST(JavaImports, AnImportGoesAfterTheLastImportElseThePackageElseBeforeTheCode)
{
    using javaimports::Import;
    using javaimports::importOf;
    const QString q = "java.util.ArrayList";
    // After the last import, a comment at its end included.
    QString src = "package a.b;\n\nimport java.io.File;\nimport java.util.Map; // maps\n\nclass T {}\n";
    Import i = importOf(src, q);
    ASSERT_EQ(i.need, Import::Add);
    EXPECT_EQ(src.insert(i.at.position, i.at.text),
              "package a.b;\n\nimport java.io.File;\nimport java.util.Map; // maps\nimport java.util.ArrayList;\n\n"
              "class T {}\n");
    // After the package, a blank line between.
    src = "package a.b;\nclass T {}";
    i = importOf(src, q);
    EXPECT_EQ(src.insert(i.at.position, i.at.text), "package a.b;\n\nimport java.util.ArrayList;\nclass T {}");
    // Before the first code, after a leading licence comment (a block one
    // whose lines look like code included).
    src = "/*\n * import x.Y;\n */\n// more\nclass T {}\n";
    i = importOf(src, q);
    EXPECT_EQ(src.insert(i.at.position, i.at.text),
              "/*\n * import x.Y;\n */\n// more\nimport java.util.ArrayList;\n\nclass T {}\n");
    src = "class T { ArrayL }";
    i = importOf(src, q);
    EXPECT_EQ(src.insert(i.at.position, i.at.text), "import java.util.ArrayList;\n\nclass T { ArrayL }");
    // An import below the first code is not the file's head.
    src = "class T {}\nimport java.util.ArrayList;\n";
    EXPECT_EQ(importOf(src, q).need, Import::Add);
}

TEST(JavaImports, ATypeImportedAlreadyOrClashingGetsNoImport)
{
    using javaimports::Import;
    using javaimports::importOf;
    EXPECT_EQ(importOf("import java.util.ArrayList;\nclass T {}", "java.util.ArrayList").need, Import::Present);
    EXPECT_EQ(importOf("import  java . util . * ;\nclass T {}", "java.util.ArrayList").need, Import::Present);
    EXPECT_EQ(importOf("class T {}", "Local").need, Import::Present);
    // Another List imported: importing java.awt.List would not compile.
    EXPECT_EQ(importOf("import java.util.List;\nclass T {}", "java.awt.List").need, Import::Clash);
    // A static import of a member of that name is no clash, nor a commented-out import.
    EXPECT_EQ(importOf("import static java.util.Map.Entry;\nclass T {}", "java.awt.Entry").need, Import::Add);
    EXPECT_EQ(importOf("// import java.util.List;\nclass T {}", "java.awt.List").need, Import::Add);
    EXPECT_EQ(importOf("import java.util.Lists;\nclass T {}", "java.awt.List").need, Import::Add);
}
