// SPDX-License-Identifier: GPL-3.0-or-later
// Jars in a lib/ folder and sources in the folders of their package, through
// the main window with the real javac, java and JUnit of this machine and a
// stand-in terminal: completion, F9, Java Run and Run Tests all see the jar,
// and a packaged source compiles into its package's folders and runs by its
// name with its package.
#include "service_fixture.h"

#include "toolchain/building/filebuild.h"
#include "toolchain/testing/junitjars.h"
#include "workspace/testcommands.h"
#include "workspace/testresultswindow.h"
#include "editor/completionpopup.h"

#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTextCursor>
#include <QTreeWidget>

namespace {

// The library of the jar: one class of a package.
const char kGreeter[] =
    "package org.demo.text;\n"
    "public class Greeter {\n"
    "    public static String greet(String name) { return \"hello, \" + name; }\n"
    "}\n";

class Libraries : public ServiceTest {
protected:
    // The jar is made once for the program: javac and jar of this machine.
    static void SetUpTestSuite()
    {
        const QString javac = findJavac();
        if (javac.isEmpty())
            return;
        const QString bin = QFileInfo(QFileInfo(javac).canonicalFilePath()).absolutePath();
        jarDir = new QTemporaryDir;
        const QString src = jarDir->filePath("org/demo/text/Greeter.java");
        QDir().mkpath(QFileInfo(src).absolutePath());
        ::writeFile(src, kGreeter);
        QProcess p;
        p.setWorkingDirectory(jarDir->path());
        p.start(javac, {"-d", "classes", src});
        p.waitForFinished(60000);
        p.start(bin + "/jar", {"cf", "greeter.jar", "-C", "classes", "."});
        p.waitForFinished(60000);
        p.start(bin + "/jar", {"cf", "greeter-sources.jar", "org/demo/text/Greeter.java"});
        p.waitForFinished(60000);
    }
    static void TearDownTestSuite()
    {
        delete jarDir;
        jarDir = nullptr;
    }
    void SetUp() override
    {
        CompileTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
        if (IsSkipped())
            return;
        ASSERT_TRUE(jarDir && QFileInfo::exists(jarDir->filePath("greeter.jar")));
        const QString standIn = sourceDir() + "/tests/stand-ins/terminal.sh";
        ASSERT_TRUE(QFileInfo(standIn).isExecutable());
        log = dir.filePath("term");
        qputenv("BREWPAD_STANDIN_LOG", log.toUtf8());
        doscmd = standIn;
        oldCache = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    }
    void TearDown() override
    {
        qunsetenv("BREWPAD_STANDIN_LOG");
        qputenv("XDG_CACHE_HOME", oldCache);
        EDITDESTINATION.reset();
        CompileTest::TearDown();
        stopService();
    }
    // Puts the jar into the folder `lib` of the test's folder.
    void addJar(const QString& lib, const QString& name = "greeter.jar")
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath(lib));
        ASSERT_TRUE(QFile::copy(jarDir->filePath(name), dir.filePath(lib + "/" + name)));
    }
    // Presses F12 with the caret in the first `word` of the active window and
    // waits until the status bar tells the outcome.
    void goToDefinitionOf(const QString& word)
    {
        EditControl* e = current()->editor();
        QTextCursor c = e->textCursor();
        c.setPosition(int(e->toPlainText().indexOf(word)) + 1);
        e->setTextCursor(c);
        e->setFocus();
        press(Qt::Key_F12);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app->statusMessage().contains("looking"); }, 30000))
            << app->statusMessage().toStdString();
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
    QString cwd() { return QString::fromUtf8(readFile(log + ".cwd").trimmed()); }
    QString canonical(const QString& name) { return QFileInfo(dir.filePath(name)).canonicalFilePath(); }

    static QTemporaryDir* jarDir;
    QString log;
    QByteArray oldCache;
};

QTemporaryDir* Libraries::jarDir = nullptr;

