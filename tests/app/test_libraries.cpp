// SPDX-License-Identifier: GPL-3.0-or-later
// Jars in a lib/ folder and sources in the folders of their package, through
// the main window with the real javac, java and JUnit of this machine and a
// stand-in terminal: completion, F9, Java Run and Run Tests all see the jar,
// and a packaged source compiles into its package's folders and runs by its
// name with its package.
#include "compile_fixture.h"

#include "toolchain/building/filebuild.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/navigation/docpane.h"
#include "toolchain/testing/junitjars.h"
#include "workspace/documentationcontroller.h"
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
    "    /** Says hello to {@code name}. */ public static String greet(String name) { return \"hello, \" + name; }\n"
    "}\n";

// A zip of `files` (name, bytes), stored without compression: a jar.
QByteArray storedZip(const QList<std::pair<QByteArray, QByteArray>>& files)
{
    auto crc32 = [](const QByteArray& b) {
        quint32 c = 0xffffffffu;
        for (char ch : b) {
            c ^= quint8(ch);
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
        }
        return ~c;
    };
    auto le = [](QByteArray& out, quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out += char((v >> (8 * i)) & 0xff);
    };
    QByteArray out, central;
    for (const auto& [name, bytes] : files) {
        const quint32 offset = quint32(out.size()), crc = crc32(bytes), size = quint32(bytes.size());
        le(out, 0x04034b50, 4), le(out, 10, 2), le(out, 0, 2), le(out, 0, 2), le(out, 0, 4);
        le(out, crc, 4), le(out, size, 4), le(out, size, 4), le(out, quint32(name.size()), 2), le(out, 0, 2);
        out += name + bytes;
        le(central, 0x02014b50, 4), le(central, 10, 2), le(central, 10, 2), le(central, 0, 2), le(central, 0, 2);
        le(central, 0, 4), le(central, crc, 4), le(central, size, 4), le(central, size, 4);
        le(central, quint32(name.size()), 2), le(central, 0, 2), le(central, 0, 2), le(central, 0, 2);
        le(central, 0, 2), le(central, 0, 4), le(central, offset, 4);
        central += name;
    }
    const quint32 at = quint32(out.size());
    out += central;
    le(out, 0x06054b50, 4), le(out, 0, 2), le(out, 0, 2), le(out, quint32(files.size()), 2);
    le(out, quint32(files.size()), 2), le(out, quint32(central.size()), 4), le(out, at, 4), le(out, 0, 2);
    return out;
}

// One compile service for the program's tests: F9 and Run Tests compile
// through it too, so that few JVMs start.
class Libraries : public CompileTest {
protected:
    // The jars are made once: the class by the javac of this machine, the
    // jars written here.
    static void SetUpTestSuite()
    {
        const QString javac = findJavac();
        if (javac.isEmpty())
            return;
        jarDir = new QTemporaryDir;
        const QString src = jarDir->filePath("org/demo/text/Greeter.java");
        QDir().mkpath(QFileInfo(src).absolutePath());
        ::writeFile(src, kGreeter);
        QProcess p;
        p.setWorkingDirectory(jarDir->path());
        p.start(javac, {"-d", "classes", src});
        p.waitForFinished(60000);
        const QByteArray manifest = "Manifest-Version: 1.0\r\n\r\n";
        ::writeFile(jarDir->filePath("greeter.jar"),
                    storedZip({{"META-INF/MANIFEST.MF", manifest},
                               {"org/demo/text/Greeter.class",
                                readFile(jarDir->filePath("classes/org/demo/text/Greeter.class"))}}));
        ::writeFile(jarDir->filePath("greeter-sources.jar"),
                    storedZip({{"META-INF/MANIFEST.MF", manifest}, {"org/demo/text/Greeter.java", kGreeter}}));
        cache = new QTemporaryDir;
        if (!QFileInfo(builtFile(BP_SERVICE_JAR)).isFile())
            return;
        service = new CompileService;
        service->setJar(builtFile(BP_SERVICE_JAR));
        service->start(
            ServiceSetup{CompileService::javaBinFor(javac), CompileService::jvmOptionsFor({}), cache->path()});
    }
    static void TearDownTestSuite()
    {
        delete service;
        service = nullptr;
        delete jarDir;
        jarDir = nullptr;
        delete cache;
        cache = nullptr;
    }
    void SetUp() override
    {
        CompileTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
        if (IsSkipped())
            return;
        ASSERT_TRUE(jarDir && QFileInfo::exists(jarDir->filePath("classes/org/demo/text/Greeter.class")));
        if (!service)
            GTEST_SKIP() << "built without the compile service";
        ASSERT_TRUE(QTest::qWaitFor([&] { return service->state() != CompileService::State::Starting; }, 60000));
        ASSERT_EQ(int(service->state()), int(CompileService::State::Ready)) << service->lastError().toStdString();
        setSharedCompileService(service);
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
        setSharedCompileService(nullptr);
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
    // Presses Shift+F1 with the caret in the first `word` of the active window
    // and gives what the Documentation pane then shows.
    QString documentationOf(const QString& word)
    {
        EditControl* e = current()->editor();
        QTextCursor c = e->textCursor();
        c.setPosition(int(e->toPlainText().indexOf(word)) + 1);
        e->setTextCursor(c);
        e->setFocus();
        press(QKeyCombination(Qt::SHIFT, Qt::Key_F1));
        DocPane* pane = client()->documentation().pane();
        if (!pane)
            return QString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !pane->shownText().startsWith("Looking for"); }, 60000));
        return pane->shownText();
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
    static QTemporaryDir* cache;
    static CompileService* service;
    QString log;
    QByteArray oldCache;
};

