// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service against the real javac of this machine: the same exit
// status, the same capture bytes and the same class files as a javac process
// in the same directory; javac again whenever the service cannot serve; and
// checks of a text in memory that write nothing.
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "support.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {

// The javac of this machine (tests/support/support.h), empty when there is none.
QString javacPath()
{
    static const QString path = findJavac();
    return path;
}

bool haveJdk()
{
    return !javacPath().isEmpty() && QFileInfo(javacPath()).isExecutable() &&
           !CompileService::javaBinFor(javacPath()).isEmpty() && QFileInfo(builtFile(BP_SERVICE_JAR)).isFile();
}

// Spins the event loop until `done` holds or `ms` have passed.
// Every file below `dir` with its bytes (the capture directory excluded).
QMap<QString, QByteArray> tree(const QString& dir)
{
    QMap<QString, QByteArray> m;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        const QString rel = QDir(dir).relativeFilePath(p);
        if (!rel.startsWith(QLatin1String("capture/")))
            m.insert(rel, readFile(p));
    }
    return m;
}

// One warm service for the whole program, in the directory where every
// compilation of the table runs.
class Warm : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!haveJdk())
            return;
        root = new QTemporaryDir;
        work = root->filePath(QStringLiteral("work"));
        QDir().mkpath(work + QStringLiteral("/capture"));
        service = new CompileService;
        service->setJar(builtFile(BP_SERVICE_JAR));
        service->start(setupFor({}));
        setSharedCompileService(service);
    }
    static void TearDownTestSuite()
    {
        delete service;
        service = nullptr;
        delete root;
        root = nullptr;
    }
    void SetUp() override
    {
        if (!haveJdk())
            GTEST_SKIP() << "no JDK with javac and java, or no compile service jar";
        ASSERT_TRUE(waitFor([] { return service->state() != CompileService::State::Starting; }));
        ASSERT_EQ(int(service->state()), int(CompileService::State::Ready)) << service->lastError().toStdString();
        setSharedCompileService(service);
        clear();
    }
    void TearDown() override { setSharedCompileService(service); }

    static ServiceSetup setupFor(const QStringList& args)
    {
        return ServiceSetup{CompileService::javaBinFor(javacPath()), CompileService::jvmOptionsFor(args), work};
    }
    // Empties the working directory.
    static void clear()
    {
        QDir d(work);
        for (const QFileInfo& fi : d.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (fi.fileName() == QLatin1String("capture"))
                continue;
            if (fi.isDir())
                QDir(fi.filePath()).removeRecursively();
            else
                QFile::remove(fi.filePath());
        }
    }
    static void put(const QString& rel, const QByteArray& text)
    {
        QDir().mkpath(QFileInfo(work + QLatin1Char('/') + rel).absolutePath());
        EXPECT_TRUE(writeFile(work + QLatin1Char('/') + rel, text));
    }
    static QString path(const QString& rel) { return work + QLatin1Char('/') + rel; }

    struct Run {
        CompileOutcome outcome;
        QByteArray capture;
        QMap<QString, QByteArray> files;
        bool viaService = false;
    };
    // One compilation through JavacRunner, as F9 does it.
    static Run compile(const QStringList& args, const QString& javac = QString())
    {
        const QString capture = work + QStringLiteral("/capture/c.err");
        JavacRunner runner;
        QEventLoop loop;
        Run r;
        QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& o) {
            r.outcome = o;
            loop.quit();
        });
        EXPECT_TRUE(runner.start(javac.isEmpty() ? javacPath() : javac, args, work, capture));
        loop.exec();
        r.capture = readFile(capture);
        r.files = tree(work);
        r.viaService = runner.usedService();
        return r;
    }
    // The same compilation by a javac process and by the service, each from
    // the same files: equal in every respect.
    static void expectSame(const QStringList& args, bool verbose = false)
    {
        const QMap<QString, QByteArray> before = tree(work);
        setSharedCompileService(nullptr);
        // Quicker for the test, with the same output.
        Run cold = compile(
            QStringList{QStringLiteral("-J-XX:TieredStopAtLevel=1"), QStringLiteral("-J-XX:+UseSerialGC")} + args);
        setSharedCompileService(service);
        EXPECT_FALSE(cold.viaService);
        // Back to the files as they were.
        clear();
        for (auto it = before.begin(); it != before.end(); ++it)
            put(it.key(), it.value());
        Run warm = compile(args);
        EXPECT_TRUE(warm.viaService) << "not compiled by the service: " << service->lastError().toStdString();
        if (verbose) {
            // -verbose tells times, and loads the modules' descriptions in
            // an order that changes from one JVM to the next.
            static const QRegularExpression ms(QStringLiteral("\\d+ ?ms"));
            for (QByteArray* c : {&cold.capture, &warm.capture}) {
                QStringList lines =
                    QString::fromLatin1(*c).replace(ms, QStringLiteral("#ms")).split(QLatin1Char('\n'));
                lines.sort();
                *c = lines.join(QLatin1Char('\n')).toLatin1();
            }
        }
        EXPECT_EQ(int(warm.outcome.kind), int(cold.outcome.kind));
        EXPECT_EQ(warm.outcome.exitCode, cold.outcome.exitCode);
        EXPECT_EQ(warm.capture.toStdString(), cold.capture.toStdString());
        EXPECT_EQ(warm.files.keys(), cold.files.keys());
        EXPECT_TRUE(warm.files == cold.files) << "the class files differ";
    }

    static inline QTemporaryDir* root = nullptr;
    static inline QString work;
    static inline CompileService* service = nullptr;
};

