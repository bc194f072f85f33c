// SPDX-License-Identifier: GPL-3.0-or-later
// Asking Maven about a project: its debug answer read into the layout, and
// the real Maven, offline with Debian's repository, on a pom that depends on
// commons-lang3 (and JUnit for its tests) and on one that names an artifact
// that is not there.
#include "toolchain/maven/mavenprobe.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray pom(const QByteArray& dependencies)
{
    return "<project xmlns=\"http://maven.apache.org/POM/4.0.0\">\n"
           "  <modelVersion>4.0.0</modelVersion>\n"
           "  <groupId>p</groupId><artifactId>shop</artifactId><version>1.0</version>\n"
           "  <dependencies>\n" +
           dependencies + "  </dependencies>\n</project>\n";
}

const char kLang3[] =
    "    <dependency><groupId>org.apache.commons</groupId><artifactId>commons-lang3</artifactId>"
    "<version>debian</version></dependency>\n";
const char kJupiter[] =
    "    <dependency><groupId>org.junit.jupiter</groupId><artifactId>junit-jupiter-api</artifactId>"
    "<version>debian</version><scope>test</scope></dependency>\n";

bool haveMaven()
{
    return !QStandardPaths::findExecutable("mvn").isEmpty();
}

}  // namespace

TEST(MavenAnswer, ReadsLayoutAndDropsTestJarsFromTheClassPath)
{
    const QString out =
        "[DEBUG] p:shop:jar:1.0\n"
        "[DEBUG]    a:lib:jar:debian:compile\n"
        "[DEBUG]    t:tlib:jar:2.0:test\n"
        "[DEBUG] Configuring mojo org.apache.maven.plugins:maven-compiler-plugin:3.10.1:compile from\n"
        "[DEBUG]   (f) compileSourceRoots = [/p/src/main/java, /p/gen]\n"
        "[DEBUG]   (f) outputDirectory = /p/target/classes\n"
        "[DEBUG] Configuring mojo org.apache.maven.plugins:maven-resources-plugin:3.3.0:testResources\n"
        "[DEBUG]   (f) outputDirectory = /p/target/test-classes\n"
        "[DEBUG] Configuring mojo org.apache.maven.plugins:maven-compiler-plugin:3.10.1:testCompile\n"
        "[DEBUG]   (f) compileSourceRoots = [/p/src/test/java]\n"
        "[DEBUG]   (f) outputDirectory = /p/target/test-classes\n"
        "[DEBUG]   (f) testPath = [/p/target/test-classes, /p/target/classes, /r/a/lib/debian/lib-debian.jar, "
        "/r/t/tlib/2.0/tlib-2.0.jar]\n";
    const MavenAnswer a = readMavenAnswer(out, 0);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.layout.sourceRoots, QStringList({"/p/src/main/java", "/p/gen"}));
    EXPECT_EQ(a.layout.testSourceRoots, QStringList({"/p/src/test/java"}));
    EXPECT_EQ(a.layout.outputDir, "/p/target/classes");
    EXPECT_EQ(a.layout.testOutputDir, "/p/target/test-classes");
    EXPECT_EQ(a.layout.testClassPath.size(), 4);
    EXPECT_EQ(a.layout.classPath, QStringList({"/p/target/classes", "/r/a/lib/debian/lib-debian.jar"}));

    const MavenAnswer failed = readMavenAnswer("[ERROR] Failed to execute goal: bad things\n", 1);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, "Maven failed: Failed to execute goal: bad things");
    EXPECT_FALSE(readMavenAnswer("[INFO] BUILD SUCCESS\n", 0).ok);
}

TEST(MavenProbe, AsksRealMavenOnceAndNamesWhatItCannotResolve)
{
    if (!haveMaven())
        GTEST_SKIP() << "Maven is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(writeFile(dir.filePath("good/pom.xml"), pom(QByteArray(kLang3) + kJupiter)));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("good/src/main/java")));
    MavenProbe probe;
    const QString good = dir.filePath("good/pom.xml");
    const MavenAnswer a = probe.ask(good);
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    const QString root = QDir(dir.filePath("good")).canonicalPath();
    EXPECT_EQ(a.layout.sourceRoots, QStringList({root + "/src/main/java"}));
    EXPECT_EQ(a.layout.testSourceRoots, QStringList({root + "/src/test/java"}));
    EXPECT_EQ(a.layout.outputDir, root + "/target/classes");
    EXPECT_EQ(a.layout.testOutputDir, root + "/target/test-classes");
    ASSERT_GE(a.layout.classPath.size(), 2);
    EXPECT_EQ(a.layout.classPath[0], root + "/target/classes");
    EXPECT_TRUE(a.layout.classPath.join(' ').contains("commons-lang3"));
    EXPECT_FALSE(a.layout.classPath.join(' ').contains("junit-jupiter-api"));
    EXPECT_TRUE(a.layout.testClassPath.join(' ').contains("junit-jupiter-api"));
    EXPECT_EQ(a.layout.testClassPath[0], root + "/target/test-classes");
    // Kept while the pom stays as it is.
    EXPECT_TRUE(probe.hasAnswer(good));
    EXPECT_EQ(probe.ask(good).layout.classPath, a.layout.classPath);
    EXPECT_EQ(probe.calls(), 1);
    ASSERT_TRUE(writeFile(good, pom(QByteArray(kLang3) + kJupiter + "\n")));
    EXPECT_FALSE(probe.hasAnswer(good));

    ASSERT_TRUE(writeFile(dir.filePath("bad/pom.xml"),
                          pom("    <dependency><groupId>com.example</groupId><artifactId>nothere</artifactId>"
                              "<version>9.9</version></dependency>\n")));
    const MavenAnswer bad = probe.ask(dir.filePath("bad/pom.xml"));
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.unresolved, "com.example:nothere:jar:9.9");
    EXPECT_TRUE(bad.error.contains("com.example:nothere:jar:9.9")) << bad.error.toStdString();
    EXPECT_TRUE(bad.error.contains("Install the Debian package")) << bad.error.toStdString();
    EXPECT_EQ(probe.calls(), 2);
}
