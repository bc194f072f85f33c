// SPDX-License-Identifier: GPL-3.0-or-later
// Classification of Java sources: file-name helpers, text preparation,
// findings and verdicts, and how verdicts become window flags.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <string>

#include "support.h"
#include "config/jdks.h"
#include "toolchain/classify/classify.h"

namespace {

// The preparation written as the edit in place it is defined by: at index i,
// look at the characters at i and i+1 and remove text after i, or move on.
std::string referencePrepare(const std::string& raw)
{
    std::string t;
    for (size_t k = 0; k < raw.size(); ++k) {
        if (raw[k] == '\r' && k + 1 < raw.size() && raw[k + 1] == '\n')
            continue;
        t += raw[k];
    }
    auto white = [](char c) { return c == ' ' || c == '\t' || c == '\n'; };
    size_t i = 0;
    while (i < t.size()) {
        const char c0 = t[i];
        const char c1 = i + 1 < t.size() ? t[i + 1] : '\0';
        if (c0 == '/' && c1 == '*') {
            const size_t j = t.find("*/", i + 2);
            if (j == std::string::npos)
                t.erase(i);
            else
                t.erase(i, j + 2 - i);
        } else if (c0 == '/' && c1 == '/') {
            const size_t j = t.find('\n', i + 2);
            if (j == std::string::npos)
                t.erase(i);
            else
                t.erase(i, j + 1 - i);
        } else if (white(c0) && white(c1)) {
            size_t j = i + 1;
            while (j < t.size() && white(t[j]))
                ++j;
            t.erase(i + 1, j - i - 1);
        } else {
            ++i;
        }
    }
    return t;
}

// The findings, walk and verdict written as plainly as they are defined, on
// an already prepared text.
ScanResult referenceScan(const std::string& t, const std::string& name)
{
    const size_t npos = std::string::npos;
    auto has = [&](const std::string& x) { return t.find(x) != npos; };
    const bool ispackage = has("package");
    size_t mainAnchor = npos;
    for (const char* sig : {"main ( String", "main (String", "main( String", "main(String"}) {
        mainAnchor = t.find(sig);
        if (mainAnchor != npos)
            break;
    }
    const bool ismain = mainAnchor != npos;
    size_t appletAnchor = t.find("extends java.applet.Applet");
    if (appletAnchor == npos)
        appletAnchor = t.find("extends Applet");
    const bool isapplet = appletAnchor != npos || has("import java.applet");
    const std::string c = "class " + name;
    const bool istrueapplet = has(c + " extends java.applet.Applet") || has(c + " extends Applet");
    const bool istruemain = has(c + " {") || has(c + "{");

    ScanResult r;
    if (ismain || isapplet) {
        const size_t anchor = ismain ? mainAnchor : appletAnchor;
        const std::string ends = ismain ? " \t\n{" : " \t\n";
        size_t p = t.find("class");
        while (p != npos) {
            const size_t start = std::min(p + 6, t.size());
            size_t e = t.find_first_of(ends, start);
            if (e == npos)
                e = t.size();
            r.className = QString::fromStdString(t.substr(start, e - start));
            const size_t q = t.find("class", e);
            if (q == npos || (anchor != npos && q > anchor))
                break;
            p = q;
        }
    }
    if (ispackage)
        r.verdict = PackageMember;
    else if (ismain)
        r.verdict = istruemain ? ApplicationNamedAfterFile : istrueapplet ? AppletNamedAfterFile : MainInOtherClass;
    else if (istrueapplet)
        r.verdict = AppletNamedAfterFile;
    else if (isapplet)
        r.verdict = AppletHintsOnly;
    else
        r.verdict = istruemain ? ApplicationNamedAfterFile : NothingRecognised;
    return r;
}

QByteArray prep(const char* s)
{
    return prepareJavaText(QByteArrayView(s));
}

ScanResult scan(const char* text, const char* name = "Foo")
{
    return scanJavaText(QByteArrayView(text), QString::fromUtf8(name));
}

const char* const mainFoo = "public class Foo {\n    public static void main(String[] args) { }\n}\n";

}  // namespace

