// SPDX-License-Identifier: GPL-3.0-or-later
// F9 and Ctrl+F9 through the main window with the real javac and java of this
// machine and a stand-in terminal: what the status bar says of a compilation
// (unsaved changes, a project with nothing to compile), Java Run with the
// Compiler Options' destination and class path, and the runs that must not start.
#include "compile_fixture.h"

#include "config/jdks.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/running/run.h"
#include "toolchain/building/filebuild.h"

#include <QFileInfo>
#include <QTextCursor>

namespace {

class CompileRun : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
        if (IsSkipped())
            return;
        const QString standIn = sourceDir() + "/tests/stand-ins/terminal.sh";
        ASSERT_TRUE(QFileInfo(standIn).isExecutable());
        log = dir.filePath("term");
        qputenv("BREWPAD_STANDIN_LOG", log.toUtf8());
        doscmd = standIn;
    }
    void TearDown() override
    {
        qunsetenv("BREWPAD_STANDIN_LOG");
        EDITDESTINATION.reset();
        EDITCLASSPATH.reset();
        CompileTest::TearDown();
    }
    // Runs the active window with Ctrl+F9 and waits for the program to end in
    // the stand-in terminal; gives what the terminal was started with.
    QStringList runAndWait()
    {
        QFile::remove(log + ".done");
        trigger(cmd::JavaRun);
        if (!QTest::qWaitFor([&] { return QFile::exists(log + ".done"); }, 30000))
            return {"(the terminal did not run)"};
        QStringList argv;
        for (const QByteArray& a : readFile(log + ".argv").split('\0'))
            argv << QString::fromLocal8Bit(a);
        argv.removeLast();
        return argv;
    }
    QByteArray output() { return readFile(log + ".out"); }
    QString openProject(const QString& path)
    {
        dialogs_.openPaths.push_back(path);
        trigger(cmd::OpenJavaProj);
        return current() ? current()->editor()->source()->fileName() : QString();
    }

    QString log;
};

// Start.java holds the class Main, which uses Lib from a folder of the class path.
const char* kStart =
    "class Main {\n"
    "    public static void main(String[] a) {\n"
    "        System.out.println(\"main: \" + Lib.greeting());\n"
    "    }\n"
    "}\n";
const char* kLib = "public class Lib { public static String greeting() { return \"from lib\"; } }\n";

}  // namespace

TEST_F(CompileRun, JavaRunFindsTheClassesOfTheDestinationAndTheClassPath)
{
    // Lib compiled into lib/, outside the sources' folder.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("libsrc")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("lib")));
    openJava(writeFile("libsrc/Lib.java", kLib));
    EDITDESTINATION = dir.filePath("lib");
    compile();
    ASSERT_TRUE(QFile::exists(dir.filePath("lib/Lib.class")));
    current()->close();
    QApplication::processEvents();

    // Main compiled with a relative Destination Directory and Lib on the class path.
    ASSERT_TRUE(QDir().mkpath(dir.filePath("classes")));
    EDITDESTINATION = QStringLiteral("classes");
    EDITCLASSPATH = dir.filePath("lib");
    TFileMDIChild* w = openJava(writeFile("Start.java", kStart));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->build().classename, "Main");
    compile();
    ASSERT_TRUE(w->build().IsCompiled);
    ASSERT_TRUE(QFile::exists(dir.filePath("classes/Main.class")));
    EXPECT_FALSE(QFile::exists(dir.filePath("Main.class")));

    const QStringList argv = runAndWait();
    const QString classPath = dir.filePath("classes") + ":" + dir.filePath("lib");
    EXPECT_EQ(argv.mid(argv.indexOf("-classpath")), (QStringList{"-classpath", classPath, "Main"}))
        << argv.join(' ').toStdString();
    EXPECT_TRUE(output().contains("main: from lib")) << output().toStdString();
    EXPECT_EQ(readFile(log + ".cwd").trimmed(), QFileInfo(dir.path()).canonicalFilePath().toUtf8());

    // A class path alone: java looks in the class's own folder first.
    EDITDESTINATION.reset();
    compile();
    ASSERT_TRUE(QFile::exists(dir.filePath("Main.class")));
    QFile::remove(dir.filePath("classes/Main.class"));
    const QStringList second = runAndWait();
    EXPECT_EQ(second.mid(second.indexOf("-classpath")),
              (QStringList{"-classpath", dir.path() + ":" + dir.filePath("lib"), "Main"}));
    EXPECT_TRUE(output().contains("main: from lib")) << output().toStdString();

    // Neither set: the command line of before, without -classpath.
    EDITCLASSPATH.reset();
    writeFile("Start.java",
              "class Main { public static void main(String[] a) { System.out.println(\"plain\"); } }\n");
    compile();
    const QStringList third = runAndWait();
    EXPECT_FALSE(third.contains("-classpath")) << third.join(' ').toStdString();
    EXPECT_EQ(third.last(), "Main");
    EXPECT_TRUE(output().contains("plain")) << output().toStdString();
}