const char kHello[] =
    "import org.demo.text.Greeter;\n"
    "public class Hello {\n"
    "    public static void main(String[] a) {\n"
    "        System.out.println(Greeter.greet(\"lib\"));\n"
    "    }\n"
    "}\n";

}  // namespace

TEST_F(Libraries, AJarInLibReachesCompletionF9AndJavaRun)
{
    addJar("lib");
    TFileMDIChild* w = openJava(writeFile("Hello.java", kHello));
    ASSERT_NE(w, nullptr);

    // Completion knows the jar's class.
    startService(builtFile(BP_SERVICE_JAR));
    if (IsSkipped() || HasFatalFailure())
        return;
    QString text = QString::fromLatin1(kHello);
    text.replace("Greeter.greet(\"lib\")", "Greeter.gr");
    w->editor()->setPlainText(text);
    QTextCursor c = w->editor()->textCursor();
    c.setPosition(int(text.indexOf("Greeter.gr")) + 10);
    w->editor()->setTextCursor(c);
    w->editor()->setFocus();
    // The first answers of a service just started may come late, and words
    // of the text stand in for them: asked again then.
    CompletionPopup* popup = nullptr;
    for (int i = 0; i < 4; ++i) {
        trigger(cmd::Complete);
        popup = w->editor()->findChild<CompletionPopup*>();
        ASSERT_TRUE(popup && QTest::qWaitFor([&] { return popup->isVisible(); }, 60000));
        if (!app->statusMessage().contains("busy"))
            break;
        popup->hide();
        QTest::qWait(2000);
    }
    ASSERT_NE(popup->chosen(), nullptr);
    EXPECT_EQ(popup->chosen()->name, "greet") << app->statusMessage().toStdString();
    popup->hide();
    w->editor()->setPlainText(QString::fromLatin1(kHello));
    w->editor()->document()->setModified(false);

    // Go to Definition into the jar's class: its public members, read-only.
    goToDefinitionOf("greet(");
    TFileMDIChild* view = current();
    ASSERT_NE(view, w) << app->statusMessage().toStdString();
    EXPECT_TRUE(view->editor()->source()->fileName().endsWith("/members/org/demo/text/Greeter.java"));
    EXPECT_TRUE(view->editor()->isReadOnly());
    EXPECT_TRUE(app->statusMessage().contains("(a class of a jar on the class path, read-only)"))
        << app->statusMessage().toStdString();
    EXPECT_EQ(view->editor()->textCursor().selectedText(), "greet");
    EXPECT_TRUE(view->editor()->toPlainText().contains("public static java.lang.String greet(java.lang.String"));
    // With its -sources.jar beside it: the class's own source.
    addJar("lib", "greeter-sources.jar");
    client()->bringToFront(w);
    goToDefinitionOf("greet(");
    TFileMDIChild* source = current();
    ASSERT_NE(source, w);
    EXPECT_TRUE(source->editor()->source()->fileName().endsWith("/sources/org/demo/text/Greeter.java"));
    EXPECT_EQ(source->editor()->textCursor().blockNumber() + 1, 3);
    EXPECT_TRUE(source->editor()->isReadOnly());
    client()->bringToFront(w);

    // F9 compiles with the jar, and says once that it was added.
    compile();
    ASSERT_TRUE(w->build().IsCompiled) << app->statusMessage().toStdString();
    EXPECT_TRUE(app->statusMessage().endsWith("; Class path: lib/greeter.jar added"))
        << app->statusMessage().toStdString();
    compile();
    EXPECT_FALSE(app->statusMessage().contains("Class path:")) << app->statusMessage().toStdString();

    // Java Run: the class's folder, then the jar.
    const QStringList argv = runAndWait();
    EXPECT_EQ(argv.mid(argv.indexOf("-classpath")),
              (QStringList{"-classpath", dir.path() + ":" + dir.filePath("lib/greeter.jar"), "Hello"}))
        << argv.join(' ').toStdString();
    EXPECT_TRUE(output().contains("hello, lib")) << output().toStdString();
}