const QByteArray kHello =
    "public class Hello {\n    public static void main(String[] a) { System.out.println(\"hi\"); }\n}\n";
const QByteArray kBad =
    "public class Bad {\n    int x = \"text\";\n    void f() { undefined(); Other o = new Other(); }\n}\n";
const QByteArray kOther = "class Other {\n    String s = 42;\n}\n";
const QByteArray kWarn =
    "import java.util.*;\npublic class Warn {\n"
    "    @SuppressWarnings(\"removal\") Date d = new Date(2000, 1, 1);\n"
    "    List raw = new ArrayList();\n    void f() { raw.add(\"x\"); }\n}\n";

}  // namespace

TEST_F(Warm, AGoodSourceByItsFullPath)
{
    put("Hello.java", kHello);
    expectSame({QStringLiteral("-g"), QStringLiteral("-nowarn"), path("Hello.java")});
}

TEST_F(Warm, ErrorsInTheSourceAndInAClassFoundBesideIt)
{
    put("Bad.java", kBad);
    put("Other.java", kOther);
    expectSame({path("Bad.java")});
    expectSame({QStringLiteral("-classpath"), QStringLiteral("."), QStringLiteral("Bad.java")});
}

TEST_F(Warm, WarningsAndNotes)
{
    put("Warn.java", kWarn);
    expectSame({QStringLiteral("Warn.java")});
    expectSame({QStringLiteral("-deprecation"), QStringLiteral("Warn.java")});
    expectSame({QStringLiteral("-Xlint:unchecked"), QStringLiteral("-Werror"), QStringLiteral("Warn.java")});
}

TEST_F(Warm, PackagesAndDestinations)
{
    put("p/q/Pk.java", "package p.q;\npublic class Pk { public static int v() { return 1; } }\n");
    put("Use.java", "import p.q.Pk;\npublic class Use { int v = Pk.v(); }\n");
    QDir().mkpath(path("out"));
    expectSame({QStringLiteral("-d"), QStringLiteral("out"), QStringLiteral("Use.java")});
    expectSame({QStringLiteral("-d"), path("out"), path("Use.java")});
    // A destination that does not exist, and an empty one.
    expectSame({QStringLiteral("-d"), QStringLiteral("nowhere/deep"), QStringLiteral("Use.java")});
    expectSame({QStringLiteral("-d"), QString(), QStringLiteral("Use.java")});
}

TEST_F(Warm, SeveralFilesAsAProjectListsThem)
{
    put("A.java", "public class A { B b = new B(); }\n");
    put("B.java", "public class B { C c; }\n");
    put("C.java", "public class C { int n = \"no\"; }\n");
    put("-Dash.java", "public class Dash {}\n");
    expectSame({QStringLiteral("A.java"), QStringLiteral("B.java")});
    expectSame({QStringLiteral("-Xprefer:newer"), QStringLiteral("A.java"), QStringLiteral("B.java"),
                QStringLiteral("C.java"), QStringLiteral("./-Dash.java")});
}