TEST(FileName, SplitsBaseAtLastSeparatorAndFirstDot)
{
    QString name, ext;
    filename(QStringLiteral("C:\\src\\Foo.bar.java"), name, ext, QLatin1Char('\\'));
    EXPECT_EQ(name, "Foo");
    EXPECT_EQ(ext, "bar.java");

    filename(QStringLiteral("C:\\a.b\\Foo"), name, ext, QLatin1Char('\\'));
    EXPECT_EQ(name, "Foo");
    EXPECT_EQ(ext, "");

    // Only the given separator splits.
    filename(QStringLiteral("C:\\x/y.z\\Foo.java"), name, ext, QLatin1Char('\\'));
    EXPECT_EQ(name, "Foo");
    EXPECT_EQ(ext, "java");

    // The host's separator by default.
    filename(QStringLiteral("/home/a.b/Hello.java"), name, ext);
    EXPECT_EQ(name, "Hello");
    EXPECT_EQ(ext, "java");
    filename(QStringLiteral("Hello"), name, ext);
    EXPECT_EQ(name, "Hello");
    EXPECT_EQ(ext, "");
}

TEST(FileName, IsJavaAcceptsExactlyFourSpellings)
{
    for (const char* yes : {"java", "JAVA", "jav", "JAV"})
        EXPECT_TRUE(isjava(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"Java", "", "ja", "javax", "java ", "bar.java", "class"})
        EXPECT_FALSE(isjava(QString::fromLatin1(no))) << no;
}

TEST(Prepare, RemovesCommentsAndCollapsesWhiteRuns)
{
    EXPECT_EQ(prep(" /* x */ y"), "  y");
    EXPECT_EQ(prep("a /*x*/ b"), "a  b");
    EXPECT_EQ(prep("a //x\n b"), "a  b");
    EXPECT_EQ(prep("a  /*x*/  b"), "a  b");
    EXPECT_EQ(prep("a \t\n\n  b"), "a b");
    EXPECT_EQ(prep("a\n\n\nb\t\tc"), "a\nb\tc");
    EXPECT_EQ(prep("x/**/y/***/z"), "xyz");
    EXPECT_EQ(prep("a/*/b*/c"), "ac");  // "/*/" does not close
    EXPECT_EQ(prep("keep /* unterminated\n class Foo {"), "keep ");
    EXPECT_EQ(prep("line // comment without end"), "line ");
    EXPECT_EQ(prep("class Foo// note\nextends Applet"), "class Fooextends Applet");
    // String literals are not recognised.
    EXPECT_EQ(prep("s = \"http://host\";\nt"), "s = \"http:t");
    EXPECT_EQ(prep(""), "");
    EXPECT_EQ(prep("/"), "/");
    EXPECT_EQ(prep(" "), " ");
}

TEST(Prepare, ReadsCrLfAsLf)
{
    EXPECT_EQ(prep("a\r\n\r\n  b"), "a\nb");
    EXPECT_EQ(prep("a // c\r\nb"), "a b");
    EXPECT_EQ(prep("a\rb\r\r\n"), "a\rb\r\n");  // a lone CR stays
}

TEST(Prepare, MatchesTheEditInPlaceOnGeneratedTexts)
{
    std::mt19937 rng(20240607);
    const std::string alphabet = "//**    \t\t\n\n\rab\"";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 30000; ++round) {
        const size_t len = round < 20000 ? rng() % 24 : rng() % 400;
        std::string s;
        for (size_t k = 0; k < len; ++k)
            s += alphabet[pick(rng)];
        const std::string want = referencePrepare(s);
        const QByteArrayView text(s.data(), qsizetype(s.size()));
        const QByteArray whole = prepareJavaText(text);
        ASSERT_EQ(std::string(whole.constData(), size_t(whole.size())), want) << "input: [" << s << "]";
        // Read in small pieces, as a file is read: the same result.
        const qsizetype piece = 1 + qsizetype(rng() % 9);
        const QByteArray pieces = prepareJavaText(text, piece);
        ASSERT_EQ(std::string(pieces.constData(), size_t(pieces.size())), want)
            << "input: [" << s << "] in pieces of " << piece;
        // Pieces long enough for the block-wise copy, ending anywhere in a block.
        const qsizetype block = 17 + qsizetype(rng() % 64);
        const QByteArray blocks = prepareJavaText(text, block);
        ASSERT_EQ(std::string(blocks.constData(), size_t(blocks.size())), want)
            << "input: [" << s << "] in pieces of " << block;
    }
}

// ---------------------------------------------------------------- verdicts of sources

