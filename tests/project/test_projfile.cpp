// SPDX-License-Identifier: GPL-3.0-or-later
// Java project files: the two line readers and the classification of a
// project's entries.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "toolchain/classify/classify.h"
#include "support.h"
#include "project/openprojects.h"
#include "project/projfile.h"
#include "toolchain/classify/projectscan.h"

namespace {

const QByteArray mainHello = "public class Hello {\n public static void main(String[] a) {}\n}\n";
const QByteArray appletBar = "import java.applet.*;\nclass Bar extends Applet {}\n";

struct Flags {
    bool main = false, applet = false, package = false;
    QString classename;
    void classify(const QString& jpr) { classifyProject(jpr, main, applet, package, classename); }
};

}  // namespace

TEST(ProjectReaders, CommentsBlankLinesAndLineEnds)
{
    const QByteArray jpr =
        "# comment\r\n"
        "\r\n"
        "   \t \r\n"
        "  #x Foo.java\r\n"
        "\t/a/B.java  \r\n"
        "a\rb.java\n"
        "C.java";
    EXPECT_EQ(projectScanPaths(jpr), QStringList({"#x Foo.java", "/a/B.java  ", "a\rb.java", "C.java"}));
    EXPECT_EQ(projectCompileEntries(jpr),
              QStringList({"   \t ", "  #x Foo.java", "\t/a/B.java  ", "a\rb.java", "C.java"}));
    EXPECT_TRUE(projectScanPaths("").isEmpty());
    EXPECT_TRUE(projectCompileEntries("\r\n\n#\n").isEmpty());
    // A last line cut off after its CR names the file without the CR.
    EXPECT_EQ(projectCompileEntries("A.java\r\nB.java\r"), QStringList({"A.java", "B.java"}));
    EXPECT_EQ(projectScanPaths("B.java\r"), QStringList({"B.java"}));
}

TEST(ProjectReaders, LongLinesAndManyEntriesAreKeptWhole)
{
    const QByteArray line300 = "/" + QByteArray(294, 'd') + "/A.java";
    ASSERT_EQ(line300.size(), 302);
    const QByteArray line1200 = "/" + QByteArray(1190, 'e') + "/B.java";
    QByteArray jpr = line300 + "\r\n" + line1200 + "\r\n";
    for (int i = 0; i < 60; ++i)
        jpr += "/src/F" + QByteArray::number(i) + ".java\r\n";

    for (const QStringList& got : {projectScanPaths(jpr), projectCompileEntries(jpr)}) {
        ASSERT_EQ(got.size(), 62);
        EXPECT_EQ(got[0], QString::fromLatin1(line300));
        EXPECT_EQ(got[1], QString::fromLatin1(line1200));
        EXPECT_EQ(got[61], "/src/F59.java");
    }
}

TEST(ProjectReaders, ReadProjectFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("demo.jpr"));
    ASSERT_TRUE(writeFile(path, "a\r\nb\r\n"));
    QByteArray got;
    EXPECT_TRUE(readProjectFile(path, &got));
    EXPECT_EQ(got, "a\r\nb\r\n");
    EXPECT_FALSE(readProjectFile(dir.filePath(QStringLiteral("none.jpr")), &got));
    EXPECT_FALSE(readProjectFile(dir.path(), &got));
}

TEST(ProjectScan, EntriesInOtherDirectoriesAndVerdictFour)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath(QStringLiteral("src")) && root.mkpath(QStringLiteral("work")));
    const QString hello = root.filePath(QStringLiteral("src/Hello.java"));
    const QString applet = root.filePath(QStringLiteral("src/Foo.java"));
    ASSERT_TRUE(writeFile(hello, mainHello));
    ASSERT_TRUE(writeFile(applet, appletBar));

    // An entry in another directory is read where it is.
    const QString jpr = root.filePath(QStringLiteral("work/demo.jpr"));
    ASSERT_TRUE(writeFile(jpr, "# demo\r\n" + hello.toUtf8() + "\r\n"));
    Flags f;
    f.classify(jpr);
    EXPECT_TRUE(f.main);
    EXPECT_FALSE(f.applet);
    EXPECT_EQ(f.classename, "Hello");

    // Verdict 4: an application in a project, an applet on its own.
    ASSERT_TRUE(writeFile(jpr, applet.toUtf8() + "\r\n"));
    Flags p;
    p.classify(jpr);
    EXPECT_TRUE(p.main);
    EXPECT_FALSE(p.applet);
    EXPECT_EQ(p.classename, "Bar");
    Flags single;
    EXPECT_EQ(classifySource(applet, single.main, single.applet, single.package, single.classename), 4);
    EXPECT_FALSE(single.main);
    EXPECT_TRUE(single.applet);
}