TEST_F(Warm, RelativeAbsoluteAndWildcardClassPaths)
{
    put("libsrc/lib/Tool.java",
        "package lib;\npublic class Tool { public static String name() { return \"t\"; } }\n");
    QDir().mkpath(path("classes"));
    setSharedCompileService(nullptr);
    ASSERT_EQ(int(compile({QStringLiteral("-d"), QStringLiteral("classes"), QStringLiteral("libsrc/lib/Tool.java")})
                      .outcome.kind),
              int(CompileOutcome::Success));
    setSharedCompileService(service);
    QDir(path("libsrc")).removeRecursively();
    put("App.java", "public class App { String n = lib.Tool.name(); Missing m; }\n");
    expectSame({QStringLiteral("-classpath"), QStringLiteral("classes:."), QStringLiteral("App.java")});
    expectSame({QStringLiteral("-classpath"), path("classes"), path("App.java")});
    expectSame({QStringLiteral("-classpath"), QStringLiteral("nothing/here"), QStringLiteral("App.java")});
    // "dir/*" stands for the jars of dir, as the javac launcher expands it;
    // -verbose shows the search path (its timings masked).
    QDir().mkpath(path("jars"));
    QFile::copy(CompileService::javaBinFor(javacPath()) + QStringLiteral("/../lib/jrt-fs.jar"), path("jars/z.jar"));
    expectSame({QStringLiteral("-verbose"), QStringLiteral("-classpath"), QStringLiteral("jars/*:classes"),
                QStringLiteral("App.java")},
               true);
}

TEST_F(Warm, CommandLineErrors)
{
    put("Hello.java", kHello);
    expectSame({QStringLiteral("-O"), QStringLiteral("Hello.java")});
    expectSame({QStringLiteral("Missing.java")});
    expectSame({QStringLiteral("-classpath")});
}

TEST_F(Warm, TextOutsideAscii)
{
    put("Accent.java", "public class Accent { int caf\xc3\xa9 = \"d\xc3\xa9j\xc3\xa0\"; }\n");
    expectSame({QStringLiteral("Accent.java")});
}

// Two projects in turn, each with an error and a warning: the service
// compiles both where it runs, with the names, class path and destination a
// javac started in each directory would use, and is never started anew.
TEST_F(Warm, TwoFoldersInTurnStayWarm)
{
    const QString home = work;
    QTemporaryDir other;
    const qint64 pid = service->processId();
    const QStringList dirs{home, other.path()};
    for (int round = 0; round < 2; ++round) {
        for (const QString& dir : dirs) {
            work = dir;
            QDir().mkpath(path("capture"));
            clear();
            put("Warn.java", kWarn);
            put("src/Bad.java", kBad);
            put("src/Other.java", kOther);
            put("p/q/Pk.java", "package p.q;\npublic class Pk { public static int v() { return 1; } }\n");
            put("Use.java", "import p.q.Pk;\npublic class Use { int v = Pk.v(); String s = 1; }\n");
            put("out/readme.txt", "classes\n");  // so that clearing between runs keeps it
            expectSame({QStringLiteral("-classpath"), QStringLiteral("."), QStringLiteral("-d"),
                        QStringLiteral("out"), QStringLiteral("-Xlint:unchecked"), QStringLiteral("Warn.java"),
                        QStringLiteral("Use.java")});
            expectSame({QStringLiteral("-deprecation"), QStringLiteral("-g"), QStringLiteral("Warn.java"),
                        QStringLiteral("src/Bad.java")});
            expectSame({QStringLiteral("-classpath"), QStringLiteral("src:."), QStringLiteral("-d"), path("out"),
                        QStringLiteral("./src/Bad.java"), path("Use.java")});
            expectSame({QStringLiteral("-sourcepath"), QStringLiteral("src"), QStringLiteral("-d"),
                        QStringLiteral("out"), QStringLiteral("-Xlint:rawtypes"), QStringLiteral("Warn.java"),
                        QStringLiteral("src/Bad.java")});
        }
    }
    work = home;
    EXPECT_EQ(service->processId(), pid) << "the service was started anew";
    EXPECT_EQ(service->setup().workDir, home);
}

