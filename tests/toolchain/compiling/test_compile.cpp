// SPDX-License-Identifier: GPL-3.0-or-later
// Compiling with the real javac of this machine, in temporary directories.
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/compiling/outofdate.h"
#include "toolchain/compiling/projectcompile.h"
#include "support.h"
#include "toolchain/running/run.h"
#include "toolchain/settings/settings.h"
#include "config/toolpaths.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <memory>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Sets a file's modification time to sec seconds and nsec nanoseconds.
void setMtime(const QString& path, time_t sec, long nsec)
{
    struct timespec ts[2] = {{sec, nsec}, {sec, nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), ts, 0), 0);
}

// The build settings alone (each test starts from those of a fresh start).
using Settings = ::testing::Test;

// A temporary directory with a folder for the compiler's captures.
class CompileDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        temp = dir.filePath(QStringLiteral("capture"));
        ASSERT_TRUE(QDir().mkpath(temp));
    }
    QString src(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

// The javac of this machine, in its folder of the Java tools.
class Javac : public CompileDir {
protected:
    void SetUp() override
    {
        CompileDir::SetUp();
        if (HasFatalFailure())
            return;
        realJavac = javacOrSkip();
        javabin = QFileInfo(realJavac).absolutePath();
    }
    QString realJavac;
};

}  // namespace

TEST_F(Settings, OptionTextFollowsTheTableOrder)
{
    EXPECT_EQ(makeargs(), QString());

    EDITCLASSPATH = QStringLiteral(".:/lib");
    CBDEBUG = true;
    EXPECT_EQ(makeargs().toStdString(), " -classpath .:/lib -g");

    EDITDESTINATION = QStringLiteral("out");
    EDITJAVAOPTIONS = QStringLiteral("-Xmx256m -Dx=1");
    CBDEPEND = CBVERBOSE = CBOPTIMIZE = CBNOWARN = CBDEPRECATION = true;
    EXPECT_EQ(makeargs().toStdString(),
              " -classpath .:/lib -d out -J-Xmx256m -J-Dx=1 -Xprefer:newer -verbose"
              " -O -nowarn -g -deprecation");

    resetBuildSettings();
    EDITDESTINATION = QString();  // present but empty still gives its piece
    EXPECT_EQ(makeargs().toStdString(), " -d ");
}

// The status bar shows what javac is given: an empty Java Options text gives
// javac nothing, so the text shows no " -J ".
TEST_F(Settings, OptionTextShowsWhatIsPassed)
{
    EDITJAVAOPTIONS = QString();
    EXPECT_EQ(makeargs().toStdString(), "");
    EXPECT_TRUE(makeargsList().isEmpty());
    EXPECT_EQ(javacCommandText(QStringLiteral("/jdk/bin/javac"), QStringLiteral("/src/Foo.java")).toStdString(),
              "/jdk/bin/javac  /src/Foo.java");
    EDITJAVAOPTIONS = QStringLiteral("  -Xss4m ");
    EXPECT_EQ(makeargs().toStdString(), " -J-Xss4m");
    EXPECT_EQ(makeargs(), QStringLiteral(" ") + makeargsList().join(QLatin1Char(' ')));
}

TEST_F(Settings, ArgumentListSplitsJavaOptionsIntoJWords)
{
    EDITCLASSPATH = QString();
    EDITDESTINATION = QStringLiteral("my classes");
    EDITJAVAOPTIONS = QStringLiteral(" -Xmx256m  -Dname=a ");
    CBDEPEND = CBOPTIMIZE = CBDEPRECATION = true;
    EXPECT_EQ(makeargsList(), (QStringList{"-classpath", "", "-d", "my classes", "-J-Xmx256m", "-J-Dname=a",
                                           "-Xprefer:newer", "-O", "-deprecation"}));

    resetBuildSettings();
    EDITJAVAOPTIONS = QString();
    CBVERBOSE = CBNOWARN = CBDEBUG = true;
    EXPECT_EQ(makeargsList(), (QStringList{"-verbose", "-nowarn", "-g"}));
}

