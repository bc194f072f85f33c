// Compiling with the real javac of this machine, in temporary directories.
#include "build/compile.h"
#include "build/run.h"
#include "build/settings.h"
#include "config/toolpaths.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kJavac = QStringLiteral("/usr/bin/javac");

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets a file's modification time to sec seconds and nsec nanoseconds.
void setMtime(const QString& path, time_t sec, long nsec)
{
    struct timespec ts[2] = {{sec, nsec}, {sec, nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), ts, 0), 0);
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override { resetBuildSettings(); }
    void TearDown() override { resetBuildSettings(); }
};

class Javac : public Settings {
protected:
    void SetUp() override
    {
        Settings::SetUp();
        ASSERT_TRUE(dir.isValid());
        temp = dir.filePath(QStringLiteral("capture"));
        QDir().mkpath(temp);
        javabin = QStringLiteral("/usr/bin");
    }
    QString src(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Settings, OptionTextFollowsTheTableOrder)
{
    EXPECT_EQ(makeargs(), QString());

    EDITCLASSPATH = QStringLiteral(".:/lib");
    CBDEBUG = true;
    EXPECT_EQ(makeargs(), QStringLiteral(" -classpath .:/lib -g"));

    EDITDESTINATION = QStringLiteral("out");
    EDITJAVAOPTIONS = QStringLiteral("-Xmx256m -Dx=1");
    CBDEPEND = CBVERBOSE = CBOPTIMIZE = CBNOWARN = CBDEPRECATION = true;
    EXPECT_EQ(makeargs(), QStringLiteral(" -classpath .:/lib -d out -J -Xmx256m -Dx=1 -depend -verbose"
                                         " -O -nowarn -g -deprecation"));

    resetBuildSettings();
    EDITDESTINATION = QString();  // present but empty still gives its piece
    EXPECT_EQ(makeargs(), QStringLiteral(" -d "));
}

TEST_F(Settings, ArgumentListSplitsJavaOptionsIntoJWords)
{
    EDITCLASSPATH = QString();
    EDITDESTINATION = QStringLiteral("my classes");
    EDITJAVAOPTIONS = QStringLiteral(" -Xmx256m  -Dname=a ");
    CBDEPEND = CBOPTIMIZE = CBDEPRECATION = true;
    EXPECT_EQ(makeargsList(),
              (QStringList{"-classpath", "", "-d", "my classes", "-J-Xmx256m", "-J-Dname=a", "-depend", "-O",
                           "-deprecation"}));

    resetBuildSettings();
    EDITJAVAOPTIONS = QString();
    CBVERBOSE = CBNOWARN = CBDEBUG = true;
    EXPECT_EQ(makeargsList(), (QStringList{"-verbose", "-nowarn", "-g"}));
}

TEST_F(Settings, CommandTextCaptureNameAndCurrentDirectory)
{
    EXPECT_EQ(javacCommandText(QStringLiteral("/jdk/bin/javac"), QStringLiteral("/src/Foo.java")),
              QStringLiteral("/jdk/bin/javac  /src/Foo.java"));
    CBDEBUG = true;
    EXPECT_EQ(javacCommandText(QStringLiteral("/jdk/bin/javac"), QStringList{"A.java", "Bar.java"}),
              QStringLiteral("/jdk/bin/javac  -g A.java Bar.java "));

    javabin = QStringLiteral("/jdk/bin");
    EXPECT_EQ(javacProgram(), QStringLiteral("/jdk/bin/javac"));
    temp = QStringLiteral("/tmp/brewpad-1");
    EXPECT_EQ(captureFileName(QStringLiteral("/src/Foo.bar.java")), QStringLiteral("/tmp/brewpad-1/Foo.err"));

    QTemporaryDir d;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(setcurdir(d.filePath(QStringLiteral("Foo.java"))));
    EXPECT_EQ(curdir, d.path());
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(), QFileInfo(d.path()).canonicalFilePath());
    QDir::setCurrent(before);
}

TEST(NeedComp, ComparesAtFullPrecision)
{
    QTemporaryDir d;
    const QString obj = d.filePath(QStringLiteral("A.class")), srcf = d.filePath(QStringLiteral("A.java"));
    EXPECT_EQ(need_comp(obj, srcf), 1);  // neither exists
    writeFile(srcf, "class A {}");
    EXPECT_EQ(need_comp(obj, srcf), 1);  // no compiled file
    writeFile(obj, "x");
    setMtime(obj, 1700000000, 500000000);
    setMtime(srcf, 1700000000, 500000000);
    EXPECT_EQ(need_comp(obj, srcf), 0);  // equal
    setMtime(srcf, 1700000000, 500000400);  // newer by less than a millisecond
    EXPECT_EQ(need_comp(obj, srcf), 1);
    setMtime(srcf, 1600000000, 0);
    EXPECT_EQ(need_comp(obj, srcf), 0);  // older
    QFile::remove(srcf);
    EXPECT_EQ(need_comp(obj, srcf), 1);  // source gone
}

