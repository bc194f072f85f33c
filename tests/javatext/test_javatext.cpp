// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of Java source text that the editor, the classification, the
// compile service's requests and the debugger share: identifiers, the gaps
// between words, the source extension and the package a source declares;
// each held against a plain reference, the gaps and the package against the
// lexer's reading of the same text.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <random>

#include "javatext/javaidentifiers.h"
#include "javatext/javalexer.h"
#include "javatext/javasource.h"

namespace {

bool white(QChar c)
{
    return c.isSpace() || c == QChar(0xFEFF);
}

// A text made of `count` pieces picked from `pieces`.
QString randomText(std::mt19937& rng, const QStringList& pieces, int count)
{
    QString s;
    for (int k = 0; k < count; ++k)
        s += pieces[int(rng() % unsigned(pieces.size()))];
    return s;
}

}  // namespace

TEST(Identifiers, EveryCharacterAsQtClassifiesIt)
{
    for (char32_t u = 0; u <= 0xFFFF; ++u) {
        const QChar q = QChar(char16_t(u));
        const bool sign = q == u'_' || q == u'$';
        ASSERT_EQ(javatext::isIdentifierStart(q), q.isLetter() || sign) << "U+" << std::hex << unsigned(u);
        ASSERT_EQ(javatext::isIdentifierPart(q), q.isLetterOrNumber() || sign) << "U+" << std::hex << unsigned(u);
    }
}

TEST(Identifiers, BytesOfUtf8TextAgreeWithTheCharactersTheyEncode)
{
    for (char32_t u = 1; u <= 0xFFFF; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QChar q = QChar(char16_t(u));
        const QByteArray bytes = QString(q).toUtf8();
        for (const char b : bytes) {
            // ASCII is read as the characters are; every byte beyond it counts.
            const bool want = u < 0x80 ? javatext::isIdentifierPart(q) : true;
            ASSERT_EQ(javatext::isIdentifierByte(b), want) << "U+" << std::hex << unsigned(u);
        }
    }
}

TEST(Identifiers, RunsAroundAPositionMatchAPlainWalk)
{
    std::mt19937 rng(31);
    const QStringList pieces = {"a", "Z", "1", "_", "$", " ", ".", "(", "\u00e9", "\u0663", "\u00bd", "\u2028"};
    for (int round = 0; round < 20000; ++round) {
        const QString s = randomText(rng, pieces, int(rng() % 16));
        const qsizetype at = qsizetype(rng() % unsigned(s.size() + 3)) - 1;  // from -1 to past the end
        const qsizetype p = std::clamp<qsizetype>(at, 0, s.size());
        qsizetype start = p, end = p;
        while (start > 0 && (s[start - 1].isLetterOrNumber() || s[start - 1] == u'_' || s[start - 1] == u'$'))
            --start;
        while (end < s.size() && (s[end].isLetterOrNumber() || s[end] == u'_' || s[end] == u'$'))
            ++end;
        ASSERT_EQ(javatext::identifierStart(s, at), start) << qPrintable(s) << " at " << at;
        ASSERT_EQ(javatext::identifierEnd(s, at), end) << qPrintable(s) << " at " << at;
    }
}

namespace {

// Where the next word starts as the lexer reads the text from `from`: the
// first character that is neither white nor in a comment.
qsizetype lexedGapEnd(const QString& text, qsizetype from)
{
    javalex::State state = javalex::Normal;
    qsizetype lineStart = from;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        const QStringView line = QStringView(text).sliced(lineStart, lineEnd - lineStart);
        javalex::LineLexer lexer(line, state);
        for (javalex::Piece p; lexer.next(&p);) {
            if (p.type == javalex::Piece::Comment)
                continue;
            for (qsizetype i = p.start; i < p.end; ++i) {
                if (!white(line[i]))
                    return lineStart + i;
            }
        }
        state = lexer.state();
        lineStart = lineEnd + 1;
    }
    return text.size();
}

}  // namespace

TEST(Gaps, EndWhereTheLexerSeesTheNextWord)
{
    std::mt19937 rng(20261209);
    const QStringList pieces = {"/", "*", " ", "\t", "\n", "\r", "a", "\"", "'", "\ufeff"};
    for (int round = 0; round < 40000; ++round) {
        const QString s = randomText(rng, pieces, round < 30000 ? int(rng() % 14) : int(rng() % 200));
        const qsizetype from = s.isEmpty() ? 0 : qsizetype(rng() % unsigned(s.size() + 1));
        ASSERT_EQ(javatext::skipGaps(s, from), lexedGapEnd(s, from)) << qPrintable(s) << " from " << from;
    }
}