// The option text and the argument list say the same for every combination
// of switches and of absent, empty and filled text settings.
TEST_F(Settings, OptionTextAndArgumentListAgreeForEverySetting)
{
    const std::optional<QString> texts[] = {std::nullopt, QString(), QStringLiteral(" a  b ")};
    bool* const switches[] = {&CBDEPEND, &CBVERBOSE, &CBOPTIMIZE, &CBNOWARN, &CBDEBUG, &CBDEPRECATION};
    const char* const switchArgs[] = {"-Xprefer:newer", "-verbose", "-O", "-nowarn", "-g", "-deprecation"};
    int combinations = 0;
    for (const auto& classpath : texts)
        for (const auto& destination : texts)
            for (const auto& javaOptions : texts)
                for (int on = 0; on < 64; ++on) {
                    EDITCLASSPATH = classpath;
                    EDITDESTINATION = destination;
                    EDITJAVAOPTIONS = javaOptions;
                    QStringList want;
                    if (classpath)
                        want << QStringLiteral("-classpath") << *classpath;
                    if (destination)
                        want << QStringLiteral("-d") << *destination;
                    if (javaOptions && !javaOptions->isEmpty())
                        want << QStringLiteral("-Ja") << QStringLiteral("-Jb");
                    for (int k = 0; k < 6; ++k) {
                        *switches[k] = (on >> k) & 1;
                        if (*switches[k])
                            want << QString::fromLatin1(switchArgs[k]);
                    }
                    const QStringList list = makeargsList();
                    ASSERT_EQ(list, want) << "switches " << on;
                    QString text;
                    for (const QString& a : list)
                        text += QLatin1Char(' ') + a;
                    ASSERT_EQ(makeargs(), text) << "switches " << on;
                    ++combinations;
                }
    EXPECT_EQ(combinations, 27 * 64);
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
    EXPECT_EQ(need_comp(obj, srcf), 0);     // equal
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

    QByteArray project =
        "# a comment\r\n"
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
    CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(src("Hello.class")));

    // An error; then, fixed, the old messages are gone from the capture.
    writeFile(src("Hello.java"), "public class Hello { int x = }\n");
    o = runJavacBlocking(realJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Failed);
    const QByteArray messages = readFile(cap);
    EXPECT_TRUE(messages.contains("Hello.java:1: error:")) << messages.constData();
    EXPECT_TRUE(erreur(cap));

    writeFile(src("Hello.java"), "public class Hello { }\n");
    o = runJavacBlocking(realJavac, makeargsList() << src("Hello.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_EQ(QFileInfo(cap).size(), 0);
}

TEST_F(Javac, MessagesThatCannotBeWrittenWholeAreAFailureThatSaysWhichFolder)
{
    // The capture file on a full device: javac's own writes would fail unseen.
    writeFile(src("Old.java"), "public class Old { Integer i = new Integer(5); int x = }\n");
    const QString cap = dir.filePath("full.err");
    ASSERT_TRUE(QFile::link("/dev/full", cap));
    CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << src("Old.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::CaptureFailed) << o.reason.toStdString();
    EXPECT_TRUE(o.reason.contains(cap) && o.reason.contains("the folder " + dir.path() + " is full"))
        << o.reason.toStdString();

    // Warnings alone: a success whose messages are lost is not called compiled.
    writeFile(src("Old.java"), "public class Old { Integer i = new Integer(5); }\n");
    CBDEPRECATION = true;
    o = runJavacBlocking(realJavac, makeargsList() << src("Old.java"), dir.path(), cap);
    CBDEPRECATION = false;
    EXPECT_EQ(o.kind, CompileOutcome::CaptureFailed) << o.reason.toStdString();

    // A capture that cannot be opened: the compiler does not run.
    o = runJavacBlocking(realJavac, makeargsList() << src("Old.java"), dir.path(), dir.filePath("none/x.err"));
    EXPECT_EQ(o.kind, CompileOutcome::CaptureFailed);
    EXPECT_TRUE(o.reason.contains("the folder " + dir.filePath("none"))) << o.reason.toStdString();
}

TEST_F(Javac, WarningsAloneSucceedAndCapitalErrorFailsByExitCode)
{
    writeFile(src("Old.java"), "public class Old { Integer i = new Integer(5); }\n");
    const QString cap = captureFileName(src("Old.java"));
    CBDEPRECATION = true;
    CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << src("Old.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    EXPECT_TRUE(readFile(cap).contains("warning")) << readFile(cap).constData();

    // javac refuses "-J" followed by a separate word with "Error:" in capitals.
    o = runJavacBlocking(realJavac, QStringList{"-J", "-Xmx64m", src("Old.java")}, dir.path(), cap);
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
    CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << file, sub, captureFileName(file));
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
    ASSERT_TRUE(runner.start(realJavac, {src("One.java")}, dir.path(), cap));
    EXPECT_TRUE(runner.isRunning());
    EXPECT_FALSE(runner.start(realJavac, {src("One.java")}, dir.path(), cap));
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
    ASSERT_EQ(runJavacBlocking(realJavac, makeargsList() + plan.sources, plan.directory, cap).kind,
              CompileOutcome::Success);
    EXPECT_TRUE(planProjectCompile(src("Proj.jpr")).sources.isEmpty());  // all current

    // B changes: only B is listed and compiled; A.class stays as it was.
    setMtime(src("A.java"), 1700000000, 0);
    setMtime(src("A.class"), 1700000010, 0);
    writeFile(src("B.java"), "public class B { A a; int n; }\n");
    plan = planProjectCompile(src("Proj.jpr"));
    ASSERT_EQ(plan.sources, QStringList{"B.java"});
    EXPECT_EQ(runJavacBlocking(realJavac, makeargsList() + plan.sources, plan.directory, cap).kind,
              CompileOutcome::Success);
    EXPECT_EQ(QFileInfo(src("A.class")).lastModified().toSecsSinceEpoch(), 1700000010);
    EXPECT_EQ(need_comp(src("B.class"), src("B.java")), 0);
}

// javac's exit status decides: a warning that echoes a line holding the word
// "error", in a folder named "errors", is still a success.
TEST_F(Javac, ExitStatusAloneDecidesSuccess)
{
    const QString folder = dir.filePath(QStringLiteral("errors"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/Boxed.java");
    writeFile(file, "public class Boxed { Integer error = new Integer(5); }\n");
    const QString cap = captureFileName(file);
    const CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << file, folder, cap);
    EXPECT_TRUE(erreur(cap)) << readFile(cap).constData();  // the text says "error"...
    EXPECT_EQ(o.kind, CompileOutcome::Success);             // ...javac says success
    EXPECT_EQ(o.exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/Boxed.class")));
}

// Compilation Dependencies works with today's javac, and a referenced source
// newer than its class is compiled again.
TEST_F(Javac, CompilationDependenciesCompileANewerReferencedSource)
{
    writeFile(src("A.java"), "class A { int f() { return B.g(); } }\n");
    writeFile(src("B.java"), "class B { static int g() { return 1; } }\n");
    const QString cap = captureFileName(src("A.java"));
    ASSERT_EQ(runJavacBlocking(realJavac, {src("A.java"), src("B.java")}, dir.path(), cap).kind,
              CompileOutcome::Success);
    setMtime(src("B.class"), 1700000000, 0);
    writeFile(src("B.java"), "class B { static int g() { return 1; } static int h() { return 2; } }\n");
    writeFile(src("A.java"), "class A { int f() { return B.h(); } }\n");

    CBDEPEND = true;
    EXPECT_TRUE(makeargs().contains(QStringLiteral(" -Xprefer:newer")));
    const CompileOutcome o = runJavacBlocking(realJavac, makeargsList() << QStringLiteral("A.java"), dir.path(), cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success) << readFile(cap).constData();
    EXPECT_EQ(need_comp(src("B.class"), src("B.java")), 0);  // B was compiled again
}

// A project entry is never an option or an argument file for javac.
TEST_F(Javac, ProjectEntriesThatLookLikeOptionsArePassedAsFiles)
{
    writeFile(src("-Dash.java"), "class Dash { }\n");
    writeFile(src("@At.java"), "class At { }\n");
    writeFile(src("Plain.java"), "class Plain { }\n");
    writeFile(src("Proj.jpr"), "-Dash.java\r\n/elsewhere/@At.java\r\nPlain.java\r\n");
    const ProjectCompilePlan plan = planProjectCompile(src("Proj.jpr"));
    EXPECT_EQ(plan.sources, (QStringList{"./-Dash.java", "./@At.java", "Plain.java"}));
    EXPECT_TRUE(
        javacCommandText(realJavac, plan.sources).endsWith(QStringLiteral(" ./-Dash.java ./@At.java Plain.java ")));
    const QString cap = captureFileName(src("Proj.jpr"));
    const CompileOutcome o = runJavacBlocking(realJavac, makeargsList() + plan.sources, plan.directory, cap);
    EXPECT_EQ(o.kind, CompileOutcome::Success) << readFile(cap).constData();
    for (const char* cls : {"Dash.class", "At.class", "Plain.class"})
        EXPECT_TRUE(QFileInfo::exists(src(QString::fromLatin1(cls)))) << cls;
}

// ---------------------------------------------------------------- a compiler that waits

namespace {

// The javac stand-in of tests/stand-ins/javac-waits.sh, installed as "javac"
// in a tools directory of its own; it reports through files beside `log`.
class JavacStandIn : public CompileDir {
protected:
    void SetUp() override
    {
        CompileDir::SetUp();
        if (HasFatalFailure())
            return;
        javac = dir.filePath(QStringLiteral("jdk/javac"));
        ASSERT_TRUE(installStandIn(QStringLiteral("javac-waits.sh"), javac));
        log = dir.filePath(QStringLiteral("standin"));
        qputenv("BREWPAD_STANDIN_LOG", QFile::encodeName(log));
        qunsetenv("BREWPAD_STANDIN_SIGNAL");
        writeFile(src("Wait.java"), "class Wait { }\n");
    }
    void TearDown() override
    {
        writeFile(log + QStringLiteral(".go"), "");  // nothing waits after the test
        qunsetenv("BREWPAD_STANDIN_LOG");
        qunsetenv("BREWPAD_STANDIN_SIGNAL");
        CompileDir::TearDown();
    }
    // The stand-in's process id and its helper's, once it has written them.
    std::pair<qint64, qint64> pids()
    {
        const QString f = log + QStringLiteral(".pids");
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(f); }, 60000));
        const QList<QByteArray> p = readFile(f).trimmed().split(' ');
        return p.size() == 2 ? std::pair{p[0].toLongLong(), p[1].toLongLong()} : std::pair<qint64, qint64>{0, 0};
    }
    // Starts the stand-in on Wait.java with `runner`; the outcome lands in `got`.
    void start(JavacRunner& runner, std::optional<CompileOutcome>& got)
    {
        QObject::connect(&runner, &JavacRunner::finished, [&got](const CompileOutcome& o) { got = o; });
        ASSERT_TRUE(runner.start(javac, {src("Wait.java")}, dir.path(), captureFileName(src("Wait.java")),
                                 {src("Wait.java")}));
    }
    QString javac, log;
};

}  // namespace

TEST_F(JavacStandIn, ExitStatusDecidesWhateverTheMessagesSay)
{
    writeFile(log + QStringLiteral(".go"), "0");
    CompileOutcome o = runJavacBlocking(javac, {src("Wait.java")}, dir.path(), captureFileName(src("Wait.java")));
    EXPECT_TRUE(erreur(captureFileName(src("Wait.java"))));
    EXPECT_EQ(o.kind, CompileOutcome::Success);
    writeFile(log + QStringLiteral(".go"), "3");
    o = runJavacBlocking(javac, {src("Wait.java")}, dir.path(), captureFileName(src("Wait.java")));
    EXPECT_EQ(o.kind, CompileOutcome::Failed);
    EXPECT_EQ(o.exitCode, 3);
}

TEST_F(JavacStandIn, StopEndsTheCompilerWithItsWholeProcessGroup)
{
    JavacRunner runner;
    std::optional<CompileOutcome> got;
    EXPECT_EQ(JavacRunner::active(), nullptr);
    EXPECT_FALSE(runner.stop());  // nothing runs
    start(runner, got);
    const auto [compiler, helper] = pids();
    ASSERT_GT(compiler, 0);
    EXPECT_EQ(JavacRunner::active(), &runner);
    EXPECT_EQ(lastCompilation().capture, captureFileName(src("Wait.java")));
    EXPECT_EQ(lastCompilation().directory, dir.path());

    EXPECT_TRUE(runner.stop());
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 60000));
    EXPECT_EQ(got->kind, CompileOutcome::Stopped);
    EXPECT_EQ(JavacRunner::active(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&, c = compiler, h = helper] { return processEnded(c) && processEnded(h); }, 60000));
}