TEST(Erreur, FindsLowerCaseWordAnywhereReadingInPieces)
{
    QTemporaryDir d;
    const QString f = d.filePath(QStringLiteral("x.err"));
    EXPECT_FALSE(erreur(f));  // missing
    writeFile(f, "");
    EXPECT_FALSE(erreur(f));  // empty
    writeFile(f, "Error: bad flag\nFoo.java:1: warning: [removal]\n1 warning\n");
    EXPECT_FALSE(erreur(f));  // case-sensitive
    writeFile(f, "Foo.java:3: error: ';' expected");
    EXPECT_TRUE(erreur(f));

    // The word straddles the boundary of the 64 KiB pieces at every offset.
    for (int cut = 1; cut < 5; ++cut) {
        writeFile(f, QByteArray(65536 - cut, 'x') + "error" + QByteArray(100, 'y'));
        EXPECT_TRUE(erreur(f)) << cut;
    }
    writeFile(f, QByteArray(65536 - 2, 'x') + "err" + QByteArray(1000, 'y') + "or");
    EXPECT_FALSE(erreur(f));
}

TEST(ProjectPlan, ListsOutOfDateJavaSourcesOfAnyNumberAndLength)
{
    QTemporaryDir d;
    auto p = [&](const QString& n) { return d.filePath(n); };
    // A is current, B is newer than its class, C has none, Bar.JAVA is out
    // of date, notes.txt has no class: compared but never compiled.
    for (const char* n : {"A.java", "B.java", "C.java", "Bar.JAVA", "notes.txt", "A.class", "B.class"})
        writeFile(p(QString::fromLatin1(n)), "x");
    setMtime(p("A.java"), 1700000000, 0);
    setMtime(p("A.class"), 1700000000, 0);
    setMtime(p("B.class"), 1700000000, 0);
    setMtime(p("B.java"), 1700000000, 1);

    QByteArray project = "# a comment\r\n"
                         "A.java\r\n"
                         "\r\n"
                         "/elsewhere/B.java\n"
                         "src/C.java\n"
                         "src/Bar.JAVA\n"
                         "notes.txt\n";
    // A very long line (deep directory) and more than 49 entries.
    project += QByteArray("/x").repeated(400) + "/Long.java\n";
    for (int i = 0; i < 60; ++i)
        project += "Gen" + QByteArray::number(i) + ".java\n";
    project += "Last.java";  // no line end after the last line
    writeFile(p("Proj.jpr"), project);

    ProjectCompilePlan plan = planProjectCompile(p("Proj.jpr"));
    EXPECT_EQ(plan.directory, d.path());
    EXPECT_EQ(plan.entries, 5 + 1 + 60 + 1);
    ASSERT_GE(plan.sources.size(), 5);
    EXPECT_EQ(plan.sources.mid(0, 5), (QStringList{"B.java", "C.java", "Bar.java", "Long.java", "Gen0.java"}));
    EXPECT_EQ(plan.sources.size(), 3 + 1 + 60 + 1);
    EXPECT_EQ(plan.sources.last(), QStringLiteral("Last.java"));
    EXPECT_EQ(plan.items[0].needComp, 0);
    EXPECT_EQ(plan.items[3].base, QStringLiteral("Bar"));
    EXPECT_EQ(plan.items[3].ext, QStringLiteral("JAVA"));
    EXPECT_EQ(plan.items[4].ext, QStringLiteral("txt"));
    EXPECT_EQ(plan.items[4].needComp, 1);

    EXPECT_EQ(planProjectCompile(p("Missing.jpr")).entries, 0);
}