// What the service cannot make in another directory exactly as a javac
// there would (here -verbose, which names every file as the compiler holds
// it) is compiled by javac there, as always; the service then moves there.
TEST_F(Warm, AnUnusualCompilationElsewhereIsLeftToJavac)
{
    const QString home = work;
    QTemporaryDir other;
    work = other.path();
    QDir().mkpath(path("capture"));
    put("Hello.java", kHello);
    const Run r = compile({QStringLiteral("-verbose"), QStringLiteral("Hello.java")});
    work = home;
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Success));
    EXPECT_FALSE(r.viaService);
    EXPECT_TRUE(QFileInfo::exists(other.filePath(QStringLiteral("Hello.class"))));
    EXPECT_TRUE(r.capture.contains("[wrote Hello.class]")) << r.capture.toStdString();
    EXPECT_EQ(service->setup().workDir, other.path());
    service->start(setupFor({}));
}

TEST(CompileServiceOptions, JavaOptionsBecomeTheJvmsWithAHeapLimit)
{
    const QStringList args{QStringLiteral("-g"), QStringLiteral("-J-Dx=1"), QStringLiteral("A.java")};
    // The service's own settings keep it small; the user's options come last and win.
    const QStringList small{QStringLiteral("-XX:MinHeapFreeRatio=10"), QStringLiteral("-XX:MaxHeapFreeRatio=30"),
                            QStringLiteral("-XX:TieredStopAtLevel=1"),
                            QStringLiteral("-XX:ReservedCodeCacheSize=32m"), QStringLiteral("-XX:-UsePerfData")};
    EXPECT_EQ(CompileService::jvmOptionsFor(args),
              (QStringList{QStringLiteral("-Xmx256m"), QStringLiteral("-Xms8m"), QStringLiteral("-XX:+UseSerialGC")} +
               small + QStringList{QStringLiteral("-Dx=1")}));
    EXPECT_EQ(CompileService::withoutJvmOptions(args), (QStringList{QStringLiteral("-g"), QStringLiteral("A.java")}));
    EXPECT_EQ(CompileService::jvmOptionsFor({QStringLiteral("-J-Xmx1g"), QStringLiteral("-J-XX:+UseG1GC")}),
              (small + QStringList{QStringLiteral("-Xmx1g"), QStringLiteral("-XX:+UseG1GC")}));
}

// ------------------------------------------------------------------ fallback

TEST_F(Warm, WithoutTheJarJavacCompiles)
{
    CompileService none;
    none.setJar(QStringLiteral("/nonexistent/brewpad-compile-service.jar"));
    none.start(setupFor({}));
    EXPECT_EQ(int(none.state()), int(CompileService::State::Unusable));
    put("Bad.java", kBad);
    put("Other.java", kOther);
    setSharedCompileService(nullptr);
    const Run cold = compile({QStringLiteral("Bad.java")});
    clear();
    put("Bad.java", kBad);
    put("Other.java", kOther);
    setSharedCompileService(&none);
    const Run r = compile({QStringLiteral("Bad.java")});
    EXPECT_FALSE(r.viaService);
    EXPECT_EQ(r.outcome.exitCode, cold.outcome.exitCode);
    EXPECT_EQ(r.capture, cold.capture);
}

TEST_F(Warm, WithoutJavaBesideJavacJavacCompiles)
{
    // A javac in a directory with no java: the service cannot be the same JDK.
    QTemporaryDir bin;
    const QString javac = bin.filePath(QStringLiteral("javac"));
    ASSERT_TRUE(writeExecutable(javac, "#!/bin/sh\nexec " + QFile::encodeName(javacPath()) + " \"$@\"\n"));
    EXPECT_TRUE(CompileService::javaBinFor(javac).isEmpty());
    put("Bad.java", kBad);
    put("Other.java", kOther);
    const Run r = compile({QStringLiteral("Bad.java")}, javac);
    EXPECT_FALSE(r.viaService);
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Failed));
    EXPECT_TRUE(r.capture.contains("Bad.java:2: error"));
    EXPECT_EQ(int(service->state()), int(CompileService::State::Ready));
}

