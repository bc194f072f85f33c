// SPDX-License-Identifier: GPL-3.0-or-later
// A Maven project through the main window with the real JDK, JUnit and Maven
// (offline, Debian's repository): a project of several packages that uses
// commons-lang3 opens (Maven asked in the background, the sources listed by
// package, the tests apart), compiles through the warm compiler, runs its
// main, runs its tests and builds with Maven, whose errors lead to their
// lines. With a stand-in mvn: a dependency Maven cannot resolve is named,
// and Stop ends Maven's whole process group.
#include "service_fixture.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/maven/mavenloader.h"
#include "toolchain/messages/messagewindow.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/testing/junitjars.h"
#include "workspace/debugcontroller.h"
#include "workspace/mavencommands.h"
#include "workspace/mavenwindow.h"
#include "workspace/testcommands.h"
#include "workspace/testresultswindow.h"

#include <QDateTime>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTreeWidget>

namespace {

QByteArray pom(const QByteArray& dependencies)
{
    return "<project xmlns=\"http://maven.apache.org/POM/4.0.0\">\n"
           "  <modelVersion>4.0.0</modelVersion>\n"
           "  <groupId>p</groupId><artifactId>shop</artifactId><version>1.0</version>\n"
           "  <properties><maven.compiler.source>17</maven.compiler.source>"
           "<maven.compiler.target>17</maven.compiler.target></properties>\n"
           "  <dependencies>\n" +
           dependencies + "  </dependencies>\n</project>\n";
}

QByteArray dependency(const char* group, const char* artifact, const char* scope = nullptr)
{
    QByteArray d = QByteArray("    <dependency><groupId>") + group + "</groupId><artifactId>" + artifact +
                   "</artifactId><version>debian</version>";
    if (scope)
        d += QByteArray("<scope>") + scope + "</scope>";
    return d + "</dependency>\n";
}

const char kApp[] =
    "package shop;\n"
    "import org.apache.commons.lang3.StringUtils;\n"
    "import shop.cart.Cart;\n"
    "public class App {\n"
    "    public static void main(String[] args) {\n"
    "        System.out.println(StringUtils.capitalize(\"shop\") + \" \" + new Cart().total());\n"
    "    }\n"
    "}\n";
const char kTool[] =
    "package shop.util;\n"
    "public class Tool {\n"
    "    public static void main(String[] args) { System.out.println(\"tool\"); }\n"
    "}\n";
const char kCart[] =
    "package shop.cart;\n"
    "public class Cart {\n"
    "    public int total() { return 3; }\n"
    "}\n";
const char kCartTest[] =
    "package shop.cart;\n"                                 // 1
    "import org.junit.jupiter.api.Test;\n"                 // 2
    "import static org.junit.jupiter.api.Assertions.*;\n"  // 3
    "public class CartTest {\n"                            // 4
    "    @Test\n"                                          // 5
    "    void good() { assertEquals(3, new Cart().total()); }\n"
    "    @Test\n"                                     // 7
    "    void bad() {\n"                              // 8
    "        assertEquals(4, new Cart().total());\n"  // 9
    "    }\n"
    "}\n";

class MavenProject : public ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
    }
    MavenCommands* maven() { return client()->findChild<MavenCommands*>(); }
    // Open Project on `pomPath`; the project window, with the focus.
    MavenProjectWindow* open(const QString& pomPath)
    {
        dialogs_.openPaths.push_back(pomPath);
        trigger(cmd::OpenJavaProj);
        MavenProjectWindow* w = maven()->window(pomPath);
        if (w)
            w->tree()->setFocus();
        return w;
    }
    bool waitAnswered(QSignalSpy& spy) { return spy.count() || spy.wait(180000); }
    QStringList topNodes(QTreeWidget* tree)
    {
        QStringList out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            out << tree->topLevelItem(i)->text(0);
        return out;
    }
    // A stand-in mvn that runs `body` (sh).
    QString standInMaven(const QByteArray& body)
    {
        const QString path = dir.filePath("bin/mvn");
        ::writeExecutable(path, "#!/bin/sh\n" + body);
        maven()->setMaven(path);
        return path;
    }
};

}  // namespace

