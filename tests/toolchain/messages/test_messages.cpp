// SPDX-License-Identifier: GPL-3.0-or-later
// Reading javac's own output: locations of message lines and the summary counts.
#include "toolchain/messages/messages.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs the javac of this machine in `dir` and returns what it wrote, split into lines.
QStringList runJavac(const QString& dir, const QStringList& args)
{
    QProcess javac;
    javac.setWorkingDirectory(dir);
    javac.setProcessChannelMode(QProcess::MergedChannels);
    javac.start(findJavac(), args);
    EXPECT_TRUE(javac.waitForFinished(120000));
    QString out = QString::fromUtf8(javac.readAll());
    if (out.endsWith(u'\n'))
        out.chop(1);
    return out.split(u'\n');
}

class JavacOutput : public ::testing::Test {
protected:
    void SetUp() override { javacOrSkip(); }
    static void SetUpTestSuite()
    {
        dir = new QTemporaryDir;
        ASSERT_TRUE(dir->isValid());
        // A directory with a blank and a colon, as a user's folder may have.
        srcDir = dir->filePath(QStringLiteral("my sources:v2"));
        ASSERT_TRUE(QDir().mkpath(srcDir));
        source = srcDir + QStringLiteral("/Broken.java");
        writeFile(source,
                  "import java.util.*;\n"
                  "public class Broken {\n"
                  "    void f() {\n"
                  "        int x = 1L;\n"
                  "        List l = new ArrayList(); l.add(1); String s = \"a:12:b\";\n"
                  "    }\n"
                  "}\n");
        broken = new QStringList(runJavac(srcDir, {QStringLiteral("-Xlint:all"), source}));

        // More errors than javac lists.
        QByteArray many = "class Many {\n";
        for (int i = 0; i < 120; ++i)
            many += "int f" + QByteArray::number(i) + "() { return x" + QByteArray::number(i) + "; }\n";
        many += "}\n";
        writeFile(dir->filePath(QStringLiteral("Many.java")), many);
        manyErrors = new QStringList(runJavac(dir->path(), {QStringLiteral("Many.java")}));
    }
    static void TearDownTestSuite()
    {
        delete broken;
        delete manyErrors;
        delete dir;
    }

    static QTemporaryDir* dir;
    static QString srcDir;
    static QString source;
    static QStringList* broken;
    static QStringList* manyErrors;
};

QTemporaryDir* JavacOutput::dir = nullptr;
QString JavacOutput::srcDir;
QString JavacOutput::source;
QStringList* JavacOutput::broken = nullptr;
QStringList* JavacOutput::manyErrors = nullptr;

}  // namespace

TEST_F(JavacOutput, MessageLinesNameTheSourceWithBlanksAndColonsInItsPath)
{
    int located = 0;
    for (const QString& line : *broken) {
        const auto loc = parseMessageLine(line);
        if (line.startsWith(source + u':')) {
            ASSERT_TRUE(loc.has_value()) << qPrintable(line);
            EXPECT_EQ(loc->path, source);
            EXPECT_TRUE(loc->line == 4 || loc->line == 5) << qPrintable(line);
            ++located;
        } else {
            // Echoed source (holding "a:12:b"), carets, notes and summaries name nothing.
            EXPECT_FALSE(loc.has_value()) << qPrintable(line);
        }
    }
    EXPECT_GE(located, 4);  // one error and three warnings
    EXPECT_TRUE(broken->contains(QStringLiteral("1 error")));
}

TEST_F(JavacOutput, SummaryCountsErrorsAndWarningsIncludingThoseJavacLeftOut)
{
    const MessageSummary s = summarizeMessages(*broken);
    EXPECT_EQ(s.errors, 1);
    EXPECT_EQ(s.warnings, 3);
    EXPECT_EQ(summaryText(s), QStringLiteral("Compiler messages: 1 error, 3 warnings"));

    // javac stops listing at 100 and says how many there were.
    const MessageSummary many = summarizeMessages(*manyErrors);
    EXPECT_EQ(many.errors, 120) << qPrintable(manyErrors->join(u'\n').right(400));
    EXPECT_EQ(many.warnings, 0);
    const auto loc = parseMessageLine(manyErrors->first());
    ASSERT_TRUE(loc.has_value()) << qPrintable(manyErrors->first());
    EXPECT_EQ(loc->path, QStringLiteral("Many.java"));
}

