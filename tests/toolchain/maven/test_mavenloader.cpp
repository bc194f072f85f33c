// SPDX-License-Identifier: GPL-3.0-or-later
// A Maven project's model from Maven's answer: its sources and tests found
// under their roots and grouped by package, the classes with a main, what is
// out of date; and Build with Maven's output read into message lines.
#include "toolchain/maven/mavenloader.h"
#include "toolchain/maven/mavenmessages.h"
#include "toolchain/messages/messages.h"
#include "support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utime.h>

namespace {

class MavenLoader : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path();
        const QString main = root + "/src/main/java/";
        ASSERT_TRUE(writeFile(root + "/pom.xml", "<project/>\n"));
        ASSERT_TRUE(writeFile(main + "Tool.java", "class Tool {}\n"));
        ASSERT_TRUE(writeFile(main + "shop/App.java",
                              "package shop;\npublic class App {\n  public static void main(String[] a) {}\n}\n"));
        ASSERT_TRUE(writeFile(main + "shop/cart/Cart.java",
                              "package shop.cart;\n// static void main(String[] a) in a comment\n"
                              "public class Cart { void main(String s) {} }\n"));
        ASSERT_TRUE(writeFile(main + "shop/notes.txt", "not a source\n"));
        ASSERT_TRUE(writeFile(root + "/src/test/java/shop/cart/CartTest.java", "package shop.cart;\n"));
        layout.sourceRoots = {root + "/src/main/java"};
        layout.testSourceRoots = {root + "/src/test/java", root + "/src/missing"};
        layout.outputDir = root + "/target/classes";
        layout.testOutputDir = root + "/target/test-classes";
        layout.classPath = {layout.outputDir, "/usr/share/java/commons-lang3.jar"};
        layout.testClassPath = {layout.testOutputDir, layout.outputDir, "/usr/share/java/commons-lang3.jar",
                                "/usr/share/java/junit-jupiter-api.jar"};
    }

    QTemporaryDir dir;
    QString root;
    MavenLayout layout;
};

}  // namespace

TEST_F(MavenLoader, ModelHoldsSourcesTestsAndBothClassPaths)
{
    const ProjectModel m = mavenProjectModel(root + "/pom.xml", layout);
    EXPECT_EQ(m.origin, ProjectOrigin::MavenPom);
    EXPECT_EQ(m.directory, root);
    const QString main = root + "/src/main/java/";
    EXPECT_EQ(m.sources, (QStringList{main + "Tool.java", main + "shop/App.java", main + "shop/cart/Cart.java"}));
    EXPECT_EQ(m.testSources, QStringList{root + "/src/test/java/shop/cart/CartTest.java"});
    EXPECT_EQ(m.classDirectory(), root + "/target/classes");
    EXPECT_EQ(m.testOutputFolder.value_or(""), root + "/target/test-classes");
    ASSERT_EQ(m.classPath.size(), 2u);
    EXPECT_EQ(m.classPath[1].kind, ClassPathEntry::Kind::Jar);
    EXPECT_EQ(m.testClassPath.size(), 4u);
    EXPECT_EQ(m.classPathText.value_or(""), layout.classPath.join(':'));
    // Only a real `main(String...)` counts, not one in a comment or of another kind.
    EXPECT_EQ(mainClasses(m), QStringList{"shop.App"});
}

TEST_F(MavenLoader, SourcesGroupByPackageDefaultFirst)
{
    const ProjectModel m = mavenProjectModel(root + "/pom.xml", layout);
    const auto groups = sourcesByPackage(m.sources, m.sourceRoots);
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(groups[0].name, "");
    EXPECT_EQ(groups[1].name, "shop");
    EXPECT_EQ(groups[2].name, "shop.cart");
    EXPECT_EQ(groups[2].sources, QStringList{root + "/src/main/java/shop/cart/Cart.java"});
    EXPECT_EQ(classNameOf(root + "/src/main/java/shop/cart/Cart.java", m.sourceRoots), "shop.cart.Cart");
    // A source outside every root is named by its file.
    EXPECT_EQ(classNameOf("/elsewhere/Odd.java", m.sourceRoots), "Odd");
}

TEST_F(MavenLoader, OutOfDateComparesClassFilesInTheOutputFolder)
{
    const ProjectModel m = mavenProjectModel(root + "/pom.xml", layout);
    EXPECT_EQ(outOfDateSources(m.sources, m.sourceRoots, layout.outputDir), m.sources);
    const QString app = root + "/src/main/java/shop/App.java";
    const QString cls = layout.outputDir + "/shop/App.class";
    ASSERT_TRUE(writeFile(cls, "class"));
    EXPECT_FALSE(outOfDateSources(m.sources, m.sourceRoots, layout.outputDir).contains(app));
    // A source saved after its class was written is out of date again.
    struct utimbuf old = {1000000, 1000000};
    ASSERT_EQ(utime(QFile::encodeName(cls).constData(), &old), 0);
    EXPECT_TRUE(outOfDateSources(m.sources, m.sourceRoots, layout.outputDir).contains(app));
}

TEST(MavenMessages, CompilerErrorsAndFailedTestsBecomeMessageLines)
{
    const QStringList tests{"/p/src/test/java/shop/ShopTest.java", "/p/src/test/java/other/ShopTest.java"};
    const QString output =
        "[INFO] Compiling 2 source files to /p/target/classes\n"
        "[ERROR] /p/src/main/java/shop/Shop.java:[12,5] cannot find symbol\n"
        "[WARNING] /p/src/main/java/shop/Old.java:[3,1] deprecated\n"
        "[ERROR] /p/src/main/java/shop/Shop.java:[12,5] cannot find symbol\n"
        "[ERROR] Failures: \n"
        "[ERROR]   ShopTest.bad:4 expected: <1> but was: <2>\n"
        "[ERROR]   shop.ShopTest.worse:9 boom\n"
        "[ERROR]   GoneTest.x:3 nowhere\n"
        "[ERROR] Tests run: 3, Failures: 2, Errors: 0, Skipped: 0\n";
    const QStringList lines = mavenMessageLines(output, tests);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], "/p/src/main/java/shop/Shop.java:12: error: cannot find symbol");
    EXPECT_EQ(lines[1], "/p/src/main/java/shop/Old.java:3: warning: deprecated");
    EXPECT_EQ(lines[2], "/p/src/test/java/shop/ShopTest.java:4: error: ShopTest.bad expected: <1> but was: <2>");
    EXPECT_EQ(lines[3], "/p/src/test/java/shop/ShopTest.java:9: error: shop.ShopTest.worse boom");
    // The message list reads them as javac's own.
    const auto messages = parseCompilerMessages(lines);
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2].line, 4);
    EXPECT_EQ(messages[1].severity, MessageSeverity::Warning);
}