TEST_F(Libraries, APackagedSourceCompilesIntoItsFoldersAndRunsByItsQualifiedName)
{
    // src/com/acme: Shop uses Item, not compiled yet, and the jar of lib/ beside src/.
    addJar("lib");
    ASSERT_TRUE(QDir(dir.path()).mkpath("src/com/acme"));
    writeFile("src/com/acme/Item.java", "package com.acme;\nclass Item { static String name() { return \"tea\"; } }\n");
    TFileMDIChild* w = openJava(writeFile("src/com/acme/Shop.java",
                                          "package com.acme;\n"
                                          "import org.demo.text.Greeter;\n"
                                          "public class Shop {\n"
                                          "    public static void main(String[] a) {\n"
                                          "        System.out.println(Greeter.greet(Item.name()));\n"
                                          "    }\n"
                                          "}\n"));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->build().IsJavaMain);
    compile();
    ASSERT_TRUE(w->build().IsCompiled) << app->statusMessage().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("src/com/acme/Shop.class")));
    EXPECT_TRUE(QFile::exists(dir.filePath("src/com/acme/Item.class")));
    EXPECT_FALSE(QFile::exists(dir.filePath("src/com/acme/com")));

    // Java Run from the package's root, by its qualified name.
    QStringList argv = runAndWait();
    EXPECT_EQ(argv.mid(argv.indexOf("-classpath")),
              (QStringList{"-classpath", dir.filePath("src") + ":" + dir.filePath("lib/greeter.jar"), "com.acme.Shop"}))
        << argv.join(' ').toStdString();
    EXPECT_EQ(cwd(), canonical("src"));
    EXPECT_TRUE(output().contains("hello, tea")) << output().toStdString();

    // A Destination Directory takes the package's folders below it.
    EDITDESTINATION = dir.filePath("out");
    compile();
    ASSERT_TRUE(w->build().IsCompiled) << app->statusMessage().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("out/com/acme/Shop.class")));
    argv = runAndWait();
    EXPECT_EQ(argv.mid(argv.indexOf("-classpath")),
              (QStringList{"-classpath", dir.filePath("out") + ":" + dir.filePath("lib/greeter.jar"), "com.acme.Shop"}))
        << argv.join(' ').toStdString();
    EXPECT_TRUE(output().contains("hello, tea")) << output().toStdString();
}

TEST_F(Libraries, AJUnitTestInAPackageRunsWithRunTests)
{
    if (junitJars().isEmpty())
        GTEST_SKIP() << "JUnit is not installed";
    addJar("lib");
    ASSERT_TRUE(QDir(dir.path()).mkpath("src/com/acme"));
    writeFile("src/com/acme/Item.java", "package com.acme;\nclass Item { static String name() { return \"tea\"; } }\n");
    ASSERT_TRUE(openJava(writeFile("src/com/acme/ShopTest.java",
                                   "package com.acme;\n"
                                   "import org.demo.text.Greeter;\n"
                                   "import org.junit.jupiter.api.Test;\n"
                                   "import static org.junit.jupiter.api.Assertions.*;\n"
                                   "class ShopTest {\n"
                                   "    @Test void greets() { assertEquals(\"hello, tea\", Greeter.greet(Item.name())); }\n"
                                   "}\n")));
    TestCommands& tests = client()->tests();
    trigger(cmd::RunTests);
    const bool done = QTest::qWaitFor(
        [&] { return tests.results() && !tests.testRun().running() && tests.results()->tree()->topLevelItemCount(); },
        90000);
    ASSERT_TRUE(done) << (dialogs_.messages.empty() ? app->statusMessage() : dialogs_.messages.back().text)
                             .toStdString();
    EXPECT_EQ(tests.results()->summary()->text(), "1 passed, 0 failed, 0 skipped");
    EXPECT_EQ(tests.results()->tree()->topLevelItem(0)->text(0), "com.acme.ShopTest");
}