namespace {

// A source in a file named Foo.java, the verdict it earns and the class name found.
struct SourceCase {
    const char* name;  // the test's name: what the source shows
    const char* source;
    Verdict verdict;
    const char* className;
};

std::ostream& operator<<(std::ostream& os, const SourceCase& c)
{
    return os << c.name << ": [" << c.source << "]";
}

const SourceCase kSourceCases[] = {
    // Named application and applet.
    {"MainInTheClassNamedAfterTheFile", mainFoo, ApplicationNamedAfterFile, "Foo"},
    {"FullyQualifiedAppletNamedAfterTheFile",
     "public class Foo extends java.applet.Applet {\n  public void init() { }\n}\n", AppletNamedAfterFile, "Foo"},
    {"ImportedAppletNamedAfterTheFile", "import java.applet.*;\npublic class Foo extends Applet {\n}\n",
     AppletNamedAfterFile, "Foo"},
    // A main method in an applet named after the file: still an applet.
    {"MainInAnAppletNamedAfterTheFileIsAnApplet",
     "class Foo extends Applet {\n public static void main(String[] a) {}\n}\n", AppletNamedAfterFile, "Foo"},
    // A class named after the file, without main or applet hint: no walk, no name.
    {"ClassNamedAfterTheFileWithoutMainOrApplet", "class Foo{ }", ApplicationNamedAfterFile, ""},

    // Classes not named after the file.
    {"MainInAnotherClass", "class Bar {\n  static public void main (String[] a) {}\n}\n", MainInOtherClass, "Bar"},
    {"AppletInAnotherClass", "import java.applet.*;\nclass Bar extends Applet {\n}\n", AppletHintsOnly, "Bar"},
    // Only the import as hint: the last class keyword of the file names the class.
    {"AppletImportAloneNamesTheLastClass",
     "import java.applet.*;\nclass A {}\nclass B {}\nclass C extends Thread {}\n", AppletHintsOnly, "C"},
    {"PlainClass", "class Bar { int x; }", NothingRecognised, ""},
    {"EmptySource", "", NothingRecognised, ""},

    // A package wins, but the name is still found.
    {"PackageWithMain", "package demo;\npublic class Foo {\n public static void main(String[] a) {}\n}\n",
     PackageMember, "Foo"},
    // Any occurrence of the word counts.
    {"WordPackageInsideAnotherWord", "import java.applet.*; class Foo extends Applet { int jpackage; }",
     PackageMember, "Foo"},
    // In a comment it does not count.
    {"PackageInACommentDoesNotCount", "// package demo;\nclass Foo {}\n", ApplicationNamedAfterFile, ""},

    // The main anchor is the first signature in table order: "main(String"
    // occurs first in the text, but "main ( String" is tried first, so the
    // walk reaches B.
    {"MainAnchorIsTheFirstSignatureInTableOrder",
     "class A { void main(String[] x) {} }\n"
     "class B { static void main ( String[] a) {} }\n"
     "class C { }\n",
     MainInOtherClass, "B"},
    // Every class keyword after the signature: the first one is taken.
    {"FirstClassAfterTheMainSignature", "void main(String[] a) {}\nclass Bar { }\nclass Baz { }\n", MainInOtherClass,
     "Bar"},
    // The main walk also ends a name at "{".
    {"MainWalkEndsANameAtABrace", "class Bar{ public static void main(String[] a){} }", MainInOtherClass, "Bar"},
    // The applet anchor prefers the fully qualified hint.
    {"AppletAnchorPrefersTheFullyQualifiedHint",
     "class A extends Applet {}\n"
     "class B extends java.applet.Applet {}\n"
     "class C extends Applet {}\n",
     AppletHintsOnly, "B"},
    {"AppletAnchorAtTheOnlyHint", "class A {}\nclass B extends Applet {}\nclass C {}\n", AppletHintsOnly, "B"},
    // The applet walk ends a name only at white space.
    {"AppletWalkEndsANameOnlyAtWhiteSpace", "import java.applet.*;\nclass Bar{}\n", AppletHintsOnly, "Bar{}"},
    // "subclass" is a class keyword to the walk: the name after it is "=".
    {"AnyOccurrenceOfClassCountsInTheWalk", "class Bar {\nint subclass = 1;\nvoid main(String[] a) {}\n}\n",
     MainInOtherClass, "="},
    // A keyword at the very end of the text yields an empty name.
    {"ClassKeywordAtTheEndYieldsAnEmptyName", "import java.applet.*; class", AppletHintsOnly, ""},

    // Comments and white space decide what is found.
    {"SignatureOnlyInCommentsIsNotFound", "class Foo {\n// main(String\n/* void main(String[] a) */\n}\n",
     ApplicationNamedAfterFile, ""},
    // The line comment takes its line end with it.
    {"LineCommentTakesItsLineEnd", "class Foo// note\nextends Applet {}", AppletHintsOnly, "Fooextends"},
    {"LineCommentAfterASpace", "class Foo // note\nextends Applet {}", AppletNamedAfterFile, "Foo"},
    {"LineCommentTakesItsCrLf", "class Foo// note\r\nextends Applet {}", AppletHintsOnly, "Fooextends"},
    // A tab is not the space of the signatures, unless it is collapsed into one.
    {"TabIsNotTheSpaceOfTheSignatures", "class Foo {\n static void main\t(String[] a) {}\n}",
     ApplicationNamedAfterFile, ""},
    {"TabCollapsedIntoASpace", "class Foo {\n static void main \t(String[] a) {}\n}", ApplicationNamedAfterFile,
     "Foo"},
    // Runs of white space are collapsed before the named patterns are sought.
    {"WhiteRunsAreCollapsed", "public   class \t Foo \n\n {\n public static void main(String[] a) {}\n}",
     ApplicationNamedAfterFile, "Foo"},
    // An unterminated comment removes the rest of the file.
    {"UnterminatedCommentRemovesTheRest", "class Bar {\n void main(String[] a) {}\n/* open\nclass Foo {\n",
     MainInOtherClass, "Bar"},
    // A "//" in a string literal starts a comment.
    {"SlashesInAStringStartAComment",
     "class Foo {\n String u = \"http://x\"; public static void main(String[] a) {}\n}", ApplicationNamedAfterFile,
     ""},
};

class SourceVerdict : public ::testing::TestWithParam<SourceCase> {};

}  // namespace