TEST_F(CompileRun, AClassNameThatJavaWouldTakeForAnOptionIsNotRun)
{
    for (const QString& name : {QStringLiteral("-version"), QStringLiteral("@args")}) {
        SCOPED_TRACE(name.toStdString());
        // The source's own name is the class to run: its class file is there.
        TFileMDIChild* w = openJava(writeFile(name + ".java",
                                              "public class Other { public static void "
                                              "main(String[] a) {} }\n"));
        ASSERT_NE(w, nullptr);
        writeFile(name + ".class", "");
        w->build().IsCompiled = true;
        QFile::remove(log + ".done");
        const size_t before = dialogs_.messages.size();
        trigger(cmd::JavaRun);
        ASSERT_EQ(dialogs_.messages.size(), before + 1);
        EXPECT_TRUE(dialogs_.messages.back().text.contains("The class name " + name + " begins with"))
            << dialogs_.messages.back().text.toStdString();
        QTest::qWait(300);
        EXPECT_FALSE(QFile::exists(log + ".done"));
        w->close();
        QApplication::processEvents();
    }
}

TEST_F(CompileRun, RunAfterTheSourcesFolderWasRemovedNamesTheFolder)
{
    ASSERT_TRUE(QDir().mkpath(dir.filePath("gone")));
    TFileMDIChild* w = openJava(writeFile("gone/Hello.java",
                                          "public class Hello { public static void "
                                          "main(String[] a) {} }\n"));
    ASSERT_NE(w, nullptr);
    compile();
    ASSERT_TRUE(w->build().IsCompiled);
    ASSERT_TRUE(QDir(dir.filePath("gone")).removeRecursively());
    const size_t before = dialogs_.messages.size();
    trigger(cmd::JavaRun);
    ASSERT_EQ(dialogs_.messages.size(), before + 1);
    const QString text = dialogs_.messages.back().text;
    EXPECT_TRUE(text.contains("The folder " + dir.filePath("gone") + " of Hello.java is gone")) << text.toStdString();
    EXPECT_FALSE(text.contains("Programe not found"));
}

TEST_F(CompileRun, F9SaysWhenTheWindowHoldsChangesItDidNotCompile)
{
    TFileMDIChild* w = openJava(writeFile("Hello.java", "public class Hello {}\n"));
    ASSERT_NE(w, nullptr);
    compile();
    EXPECT_EQ(app->statusMessage(), "Compilation success");

    // An error typed and not saved: the saved file still compiles.
    QTextCursor c(w->editor()->document());
    c.movePosition(QTextCursor::End);
    w->editor()->setTextCursor(c);
    QTest::keyClicks(w->editor(), "int broken");
    compile();
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_EQ(app->statusMessage(), "Compilation success; compiled as last saved: this window holds unsaved changes");

    // A failing compilation says it after the summary of its messages.
    writeFile("Hello.java", "public class Hello { int x = \"s\"; }\n");
    compile();
    EXPECT_TRUE(app->statusMessage().endsWith("; compiled as last saved: this window holds unsaved changes"))
        << app->statusMessage().toStdString();
}

TEST_F(CompileRun, MessagesLostToAFullFolderAreSaidAndNothingCountsAsCompiled)
{
    TFileMDIChild* w = openJava(writeFile("Hello.java", "public class Hello { int x = }\n"));
    ASSERT_TRUE(w);
    // The capture file on a full device, as in a TEMP whose disk is full.
    ASSERT_TRUE(QFile::link("/dev/full", captureFileName(w->editor()->source()->fileName())));
    const size_t before = dialogs_.messages.size();
    compile();
    ASSERT_EQ(dialogs_.messages.size(), before + 1);
    const QString text = dialogs_.messages.back().text;
    EXPECT_TRUE(text.contains("the folder " + temp + " is full or cannot be written")) << text.toStdString();
    EXPECT_TRUE(text.contains("No space left on device")) << text.toStdString();
    EXPECT_FALSE(w->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(), "Compilation failed: its messages could not be written");
}