TEST(Gaps, CommentsAndWhiteSpace)
{
    EXPECT_EQ(javatext::skipGaps(u"  x", 0), 2);
    EXPECT_EQ(javatext::skipGaps(u"// a\n/* b */ x", 0), 13);
    EXPECT_EQ(javatext::skipGaps(u"/* open", 0), 7);
    EXPECT_EQ(javatext::skipGaps(u"// no end", 0), 9);
    EXPECT_EQ(javatext::skipGaps(u"a /", 1), 2);  // a lone slash is a word
    EXPECT_EQ(javatext::skipGaps(u"ab", 5), 5);
}

namespace {

// The package as the lexer reads it: every comment a gap, the text from the
// first word on that is "package" up to the first ';' with its white space
// taken out.
QString lexedPackage(const QString& text)
{
    QString code;
    javalex::State state = javalex::Normal;
    for (const QString& line : text.split(u'\n')) {
        javalex::LineLexer lexer(line, state);
        for (javalex::Piece p; lexer.next(&p);)
            code += p.type == javalex::Piece::Comment ? QString(u' ') : line.mid(p.start, p.end - p.start);
        code += u'\n';
        state = lexer.state();
    }
    qsizetype i = 0;
    while (i < code.size() && white(code[i]))
        ++i;
    const qsizetype after = i + 7;
    if (QStringView(code).sliced(i).left(7) != u"package" ||
        (after < code.size() && javatext::isIdentifierPart(code[after])))
        return {};
    QString package;
    for (qsizetype k = after; k < code.size() && code[k] != u';'; ++k) {
        if (!white(code[k]))
            package += code[k];
    }
    return package;
}

}  // namespace

TEST(Package, DeclaredPackageMatchesTheLexersReading)
{
    std::mt19937 rng(5);
    // No quotes: inside a declaration a quote is only a character, which
    // the lexer would take for a literal.
    const QStringList pieces = {"package", "packages", " ", "\n", "\t",     "/*",     "*/", "//", "/", "*",
                                "a",       "b1",       ".", ";",  "\u00e9", "\ufeff", "x",  "$",  "_"};
    int found = 0;
    for (int round = 0; round < 40000; ++round) {
        QString s = randomText(rng, pieces, int(rng() % 12));
        if (rng() % 2)
            s.prepend(randomText(rng, {" ", "\n", "/* c */", "// d\n", ""}, int(rng() % 3)) + "package");
        const QString want = lexedPackage(s);
        found += !want.isEmpty();
        ASSERT_EQ(javatext::declaredPackage(s), want) << qPrintable(s);
    }
    EXPECT_GT(found, 5000);  // the generated texts declare packages often enough
}

TEST(Package, QualifiedClassNameJoinsPackageAndFileName)
{
    EXPECT_EQ(javatext::qualifiedClassName(u"package org.demo;\nclass A {}", "/src/org/demo/Hello.java"),
              "org.demo.Hello");
    EXPECT_EQ(javatext::qualifiedClassName(u"class A {}", "Hello.java"), "Hello");
    EXPECT_EQ(javatext::qualifiedClassName(u"package ;", "Hello.java"), "Hello");
    // The file's name up to its last dot.
    EXPECT_EQ(javatext::qualifiedClassName(u"", "/x/Foo.bar.java"), "Foo.bar");
}

TEST(SourceFiles, NamesAndArgumentsOfSources)
{
    EXPECT_EQ(javatext::sourceFileName("Hello"), "Hello.java");
    EXPECT_EQ(javatext::sourceExtension, QLatin1String("java"));
    EXPECT_TRUE(javatext::namesSource(u"Hello.java"));
    EXPECT_TRUE(javatext::namesSource(u"src/Hello.JAVA"));
    EXPECT_TRUE(javatext::namesSource(u"Old.Jav"));
    EXPECT_TRUE(javatext::namesSource(u"Foo.bar.java"));
    EXPECT_FALSE(javatext::namesSource(u"-Xlint.java"));
    EXPECT_FALSE(javatext::namesSource(u"Hello.class"));
    EXPECT_FALSE(javatext::namesSource(u"Hello.javax"));
    EXPECT_FALSE(javatext::namesSource(u""));
}
