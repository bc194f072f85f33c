// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service where it can go wrong: output the JVM prints beside the
// replies, the charset of the messages in every locale and JDK, class path
// wildcards that change, one compiler at a time when a compilation is given
// up, a JVM that never gets ready, running out of memory, the memory of what
// the service could not do, and its temporary files.
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "platform/host.h"
#include "support.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <functional>
#include <memory>

namespace {

QString javac17()
{
    static const QString path = findJavac();
    return path;
}

struct Outcome {
    CompileOutcome outcome;
    QByteArray capture;
    bool viaService = false;
};

// One F9 through JavacRunner, with `service` as the shared one (or none).
Outcome compileIn(const QString& dir, const QStringList& args, CompileService* service,
                  const QString& javac = javac17())
{
    setSharedCompileService(service);
    const QString capture = dir + QStringLiteral("/../capture.err");
    JavacRunner runner;
    QEventLoop loop;
    Outcome r;
    QObject::connect(&runner, &JavacRunner::finished, &loop, [&](const CompileOutcome& o) {
        r.outcome = o;
        loop.quit();
    });
    EXPECT_TRUE(runner.start(javac, args, dir, capture));
    loop.exec();
    r.capture = readFile(capture);
    r.viaService = runner.usedService();
    setSharedCompileService(nullptr);
    return r;
}

// A service with the jar of this build, for the JDK of `javac` and the Java
// Options of `args`, in `dir`, once it is ready.
std::unique_ptr<CompileService> readyService(const QString& dir, const QStringList& args = {},
                                             const QString& javac = javac17())
{
    auto s = std::make_unique<CompileService>();
    s->setJar(builtFile(BP_SERVICE_JAR));
    s->start(ServiceSetup{CompileService::javaBinFor(javac), CompileService::jvmOptionsFor(args), dir});
    EXPECT_TRUE(waitFor([&] { return s->state() != CompileService::State::Starting; }));
    EXPECT_EQ(int(s->state()), int(CompileService::State::Ready)) << s->lastError().toStdString();
    return s;
}

class ServiceLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (javac17().isEmpty() || CompileService::javaBinFor(javac17()).isEmpty() ||
            !QFileInfo(builtFile(BP_SERVICE_JAR)).isFile())
            GTEST_SKIP() << "no JDK with javac and java, or no compile service jar";
        work = root.filePath(QStringLiteral("work"));
        QDir().mkpath(work);
    }
    void TearDown() override { setSharedCompileService(nullptr); }
    void put(const QString& rel, const QByteArray& text)
    {
        ASSERT_TRUE(writeFile(work + QLatin1Char('/') + rel, text));
    }
    QString path(const QString& rel) const { return work + QLatin1Char('/') + rel; }

    QTemporaryDir root;
    QString work;
};

const QByteArray kHello =
    "public class Hello {\n    public static void main(String[] a) { System.out.println(\"hi\"); }\n}\n";

}  // namespace

// ------------------------------------------------------------ replies

TEST_F(ServiceLimits, WhatTheJvmLogsNeverReachesACapture)
{
    // Long lines, so that the messages of 100 errors pass 300 KB, while the
    // JVM logs every method it compiles on its standard output.
    QByteArray src = "public class Many {\n";
    const QByteArray pad(3000, 'x');
    for (int i = 0; i < 150; ++i)
        src += "    int f" + QByteArray::number(i) + " = \"" + pad + "\";\n";
    src += "}\n";
    put("Many.java", src);
    const QStringList args{QStringLiteral("-J-Xlog:jit+compilation=debug"), QStringLiteral("Many.java")};
    const Outcome cold = compileIn(work, args, nullptr);
    ASSERT_GT(cold.capture.size(), 300000);
    ASSERT_TRUE(cold.capture.contains("\n100 errors\n")) << cold.capture.right(200).toStdString();
    auto service = readyService(work, args);
    for (int i = 0; i < 3; ++i) {
        const Outcome warm = compileIn(work, args, service.get());
        EXPECT_TRUE(warm.viaService);
        EXPECT_EQ(warm.outcome.exitCode, cold.outcome.exitCode);
        EXPECT_TRUE(warm.capture == cold.capture) << warm.capture.left(300).toStdString();
    }
}