TEST_F(MavenProject, OpensCompilesWarmRunsTestsAndBuildsWithMaven)
{
    if (IsSkipped())
        return;
    if (QStandardPaths::findExecutable("mvn").isEmpty() || junitJars().isEmpty())
        GTEST_SKIP() << "Maven or JUnit is not installed";
    startService(builtFile(BP_SERVICE_JAR));
    if (IsSkipped() || HasFatalFailure())
        return;
    const QString root = dir.filePath("shop");
    ::writeFile(root + "/pom.xml", pom(dependency("org.apache.commons", "commons-lang3") +
                                       dependency("org.junit.jupiter", "junit-jupiter-api", "test") +
                                       dependency("org.junit.jupiter", "junit-jupiter-engine", "test")));
    ::writeFile(root + "/src/main/java/shop/App.java", kApp);
    ::writeFile(root + "/src/main/java/shop/util/Tool.java", kTool);
    ::writeFile(root + "/src/main/java/shop/cart/Cart.java", kCart);
    const QString testSource = root + "/src/test/java/shop/cart/CartTest.java";
    ::writeFile(testSource, kCartTest);

    // Maven is asked in the background: the window is there at once.
    QSignalSpy status(client(), &TFileMDIClient::statusShown);
    QSignalSpy answered(maven(), &MavenCommands::answered);
    MavenProjectWindow* w = open(root + "/pom.xml");
    ASSERT_TRUE(w);
    EXPECT_TRUE(maven()->mavenRunning());
    ASSERT_FALSE(status.isEmpty());
    EXPECT_EQ(status.first().first().toString(), "Asking Maven about " + root + "/pom.xml...");
    ASSERT_TRUE(waitAnswered(answered));
    ASSERT_TRUE(answered.first().at(1).toBool()) << dialogs_.texts().join("\n").toStdString();
    EXPECT_EQ(topNodes(w->tree()), (QStringList{"shop", "shop.cart", "shop.util", "Tests"}));
    QTreeWidgetItem* tests = w->tree()->topLevelItem(3);
    ASSERT_EQ(tests->childCount(), 1);
    EXPECT_EQ(tests->child(0)->text(0), "shop.cart");
    EXPECT_EQ(tests->child(0)->child(0)->text(0), "CartTest.java");
    EXPECT_EQ(w->model().origin, ProjectOrigin::MavenPom);
    EXPECT_TRUE(w->model().classPathText.value_or("").contains("commons-lang3"));

    // A double-click on a source opens it.
    emit w->tree()->itemActivated(w->tree()->topLevelItem(1)->child(0), 0);
    ASSERT_TRUE(current());
    EXPECT_EQ(current()->editor()->source()->fileName(), root + "/src/main/java/shop/cart/Cart.java");
    client()->bringToFront(w);
    w->tree()->setFocus();
    // The warm compiler moved to the project's folder.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return service->state() == CompileService::State::Ready && service->setup().workDir == root; }, 60000));

    // F9: the sources into target/classes, the tests into target/test-classes.
    trigger(cmd::JavaCompile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !JavacRunner::active() && dialogs_.messages.size(); }, 120000));
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_TRUE(QFileInfo::exists(root + "/target/classes/shop/App.class"));
    EXPECT_TRUE(QFileInfo::exists(root + "/target/classes/shop/util/Tool.class"));
    EXPECT_TRUE(QFileInfo::exists(root + "/target/test-classes/shop/cart/CartTest.class"));
    EXPECT_TRUE(maven()->compiledWarm());
    EXPECT_TRUE(outOfDateSources(w->model().sources, w->model().sourceRoots, root + "/target/classes").isEmpty());

    // A source window of the project: the check while typing, completion and
    // Go to Definition get Maven's class path, and F9 there compiles the project.
    const QString app = root + "/src/main/java/shop/App.java";
    EXPECT_TRUE(makeargsList(app).join(' ').contains("commons-lang3"));
    EXPECT_TRUE(makeargsList(root + "/src/test/java/shop/cart/CartTest.java").join(' ').contains("target/classes"));
    const QDateTime before = QFileInfo(root + "/target/classes/shop/App.class").lastModified();
    QTest::qWait(1100);
    ::writeFile(app, kApp);
    emit w->tree()->itemActivated(w->tree()->topLevelItem(0)->child(0), 0);
    ASSERT_TRUE(current());
    ASSERT_EQ(current()->editor()->source()->fileName(), app);
    const size_t shown = dialogs_.messages.size();
    trigger(cmd::JavaCompile);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !JavacRunner::active() && dialogs_.messages.size() > shown; }, 120000));
    EXPECT_EQ(dialogs_.messages.back().text, "Compilation success");
    EXPECT_GT(QFileInfo(root + "/target/classes/shop/App.class").lastModified(), before);
    EXPECT_FALSE(QFileInfo::exists(root + "/src/main/java/shop/App.class"));
    // (Java Run would start the last source shown that has a main: not here.)
    current()->close();
    client()->bringToFront(w);
    w->tree()->setFocus();

    // Java Run: two classes have a main; the one chosen runs, with commons-lang3.
    const QString standIn = sourceDir() + "/tests/stand-ins/terminal.sh";
    const QString log = dir.filePath("term");
    qputenv("BREWPAD_STANDIN_LOG", log.toUtf8());
    doscmd = standIn;
    dialogs_.choiceAnswers.push_back(0);
    trigger(cmd::JavaRun);
    ASSERT_EQ(dialogs_.choices.size(), 1u);
    EXPECT_EQ(dialogs_.choices.back().items, (QStringList{"shop.App", "shop.util.Tool"}));
    ASSERT_TRUE(waitForFile(log + ".done"));
    EXPECT_TRUE(readFile(log + ".out").startsWith("Shop 3\n")) << readFile(log + ".out").toStdString();
    qunsetenv("BREWPAD_STANDIN_LOG");

    // Run Tests: the test classes from target/test-classes.
    trigger(cmd::RunTests);
    TestCommands& t = client()->tests();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return t.results() && !t.testRun().running() && t.results()->tree()->topLevelItemCount(); }, 120000));
    EXPECT_EQ(t.results()->summary()->text(), "1 passed, 1 failed, 0 skipped");
    EXPECT_EQ(t.results()->tree()->topLevelItem(0)->text(0), "shop.cart.CartTest");

    // Build with Maven: its output in the Console, the failed test in the messages.
    client()->bringToFront(w);
    w->tree()->setFocus();
    QSignalSpy built(maven(), &MavenCommands::built);
    trigger(cmd::BuildWithMaven);
    ASSERT_TRUE(built.wait(300000));
    EXPECT_NE(built.first().first().toInt(), 0);  // a test fails
    ConsoleWindow* console = client()->debugger().console();
    ASSERT_TRUE(console);
    EXPECT_TRUE(console->shownText().contains("Tests run: 2, Failures: 1")) << console->shownText().toStdString();
    TBrowserWindow* list = client()->messageList();
    ASSERT_TRUE(list);
    ASSERT_GE(list->GetCount(), 1);
    EXPECT_TRUE(list->GetString(0).startsWith(testSource + ":9: error: CartTest.bad"))
        << list->GetString(0).toStdString();
    emit list->doubleClicked(list->model()->index(0, 0));
    ASSERT_TRUE(current());
    EXPECT_EQ(current()->editor()->source()->fileName(), testSource);
    EXPECT_EQ(current()->editor()->textCursor().blockNumber() + 1, 9);
    stopService();
}