TEST(MessageLines, ChoosesTheJavacFormOverOtherColonNumberPairs)
{
    // The message text itself holds ":7: x:" — the first javac-form location wins.
    auto loc = parseMessageLine(QStringLiteral("A.java:3: error: expected 'a:7: x:' here"));
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->path, QStringLiteral("A.java"));
    EXPECT_EQ(loc->line, 3);

    // A path with ":<digits>:" inside; without the javac form the longest prefix is taken.
    loc = parseMessageLine(QStringLiteral("/src/v:1:2/B.java:42:"));
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->path, QStringLiteral("/src/v:1:2/B.java"));
    EXPECT_EQ(loc->line, 42);

    loc = parseMessageLine(QStringLiteral("C:\\work\\C.java:9: warning: [removal] x\r\n"));
    ASSERT_TRUE(loc);
    EXPECT_EQ(loc->path, QStringLiteral("C:\\work\\C.java"));
    EXPECT_EQ(loc->line, 9);
}

TEST(MessageLines, LinesNamingNoUsableLocationGiveNothing)
{
    for (const char* text :
         {"", "error: file not found: Nope.java", "Note: A.java uses unchecked operations.", "2 errors",
          ":5: error: no path", "A.java:0: error: line zero", "A.java:99999999999: error: too big", "A.java:: error",
          "A.java:x1: error", "    int y = a:3:b;", "\tat A.main(A.java:3)"}) {
        EXPECT_FALSE(parseMessageLine(QString::fromLatin1(text)).has_value()) << text;
    }
}

TEST(MessageSummary, CountsAddUpOverRunsAndIgnoreLookalikes)
{
    const QStringList lines{QStringLiteral("2 errors"),   QStringLiteral("1 warning\r"),
                            QStringLiteral("  3 errors"), QStringLiteral("4 errors found"),
                            QStringLiteral("1 error"),    QStringLiteral("2 warnings")};
    const MessageSummary s = summarizeMessages(lines);
    EXPECT_EQ(s.errors, 3);
    EXPECT_EQ(s.warnings, 3);
    EXPECT_EQ(summaryText({1, 1}), QStringLiteral("Compiler messages: 1 error, 1 warning"));
    EXPECT_EQ(summaryText({2, 0}), QStringLiteral("Compiler messages: 2 errors, 0 warnings"));
    EXPECT_EQ(summaryText({}), QStringLiteral("Compiler messages: no errors or warnings counted"));
}

TEST(MessagePath, RelativePathsLieWhereTheCompilerRan)
{
    EXPECT_EQ(resolveMessagePath(QStringLiteral("Foo.java"), QStringLiteral("/work/one")).toStdString(),
              "/work/one/Foo.java");
    EXPECT_EQ(resolveMessagePath(QStringLiteral("sub/../Foo.java"), QStringLiteral("/work/one/")).toStdString(),
              "/work/one/Foo.java");
    EXPECT_EQ(resolveMessagePath(QStringLiteral("./-x.java"), QStringLiteral("/work/one")).toStdString(),
              "/work/one/-x.java");
    EXPECT_EQ(resolveMessagePath(QStringLiteral("/src/Foo.java"), QStringLiteral("/work/one")).toStdString(),
              "/src/Foo.java");
}

TEST(MessageSummary, CaptureFileIsCountedFromItsEnd)
{
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("Foo.err"));
    EXPECT_EQ(summarizeCaptureFile(f).warnings, 0);  // missing
    QFile out(f);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    // A long capture: only its end is read, where javac counts.
    for (int i = 0; i < 5000; ++i)
        out.write("Foo.java:1: warning: [removal] Integer(int) in Integer has been deprecated\n");
    out.write("Note: Some input files use unchecked or unsafe operations.\n2 warnings\n");
    out.close();
    const MessageSummary s = summarizeCaptureFile(f);
    EXPECT_EQ(s.warnings, 2);
    EXPECT_EQ(s.errors, 0);
}

// ---------------------------------------------------------------- structured messages