TEST_P(SourceVerdict, OfTheSource)
{
    const SourceCase& c = GetParam();
    const ScanResult r = scan(c.source);
    EXPECT_EQ(r.verdict, c.verdict);
    EXPECT_EQ(r.className, QString::fromUtf8(c.className));
}

INSTANTIATE_TEST_SUITE_P(Sources, SourceVerdict, ::testing::ValuesIn(kSourceCases),
                         [](const ::testing::TestParamInfo<SourceCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Anchors, LongClassNamesAreKeptWhole)
{
    const QByteArray longName(300, 'N');
    const QByteArray text = "class " + longName + " {\n public static void main(String[] a) {}\n}\n";
    ScanResult r = scanJavaText(text, QString::fromLatin1(longName));
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(r.className.size(), 300);
}

TEST(Files, OnlyReadableFilesWithTheExtensionJavaAreClassified)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* n : {"Foo.java", "Foo.JAVA", "Foo.jav", "Foo", "Foo.bar.java"})
        ASSERT_TRUE(writeFile(dir.filePath(QString::fromLatin1(n)), mainFoo));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Dir.java")));

    ScanResult r = scanJavaFile(dir.filePath(QStringLiteral("Foo.java")));
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(r.className, "Foo");
    for (const char* n : {"Foo.JAVA", "Foo.jav", "Foo", "Foo.bar.java", "Missing.java", "Dir.java"}) {
        r = scanJavaFile(dir.filePath(QString::fromLatin1(n)));
        EXPECT_EQ(r.verdict, NothingRecognised) << n;
        EXPECT_EQ(r.className, "") << n;
    }

    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("Empty.java")), QByteArray()));
    EXPECT_EQ(scanJavaFile(dir.filePath(QStringLiteral("Empty.java"))).verdict, NothingRecognised);
}

TEST(Flags, VerdictsSetFlagsPerMode)
{
    struct Want {
        bool main, applet, package;
    };
    const Want single[6] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Want project[6] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, 1}};
    for (int v = 0; v <= 5; ++v) {
        for (bool projectMode : {false, true}) {
            bool m = false, a = false, p = false;
            applyVerdict(Verdict(v), projectMode, m, a, p);
            const Want& w = projectMode ? project[v] : single[v];
            EXPECT_EQ(m, w.main) << v << projectMode;
            EXPECT_EQ(a, w.applet) << v << projectMode;
            EXPECT_EQ(p, w.package) << v << projectMode;
            // Never cleared.
            m = a = p = true;
            applyVerdict(Verdict(v), projectMode, m, a, p);
            EXPECT_TRUE(m && a && p);
        }
    }
}