QTemporaryDir* Libraries::jarDir = nullptr;
QTemporaryDir* Libraries::cache = nullptr;
CompileService* Libraries::service = nullptr;

const char kHello[] =
    "import org.demo.text.Greeter;\n"
    "public class Hello {\n"
    "    public static void main(String[] a) {\n"
    "        System.out.println(Greeter.greet(\"lib\"));\n"
    "    }\n"
    "}\n";

}  // namespace

// Show Documentation on a class of a jar: its comment comes from the jar's -sources.jar.
TEST_F(Libraries, TheDocumentationOfAJarsClassComesFromItsSourcesJar)
{
    addJar("lib");
    TFileMDIChild* w = openJava(writeFile("Hello.java", kHello));
    ASSERT_NE(w, nullptr);
    QString page = documentationOf("greet(");
    EXPECT_TRUE(page.startsWith("public static String greet(String")) << page.toStdString();
    EXPECT_TRUE(page.contains("No documentation found for greet.")) << page.toStdString();
    addJar("lib", "greeter-sources.jar");
    client()->bringToFront(w);
    page = documentationOf("greet(");
    EXPECT_TRUE(page.startsWith("public static String greet(String name)")) << page.toStdString();
    EXPECT_TRUE(page.contains("Says hello to name.")) << page.toStdString();
}

TEST_F(Libraries, AJarInLibReachesCompletionF9AndJavaRun)
{
    addJar("lib");
    TFileMDIChild* w = openJava(writeFile("Hello.java", kHello));
    ASSERT_NE(w, nullptr);

    // Completion knows the jar's class.
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

    // A .jpr beside lib/ compiles its entries with the jar too.
    ASSERT_TRUE(QFile::remove(dir.filePath("Hello.class")));
    dialogs_.openPaths.push_back(writeFile("shop.jpr", "Hello.java\n"));
    trigger(cmd::OpenJavaProj);
    ASSERT_TRUE(current() && current()->isProject());
    compile();
    EXPECT_TRUE(current()->build().IsCompiled) << app->statusMessage().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("Hello.class")));
}

TEST_F(Libraries, APackagedSourceCompilesIntoItsFoldersAndRunsByItsQualifiedName)
{
    // src/com/acme: Shop uses Item, not compiled yet, and the jar of lib/ beside src/.
    addJar("lib");
    ASSERT_TRUE(QDir(dir.path()).mkpath("src/com/acme"));
    writeFile("src/com/acme/Item.java",
              "package com.acme;\nclass Item { static String name() { return \"tea\"; } }\n");
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
    // Another lib/ folder, another set of jars: named again.
    EXPECT_TRUE(app->statusMessage().endsWith("; Class path: lib/greeter.jar added"))
        << app->statusMessage().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("src/com/acme/Shop.class")));
    EXPECT_TRUE(QFile::exists(dir.filePath("src/com/acme/Item.class")));
    EXPECT_FALSE(QFile::exists(dir.filePath("src/com/acme/com")));

    // Java Run from the package's root, by its qualified name.
    QStringList argv = runAndWait();
    EXPECT_EQ(
        argv.mid(argv.indexOf("-classpath")),
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
    EXPECT_EQ(
        argv.mid(argv.indexOf("-classpath")),
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
    writeFile("src/com/acme/Item.java",
              "package com.acme;\nclass Item { static String name() { return \"tea\"; } }\n");
    ASSERT_TRUE(
        openJava(writeFile("src/com/acme/ShopTest.java",
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
    ASSERT_TRUE(done)
        << (dialogs_.messages.empty() ? app->statusMessage() : dialogs_.messages.back().text).toStdString();
    EXPECT_EQ(tests.results()->summary()->text(), "1 passed, 0 failed, 0 skipped");
    EXPECT_EQ(tests.results()->tree()->topLevelItem(0)->text(0), "com.acme.ShopTest");
}
