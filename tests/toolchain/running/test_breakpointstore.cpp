// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of a debugging session by file, and the class name the
// debugger knows a source file by.
#include "toolchain/running/breakpointstore.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::vector<int> linesOf(const Breakpoints& list)
{
    std::vector<int> out;
    for (const Breakpoint& b : list)
        out.push_back(b.line);
    return out;
}

Breakpoint at(int line, bool enabled = true, int hitCount = 0, const QString& condition = {})
{
    Breakpoint b;
    b.line = line;
    b.enabled = enabled;
    b.hitCount = hitCount;
    b.condition = condition;
    return b;
}
}  // namespace

TEST(BreakpointStore, KeepsBreakpointsByLineUnderTheCanonicalPath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("Main.java");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    BreakpointStore store;
    store.set(file, {at(9), at(3, false), at(3), at(0), at(5, true, 3, "i > 2")});
    EXPECT_EQ(linesOf(store.breakpoints(file)), std::vector<int>({3, 5, 9}));
    // The same file by another spelling of its path.
    const QString other = dir.path() + "/./sub/../Main.java";
    QDir(dir.path()).mkdir("sub");
    const Breakpoints kept = store.breakpoints(other);
    ASSERT_EQ(kept.size(), 3);
    EXPECT_FALSE(kept[0].enabled) << "the first given of a line is kept";
    EXPECT_EQ(kept[1].hitCount, 3);
    EXPECT_EQ(kept[1].condition, "i > 2");
    EXPECT_EQ(kept[1].file, QFileInfo(file).canonicalFilePath());
    ASSERT_EQ(store.all().size(), 1);
    EXPECT_EQ(store.all().firstKey(), QFileInfo(file).canonicalFilePath());

    EXPECT_FALSE(store.toggle(other, 5));
    EXPECT_TRUE(store.toggle(file, 4));
    EXPECT_EQ(linesOf(store.breakpoints(file)), std::vector<int>({3, 4, 9}));
    const Breakpoint made = store.breakpoints(file)[1];
    EXPECT_TRUE(made.enabled);
    EXPECT_TRUE(made.condition.isEmpty());
    EXPECT_EQ(made.hitCount, 0);
    store.set(file, {});
    EXPECT_TRUE(store.all().isEmpty());
    EXPECT_TRUE(store.breakpoints(file).isEmpty());
}

TEST(BreakpointStore, FilesThatDoNotExistAreKeptByTheirCleanAbsolutePath)
{
    BreakpointStore store;
    EXPECT_TRUE(store.toggle("/nowhere/x/../Gone.java", 2));
    EXPECT_EQ(linesOf(store.breakpoints("/nowhere/Gone.java")), std::vector<int>({2}));
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