// ------------------------------------------------- one compiler at a time

TEST_F(ServiceLimits, ClosingTheWindowEndsTheServicesCompilationBeforeAnotherStarts)
{
    put("Hello.java", kHello);
    auto service = readyService(work);
    const qint64 pid = service->processId();
    // The next F9 runs a javac that notes whether the service still runs.
    QTemporaryDir bin;
    const QString log = bin.filePath(QStringLiteral("log"));
    const QString javac = bin.filePath(QStringLiteral("javac"));
    ASSERT_TRUE(writeExecutable(javac, "#!/bin/sh\nif [ -e /proc/" + QByteArray::number(pid) +
                                           "/stat ] && ! grep -q ') Z' /proc/" + QByteArray::number(pid) +
                                           "/stat; then echo alive >> " + QFile::encodeName(log) + "; fi\nexec " +
                                           QFile::encodeName(javac17()) + " \"$@\"\n"));
    setSharedCompileService(service.get());
    {
        JavacRunner closing;
        ASSERT_TRUE(
            closing.start(javac17(), {QStringLiteral("Hello.java")}, work, root.filePath(QStringLiteral("a.err"))));
    }  // its window closes while the service compiles
    const Outcome other = compileIn(work, {QStringLiteral("Hello.java")}, service.get(), javac);
    EXPECT_FALSE(other.viaService);
    EXPECT_EQ(int(other.outcome.kind), int(CompileOutcome::Success));
    EXPECT_FALSE(QFileInfo::exists(log)) << "javac ran while the service was still compiling";
    EXPECT_TRUE(processEnded(pid));
    // The service comes back.
    EXPECT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    EXPECT_NE(service->processId(), pid);
}

TEST_F(ServiceLimits, ARequestThatTakesTooLongEndsTheServiceBeforeJavacStarts)
{
    put("Hello.java", kHello);
    auto service = readyService(work);
    const qint64 pid = service->processId();
    bool endedFirst = false;
    QObject ctx;
    QObject::connect(service.get(), &CompileService::compileFailed, &ctx,
                     [&](quint64, const QString&) { endedFirst = processEnded(pid); });
    service->setTimeout(0);
    const Outcome r = compileIn(work, {QStringLiteral("Hello.java")}, service.get());
    EXPECT_FALSE(r.viaService);
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Success));
    EXPECT_TRUE(endedFirst) << "javac was started while the service still ran";
}

TEST_F(ServiceLimits, AJvmThatNeverGetsReadyIsEndedAndF9StaysCold)
{
    put("Hello.java", kHello);
    CompileService service;
    service.setJar(builtFile(BP_SERVICE_JAR));
    service.setStartLimit(1500);
    service.start(ServiceSetup{CompileService::javaBinFor(javac17()), CompileService::jvmOptionsFor({}), work});
    ASSERT_TRUE(waitFor([&] { return service.processId() > 0; }, 20000));
    const qint64 pid = service.processId();
    ::kill(pid_t(pid), SIGSTOP);  // it never says "ready"
    ASSERT_TRUE(waitFor([&] { return service.state() != CompileService::State::Starting; }, 20000));
    EXPECT_EQ(int(service.state()), int(CompileService::State::Unusable));
    EXPECT_TRUE(waitFor([&] { return processEnded(pid); }, 5000));
    const Outcome r = compileIn(work, {QStringLiteral("Hello.java")}, &service);
    EXPECT_FALSE(r.viaService);
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Success));
}

TEST_F(ServiceLimits, ACheckHasATimeLimitToo)
{
    auto service = readyService(work);
    const qint64 pid = service->processId();
    QString why;
    QObject ctx;
    QObject::connect(service.get(), &CompileService::checkFailed, &ctx, [&](quint64, const QString& w) { why = w; });
    service->setTimeout(0);
    ASSERT_NE(service->check(QStringLiteral("T.java"), QStringLiteral("class T {}"), {}, work), 0u);
    ASSERT_TRUE(waitFor([&] { return !why.isEmpty(); }, 20000));
    EXPECT_EQ(why.toStdString(), "the compile service took too long");
    service->setTimeout(60000);
    EXPECT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    EXPECT_NE(service->processId(), pid);
    // The same check goes nowhere now; another one is served.
    EXPECT_EQ(service->check(QStringLiteral("T.java"), QStringLiteral("class T {}"), {}, work), 0u);
    EXPECT_NE(service->check(QStringLiteral("T.java"), QStringLiteral("class T {}"), {QStringLiteral("-g")}, work),
              0u);
}

