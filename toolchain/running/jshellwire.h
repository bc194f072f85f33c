// SPDX-License-Identifier: GPL-3.0-or-later
// The messages Brewpad and its JShell helper exchange, as typed values, each
// with one encoder and one decoder. On the wire a message is one line (see
// debugprotocol.h for its fields and escapes); the helper's own side is
// brewpad.jshell.Requests and Replies, and the frames under
// tests/golden/jshell/ hold both sides to the same bytes.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace jshellwire {

// Brewpad to the helper.
namespace request {
struct Eval {  // evaluates `source`, which may hold several snippets
    qint64 id = 0;
    QString source;
    friend bool operator==(const Eval&, const Eval&) = default;
};
struct Complete {  // the completions at `cursor` (a character index) of `source`
    qint64 id = 0;
    QString source;
    int cursor = 0;
    friend bool operator==(const Complete&, const Complete&) = default;
};
struct Stop {  // stops the snippet running now, and the rest of its input
    friend bool operator==(const Stop&, const Stop&) = default;
};
struct Quit {
    friend bool operator==(const Quit&, const Quit&) = default;
};
}  // namespace request

using Request = std::variant<request::Eval, request::Complete, request::Stop, request::Quit>;

// The helper to Brewpad.
namespace reply {
struct Ready {  // the helper has evaluated a first snippet of its own
    friend bool operator==(const Ready&, const Ready&) = default;
};
struct Output {  // what the snippets of `id` printed
    qint64 id = 0;
    QString stream;  // "out" or "err"
    QString text;
    friend bool operator==(const Output&, const Output&) = default;
};
struct Value {  // one snippet of `id`
    qint64 id = 0;
    QString status;  // ok, error, exception, or stopped (by a Stop request)
    QString kind;    // expression, variable, method, class, import, statement, erroneous or incomplete
    QString name;    // the declared name, or the value's $N
    QString text;    // the value, what was declared, or the error
    friend bool operator==(const Value&, const Value&) = default;
};
struct Done {  // `id` is answered whole
    qint64 id = 0;
    friend bool operator==(const Done&, const Done&) = default;
};
struct Completions {
    qint64 id = 0;
    int anchor = 0;  // where the continuations start in the source
    QStringList texts;
    friend bool operator==(const Completions&, const Completions&) = default;
};
struct Failed {  // a request the helper could not read
    QString text;
    friend bool operator==(const Failed&, const Failed&) = default;
};
}  // namespace reply

using Reply = std::variant<reply::Ready, reply::Output, reply::Value, reply::Done, reply::Completions, reply::Failed>;

// The line of a message, ending with a line feed.
QByteArray encode(const Request& r);
QByteArray encode(const Reply& r);
// The message of one line (its line feed, if any, ignored); nothing for a
// line that names no message or lacks its fields.
std::optional<Request> decodeRequest(const QByteArray& line);
std::optional<Reply> decodeReply(const QByteArray& line);

}  // namespace jshellwire