TEST_F(Warm, AServiceKilledMidRequestLeavesItToJavac)
{
    put("Bad.java", kBad);
    put("Other.java", kOther);
    setSharedCompileService(nullptr);
    const Run cold = compile({QStringLiteral("Bad.java")});
    setSharedCompileService(service);
    clear();
    put("Bad.java", kBad);
    put("Other.java", kOther);

    const qint64 pid = service->processId();
    ASSERT_GT(pid, 0);
    JavacRunner runner;
    QEventLoop loop;
    CompileOutcome o;
    QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& x) {
        o = x;
        loop.quit();
    });
    const QString capture = work + QStringLiteral("/capture/k.err");
    ASSERT_TRUE(runner.start(javacPath(), {QStringLiteral("Bad.java")}, work, capture));
    ::kill(pid_t(pid), SIGKILL);
    loop.exec();
    EXPECT_FALSE(runner.usedService());
    EXPECT_EQ(int(o.kind), int(cold.outcome.kind));
    EXPECT_EQ(o.exitCode, cold.outcome.exitCode);
    EXPECT_EQ(readFile(capture), cold.capture);
    // It is started again in the background, and serves again.
    ASSERT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    EXPECT_NE(service->processId(), pid);
    EXPECT_TRUE(waitFor([pid] { return processEnded(pid); }, 5000));
}

TEST_F(Warm, ACompilationThatTakesTooLongIsLeftToJavac)
{
    put("Hello.java", kHello);
    const QStringList args{QStringLiteral("-g:lines"), QStringLiteral("Hello.java")};
    service->setTimeout(0);
    const Run r = compile(args);
    service->setTimeout(60000);
    EXPECT_FALSE(r.viaService);
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Success));
    EXPECT_TRUE(r.files.contains(QStringLiteral("Hello.class")));
    ASSERT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    // The same compilation goes straight to javac from now on, without
    // ending the service again; other options go to the service.
    const qint64 pid = service->processId();
    EXPECT_FALSE(compile(args).viaService);
    EXPECT_EQ(service->processId(), pid);
    EXPECT_TRUE(compile({QStringLiteral("-g:source"), QStringLiteral("Hello.java")}).viaService);
}

TEST_F(Warm, StoppingEndsTheServiceAndStartsItAgain)
{
    put("Hello.java", kHello);
    const qint64 pid = service->processId();
    JavacRunner runner;
    QEventLoop loop;
    CompileOutcome o;
    QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& x) {
        o = x;
        loop.quit();
    });
    ASSERT_TRUE(
        runner.start(javacPath(), {QStringLiteral("Hello.java")}, work, work + QStringLiteral("/capture/s.err")));
    EXPECT_TRUE(runner.stop());
    if (runner.isRunning())
        loop.exec();
    EXPECT_EQ(int(o.kind), int(CompileOutcome::Stopped));
    EXPECT_TRUE(waitFor([pid] { return processEnded(pid); }, 5000));
    ASSERT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    EXPECT_NE(service->processId(), pid);
    EXPECT_TRUE(compile({QStringLiteral("Hello.java")}).viaService);
}

TEST_F(Warm, AJvmThatPrintsAsItStartsIsLeftToJavac)
{
    // javac would write the JVM's warning into every capture.
    const QStringList args{QStringLiteral("-J-Xverify:none"), QStringLiteral("Hello.java")};
    CompileService noisy;
    noisy.setJar(builtFile(BP_SERVICE_JAR));
    noisy.start(setupFor(args));
    ASSERT_TRUE(waitFor([&] { return noisy.state() != CompileService::State::Starting; }));
    EXPECT_EQ(int(noisy.state()), int(CompileService::State::Unusable));
    put("Hello.java", kHello);
    setSharedCompileService(&noisy);
    const Run r = compile(args);
    EXPECT_FALSE(r.viaService);
    EXPECT_TRUE(r.capture.contains("warning")) << r.capture.toStdString();
}

// --------------------------------------------------------------------- check