TEST_F(JavacStandIn, DestroyingTheRunnerEndsTheWholeProcessGroup)
{
    std::optional<CompileOutcome> got;
    auto runner = std::make_unique<JavacRunner>();
    start(*runner, got);
    const auto [compiler, helper] = pids();
    ASSERT_GT(helper, 0);
    runner.reset();  // the window that owned it closed, or Brewpad ended
    EXPECT_EQ(JavacRunner::active(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&, c = compiler, h = helper] { return processEnded(c) && processEnded(h); }, 60000));
    EXPECT_FALSE(got.has_value());
}

TEST_F(JavacStandIn, CrashNamesItsSignal)
{
    qputenv("BREWPAD_STANDIN_SIGNAL", "SEGV");
    const CompileOutcome o = runJavacBlocking(javac, {src("Wait.java")}, dir.path(),
                                              captureFileName(src("Wait.java")));
    EXPECT_EQ(o.kind, CompileOutcome::Crashed);
    EXPECT_EQ(o.signal, SIGSEGV);
    EXPECT_TRUE(o.reason.contains(QStringLiteral("signal %1").arg(SIGSEGV))) << o.reason.toStdString();
    EXPECT_TRUE(o.reason.contains(QString::fromLocal8Bit(strsignal(SIGSEGV)))) << o.reason.toStdString();
}

TEST_F(JavacStandIn, SourceSavedWhileCompilingIsReported)
{
    {
        JavacRunner runner;
        std::optional<CompileOutcome> got;
        start(runner, got);
        pids();
        writeFile(log + QStringLiteral(".go"), "0");
        ASSERT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 60000));
        EXPECT_EQ(got->kind, CompileOutcome::Success);
        EXPECT_FALSE(got->sourcesChanged);
    }
    QFile::remove(log + QStringLiteral(".go"));
    QFile::remove(log + QStringLiteral(".pids"));
    JavacRunner runner;
    std::optional<CompileOutcome> got;
    start(runner, got);
    pids();
    // Saved as an editor saves: a new file put in place of the old one.
    writeFile(src("Wait.java.new"), "class Wait { int n; }\n");
    ASSERT_TRUE(QFile::remove(src("Wait.java")));
    ASSERT_TRUE(QFile::rename(src("Wait.java.new"), src("Wait.java")));
    writeFile(log + QStringLiteral(".go"), "0");
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.has_value(); }, 60000));
    EXPECT_EQ(got->kind, CompileOutcome::Success);
    EXPECT_TRUE(got->sourcesChanged);
}
