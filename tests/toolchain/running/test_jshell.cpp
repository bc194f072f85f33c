// SPDX-License-Identifier: GPL-3.0-or-later
// The JShell pane's engine: its typed wire against the frames under
// tests/golden/jshell/ (which the helper's own JShellWireTest.java reads too),
// and the helper itself with the JDK of this machine: values, declarations,
// errors and exceptions of each snippet, what the snippets print, jdk.jshell's
// completions, the class path it was started with, a reset, and a helper
// that ends.
#include "support.h"

#include "toolchain/running/inputhistory.h"
#include "toolchain/running/jshellsession.h"
#include "toolchain/running/jshellwindow.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <map>
#include <memory>

using namespace jshellwire;

namespace {

const QString kJdk = QStringLiteral("/usr/lib/jvm/java-17-openjdk-amd64/bin");

QByteArray frame(const QString& name)
{
    const QByteArray bytes = readFile(sourceDir() + "/tests/golden/jshell/" + name + ".frame");
    EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
    return bytes;
}

}  // namespace

TEST(JShellWire, FramesDecodeToTheirValuesAndValuesEncodeToTheirFrames)
{
    const std::map<QString, Request> requests{
        {"request-eval", request::Eval{7, "int x = 1;\n\"a\tb\" + x"}},
        {"request-complete", request::Complete{8, "\"abc\".len", 8}},
        {"request-stop", request::Stop{}},
        {"request-quit", request::Quit{}},
    };
    for (const auto& [name, value] : requests) {
        EXPECT_EQ(encode(value), frame(name)) << name.toStdString();
        EXPECT_EQ(decodeRequest(frame(name)), value) << name.toStdString();
    }
    const std::map<QString, Reply> replies{
        {"reply-ready", reply::Ready{}},
        {"reply-output", reply::Output{7, "out", "hi\n"}},
        {"reply-value", reply::Value{7, "ok", "expression", "$2", "\"a\tb1\""}},
        {"reply-value-error", reply::Value{9, "error", "erroneous", "", "cannot find symbol\n foo();\n ^"}},
        {"reply-value-stopped", reply::Value{12, "stopped", "statement", "", "Stopped."}},
        {"reply-done", reply::Done{7}},
        {"reply-completions", reply::Completions{8, 6, {"length()", "lines()"}}},
        {"reply-failed", reply::Failed{"unknown request \\x"}},
    };
    for (const auto& [name, value] : replies) {
        EXPECT_EQ(encode(value), frame(name)) << name.toStdString();
        EXPECT_EQ(decodeReply(frame(name)), value) << name.toStdString();
    }
    // Lines that lack fields, carry extra ones, or a number that is none.
    for (const char* bad : {"", "eval\t1", "eval\tx\t1", "complete\t1\tabc", "quit\tnow", "value\t1\tok\tx\ty",
                            "done\t1\t2", "done\tone", "completions\tx\t1", "bogus\t1"}) {
        EXPECT_FALSE(decodeRequest(bad)) << bad;
        EXPECT_FALSE(decodeReply(bad)) << bad;
    }
}

