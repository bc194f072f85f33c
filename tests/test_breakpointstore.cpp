// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of a debugging session by file, and the class name the
// debugger knows a source file by.
#include "toolchain/running/breakpointstore.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BreakpointStore, KeepsSortedLinesByCanonicalPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("Main.java");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    BreakpointStore store;
    store.set(file, {9, 3, 3, 0, 5});
    EXPECT_EQ(store.lines(file), QList<int>({3, 5, 9}));
    // The same file by another spelling of its path.
    const QString other = dir.path() + "/./sub/../Main.java";
    QDir(dir.path()).mkdir("sub");
    EXPECT_EQ(store.lines(other), QList<int>({3, 5, 9}));
    ASSERT_EQ(store.all().size(), 1);
    EXPECT_EQ(store.all().firstKey(), QFileInfo(file).canonicalFilePath());

    EXPECT_FALSE(store.toggle(other, 5));
    EXPECT_TRUE(store.toggle(file, 4));
    EXPECT_EQ(store.lines(file), QList<int>({3, 4, 9}));
    store.set(file, {});
    EXPECT_TRUE(store.all().isEmpty());
    EXPECT_TRUE(store.lines(file).isEmpty());
}

TEST(BreakpointStore, FilesThatDoNotExistAreKeptByTheirCleanAbsolutePath)
{
    BreakpointStore store;
    EXPECT_TRUE(store.toggle("/nowhere/x/../Gone.java", 2));
    EXPECT_EQ(store.lines("/nowhere/Gone.java"), QList<int>({2}));
    store.clear();
    EXPECT_TRUE(store.all().isEmpty());
}

TEST(DebugClassName, PackageAndBaseName)
{
    EXPECT_EQ(debugClassName("public class Hello {}\n", "/src/Hello.java"), "Hello");
    EXPECT_EQ(debugClassName("package org.demo;\nclass Hello {}\n", "/src/org/demo/Hello.java"), "org.demo.Hello");
    EXPECT_EQ(debugClassName("", "Empty.java"), "Empty");
}

TEST(DebugClassName, CommentsBeforeAndWithinThePackageLineAreSkipped)
{
    const QString text =
        "// SPDX: a line comment naming package fake.one;\n"
        "/* A block comment\n"
        "   package fake.two; */\n"
        "/** Javadoc. */\n"
        "package  org . /* inner */ demo // trailing\n"
        "  .app ;\n"
        "import java.util.List;\n"
        "class Tool {}\n";
    EXPECT_EQ(debugClassName(text, "/x/Tool.java"), "org.demo.app.Tool");
    // A byte order mark and Windows line ends.
    EXPECT_EQ(debugClassName(QString(QChar(0xFEFF)) + "package a.b;\r\nclass C {}\r\n", "C.java"), "a.b.C");
}

TEST(DebugClassName, NoPackageWhenTheFirstWordIsAnythingElse)
{
    EXPECT_EQ(debugClassName("import p.q.R;\npublic class Main {}\n", "Main.java"), "Main");
    EXPECT_EQ(debugClassName("/* package x; */ class Main { String package_ = \"package y;\"; }", "Main.java"),
              "Main");
    // An unfinished comment hides everything after it.
    EXPECT_EQ(debugClassName("/* package x;", "Main.java"), "Main");
}
