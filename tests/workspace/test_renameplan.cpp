// SPDX-License-Identifier: GPL-3.0-or-later
// What Rename works out without a window: the name at the caret, the
// project's other sources, the places by source, where a place of a file
// with CR LF line ends stands in its editor's text, and the preview's rows.
#include "workspace/renameplan.h"

#include "project/openprojects.h"
#include "support.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RenamePlan, TheNameAtTheCaretHoldsItOrEndsThere)
{
    const QString text = "int total = count + x1;";
    EXPECT_EQ(identifierAt(text, 4), "total");
    EXPECT_EQ(identifierAt(text, 9), "total");  // just after it
    EXPECT_EQ(identifierAt(text, 6), "total");
    EXPECT_EQ(identifierAt(text, 10), "");
    EXPECT_EQ(identifierAt(text, 21), "x1");
    EXPECT_EQ(identifierAt("a = 42;", 5), "");  // a number is no name
    EXPECT_EQ(identifierAt("", 0), "");
}

TEST(RenamePlan, PlacesGoBySourceInOrderAndCrLfCountsOnceInTheEditor)
{
    const QList<RenameFileEdits> files = renameEditsByFile(
        {{"/p/B.java", 40, 3}, {"/p/A.java", 9, 3}, {"/p/B.java", 4, 3}});
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].path, "/p/B.java");
    EXPECT_EQ(files[0].places[0].offset, 4);
    EXPECT_EQ(files[0].places[1].offset, 40);
    EXPECT_EQ(files[1].path, "/p/A.java");

    const QString disk = "class A {\r\n  int n;\r\n\r\n  int m = n;\r\n}\r\n";
    const int n = int(disk.lastIndexOf("n;"));
    const QString editor = QString(disk).replace("\r\n", "\n");
    EXPECT_EQ(editor.mid(editorOffset(disk, n), 2), "n;");
    EXPECT_EQ(editorOffset(disk, 3), 3);
    EXPECT_EQ(editorOffset("a\rb\rc", 4), 4);  // a lone CR is one line end either way

    const RenamePreviewRow row = renamePreviewRow("A.java", disk, n);
    EXPECT_EQ(row.file, "A.java");
    EXPECT_EQ(row.line, 4);
    EXPECT_EQ(row.text, "  int m = n;");
    EXPECT_EQ(diskSourceText("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(diskSourceText("caf\xe9"), QString::fromLatin1("caf\xe9"));
}

TEST(RenamePlan, TheProjectsOtherSourcesComeFromItsRootsOrBesideTheSource)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = QDir::cleanPath(dir.path());
    for (const char* f : {"lone/A.java", "lone/B.java", "lone/sub/C.java", "lone/notes.txt", "mvn/pom.xml",
                          "mvn/src/main/java/p/Main.java", "mvn/src/main/java/p/q/Util.java",
                          "mvn/src/test/java/p/MainTest.java", "mvn/other/Stray.java"})
        writeFile(root + "/" + f, "class X {}\n");
    EXPECT_EQ(renameProjectSources(root + "/lone/A.java"), QStringList{root + "/lone/B.java"});

    ProjectModel m;
    m.file = root + "/mvn/pom.xml";
    m.sourceRoots = {root + "/mvn/src/main/java"};
    m.testSourceRoots = {root + "/mvn/src/test/java"};
    openprojects::keep(m);
    EXPECT_EQ(renameProjectSources(root + "/mvn/src/main/java/p/Main.java"),
              QStringList({root + "/mvn/src/main/java/p/q/Util.java", root + "/mvn/src/test/java/p/MainTest.java"}));
    openprojects::forget(m.file);

    EXPECT_EQ(listedSources(root + "/app.jpr", "  lone/A.java\n\nmvn/other/Stray.java \n"),
              QStringList({root + "/lone/A.java", root + "/mvn/other/Stray.java"}));
}
