// SPDX-License-Identifier: GPL-3.0-or-later
// The edits of quick fixes as plain text work: each step of the compile
// service laid out in the file's own indentation, imports in the order of
// their names, and nothing touched outside the fix.
#include "toolchain/compiling/quickfixedit.h"

#include <gtest/gtest.h>

namespace {

QString fixed(const QString& text, const QuickFix& fix)
{
    const QList<FixEdit> edits = quickFixEdits(text, fix);
    EXPECT_FALSE(edits.isEmpty());
    return applyFixEdits(text, edits);
}

QuickFix fixOf(std::initializer_list<FixStep> steps)
{
    return QuickFix{QStringLiteral("fix"), QList<FixStep>(steps)};
}

int at(const QString& text, const char* what, int skip = 0)
{
    int i = int(text.indexOf(QLatin1String(what)));
    while (skip-- > 0)
        i = int(text.indexOf(QLatin1String(what), i + 1));
    return i;
}

}  // namespace

TEST(QuickFixEdit, AnImportGoesAmongTheImportsInOrderOrAfterThePackageLine)
{
    const QString sorted = "package a;\n\nimport java.io.File;\nimport java.util.Map;\n\nclass A {}\n";
    EXPECT_EQ(fixed(sorted, fixOf({{"import", 0, 0, "java.util.List"}})),
              "package a;\n\nimport java.io.File;\nimport java.util.List;\nimport java.util.Map;\n\nclass A {}\n");
    EXPECT_EQ(
        fixed(sorted, fixOf({{"import", 0, 0, "javax.swing.JFrame"}})),
        "package a;\n\nimport java.io.File;\nimport java.util.Map;\nimport javax.swing.JFrame;\n\nclass A {}\n");
    EXPECT_EQ(fixed("package a;\n\nclass A {}\n", fixOf({{"import", 0, 0, "java.util.List"}})),
              "package a;\n\nimport java.util.List;\n\nclass A {}\n");
    EXPECT_EQ(fixed("// licence\nclass A {}\n", fixOf({{"import", 0, 0, "java.util.List"}})),
              "// licence\nimport java.util.List;\n\nclass A {}\n");
    // Imported already, by name or package: the other steps alone; a clash: no fix.
    const QString star = "import java.util.*;\nclass A { int x; }\n";
    const int x = at(star, "x;");
    EXPECT_EQ(fixed(star, fixOf({{"import", 0, 0, "java.util.List"}, {"replace", x, x + 1, "y"}})),
              "import java.util.*;\nclass A { int y; }\n");
    EXPECT_TRUE(
        quickFixEdits("import java.awt.List;\nclass A {}\n", fixOf({{"import", 0, 0, "java.util.List"}})).isEmpty());
}

TEST(QuickFixEdit, AReturnGoesOnALineOfItsOwnInTheFilesIndentation)
{
    const QString tabs = "class A {\n\tint f(int a) {\n\t\tif (a > 0) return 1;\n\t}\n}\n";
    EXPECT_EQ(fixed(tabs, fixOf({{"return", at(tabs, "}"), 0, "return 0;"}})),
              "class A {\n\tint f(int a) {\n\t\tif (a > 0) return 1;\n\t\treturn 0;\n\t}\n}\n");
    const QString twoSpaces = "class A {\n  int f(int a) {\n    if (a > 0) return 1;\n  }\n}\n";
    EXPECT_EQ(fixed(twoSpaces, fixOf({{"return", at(twoSpaces, "}"), 0, "return 0;"}})),
              "class A {\n  int f(int a) {\n    if (a > 0) return 1;\n    return 0;\n  }\n}\n");
    const QString oneLine = "class A { boolean f() { g(); } }";
    EXPECT_EQ(fixed(oneLine, fixOf({{"return", at(oneLine, "}"), 0, "return false;"}})),
              "class A { boolean f() { g(); return false; } }");
}

TEST(QuickFixEdit, AMethodGoesBeforeTheClassesBraceAfterABlankLine)
{
    const QString text = "class A {\n    void f() {\n        g(1);\n    }\n}\n";
    const int brace = int(text.lastIndexOf(QLatin1Char('}')));
    EXPECT_EQ(fixed(text, fixOf({{"method", brace, brace, "private int g(int arg0) {\n\treturn 0;\n}"}})),
              "class A {\n    void f() {\n        g(1);\n    }\n\n    private int g(int arg0) {\n        return 0;\n"
              "    }\n}\n");
}

TEST(QuickFixEdit, TryGoesAroundTheStatementsLinesAndADeclarationStaysOutside)
{
    const QString text = "class A {\n\tvoid f() throws X {\n\t\tread(\"a\",\n\t\t\t\"b\");\n\t\tg();\n\t}\n}\n";
    const int s = at(text, "read");
    const int e = at(text, ");") + 2;
    EXPECT_EQ(fixed(text, fixOf({{"try", s, e, "e IOException"}})),
              "class A {\n\tvoid f() throws X {\n\t\ttry {\n\t\t\tread(\"a\",\n\t\t\t\t\"b\");\n"
              "\t\t} catch (IOException e) {\n\t\t\tthrow new RuntimeException(e);\n\t\t}\n\t\tg();\n\t}\n}\n");
    const QString decl = "class A {\n    void f() {\n        final String s = read();\n        use(s);\n    }\n}\n";
    const int ds = at(decl, "final");
    EXPECT_EQ(fixed(decl, fixOf({{"declare", ds, at(decl, "s ="), "String s;"},
                                 {"try", ds, at(decl, "();") + 3, "e1 IOException"}})),
              "class A {\n    void f() {\n        String s;\n        try {\n            s = read();\n"
              "        } catch (IOException e1) {\n            throw new RuntimeException(e1);\n        }\n"
              "        use(s);\n    }\n}\n");
    // A statement that shares its line: surrounded where it stands.
    const QString shared = "class A { void f() { a(); read(); b(); } }";
    EXPECT_EQ(fixed(shared, fixOf({{"try", at(shared, "read"), at(shared, "b()") - 1, "e IOException"}})),
              "class A { void f() { a(); try { read(); } catch (IOException e) { throw new RuntimeException(e); } "
              "b(); } }");
}

TEST(QuickFixEdit, AStepThatDoesNotFitTheTextMakesNoEdit)
{
    EXPECT_TRUE(quickFixEdits("abc", fixOf({{"replace", 2, 9, "x"}})).isEmpty());
    EXPECT_TRUE(quickFixEdits("abc", fixOf({{"unknown", 0, 0, "x"}})).isEmpty());
    EXPECT_TRUE(quickFixEdits("abcdef", fixOf({{"replace", 0, 3, "x"}, {"replace", 2, 4, "y"}})).isEmpty());
    EXPECT_EQ(fixed("abcdef", fixOf({{"replace", 0, 1, "x"}, {"replace", 4, 6, "y"}})), "xbcdy");
}

TEST(QuickFixEdit, TheWireCarriesFixesWholeAndDropsOnesCutShort)
{
    const FixesReply reply{
        4, {{"Change to 'count'", {{"replace", 1, 3, "count"}}}, {"Import a.B", {{"import", 0, 0, "a.B"}}}}};
    QList<QByteArray> fields = fixesReplyFields(reply);
    FixesReply back;
    ASSERT_TRUE(decodeFixesReply(fields, &back));
    EXPECT_EQ(back, reply);
    fields.removeLast();
    ASSERT_TRUE(decodeFixesReply(fields, &back));
    EXPECT_EQ(back.fixes.size(), 1);
    EXPECT_FALSE(decodeFixesReply({"quickfixes", "4"}, &back));
}