TEST(ProjectScan, FlagsAccumulateAndTheLastNameWins)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QDir root(dir.path());
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Hello.java")), mainHello));
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Foo.java")), appletBar));
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Plain.java")), "class Other { }\n"));
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("#P.java")), "package p;\nclass P { }\n"));

    // Relative entries are found beside the project file; a blank line and
    // a comment line are skipped; a "#" after blanks is a path.
    const QString jpr = root.filePath(QStringLiteral("all.jpr"));
    ASSERT_TRUE(writeFile(jpr, "Hello.java\r\n  \r\n# Hello.java\r\nFoo.java\r\nPlain.java\r\n  #P.java\r\n"));
    Flags f;
    f.classename = QStringLiteral("Old");
    f.classify(jpr);
    EXPECT_TRUE(f.main);
    EXPECT_FALSE(f.applet);
    EXPECT_TRUE(f.package);
    EXPECT_EQ(f.classename, "Bar");  // Plain.java and #P.java name no class

    // Trailing blanks belong to the path: "Hello.java  " is not a Java file.
    ASSERT_TRUE(writeFile(jpr, "Hello.java  \r\n"));
    Flags t;
    t.classify(jpr);
    EXPECT_FALSE(t.main);
    EXPECT_EQ(t.classename, "");

    // An unreadable project file changes nothing.
    Flags u;
    u.main = true;
    u.classename = QStringLiteral("Keep");
    u.classify(root.filePath(QStringLiteral("missing.jpr")));
    EXPECT_TRUE(u.main);
    EXPECT_FALSE(u.applet || u.package);
    EXPECT_EQ(u.classename, "Keep");
}

TEST(ProjectScan, LineOfThreeHundredCharactersIsOneEntry)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString deep = dir.path();
    for (int i = 0; i < 6; ++i)
        deep += QLatin1Char('/') + QString(50, QLatin1Char('a' + i));
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString hello = deep + QStringLiteral("/Hello.java");
    ASSERT_GT(hello.size(), 300);
    ASSERT_TRUE(writeFile(hello, mainHello));

    const QString jpr = dir.filePath(QStringLiteral("deep.jpr"));
    ASSERT_TRUE(writeFile(jpr, hello.toUtf8() + "\r\n"));
    Flags f;
    f.classify(jpr);
    EXPECT_TRUE(f.main);
    EXPECT_EQ(f.classename, "Hello");
    QByteArray contents;
    ASSERT_TRUE(readProjectFile(jpr, &contents));
    EXPECT_EQ(projectCompileEntries(contents), QStringList{hello});
}

TEST(OpenProjects, ASourceBelongsToTheDeepestRootOfAnOpenProjectAndNoLongerOnceItCloses)
{
    ProjectModel outer;
    outer.file = "/w/shop/pom.xml";
    outer.sourceRoots = {"/w/shop/src/main/java"};
    outer.testSourceRoots = {"/w/shop/src/test/java"};
    ProjectModel inner;
    inner.file = "/w/shop/src/main/java/plugin/pom.xml";
    inner.sourceRoots = {"/w/shop/src/main/java/plugin/src"};
    openprojects::keep(outer);
    openprojects::keep(inner);
    openprojects::keep(outer);  // kept again: once

    const auto app = openprojects::holding("/w/shop/src/main/java/shop/App.java");
    ASSERT_TRUE(app);
    EXPECT_EQ(app->project.file, outer.file);
    EXPECT_FALSE(app->test);
    const auto test = openprojects::holding("/w/shop/src/test/java/shop/AppTest.java");
    ASSERT_TRUE(test);
    EXPECT_TRUE(test->test);
    EXPECT_EQ(openprojects::holding("/w/shop/src/main/java/plugin/src/P.java")->project.file, inner.file);
    // A folder whose name only starts like a root, the root itself, and a path with dots.
    EXPECT_FALSE(openprojects::holding("/w/shop/src/main/java2/X.java"));
    EXPECT_FALSE(openprojects::holding("/w/shop/src/main/java"));
    EXPECT_TRUE(openprojects::holding("/w/shop/src/test/../main/java/X.java"));
    EXPECT_FALSE(openprojects::holding(""));

    openprojects::forget(inner.file);
    EXPECT_EQ(openprojects::holding("/w/shop/src/main/java/plugin/src/P.java")->project.file, outer.file);
    openprojects::forget(outer.file);
    EXPECT_FALSE(openprojects::holding("/w/shop/src/main/java/shop/App.java"));
}