TEST_F(Warm, ACheckFindsErrorsAndWarningsAndWritesNothing)
{
    put("Lib.java", "public class Lib { @Deprecated public static void old() {} }\n");
    const QMap<QString, QByteArray> before = tree(work);
    const QString text = QStringLiteral(
        "public class Typed {\n    void f() {\n        Lib.old();\n"
        "        int n = \"s\";\n    }\n}\n");
    QList<ServiceDiagnostic> got;
    bool done = false;
    QObject ctx;
    QObject::connect(service, &CompileService::checked, &ctx, [&](quint64, const QList<ServiceDiagnostic>& d) {
        got = d;
        done = true;
    });
    ASSERT_NE(service->check(QStringLiteral("Typed.java"), text,
                             {QStringLiteral("-deprecation"), QStringLiteral("-d"), QStringLiteral("out")}, work),
              0u);
    ASSERT_TRUE(waitFor([&] { return done; }));
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].kind, ServiceDiagnostic::Warning);
    EXPECT_EQ(got[0].line, 3);
    EXPECT_EQ(got[0].column, 12);
    EXPECT_TRUE(got[0].message.contains(QLatin1String("deprecated"))) << got[0].message.toStdString();
    EXPECT_EQ(got[1].kind, ServiceDiagnostic::Error);
    EXPECT_EQ(got[1].line, 4);
    EXPECT_EQ(got[1].column, 17);
    EXPECT_TRUE(got[1].message.contains(QLatin1String("String cannot be converted to int")));
    // No class file, no directory, no capture: the folder is as it was.
    EXPECT_TRUE(tree(work) == before);
    EXPECT_FALSE(QFileInfo::exists(path("out")));
}

TEST_F(Warm, ACheckTakesRelativePathsFromItsDirectory)
{
    // The service runs in `work`; the source lies elsewhere, beside its classes.
    QTemporaryDir other;
    EXPECT_TRUE(
        writeFile(other.filePath(QStringLiteral("Near.java")), "public class Near { public static int k = 1; }\n"));
    QList<ServiceDiagnostic> got;
    bool done = false;
    QObject ctx;
    QObject::connect(service, &CompileService::checked, &ctx, [&](quint64, const QList<ServiceDiagnostic>& d) {
        got = d;
        done = true;
    });
    service->check(other.filePath(QStringLiteral("Far.java")),
                   QStringLiteral("public class Far { int k = Near.k; }\n"), {}, other.path());
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_TRUE(got.isEmpty()) << got.value(0).message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(other.filePath(QStringLiteral("Near.class"))));
    EXPECT_FALSE(QFileInfo::exists(other.filePath(QStringLiteral("Far.class"))));
}

TEST_F(Warm, ANewerCheckCancelsAnOlderOne)
{
    QList<quint64> answered;
    QMap<quint64, QString> failed;
    QObject ctx;
    QObject::connect(service, &CompileService::checked, &ctx,
                     [&](quint64 id, const QList<ServiceDiagnostic>&) { answered << id; });
    QObject::connect(service, &CompileService::checkFailed, &ctx, [&](quint64 id, const QString& why) {
        failed.insert(id, why);
        answered << id;
    });
    const quint64 first = service->check(QStringLiteral("T.java"), QStringLiteral("class T { int a = 1 }"), {}, work);
    const quint64 second = service->check(QStringLiteral("T.java"), QStringLiteral("class T { int a = 1; }"), {},
                                          work);
    ASSERT_TRUE(waitFor([&] { return answered.contains(second); }));
    // The first may have been answered before the cancel reached the service,
    // or given up; never after the second.
    EXPECT_LT(answered.indexOf(first), answered.indexOf(second));
    if (failed.contains(first)) {
        EXPECT_EQ(failed.value(first).toStdString(), "cancelled");
    }
    EXPECT_FALSE(failed.contains(second));
}

TEST_F(Warm, ACheckKeepsTheOptionsThatTakeAValue)
{
    auto checkWith = [&](const QStringList& options) {
        QList<ServiceDiagnostic> got;
        bool done = false;
        QObject ctx;
        QObject::connect(service, &CompileService::checked, &ctx, [&](quint64, const QList<ServiceDiagnostic>& d) {
            got = d;
            done = true;
        });
        service->check(QStringLiteral("V.java"), QStringLiteral("class V { void f() { var n = 1; } }\n"), options,
                       work);
        EXPECT_TRUE(waitFor([&] { return done; }));
        return got;
    };
    EXPECT_TRUE(checkWith({QStringLiteral("-encoding"), QStringLiteral("UTF-8"), QStringLiteral("-O")}).isEmpty());
    // Java 8 has no "var".
    const QList<ServiceDiagnostic> old = checkWith({QStringLiteral("--release"), QStringLiteral("8")});
    ASSERT_EQ(old.size(), 2);
    EXPECT_EQ(old[0].kind, ServiceDiagnostic::Warning);  // 'var' is a restricted type name
    EXPECT_EQ(old[1].kind, ServiceDiagnostic::Error);    // cannot find symbol
    EXPECT_EQ(old[1].line, 1);
    EXPECT_EQ(old[1].column, 22);
}