namespace {

// Messages of real javac output: two files, one in a package; tabs before the
// places javac points at; a source line that starts at the left margin; errors
// and -Xlint warnings, several on one line.
class StructuredMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("pkg/sub")));
        writeFile(dir.filePath(QStringLiteral("pkg/sub/A.java")),
                  "package pkg.sub;\n"
                  "import java.util.*;\n"
                  "public class A {\n"
                  "\tvoid f() {\n"
                  "\t\tint x = \"s\";\n"
                  "\t\tList l = new ArrayList();\n"
                  "\t\tl.add(1);\n"
                  "  \t\tfoo();\n"
                  "\t}\n"
                  "}\n");
        writeFile(dir.filePath(QStringLiteral("B.java")),
                  "class B extends Missing {\n"
                  "    int g() { return y; }\n"
                  "    void h() { Object o = (String) \"a\"; }\n"
                  "}\n");
    }
    QStringList compile(const QStringList& options)
    {
        return runJavac(dir.path(), options + QStringList{"-d", dir.filePath("classes"), "pkg/sub/A.java", "B.java"});
    }
    QTemporaryDir dir;
};

struct Expected {
    const char* path;
    int line;
    int column;
    MessageSeverity severity;
    const char* text;
};

}  // namespace

TEST_F(StructuredMessages, RealJavacErrorsAndWarningsWithTheirColumns)
{
    const QStringList lines = compile({QStringLiteral("-Xlint:all")});
    const std::vector<CompilerMessage> ms = parseCompilerMessages(lines);
    using S = MessageSeverity;
    const Expected expected[] = {
        {"B.java", 1, 17, S::Error, "cannot find symbol"},
        {"pkg/sub/A.java", 5, 11, S::Error, "incompatible types: String cannot be converted to int"},
        {"pkg/sub/A.java", 6, 3, S::Warning, "[rawtypes] found raw type: List"},
        {"pkg/sub/A.java", 6, 16, S::Warning, "[rawtypes] found raw type: ArrayList"},
        {"pkg/sub/A.java", 7, 8, S::Warning, "[unchecked] unchecked call to add(E) as a member of the raw type List"},
        {"pkg/sub/A.java", 8, 5, S::Error, "cannot find symbol"},
        {"B.java", 2, 22, S::Error, "cannot find symbol"},
        {"B.java", 3, 27, S::Warning, "[cast] redundant cast to String"},
    };
    ASSERT_EQ(ms.size(), std::size(expected)) << lines.join('\n').toStdString();
    int lastRow = -1;
    for (size_t i = 0; i < ms.size(); ++i) {
        SCOPED_TRACE(i);
        const CompilerMessage& m = ms[i];
        EXPECT_EQ(m.path, QString::fromLatin1(expected[i].path));
        EXPECT_EQ(m.line, expected[i].line);
        EXPECT_EQ(m.column, expected[i].column);
        EXPECT_EQ(m.severity, expected[i].severity);
        EXPECT_EQ(m.text, QString::fromLatin1(expected[i].text));
        // The row is that of the message's first line, in order.
        ASSERT_GE(m.row, 0);
        ASSERT_LT(m.row, lines.size());
        EXPECT_GT(m.row, lastRow);
        lastRow = m.row;
        EXPECT_TRUE(lines[m.row].startsWith(m.path + ':' + QString::number(m.line) + ": "))
            << lines[m.row].toStdString();
    }
    // The lines after the caret line are the details; the echoed source is in neither.
    EXPECT_EQ(ms[0].details, "symbol: class Missing");
    EXPECT_EQ(ms[5].details, "symbol:   method foo()\nlocation: class A");
    EXPECT_TRUE(ms[2].details.startsWith("missing type arguments for generic class List<E>"));
    EXPECT_TRUE(ms[7].details.isEmpty());
    // The column counts a tab as one character: it points into the line as the file holds it.
    EXPECT_EQ(QStringView(u"\t\tint x = \"s\";").mid(ms[1].column - 1, 3), u"\"s\"");
    EXPECT_EQ(QStringView(u"  \t\tfoo();").mid(ms[5].column - 1, 3), u"foo");
}