TEST_F(MavenProject, UnresolvedDependencyIsNamedWithWhatToDo)
{
    // Maven's own words when an artifact is not in the local repository.
    standInMaven(
        "echo '[INFO] Scanning for projects...'\n"
        "echo '[ERROR] Failed to execute goal on project shop: Could not resolve dependencies for project "
        "p:shop:jar:1.0: Cannot access central (https://repo.maven.apache.org/maven2) in offline mode and the "
        "artifact org.example:gone:jar:9.9 has not been downloaded from it before. -> [Help 1]'\n"
        "exit 1\n");
    ::writeFile(dir.filePath("gone/pom.xml"), pom(dependency("org.example", "gone")));
    QSignalSpy answered(maven(), &MavenCommands::answered);
    MavenProjectWindow* w = open(dir.filePath("gone/pom.xml"));
    ASSERT_TRUE(w);
    ASSERT_TRUE(waitAnswered(answered));
    EXPECT_FALSE(answered.first().at(1).toBool());
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    const QString text = dialogs_.messages.back().text;
    EXPECT_TRUE(text.contains("org.example:gone:jar:9.9")) << text.toStdString();
    EXPECT_TRUE(text.contains("Install the Debian package")) << text.toStdString();
    EXPECT_TRUE(text.contains("run Maven online once")) << text.toStdString();
    // Nothing to compile or build in a project Maven could not read.
    EXPECT_FALSE(enabled(cmd::JavaCompile));
    EXPECT_FALSE(enabled(cmd::BuildWithMaven));
}

TEST_F(MavenProject, StopEndsMavensWholeProcessGroup)
{
    // The script starts a JVM of its own, as mvn does.
    const QString pidFile = dir.filePath("child.pid");
    standInMaven("sleep 300 &\necho $! > '" + pidFile.toUtf8() + "'\nwait\n");
    ::writeFile(dir.filePath("slow/pom.xml"), pom(""));
    MavenProjectWindow* w = open(dir.filePath("slow/pom.xml"));
    ASSERT_TRUE(w);
    ASSERT_TRUE(waitForFile(pidFile));
    const qint64 child = readFile(pidFile).trimmed().toLongLong();
    ASSERT_GT(child, 0);
    QSignalSpy answered(maven(), &MavenCommands::answered);
    trigger(cmd::StopCompiling);
    EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(child); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !maven()->mavenRunning(); }, 10000));
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(topNodes(w->tree()), QStringList{"Maven was stopped: open the project again"});

    // Closing the window gives the question up too.
    QFile::remove(pidFile);
    open(dir.filePath("slow/pom.xml"));
    ASSERT_TRUE(waitForFile(pidFile));
    const qint64 second = readFile(pidFile).trimmed().toLongLong();
    w->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return processEnded(second); }, 10000));
}
