// SPDX-License-Identifier: GPL-3.0-or-later
// The typed messages between Brewpad and its debugger against the frames
// under tests/golden/debugger/: each frame decodes to its value and the value
// encodes to the frame's bytes. The helper's own test (DebuggerWireTest.java)
// reads the same frames, so that the two sides cannot drift apart.
#include "support.h"

#include "toolchain/running/debugwire.h"

#include <QDir>

#include <functional>
#include <map>

using namespace debugwire;

namespace {

QString goldenDir()
{
    return sourceDir() + "/tests/golden/debugger";
}

QByteArray frame(const QString& name)
{
    const QByteArray bytes = readFile(goldenDir() + "/" + name + ".frame");
    EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
    return bytes;
}

Breakpoint breakpoint(const QString& file, int line, bool enabled, int hitCount, const QString& condition)
{
    Breakpoint b;
    b.file = file;
    b.line = line;
    b.enabled = enabled;
    b.hitCount = hitCount;
    b.condition = condition;
    return b;
}

const std::map<QString, Request>& requests()
{
    using namespace request;
    static const std::map<QString, Request> all{
        {"request-listen", Listen{}},
        {"request-pid", Pid{4242}},
        {"request-break",
         Break{"demo.Demo", breakpoint("/src/demo/Demo.java", 12, true, 3, "name.equals(\"x\ty\") && i > 2")}},
        {"request-break-disabled", Break{"Hello", breakpoint("/tmp/back\\slash/Hello.java", 3, false, 0, "")}},
        {"request-clear", Clear{"demo.Demo", 12}},
        {"request-run", Run{}},
        {"request-continue", Move{Motion::Continue}},
        {"request-stepOver", Move{Motion::StepOver}},
        {"request-stepInto", Move{Motion::StepInto}},
        {"request-stepOut", Move{Motion::StepOut}},
        {"request-runTo", RunTo{"demo.Demo", 30}},
        {"request-stop", Stop{}},
        {"request-threads", request::Threads{}},
        {"request-frames", request::Frames{7}},
        {"request-variables", request::Variables{7, 2}},
        {"request-expand", Expand{99, 100}},
        {"request-evaluate", Evaluate{7, 1, "count = n * 2"}},
    };
    return all;
}

const std::map<QString, Reply>& replies()
{
    using namespace reply;
    const DebugPause atBreakpoint{1, "demo.Demo", "Demo.java", 14, "breakpoint", 0, {}, {}};
    const DebugPause atException{
        1, "demo.Demo", "Demo.java", 40, "exception", 2, "java.lang.IllegalStateException", "bad\nstate\r"};
    static const std::map<QString, Reply> all{
        {"reply-ready", Ready{40123}},
        {"reply-connected", Connected{}},
        {"reply-breakpoint", BreakpointState{"demo.Demo", 12, "set", 14}},
        {"reply-breakpoint-disabled", BreakpointState{"Hello", 3, "disabled", 0}},
        {"reply-paused", Paused{atBreakpoint, 3}},
        {"reply-paused-exception", Paused{atException, 0}},
        {"reply-resumed", Resumed{}},
        {"reply-threads", reply::Threads{{{1, "main", "running"}, {5, "Signal Dispatcher", "waiting"}}}},
        {"reply-frames",
         reply::Frames{1, {{"demo.Demo$Inner", "twice", "Demo.java", 17}, {"demo.Demo", "main", "Demo.java", 14}}}},
        {"reply-variables",
         reply::Variables{
             1, 0, "", {{"local", "n", "int", "5", 0}, {"local", "s", "java.lang.String", "\"a\\tb\"", 88}}}},
        {"reply-children", Children{88, 0, 1, {{"value", "value", "java.lang.String", "\"a\\tb\"", 0}}}},
        {"reply-evaluated", Evaluated{"s.length() + 1", 0, {"value", "s.length() + 1", "int", "6", 0}, ""}},
        {"reply-evaluated-error", Evaluated{"y", 0, {"value", "y", "", "", 0}, "cannot find symbol: y"}},
        {"reply-condition", Condition{"demo.Demo", 14, "Demo.java", "invalid", "cannot find symbol: y"}},
        {"reply-condition-threw",
         Condition{"demo.Demo", 14, "Demo.java", "threw", "NullPointerException thrown by s.length()"}},
        {"reply-ended", Ended{}},
        {"reply-error", Error{"The program did not answer the debugger: it sent nothing."}},
    };
    return all;
}

}  // namespace

TEST(DebugWire, EveryGoldenFrameIsARequestOrAReplyOfThisTest)
{
    const QStringList files = QDir(goldenDir()).entryList({"*.frame"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty()) << goldenDir().toStdString();
    for (const QString& f : files) {
        const QString name = f.chopped(6);
        EXPECT_TRUE(requests().count(name) || replies().count(name)) << "no value for " << f.toStdString();
    }
    EXPECT_EQ(size_t(files.size()), requests().size() + replies().size());
}

TEST(DebugWire, RequestsDecodeFromAndEncodeToTheirGoldenFrames)
{
    for (const auto& [name, value] : requests()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = frame(name);
        EXPECT_EQ(encode(value), bytes);
        const std::optional<Request> got = decodeRequest(bytes);
        ASSERT_TRUE(got.has_value());
        EXPECT_TRUE(*got == value);
    }
}

TEST(DebugWire, RepliesDecodeFromAndEncodeToTheirGoldenFrames)
{
    for (const auto& [name, value] : replies()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = frame(name);
        EXPECT_EQ(encode(value), bytes);
        const std::optional<Reply> got = decodeReply(bytes);
        ASSERT_TRUE(got.has_value());
        EXPECT_TRUE(*got == value);
    }
}

TEST(DebugWire, LinesThatNameNoMessageOrLackFieldsAreNone)
{
    EXPECT_FALSE(decodeRequest("").has_value());
    EXPECT_FALSE(decodeRequest("jump\t3\n").has_value());
    EXPECT_FALSE(decodeRequest("break\tdemo.Demo\t12\n").has_value()) << "fields missing";
    EXPECT_FALSE(decodeRequest("frames\tseven\n").has_value()) << "no number";
    EXPECT_FALSE(decodeReply("paused\t1\tdemo.Demo\n").has_value());
    EXPECT_FALSE(decodeReply("ready\n").has_value());
    // A line without its line feed reads as with it.
    const std::optional<Reply> r = decodeReply("ready\t5");
    ASSERT_TRUE(r.has_value());
    EXPECT_TRUE(*r == Reply(reply::Ready{5}));
}