namespace {

// What the helper answered to one input.
struct Answer {
    QList<reply::Value> values;
    QString out, err;
    bool done = false;
};

class JShell : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QFileInfo(kJdk + "/java").isExecutable() || !QFileInfo(builtFile(BP_JSHELL_JAR)).isFile())
            return;
        // A class of the user's, compiled into a folder of its class path.
        classes = std::make_unique<QTemporaryDir>();
        const QString src = classes->filePath("lib/Greeter.java");
        QDir().mkpath(classes->filePath("lib"));
        writeFile(src,
                  "package lib;\npublic class Greeter {\n"
                  "    public static String hello(String who) { return \"Hello, \" + who; }\n}\n");
        QProcess javac;
        javac.start(kJdk + "/javac", {"-d", classes->filePath("out"), src});
        ASSERT_TRUE(javac.waitForFinished(60000));
        ASSERT_EQ(javac.exitCode(), 0) << javac.readAllStandardError().toStdString();
        shared = std::make_unique<JShellSession>();
        shared->setJar(builtFile(BP_JSHELL_JAR));
        QSignalSpy ready(shared.get(), &JShellSession::ready);
        shared->start(kJdk + "/java", {classes->filePath("out")});
        ASSERT_TRUE(ready.wait(60000)) << "the helper did not say it was ready";
    }
    static void TearDownTestSuite()
    {
        shared.reset();
        classes.reset();
    }
    void SetUp() override
    {
        if (!shared)
            GTEST_SKIP() << "no JDK 17 or no JShell helper in this build";
    }

    // Evaluates `source` and waits for its answer.
    static Answer eval(JShellSession& s, const QString& source)
    {
        Answer a;
        const qint64 id = s.eval(source);
        EXPECT_NE(id, 0);
        QMetaObject::Connection c[4];
        c[0] = QObject::connect(&s, &JShellSession::value, [&](qint64 i, const reply::Value& v) {
            if (i == id)
                a.values << v;
        });
        c[1] = QObject::connect(&s, &JShellSession::output, [&](qint64 i, const QString& stream, const QString& t) {
            if (i == id)
                (stream == u"out" ? a.out : a.err) += t;
        });
        c[2] = QObject::connect(&s, &JShellSession::done, [&](qint64 i) { a.done = a.done || i == id; });
        c[3] = QObject::connect(&s, &JShellSession::ended, [&](const QString&) { a.done = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return a.done; }, 60000)) << source.toStdString();
        for (const auto& x : c)
            QObject::disconnect(x);
        return a;
    }

    static std::unique_ptr<QTemporaryDir> classes;
    static std::unique_ptr<JShellSession> shared;
};
std::unique_ptr<QTemporaryDir> JShell::classes;
std::unique_ptr<JShellSession> JShell::shared;

}  // namespace

TEST_F(JShell, EachSnippetShowsItsValueDeclarationOrError)
{
    const Answer sum = eval(*shared, "1 + 2");
    ASSERT_EQ(sum.values.size(), 1);
    EXPECT_EQ(sum.values[0].status, "ok");
    EXPECT_EQ(sum.values[0].kind, "expression");
    EXPECT_EQ(sum.values[0].name, "$1");  // the user's first value, whatever the helper ran before
    EXPECT_EQ(sum.values[0].text, "3");

    // Several snippets in one input, each answered in order.
    const Answer two = eval(*shared, "int x = 20; String twice(String s) { return s + s; } twice(\"ab\") + x");
    ASSERT_EQ(two.values.size(), 3);
    EXPECT_EQ(two.values[0].kind, "variable");
    EXPECT_EQ(two.values[0].name, "x");
    EXPECT_EQ(two.values[0].text, "20");
    EXPECT_EQ(two.values[1].kind, "method");
    EXPECT_EQ(two.values[1].text, "created method twice");
    EXPECT_EQ(two.values[2].text, "\"abab20\"");

    // An error names what is wrong and where.
    const Answer err = eval(*shared, "nosuch + 1");
    ASSERT_EQ(err.values.size(), 1);
    EXPECT_EQ(err.values[0].status, "error");
    EXPECT_TRUE(err.values[0].text.contains("cannot find symbol")) << err.values[0].text.toStdString();
    EXPECT_TRUE(err.values[0].text.contains("nosuch + 1\n^")) << err.values[0].text.toStdString();

    // An exception names its class and message; the declarations before it stay.
    const Answer ex = eval(*shared, "int[] a = new int[2]; a[5]");
    ASSERT_EQ(ex.values.size(), 2);
    EXPECT_EQ(ex.values[0].status, "ok");
    EXPECT_EQ(ex.values[1].status, "exception");
    EXPECT_TRUE(ex.values[1].text.startsWith("java.lang.ArrayIndexOutOfBoundsException: Index 5"))
        << ex.values[1].text.toStdString();

    // An input that is not complete says so and declares nothing.
    const Answer part = eval(*shared, "int y = ");
    ASSERT_EQ(part.values.size(), 1);
    EXPECT_EQ(part.values[0].kind, "incomplete");
}