TEST_F(Javac, CorrectFileSucceedsAndErrorFileFailsWithJavacLines)
{
    writeFile(src("Hello.java"), "public class Hello { public static void main(String[] a) {} }\n");
    const QString cap = captureFileName(src("Hello.java"));
    CompileOutcome o = runJavacBlocking(kJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(src("Hello.class")));

    // An error; then, fixed, the old messages are gone from the capture.
    writeFile(src("Hello.java"), "public class Hello { int x = }\n");
    o = runJavacBlocking(kJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Failed);
    const QByteArray messages = readFile(cap);
    EXPECT_TRUE(messages.contains("Hello.java:1: error:")) << messages.constData();
    EXPECT_TRUE(erreur(cap));

    writeFile(src("Hello.java"), "public class Hello { }\n");
    o = runJavacBlocking(kJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_EQ(QFileInfo(cap).size(), 0);
}

TEST_F(Javac, WarningsAloneSucceedAndCapitalErrorFailsByExitCode)
{
    writeFile(src("Old.java"), "public class Old { Integer i = new Integer(5); }\n");
    const QString cap = captureFileName(src("Old.java"));
    CBDEPRECATION = true;
    CompileOutcome o = runJavacBlocking(kJavac, makeargsList() << src("Old.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_TRUE(readFile(cap).contains("warning")) << readFile(cap).constData();

    // javac refuses "-J" followed by a separate word with "Error:" in capitals.
    o = runJavacBlocking(kJavac, QStringList{"-J", "-Xmx64m", src("Old.java")}, dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Failed);
    EXPECT_NE(o.exitCode, 0);
    EXPECT_FALSE(erreur(cap)) << readFile(cap).constData();
    EXPECT_TRUE(readFile(cap).contains("Error")) << readFile(cap).constData();
}

TEST_F(Javac, CompilerThatCannotStartIsNotStartedWithReason)
{
    const QString cap = dir.filePath(QStringLiteral("capture/Foo.err"));
    writeFile(cap, "Foo.java:1: error: old message");
    CompileOutcome o = runJavacBlocking(dir.filePath(QStringLiteral("nojdk/javac")), {}, dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::NotStarted);
    EXPECT_EQ(o.failureIndex, 2);
    EXPECT_EQ(libelle_erreur(o.failureIndex), QStringLiteral("Programe not found"));
    EXPECT_FALSE(o.reason.isEmpty());
    EXPECT_EQ(QFileInfo(cap).size(), 0);  // emptied all the same

    writeFile(src("javac"), "#!/bin/sh\n");  // not executable
    o = runJavacBlocking(src("javac"), {}, dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::NotStarted);
    EXPECT_EQ(o.failureIndex, 5);
}

TEST_F(Javac, PathWithSpaceAndQuoteIsOneArgument)
{
    const QString sub = dir.filePath(QStringLiteral("my src/it's \"here\""));
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString file = sub + QStringLiteral("/Quoted.java");
    writeFile(file, "public class Quoted { }\n");
    CompileOutcome o = runJavacBlocking(kJavac, makeargsList() << file, sub, captureFileName(file));
    EXPECT_EQ(o.kind, CompileOutcome::Success) << readFile(captureFileName(file)).constData();
    EXPECT_TRUE(QFileInfo::exists(sub + QStringLiteral("/Quoted.class")));
}

TEST_F(Javac, OneCompilationAtATimeAndFinishedOnlyAtTheEnd)
{
    writeFile(src("One.java"), "public class One { }\n");
    JavacRunner runner;
    int calls = 0;
    CompileOutcome got;
    QEventLoop loop;
    QObject::connect(&runner, &JavacRunner::finished, [&](const CompileOutcome& o) {
        ++calls;
        got = o;
        loop.quit();
    });
    const QString cap = captureFileName(src("One.java"));
    ASSERT_TRUE(runner.start(kJavac, {src("One.java")}, dir.path(), cap));
    EXPECT_TRUE(runner.isRunning());
    EXPECT_FALSE(runner.start(kJavac, {src("One.java")}, dir.path(), cap));
    loop.exec();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(runner.isRunning());
    EXPECT_EQ(got.kind, CompileOutcome::Success);
    EXPECT_TRUE(QFileInfo::exists(src("One.class")));
}

TEST_F(Javac, ProjectCompilesOnlyOutOfDateSources)
{
    writeFile(src("A.java"), "public class A { }\n");
    writeFile(src("B.java"), "public class B { A a; }\n");
    writeFile(src("Proj.jpr"), "A.java\nlib/B.java\n");
    const QString cap = captureFileName(src("Proj.jpr"));

    ProjectCompilePlan plan = planProjectCompile(src("Proj.jpr"));
    ASSERT_EQ(plan.sources, (QStringList{"A.java", "B.java"}));
    ASSERT_EQ(runJavacBlocking(kJavac, makeargsList() + plan.sources, plan.directory, cap).kind,
              CompileOutcome::Success);
    EXPECT_TRUE(planProjectCompile(src("Proj.jpr")).sources.isEmpty());  // all current

    // B changes: only B is listed and compiled; A.class stays as it was.
    setMtime(src("A.java"), 1700000000, 0);
    setMtime(src("A.class"), 1700000010, 0);
    writeFile(src("B.java"), "public class B { A a; int n; }\n");
    plan = planProjectCompile(src("Proj.jpr"));
    ASSERT_EQ(plan.sources, QStringList{"B.java"});
    EXPECT_EQ(runJavacBlocking(kJavac, makeargsList() + plan.sources, plan.directory, cap).kind,
              CompileOutcome::Success);
    EXPECT_EQ(QFileInfo(src("A.class")).lastModified().toSecsSinceEpoch(), 1700000010);
    EXPECT_EQ(need_comp(src("B.class"), src("B.java")), 0);
}