TEST(Flags, SavesAccumulateAndNamesAreOnlyReplacedWhenFound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Foo.java"));
    bool isMain = false, isApplet = false, isPackage = false;
    QString classename;

    ASSERT_TRUE(writeFile(path, mainFoo));
    EXPECT_EQ(classifySource(path, isMain, isApplet, isPackage, classename), 1);
    EXPECT_TRUE(isMain);
    EXPECT_EQ(classename, "Foo");

    // Second save without main: the mark stays, the name is kept.
    ASSERT_TRUE(writeFile(path, "class Foo { }\n"));
    EXPECT_EQ(classifySource(path, isMain, isApplet, isPackage, classename), 1);
    EXPECT_TRUE(isMain);
    EXPECT_EQ(classename, "Foo");

    ASSERT_TRUE(writeFile(path, "import java.applet.*;\nclass Bar extends Applet {}\n"));
    EXPECT_EQ(classifySource(path, isMain, isApplet, isPackage, classename), 4);
    EXPECT_TRUE(isApplet);
    EXPECT_EQ(classename, "Bar");
    EXPECT_FALSE(isPackage);

    // Not classified: nothing changes.
    EXPECT_EQ(classifySource(dir.filePath(QStringLiteral("Foo.JAVA")), isMain, isApplet, isPackage, classename), 0);
    EXPECT_EQ(classename, "Bar");
}

TEST(Verdicts, MatchThePlainDefinitionOnGeneratedSources)
{
    const char* const tokens[] = {"package",
                                  "main",
                                  "main ",
                                  "(",
                                  " ",
                                  "String",
                                  "class",
                                  "class ",
                                  "Foo",
                                  "Bar",
                                  "{",
                                  " {",
                                  "extends ",
                                  "Applet",
                                  "java.applet.Applet",
                                  "import java.applet",
                                  "\t",
                                  "\n",
                                  "/*",
                                  "*/",
                                  "//",
                                  "sub",
                                  ";",
                                  "x"};
    const size_t count = sizeof tokens / sizeof tokens[0];
    std::mt19937 rng(7);
    auto check = [&](const std::string& src) {
        const QByteArrayView text(src.data(), qsizetype(src.size()));
        const QByteArray prepared = prepareJavaText(text);
        const ScanResult want = referenceScan(prepared.toStdString(), "Foo");
        const ScanResult got = scanJavaText(text, QStringLiteral("Foo"));
        ASSERT_EQ(got.verdict, want.verdict) << "source: [" << src.substr(0, 400) << "]";
        ASSERT_EQ(got.className, want.className) << "source: [" << src.substr(0, 400) << "]";
    };
    for (int round = 0; round < 20000; ++round) {
        std::string src;
        const size_t n = rng() % 30;
        for (size_t k = 0; k < n; ++k)
            src += tokens[rng() % count];
        check(src);
    }
    // Sources larger than the pieces they are read in, rarely naming things,
    // so that findings fall near the ends of the pieces.
    for (int round = 0; round < 6; ++round) {
        std::string src;
        while (src.size() < 700 * 1024) {
            const unsigned pick = rng() % 1000;
            src += pick < 4 ? tokens[rng() % count] : pick < 500 ? "ab " : "/* c */\n";
        }
        check(src);
    }
}

TEST(Verdicts, FindingsAcrossTheEndsOfReadPieces)
{
    // The text is read in pieces of 256 KiB; put the class and its main
    // method at every place around the first end of a piece.
    const std::string tail = "class Foo { static void main(String[] a) {} }";
    for (size_t fill = 256 * 1024 - 60; fill <= 256 * 1024 + 4; ++fill) {
        std::string src;
        src.reserve(fill + tail.size());
        while (src.size() + 3 <= fill)
            src += "ab ";
        src.append(fill - src.size(), 'z');
        src += tail;
        const ScanResult r = scanJavaText(QByteArrayView(src.data(), qsizetype(src.size())), QStringLiteral("Foo"));
        ASSERT_EQ(r.verdict, ApplicationNamedAfterFile) << fill;
        ASSERT_EQ(r.className, "Foo") << fill;
    }
}

