// SPDX-License-Identifier: GPL-3.0-or-later
// The shared test main and helpers: every test starts from the build settings
// and tool paths of a fresh start, whatever the test before it changed; the
// file helpers and the QString printer do what the tests rely on.
#include "support.h"

#include "config/toolpaths.h"
#include "toolchain/settings/settings.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <unistd.h>

namespace {

void expectFreshStart()
{
    EXPECT_FALSE(CBDEBUG || CBDEPRECATION || CBNOWARN || CBOPTIMIZE || CBVERBOSE || CBDEPEND);
    EXPECT_FALSE(EDITDESTINATION.has_value());
    EXPECT_FALSE(EDITCLASSPATH.has_value());
    EXPECT_FALSE(EDITJAVAOPTIONS.has_value());
    EXPECT_FALSE(EDITCMDLINE.has_value());
    EXPECT_EQ(tracebrowser, 0);
    for (const QString* path : {&javabin, &javahlp, &temp, &doscmd, &homedir, &curdir})
        EXPECT_TRUE(path->isEmpty()) << path->toStdString();
}

}  // namespace

// The shared main calls resetProgramGlobals before every test: a test starts
// fresh, and the reset puts back every build setting and tool path, whatever
// order the tests run in.
TEST(FreshStart, EveryBuildSettingAndToolPathIsPutBack)
{
    {
        SCOPED_TRACE("at the start of a test");
        expectFreshStart();
    }
    CBDEBUG = CBDEPRECATION = CBNOWARN = CBOPTIMIZE = CBVERBOSE = CBDEPEND = true;
    EDITDESTINATION = QStringLiteral("out");
    EDITCLASSPATH = QStringLiteral("/lib");
    EDITJAVAOPTIONS = QStringLiteral("-Xmx1m");
    EDITCMDLINE = QStringLiteral("a b");
    tracebrowser = 1;
    javabin = QStringLiteral("/nowhere/bin");
    javahlp = QStringLiteral("/nowhere/element-list");
    temp = QStringLiteral("/nowhere/tmp");
    doscmd = QStringLiteral("/nowhere/term");
    homedir = QStringLiteral("/nowhere/home");
    curdir = QStringLiteral("/nowhere/src");
    resetProgramGlobals();
    SCOPED_TRACE("after the reset");
    expectFreshStart();
}

TEST(Support, QStringsPrintAsTheirTextAndLongOnesCutShort)
{
    EXPECT_EQ(::testing::PrintToString(QStringLiteral("caf\u00e9")), "\"caf\u00e9\"");
    const std::string longText = ::testing::PrintToString(QString(5000, QLatin1Char('x')));
    EXPECT_EQ(longText, "\"" + std::string(1000, 'x') + "\"... (5000 characters)");
}

TEST(Support, FilesAreWrittenWithTheirFoldersAndReadBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("a/b/c.txt");
    ASSERT_TRUE(writeFile(path, "one\ntwo"));
    EXPECT_EQ(readFile(path), "one\ntwo");
    ASSERT_TRUE(writeFile(path, "x"));  // replaced whole
    EXPECT_EQ(readFile(path), "x");
    EXPECT_EQ(readFile(dir.filePath("missing")), QByteArray());
    ASSERT_TRUE(writeExecutable(dir.filePath("run.sh"), "#!/bin/sh\n"));
    EXPECT_TRUE(QFileInfo(dir.filePath("run.sh")).isExecutable());
    EXPECT_EQ(randomBytes(3, 64), randomBytes(3, 64));
    EXPECT_NE(randomBytes(3, 64), randomBytes(4, 64));
}

TEST(Support, StandInsAreInstalledRunnable)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString to = dir.filePath("jdk/javac");
    ASSERT_TRUE(installStandIn("javac-waits.sh", to));
    EXPECT_TRUE(QFileInfo(to).isExecutable());
    EXPECT_EQ(readFile(to), readFile(sourceDir() + "/tests/stand-ins/javac-waits.sh"));
}

TEST(Support, JavacOrSkipGivesARunnableJavac)
{
    const QString javac = javacOrSkip();
    if (javac.isEmpty())
        return;
    EXPECT_TRUE(QFileInfo(javac).isExecutable()) << javac.toStdString();
    EXPECT_EQ(QFileInfo(javac).fileName(), "javac");
}

TEST(Support, TheUnprivilegedChildIsRefusedWhatOnlyItsOwnerMay)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString mine = dir.filePath("mine.txt");
    ASSERT_TRUE(writeFile(mine, "private"));
    ASSERT_TRUE(QFile::setPermissions(mine, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    if (geteuid() == 0) {
        // Root's file, private: the child that dropped root may not read it.
        asUnprivilegedUser([&] {
            EXPECT_NE(geteuid(), 0u);
            EXPECT_EQ(geteuid(), unprivilegedUid());
            QFile f(mine);
            EXPECT_FALSE(f.open(QIODevice::ReadOnly));
        });
    }
    // A child that dies fails the test in the parent.
    EXPECT_NONFATAL_FAILURE(asUnprivilegedUser([] { std::abort(); }), "crashed");
}
