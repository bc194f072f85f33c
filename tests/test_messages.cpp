// Reading javac's own output: locations of message lines and the summary counts.
#include "toolchain/messages.h"
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

} // namespace

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
    EXPECT_GE(located, 4); // one error and three warnings
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
    for (const char* text : {"", "error: file not found: Nope.java", "Note: A.java uses unchecked operations.",
                             "2 errors", ":5: error: no path", "A.java:0: error: line zero",
                             "A.java:99999999999: error: too big", "A.java:: error", "A.java:x1: error",
                             "    int y = a:3:b;", "\tat A.main(A.java:3)"}) {
        EXPECT_FALSE(parseMessageLine(QString::fromLatin1(text)).has_value()) << text;
    }
}

TEST(MessageSummary, CountsAddUpOverRunsAndIgnoreLookalikes)
{
    const QStringList lines{QStringLiteral("2 errors"), QStringLiteral("1 warning\r"), QStringLiteral("  3 errors"),
                            QStringLiteral("4 errors found"), QStringLiteral("1 error"), QStringLiteral("2 warnings")};
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