TEST_F(StructuredMessages, NotesAndSummaryLinesAreNoMessages)
{
    // Without -Xlint javac sums the warnings up in "Note:" lines that name no line.
    const QStringList lines = compile({});
    ASSERT_TRUE(lines.join('\n').contains("Note: ")) << lines.join('\n').toStdString();
    const std::vector<CompilerMessage> ms = parseCompilerMessages(lines);
    ASSERT_EQ(ms.size(), 4u) << lines.join('\n').toStdString();
    for (const CompilerMessage& m : ms)
        EXPECT_EQ(m.severity, MessageSeverity::Error);
    EXPECT_TRUE(parseCompilerMessages({}).empty());
    EXPECT_TRUE(parseCompilerMessages({"Note: Foo.java uses unchecked or unsafe operations.", "1 error"}).empty());
}

TEST_F(StructuredMessages, ReadFromACaptureFileWithPathsResolved)
{
    const QString capture = dir.filePath(QStringLiteral("A.err"));
    QProcess javac;
    javac.setWorkingDirectory(dir.path());
    javac.setStandardErrorFile(capture);
    javac.start(QStringLiteral("/usr/bin/javac"), {"-d", dir.filePath("classes"), "pkg/sub/A.java", "B.java"});
    ASSERT_TRUE(javac.waitForFinished(120000));
    const std::vector<CompilerMessage> ms = readCompilerMessages(capture, dir.path());
    ASSERT_EQ(ms.size(), 4u);
    EXPECT_EQ(ms[1].path, dir.filePath(QStringLiteral("pkg/sub/A.java")));
    EXPECT_EQ(ms[0].path, dir.filePath(QStringLiteral("B.java")));
    EXPECT_TRUE(readCompilerMessages(dir.filePath("none.err"), dir.path()).empty());
}

TEST(CompilerMessageText, LinesBeforeTheEchoedSourceContinueTheText)
{
    const QStringList lines = {
        "Foo.java:3: error: first line of the text",
        "  and its second line",
        "    int a = b;",
        "            ^",
        "  symbol: variable b",
        "Foo.java:9: warning: no source echoed",
        "  only more text",
        "Foo.java:12: note: a note",
        "public class Foo extends Bar {",  // an echoed source line at the left margin
        "                         ^",
        "2 errors",
    };
    const std::vector<CompilerMessage> ms = parseCompilerMessages(lines);
    ASSERT_EQ(ms.size(), 3u);
    EXPECT_EQ(ms[0].text, "first line of the text\nand its second line");
    EXPECT_EQ(ms[0].column, 13);
    EXPECT_EQ(ms[0].details, "symbol: variable b");
    EXPECT_EQ(ms[1].severity, MessageSeverity::Warning);
    EXPECT_EQ(ms[1].text, "no source echoed\nonly more text");
    EXPECT_EQ(ms[1].column, 0);
    EXPECT_EQ(ms[1].row, 5);
    EXPECT_EQ(ms[2].severity, MessageSeverity::Note);
    EXPECT_EQ(ms[2].text, "a note");
    EXPECT_EQ(ms[2].column, 26);
    EXPECT_EQ(ms[2].row, 7);
}

TEST(CompilerMessageText, TheWordAtAColumn)
{
    auto word = [](const QString& line, int column) {
        const TextSpan s = wordAtColumn(line, column);
        return line.mid(s.start, s.end - s.start) + '@' + QString::number(s.start);
    };
    EXPECT_EQ(word("\t\tint x = \"s\";", 7), "x@6");
    EXPECT_EQ(word("\t\tint x = \"s\";", 3), "int@2");
    EXPECT_EQ(word("\t\tint x = \"s\";", 4), "int@2");   // inside a word: all of it
    EXPECT_EQ(word("\t\tint x = \"s\";", 11), "\"@10");  // a single character
    EXPECT_EQ(word("a.my_$var1 + 2", 3), "my_$var1@2");
    EXPECT_EQ(word("a + b", 2), "@1");  // a blank: nothing
    EXPECT_EQ(word("a + b", 0), "@0");  // no column
    EXPECT_EQ(word("abc", 9), "@3");    // past the end
    EXPECT_EQ(word("", 1), "@0");
}