TEST_F(CompileRun, AProjectThatCompilesNothingSaysWhyAndCountsAsCompiledOnlyWhenItsClassesAreCurrent)
{
    // Entries that are not sources: a trailing blank, a folder.
    writeFile("Foo.java", "public class Foo { public static void main(String[] a) {} }\n");
    openProject(writeFile("p.jpr", "Foo.java \r\nsrc/\r\n"));
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    compile();
    EXPECT_FALSE(p->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(),
              "nothing to compile: these entries are not Java sources: \"Foo.java \", \"src/\"");
    EXPECT_FALSE(QFile::exists(dir.filePath("Foo.class")));

    // Nothing usable: a folder named as a source, a trailing blank, a missing source's folder form.
    ASSERT_TRUE(QDir(dir.path()).mkpath("Dir.java"));
    dialogs_.messages.clear();
    writeFile("p.jpr", "Dir.java\r\nFoo.java \r\n");
    compile();
    EXPECT_FALSE(p->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(),
              "nothing to compile: this entry is not a Java source: \"Foo.java \"; this entry "
              "is not a regular file: \"Dir.java\" (a folder)");
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains("Dir.java (a folder)")) << dialogs_.messages[0].text.toStdString();
    writeFile("p.jpr", "Dir.java\r\n");  // no class is current: there is none
    compile();
    EXPECT_EQ(app->statusMessage(), "nothing to compile: this entry is not a regular file: \"Dir.java\" (a folder)");

    // Sources whose classes are current.
    writeFile("p.jpr", "Foo.java\r\n");
    compile();
    EXPECT_TRUE(p->build().IsCompiled);
    EXPECT_TRUE(QFile::exists(dir.filePath("Foo.class")));
    p->build().IsCompiled = false;
    compile();
    EXPECT_TRUE(p->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(), "nothing to compile: every class is newer than its source");

    // An empty project.
    writeFile("p.jpr", "# nothing\r\n");
    compile();
    EXPECT_FALSE(p->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(), "nothing to compile: the project lists no sources");
}

// A compact source file and a main without arguments: with JDK 25 they
// compile and Java Run starts them; with JDK 17 javac's messages are listed
// and the status bar names the newer JDK of this machine.
TEST_F(CompileRun, CompactSourceFilesRunWithANewJdkAndNameItWithAnOldOne)
{
    const QString old = javabin;
    const QList<JdkInfo> jdks = findJdks(javabin);
    const JdkInfo* newer = newestJdk(jdks, 25);
    if (!newer)
        GTEST_SKIP() << "no JDK 25 on this machine";
    TFileMDIChild* w = openJava(writeFile("Hello.java",
                                          "void main() {\n    IO.println(\"compact \" + twice(21));\n}\n"
                                          "int twice(int x) { return 2 * x; }\n"));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->build().IsJavaMain);
    EXPECT_EQ(w->build().classename, "Hello");
    if (jdkOfBin(old).feature < 25) {
        compile();
        EXPECT_FALSE(w->build().IsCompiled);
        EXPECT_TRUE(app->statusMessage().contains("need JDK 25 or later")) << app->statusMessage().toStdString();
        EXPECT_TRUE(app->statusMessage().contains(newer->home)) << app->statusMessage().toStdString();
    }
    javabin = newer->bin();
    compile();
    ASSERT_TRUE(w->build().IsCompiled);
    QStringList argv = runAndWait();
    EXPECT_EQ(argv.last(), "Hello");
    EXPECT_TRUE(output().contains("compact 42")) << output().toStdString();

    // A class not named after the file whose main is an instance method.
    TFileMDIChild* v = openJava(writeFile("Other.java",
                                          "class Greeter {\n    void main() {\n"
                                          "        System.out.println(\"instance main\");\n    }\n}\n"));
    EXPECT_TRUE(v->build().IsJavaMain);
    EXPECT_EQ(v->build().classename, "Greeter");
    compile();
    ASSERT_TRUE(v->build().IsCompiled);
    argv = runAndWait();
    EXPECT_EQ(argv.last(), "Greeter");
    EXPECT_TRUE(output().contains("instance main")) << output().toStdString();
    javabin = old;
}