TEST(Anchors, WalkOverMoreClassKeywordsThanAreKept)
{
    // Over a million class keywords: the walk no longer keeps their places
    // and searches the text instead, with the same result.
    QByteArray src;
    for (int i = 0; i < 1100000; ++i)
        src += "class A" + QByteArray::number(i % 10) + ' ';
    src += "class Last extends Thread {}\nimport java.applet.*;\n";
    const ScanResult r = scanJavaText(src, QStringLiteral("Foo"));
    EXPECT_EQ(r.verdict, AppletHintsOnly);
    EXPECT_EQ(r.className, "Last");
}

// Sources that only newer Java runs: a compact source file counts as an
// application named after the file, a main without arguments as one of its
// class; every source the older rules recognise keeps its verdict.
TEST(Classify, CompactSourceFilesAndMainsWithoutArguments)
{
    ScanResult r = scanJavaText("void main() {\n    IO.println(\"{ hi\");\n}\n", "Hello");
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(r.className, "Hello");
    r = scanJavaText("record P(int x) {}\nString greet = \"}\";\nvoid main() throws Exception { }\n", "App");
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(r.className, "App");
    r = scanJavaText("class Greeter {\n  // void main() {}\n  public void main ( ) {}\n}\n", "Other");
    EXPECT_EQ(r.verdict, MainInOtherClass);
    EXPECT_EQ(r.className, "Greeter");
    r = scanJavaText("interface Tool { static void main() { } }", "T");
    EXPECT_EQ(r.verdict, MainInOtherClass);
    EXPECT_EQ(r.className, "Tool");
    // A call of main, and a main only in a comment or string, are no declaration.
    EXPECT_EQ(scanJavaText("class A { void f() { main(); } }", "B").verdict, NothingRecognised);
    EXPECT_EQ(scanJavaText("/* void main() {} */ class A { String s = \"void main() {\"; }", "B").verdict,
              NothingRecognised);
    // The older verdicts stand.
    EXPECT_EQ(scanJavaText("package p; void main() {}", "A").verdict, PackageMember);
    r = scanJavaText("class Foo { void main() {} }", "Foo");
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(scanJavaText("import java.applet.*; class B extends Applet { void main() {} }", "A").verdict,
              AppletHintsOnly);
}

TEST(Jdks, FoundOnceEachWithTheVersionOfItsReleaseFile)
{
    EXPECT_EQ(jdkFeature("17.0.21.1"), 17);
    EXPECT_EQ(jdkFeature("25"), 25);
    EXPECT_EQ(jdkFeature("1.8.0_392"), 8);
    EXPECT_EQ(jdkFeature(""), 0);
    EXPECT_EQ(jdkFeature("abc"), 0);
    QTemporaryDir dir;
    auto makeJdk = [&](const QString& home, const QByteArray& release) {
        QDir().mkpath(dir.filePath(home + "/bin"));
        QFile javac(dir.filePath(home + "/bin/javac"));
        javac.open(QIODevice::WriteOnly);
        javac.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile r(dir.filePath(home + "/release"));
        r.open(QIODevice::WriteOnly);
        r.write(release);
    };
    makeJdk("jvm/jdk-25", "IMPLEMENTOR=\"x\"\nJAVA_VERSION=\"25.0.3\"\nJAVA_VERSION_DATE=\"2026-04-21\"\n");
    makeJdk("jvm/jdk-17", "JAVA_VERSION=\"17.0.9\"\n");
    makeJdk("opt/old", "JAVA_VERSION=\"1.8.0_392\"\n");
    QDir().mkpath(dir.filePath("jvm/not-a-jdk"));
    QFile::link(dir.filePath("jvm/jdk-17"), dir.filePath("jvm/jdk-17-link"));
    QDir().mkpath(dir.filePath("usr/bin"));
    QFile::link(dir.filePath("opt/old/bin/javac"), dir.filePath("usr/bin/javac"));
    const QList<JdkInfo> found = findJdks(dir.filePath("jvm/jdk-17/bin"), {dir.filePath("jvm")},
                                          dir.filePath("usr/bin") + ":/nowhere");
    QStringList got;
    for (const JdkInfo& j : found)
        got << QDir(dir.path()).relativeFilePath(j.home) + " " + j.version + " " + QString::number(j.feature);
    EXPECT_EQ(got, (QStringList{"jvm/jdk-17 17.0.9 17", "jvm/jdk-25 25.0.3 25", "opt/old 1.8.0_392 8"}));
    ASSERT_NE(newestJdk(found, 25), nullptr);
    EXPECT_EQ(newestJdk(found, 25)->version, "25.0.3");
    EXPECT_EQ(newestJdk(found, 26), nullptr);
}
