// SPDX-License-Identifier: GPL-3.0-or-later
// The messages Brewpad and its debugger helper exchange, as typed values: the
// requests Brewpad sends and the replies the helper sends back, each with one
// encoder and one decoder. On the wire a message is one line (see
// debugprotocol.h for its fields and escapes); the helper's own side is
// brewpad.debugger.RequestDecoder and ReplyEncoder, and the frames under
// tests/golden/debugger/ hold both sides to the same bytes.
#pragma once
#include "toolchain/running/breakpoint.h"
#include "toolchain/running/debugprotocol.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

// Where the program stopped.
struct DebugPause {
    qint64 thread = 0;
    QString className;  // binary name of the frame's class
    QString file;       // its source file name ("" when unknown)
    int line = 0;
    QString reason;          // "breakpoint", "step" or "exception"
    int frame = 0;           // the frame to show (an exception's first frame in the program's own classes)
    QString exceptionClass;  // for an uncaught exception
    QString exceptionMessage;
    friend bool operator==(const DebugPause&, const DebugPause&) = default;
};

struct DebugThread {
    qint64 id = 0;
    QString name;
    QString status;  // running, sleeping, blocked, waiting, ended, not started
    friend bool operator==(const DebugThread&, const DebugThread&) = default;
};

struct DebugFrame {
    QString className;
    QString method;
    QString file;
    int line = 0;
    friend bool operator==(const DebugFrame&, const DebugFrame&) = default;
};

// A value shown: `id` names it for expand() (0: nothing to expand).
struct DebugValue {
    QString kind;  // this, argument, local, static, exception, field, element, value
    QString name;
    QString type;
    QString text;
    qint64 id = 0;
    friend bool operator==(const DebugValue&, const DebugValue&) = default;
};

namespace debugwire {

// Brewpad to the helper.
namespace request {
struct Listen {  // listen on a loopback port, answered by Ready
    friend bool operator==(const Listen&, const Listen&) = default;
};
struct Pid {  // the program's process, the one whose connection is taken
    qint64 pid = 0;
    friend bool operator==(const Pid&, const Pid&) = default;
};
struct Break {  // sets or replaces the breakpoint of a line of a top-level class
    QString className;
    Breakpoint breakpoint;
    friend bool operator==(const Break&, const Break&) = default;
};
struct Clear {
    QString className;
    int line = 0;
    friend bool operator==(const Clear&, const Clear&) = default;
};
struct Run {  // lets the suspended program start
    friend bool operator==(const Run&, const Run&) = default;
};
enum class Motion { Continue, StepOver, StepInto, StepOut };
struct Move {
    Motion motion = Motion::Continue;
    friend bool operator==(const Move&, const Move&) = default;
};
struct RunTo {  // continue, with a breakpoint kept for this one run
    QString className;
    int line = 0;
    friend bool operator==(const RunTo&, const RunTo&) = default;
};
struct Stop {
    friend bool operator==(const Stop&, const Stop&) = default;
};
struct Threads {
    friend bool operator==(const Threads&, const Threads&) = default;
};
struct Frames {
    qint64 thread = 0;
    friend bool operator==(const Frames&, const Frames&) = default;
};
struct Variables {
    qint64 thread = 0;
    int frame = 0;  // 0: the top
    friend bool operator==(const Variables&, const Variables&) = default;
};
struct Expand {  // fields, elements start..start+99, or a string's text
    qint64 id = 0;
    int start = 0;
    friend bool operator==(const Expand&, const Expand&) = default;
};
struct Evaluate {  // a Java expression at a frame of a paused thread
    qint64 thread = 0;
    int frame = 0;  // 0: the top
    QString expression;
    friend bool operator==(const Evaluate&, const Evaluate&) = default;
};
}  // namespace request

using Request = std::variant<request::Listen, request::Pid, request::Break, request::Clear, request::Run,
                             request::Move, request::RunTo, request::Stop, request::Threads, request::Frames,
                             request::Variables, request::Expand, request::Evaluate>;

// The helper to Brewpad.
namespace reply {
struct Ready {
    int port = 0;
    friend bool operator==(const Ready&, const Ready&) = default;
};
struct Connected {
    friend bool operator==(const Connected&, const Connected&) = default;
};
struct BreakpointState {
    QString className;
    int line = 0;
    QString state;   // set, pending (class not loaded), invalid (no code at or after), disabled
    int actual = 0;  // the line with code it was put on; 0 unless set
    friend bool operator==(const BreakpointState&, const BreakpointState&) = default;
};
struct Paused {
    DebugPause pause;  // the exception's class and message only for reason "exception"
    qint64 done = 0;   // the motions done so far
    friend bool operator==(const Paused&, const Paused&) = default;
};
struct Resumed {
    friend bool operator==(const Resumed&, const Resumed&) = default;
};
struct Threads {
    QList<DebugThread> threads;
    friend bool operator==(const Threads&, const Threads&) = default;
};
struct Frames {
    qint64 thread = 0;
    QList<DebugFrame> frames;
    friend bool operator==(const Frames&, const Frames&) = default;
};
struct Variables {
    qint64 thread = 0;
    int frame = 0;
    QString note;  // why some are missing; empty when none is
    QList<DebugValue> values;
    friend bool operator==(const Variables&, const Variables&) = default;
};
struct Children {
    qint64 id = 0;
    int start = 0;
    int total = 0;
    QList<DebugValue> values;
    friend bool operator==(const Children&, const Children&) = default;
};
struct Evaluated {
    QString expression;
    int frame = 0;
    DebugValue value;  // kind "value", name the expression; empty fields on an error
    QString error;     // empty when the expression has its value
    friend bool operator==(const Evaluated&, const Evaluated&) = default;
};
// A breakpoint's condition failed at a hit (sent before the pause there).
struct Condition {
    QString className;
    int line = 0;     // the line of the hit
    QString file;     // its source file name
    QString outcome;  // invalid (does not compile: stops once) or threw (stops at each hit)
    QString message;  // why
    friend bool operator==(const Condition&, const Condition&) = default;
};
struct Ended {  // the program's VM died or disconnected
    friend bool operator==(const Ended&, const Ended&) = default;
};
struct Error {
    QString text;
    friend bool operator==(const Error&, const Error&) = default;
};
}  // namespace reply

using Reply = std::variant<reply::Ready, reply::Connected, reply::BreakpointState, reply::Paused, reply::Resumed,
                           reply::Threads, reply::Frames, reply::Variables, reply::Children, reply::Evaluated,
                           reply::Condition, reply::Ended, reply::Error>;

// The line of a message, ending with a line feed.
QByteArray encode(const Request& r);
QByteArray encode(const Reply& r);
// The message of one line (its line feed, if any, ignored); nothing for a
// line that names no message or lacks its fields.
std::optional<Request> decodeRequest(const QByteArray& line);
std::optional<Reply> decodeReply(const QByteArray& line);

}  // namespace debugwire