// ------------------------------------------------------------- memory

TEST_F(ServiceLimits, RunningOutOfMemoryIsAnAnswer)
{
    put("Hello.java", kHello);
    const QStringList args{QStringLiteral("-J-Xmx64m"), QStringLiteral("Hello.java")};
    auto service = readyService(work, args);
    QString text = QStringLiteral("public class Big {\n    int[] a = {");
    text.reserve(16 << 20);
    while (text.size() < (16 << 20))
        text += QStringLiteral("1234567, ");
    text += QStringLiteral("};\n}\n");
    // Checks while typing, one after the other: each arrives before the
    // service has done with the one before.
    int failed = 0, answered = 0;
    QObject ctx;
    QObject::connect(service.get(), &CompileService::checkFailed, &ctx, [&](quint64, const QString&) { ++failed; });
    QObject::connect(service.get(), &CompileService::checked, &ctx,
                     [&](quint64, const QList<ServiceDiagnostic>&) { ++answered; });
    for (int i = 0; i < 4; ++i)
        ASSERT_NE(service->check(QStringLiteral("Big.java"), text, {}, work), 0u);
    ASSERT_TRUE(waitFor([&] { return failed + answered == 4; }, 120000)) << "unanswered checks";
    // The service serves on (or again).
    ASSERT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
    answered = 0;
    ASSERT_NE(service->check(QStringLiteral("T.java"), QStringLiteral("class T {}"), {QStringLiteral("-g")}, work),
              0u);
    EXPECT_TRUE(waitFor([&] { return answered == 1; }));
    EXPECT_TRUE(compileIn(work, args, service.get()).viaService);
}

// --------------------------------------------------------- exactly javac