TEST_F(JShell, WhatSnippetsPrintIsTheirsAndTheClassPathIsTheProjects)
{
    const Answer printed = eval(*shared, "System.out.println(\"out\\there\"); System.err.print(\"oops\");");
    EXPECT_EQ(printed.out, "out\there\n");
    EXPECT_EQ(printed.err, "oops");
    // A snippet that reads the standard input finds it empty, and the helper still answers.
    const Answer read = eval(*shared, "System.in.read()");
    ASSERT_EQ(read.values.size(), 1);
    EXPECT_EQ(read.values[0].text, "-1");

    const Answer greet = eval(*shared, "lib.Greeter.hello(\"Ada\")");
    ASSERT_EQ(greet.values.size(), 1);
    EXPECT_EQ(greet.values[0].text, "\"Hello, Ada\"");

    // jdk.jshell's own completions, from the anchor of the word. The first
    // one of the session already knows the JDK's packages and the class
    // path's, which the helper's analysis indexes only once a completion is asked for.
    QSignalSpy got(shared.get(), &JShellSession::completions);
    const qint64 first = shared->complete("java.ut", 7);
    const qint64 ours = shared->complete("li", 2);
    const qint64 id = shared->complete("\"abc\".len", 9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 3; }, 60000));
    EXPECT_EQ(got.at(0).at(0).toLongLong(), first);
    EXPECT_EQ(got.at(0).at(1).toInt(), 5);
    EXPECT_EQ(got.at(0).at(2).toStringList(), QStringList{"util."});
    EXPECT_EQ(got.at(1).at(0).toLongLong(), ours);
    EXPECT_TRUE(got.at(1).at(2).toStringList().contains("lib."))
        << got.at(1).at(2).toStringList().join(' ').toStdString();
    EXPECT_EQ(got.at(2).at(0).toLongLong(), id);
    EXPECT_EQ(got.at(2).at(1).toInt(), 6);
    EXPECT_TRUE(got.at(2).at(2).toStringList().contains("length()"))
        << got.at(2).at(2).toStringList().join(' ').toStdString();
}

TEST_F(JShell, AnInterruptStopsTheRunawaySnippetAndTheRestOfItsInputButKeepsTheDeclarations)
{
    EXPECT_FALSE(shared->evaluating());
    shared->interrupt();  // nothing runs: nothing happens
    ASSERT_EQ(eval(*shared, "int kept = 7;").values.value(0).text, "7");
    QList<reply::Value> values;
    QList<qint64> done;
    const auto v = QObject::connect(shared.get(), &JShellSession::value,
                                    [&](qint64, const reply::Value& x) { values << x; });
    const auto d = QObject::connect(shared.get(), &JShellSession::done, [&](qint64 i) { done << i; });
    // A loop that never ends, a declaration after it in the same input, and
    // an input of its own sent behind it.
    const qint64 runaway = shared->eval("while (true) { kept += 0; } int never = 1;");
    const qint64 after = shared->eval("kept * 2");
    EXPECT_TRUE(shared->evaluating());
    QTest::qWait(500);
    EXPECT_TRUE(done.isEmpty());
    shared->interrupt();
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.size() == 2; }, 30000));
    QObject::disconnect(v);
    QObject::disconnect(d);
    EXPECT_EQ(done, (QList<qint64>{runaway, after}));
    ASSERT_EQ(values.size(), 2);
    EXPECT_EQ(values[0].id, runaway);
    EXPECT_EQ(values[0].status, "stopped");
    EXPECT_EQ(jshellValueText(values[0]), "|  Stopped.");
    EXPECT_EQ(values[1].text, "14");
    EXPECT_FALSE(shared->evaluating());
    EXPECT_EQ(eval(*shared, "never").values.value(0).status, "error");
}

TEST_F(JShell, TheHelperIsASmallJvmWhoseSnippetsKeepTheDefaultHeapLimit)
{
    const qint64 pid = shared->processId();
    ASSERT_GT(pid, 0);
    const QList<QByteArray> args = readFile(QStringLiteral("/proc/%1/cmdline").arg(pid)).split('\0');
    for (const char* option : {"-Xms8m", "-XX:+UseSerialGC", "-XX:MaxHeapFreeRatio=20"})
        EXPECT_TRUE(args.contains(option)) << option;
    // Its heap starts small, yet a snippet may take far more than that.
    const Answer big = eval(*shared, "new byte[256 << 20].length");
    ASSERT_EQ(big.values.size(), 1);
    EXPECT_EQ(big.values[0].text, "268435456") << big.values[0].text.toStdString();
}