namespace {

// Sets an environment variable while it lives (unset again when it was).
class EnvVar {
public:
    EnvVar(const char* name, const QByteArray& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvVar()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The javac of every JDK installed under /usr/lib/jvm (each once).
QStringList installedJavacs()
{
    QStringList found, real;
    for (const QFileInfo& d :
         QDir(QStringLiteral("/usr/lib/jvm")).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QFileInfo javac(d.filePath() + QStringLiteral("/bin/javac"));
        if (!javac.isExecutable() || CompileService::javaBinFor(javac.filePath()).isEmpty() ||
            real.contains(javac.canonicalFilePath()))
            continue;
        real << javac.canonicalFilePath();
        found << javac.filePath();
    }
    return found;
}

}  // namespace

TEST_F(ServiceLimits, MessagesAreTheBytesOfJavacInEveryLocaleAndJdk)
{
    put("Accent.java", "public class Accent { int caf\xc3\xa9 = \"d\xc3\xa9j\xc3\xa0\"; }\n");
    const QStringList javacs = installedJavacs();
    ASSERT_FALSE(javacs.isEmpty());
    for (const char* locale : {"C", "C.UTF-8"}) {
        EnvVar lc("LC_ALL", locale);
        for (const QString& javac : javacs) {
            SCOPED_TRACE(std::string(locale) + " " + javac.toStdString());
            const Outcome cold = compileIn(work, {QStringLiteral("Accent.java")}, nullptr, javac);
            ASSERT_EQ(int(cold.outcome.kind), int(CompileOutcome::Failed));
            auto service = readyService(work, {}, javac);
            const Outcome warm = compileIn(work, {QStringLiteral("Accent.java")}, service.get(), javac);
            EXPECT_TRUE(warm.viaService);
            EXPECT_EQ(warm.outcome.exitCode, cold.outcome.exitCode);
            EXPECT_EQ(warm.capture.toHex(' ').toStdString(), cold.capture.toHex(' ').toStdString());
        }
    }
}

TEST_F(ServiceLimits, AJarAddedToAClassPathWildcardAfterTheStartIsSeen)
{
    EnvVar cp("CLASSPATH", "jars/*:.");
    QDir().mkpath(path("jars"));
    auto service = readyService(work);
    // After the service started: a jar in jars/.
    put("libsrc/lib/Tool.java",
        "package lib;\npublic class Tool { public static String name() { return \"t\"; } }\n");
    ASSERT_EQ(
        int(compileIn(work, {QStringLiteral("-d"), QStringLiteral("classes"), QStringLiteral("libsrc/lib/Tool.java")},
                      nullptr)
                .outcome.kind),
        int(CompileOutcome::Success));
    const QString jar = CompileService::javaBinFor(javac17()) + QStringLiteral("/jar");
    ASSERT_EQ(QProcess::execute(jar, {QStringLiteral("cf"), path("jars/tool.jar"), QStringLiteral("-C"),
                                      path("classes"), QStringLiteral("lib")}),
              0);
    QDir(path("classes")).removeRecursively();
    QDir(path("libsrc")).removeRecursively();
    put("App.java", "public class App { String n = lib.Tool.name(); }\n");
    const Outcome cold = compileIn(work, {QStringLiteral("App.java")}, nullptr);
    EXPECT_EQ(int(cold.outcome.kind), int(CompileOutcome::Success)) << cold.capture.toStdString();
    QFile::remove(path("App.class"));
    const Outcome warm = compileIn(work, {QStringLiteral("App.java")}, service.get());
    EXPECT_TRUE(warm.viaService);
    EXPECT_EQ(int(warm.outcome.kind), int(cold.outcome.kind));
    EXPECT_EQ(warm.capture.toStdString(), cold.capture.toStdString());
}

// ---------------------------------------------------------------- files

TEST_F(ServiceLimits, TheServicesFilesGoWithItAndWithABrewpadThatWasKilled)
{
    QString error;
    const QString dir = host::captureDir(&error);
    ASSERT_FALSE(dir.isEmpty()) << error.toStdString();
    // What a Brewpad killed during the warm-up of its service left: its
    // process has ended.
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const QString left = dir + QStringLiteral("/service-%1-AbCdEf").arg(gone);
    ASSERT_TRUE(writeFile(left + QStringLiteral("/warm123/Warm.java"), "public class Warm {}\n"));
    const QString mine = QStringLiteral("service-%1-*").arg(QCoreApplication::applicationPid());
    {
        auto service = readyService(work);
        EXPECT_FALSE(QFileInfo::exists(left));
        EXPECT_EQ(QDir(dir).entryList({mine}, QDir::Dirs).size(), 1);
        service->restart();
        EXPECT_TRUE(waitFor([&] { return service->state() == CompileService::State::Ready; }));
        EXPECT_TRUE(waitFor([&] { return QDir(dir).entryList({mine}, QDir::Dirs).size() == 1; }, 5000));
    }
    EXPECT_TRUE(QDir(dir).entryList({mine}, QDir::Dirs).isEmpty());
}

// ---------------------------------------------------------------- start

TEST_F(ServiceLimits, TheFirstJvmWaitsUntilBrewpadHasStarted)
{
    put("Hello.java", kHello);
    CompileService service;
    service.setJar(builtFile(BP_SERVICE_JAR));
    service.start(ServiceSetup{CompileService::javaBinFor(javac17()), CompileService::jvmOptionsFor({}), work});
    EXPECT_EQ(int(service.state()), int(CompileService::State::Starting));
    QCoreApplication::processEvents();
    EXPECT_EQ(service.processId(), 0) << "a JVM started at once, beside Brewpad's own start";
    // Meanwhile F9 runs javac; the service comes later.
    const Outcome r = compileIn(work, {QStringLiteral("Hello.java")}, &service);
    EXPECT_EQ(int(r.outcome.kind), int(CompileOutcome::Success));
    ASSERT_TRUE(waitFor([&] { return service.state() == CompileService::State::Ready; }));
    EXPECT_TRUE(compileIn(work, {QStringLiteral("Hello.java")}, &service).viaService);
}