TEST_F(JShell, AResetForgetsTheDeclarationsAndAnEndedHelperSaysWhy)
{
    JShellSession s;
    s.setJar(builtFile(BP_JSHELL_JAR));
    QSignalSpy ready(&s, &JShellSession::ready);
    s.start(kJdk + "/java", {});
    ASSERT_TRUE(ready.wait(60000));
    const qint64 first = s.processId();
    EXPECT_EQ(eval(s, "int kept = 4;").values.value(0).text, "4");
    s.reset();
    EXPECT_NE(s.processId(), first);
    EXPECT_EQ(s.state(), JShellSession::State::Starting);
    ASSERT_TRUE(ready.wait(60000));
    const Answer gone = eval(s, "kept");
    ASSERT_EQ(gone.values.size(), 1);
    EXPECT_EQ(gone.values[0].status, "error");

    QSignalSpy ended(&s, &JShellSession::ended);
    eval(s, "System.exit(3)");
    ASSERT_TRUE(ended.count() || ended.wait(30000));
    EXPECT_EQ(ended.at(0).at(0).toString(), "JShell ended (exit code 3).");
    EXPECT_EQ(s.state(), JShellSession::State::Ended);
    EXPECT_EQ(s.processId(), 0);
    EXPECT_EQ(s.eval("1"), 0);
}

TEST(JShellStart, WithoutJavaOrItsJarTheSessionSaysWhatIsMissing)
{
    JShellSession s;
    QSignalSpy ended(&s, &JShellSession::ended);
    s.setJar(QString());
    s.start(kJdk + "/java", {});
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).toString(),
              "JShell (brewpad-jshell.jar) is not installed beside Brewpad: reinstall Brewpad.");
    s.setJar(sourceDir() + "/README.md");
    s.start("/nonexistent/java", {});
    ASSERT_EQ(ended.count(), 2);
    EXPECT_TRUE(ended.at(1).at(0).toString().startsWith("No java was found beside the configured javac"));
    EXPECT_EQ(s.eval("1"), 0);
}

TEST(JShellPaneText, AnswersReadAsJshellWritesThem)
{
    EXPECT_EQ(jshellValueText({1, "ok", "expression", "$1", "3"}), "$1 ==> 3");
    EXPECT_EQ(jshellValueText({1, "ok", "variable", "x", "20"}), "x ==> 20");
    EXPECT_EQ(jshellValueText({1, "ok", "method", "f", "created method f"}), "|  created method f");
    EXPECT_EQ(jshellValueText({1, "ok", "import", "", ""}), "");
    EXPECT_EQ(jshellValueText({1, "error", "erroneous", "", "cannot find symbol\nfoo();\n^"}),
              "|  Error:\n|  cannot find symbol\n|  foo();\n|  ^");
    EXPECT_EQ(jshellValueText({1, "exception", "expression", "$2", "java.lang.RuntimeException: no"}),
              "|  Exception java.lang.RuntimeException: no");
}

TEST(InputHistoryWalk, UpAndDownWalkTheInputsAndBringBackTheLineBeingWritten)
{
    InputHistory h;
    EXPECT_FALSE(h.older("x"));
    EXPECT_FALSE(h.newer());
    h.add("a");
    h.add("b");
    h.add("b");    // a repeat of the newest is not kept twice
    h.add("   ");  // nor a blank input
    EXPECT_EQ(h.entries(), (QStringList{"a", "b"}));
    EXPECT_EQ(h.older("draft"), "b");
    EXPECT_EQ(h.older("b"), "a");
    EXPECT_FALSE(h.older("a"));  // the oldest stays
    EXPECT_EQ(h.newer(), "b");
    EXPECT_EQ(h.newer(), "draft");
    EXPECT_FALSE(h.newer());
    // A new input ends the walk: Up starts from the newest again.
    EXPECT_EQ(h.older(""), "b");
    h.add("c");
    EXPECT_EQ(h.older(""), "c");
}
