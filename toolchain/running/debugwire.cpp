// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/debugwire.h"

#include "toolchain/running/debugprotocol.h"

#include <QStringList>

namespace debugwire {
namespace {

QString num(qint64 n)
{
    return QString::number(n);
}

const char* motionName(request::Motion m)
{
    switch (m) {
    case request::Motion::Continue: return "continue";
    case request::Motion::StepOver: return "stepOver";
    case request::Motion::StepInto: return "stepInto";
    case request::Motion::StepOut: return "stepOut";
    }
    return "continue";
}

void addValues(QStringList& out, const QList<DebugValue>& values)
{
    for (const DebugValue& v : values)
        out << v.kind << v.name << v.type << v.text << num(v.id);
}

QStringList requestFields(const Request& r)
{
    using namespace request;
    return std::visit(
        Overloaded{
            [](const Listen&) { return QStringList{QStringLiteral("listen")}; },
            [](const Pid& p) {
                return QStringList{QStringLiteral("pid"), num(p.pid)};
            },
            [](const Break& b) {
                const Breakpoint& p = b.breakpoint;
                return QStringList{QStringLiteral("break"), b.className, num(p.line), num(p.enabled ? 1 : 0),
                                   num(p.hitCount),         p.condition, p.file};
            },
            [](const Clear& c) {
                return QStringList{QStringLiteral("clear"), c.className, num(c.line)};
            },
            [](const Run&) { return QStringList{QStringLiteral("run")}; },
            [](const Move& m) { return QStringList{QLatin1String(motionName(m.motion))}; },
            [](const RunTo& t) {
                return QStringList{QStringLiteral("runTo"), t.className, num(t.line)};
            },
            [](const Stop&) { return QStringList{QStringLiteral("stop")}; },
            [](const Threads&) { return QStringList{QStringLiteral("threads")}; },
            [](const Frames& f) {
                return QStringList{QStringLiteral("frames"), num(f.thread)};
            },
            [](const Variables& v) {
                return QStringList{QStringLiteral("variables"), num(v.thread), num(v.frame)};
            },
            [](const Expand& e) {
                return QStringList{QStringLiteral("expand"), num(e.id), num(e.start)};
            },
            [](const Evaluate& e) {
                return QStringList{QStringLiteral("evaluate"), num(e.thread), num(e.frame), e.expression};
            },
        },
        r);
}

QStringList pausedFields(const reply::Paused& p)
{
    const DebugPause& d = p.pause;
    QStringList out{QStringLiteral("paused"),
                    num(d.thread),
                    d.className,
                    d.file,
                    num(d.line),
                    d.reason,
                    num(d.frame),
                    num(p.done)};
    if (d.reason == QLatin1String("exception"))
        out << d.exceptionClass << d.exceptionMessage;
    return out;
}

QStringList replyFields(const Reply& r)
{
    using namespace reply;
    return std::visit(
        Overloaded{
            [](const Ready& x) {
                return QStringList{QStringLiteral("ready"), num(x.port)};
            },
            [](const Connected&) { return QStringList{QStringLiteral("connected")}; },
            [](const BreakpointState& b) {
                return QStringList{QStringLiteral("breakpoint"), b.className, num(b.line), b.state, num(b.actual)};
            },
            [](const Paused& p) { return pausedFields(p); },
            [](const Resumed&) { return QStringList{QStringLiteral("resumed")}; },
            [](const Threads& t) {
                QStringList out{QStringLiteral("threads")};
                for (const DebugThread& x : t.threads)
                    out << num(x.id) << x.name << x.status;
                return out;
            },
            [](const Frames& f) {
                QStringList out{QStringLiteral("frames"), num(f.thread)};
                for (const DebugFrame& x : f.frames)
                    out << x.className << x.method << x.file << num(x.line);
                return out;
            },
            [](const Variables& v) {
                QStringList out{QStringLiteral("variables"), num(v.thread), num(v.frame), v.note};
                addValues(out, v.values);
                return out;
            },
            [](const Children& c) {
                QStringList out{QStringLiteral("children"), num(c.id), num(c.start), num(c.total)};
                addValues(out, c.values);
                return out;
            },
            [](const Evaluated& e) {
                QStringList out{QStringLiteral("evaluated"), e.expression, num(e.frame)};
                addValues(out, {e.value});
                out << e.error;
                return out;
            },
            [](const Condition& c) {
                return QStringList{
                    QStringLiteral("condition"), c.className, num(c.line), c.file, c.outcome, c.message};
            },
            [](const Ended&) { return QStringList{QStringLiteral("ended")}; },
            [](const Error& e) {
                return QStringList{QStringLiteral("error"), e.text};
            },
        },
        r);
}

using Fields = WireFields;

QList<DebugValue> readValues(Fields& f)
{
    QList<DebugValue> out;
    while (f.left() >= 5 && f.ok()) {
        DebugValue v{f.text(), f.text(), f.text(), f.text(), 0};
        v.id = f.number();
        out << v;
    }
    return out;
}

template <class T>
std::optional<T> checked(const Fields& f, T value)
{
    return f.ok() ? std::optional<T>(std::move(value)) : std::nullopt;
}

std::optional<Request> readBreak(Fields& f)
{
    request::Break b;
    f.read(b.className, b.breakpoint.line);
    b.breakpoint.enabled = f.number() != 0;
    f.read(b.breakpoint.hitCount, b.breakpoint.condition, b.breakpoint.file);
    return checked<Request>(f, b);
}

std::optional<Request> readRequest(Fields& f)
{
    using namespace request;
    const QString& n = f.name();
    if (n == u"listen")
        return Listen{};
    if (n == u"pid")
        return checked<Request>(f, Pid{f.number()});
    if (n == u"break")
        return readBreak(f);
    if (n == u"clear" || n == u"runTo") {
        const QString cls = f.text();
        const int line = f.small();
        return checked<Request>(f, n == u"clear" ? Request(Clear{cls, line}) : Request(RunTo{cls, line}));
    }
    if (n == u"run")
        return Run{};
    for (const Motion m : {Motion::Continue, Motion::StepOver, Motion::StepInto, Motion::StepOut}) {
        if (n == QLatin1String(motionName(m)))
            return Move{m};
    }
    if (n == u"stop")
        return Stop{};
    if (n == u"threads")
        return request::Threads{};
    if (n == u"frames")
        return checked<Request>(f, request::Frames{f.number()});
    if (n == u"variables") {
        const qint64 thread = f.number();
        return checked<Request>(f, request::Variables{thread, f.small()});
    }
    if (n == u"expand") {
        const qint64 id = f.number();
        return checked<Request>(f, Expand{id, f.small()});
    }
    if (n == u"evaluate") {
        Evaluate e;
        f.read(e.thread, e.frame, e.expression);
        return checked<Request>(f, e);
    }
    return std::nullopt;
}

std::optional<Reply> readPaused(Fields& f)
{
    reply::Paused p;
    DebugPause& d = p.pause;
    f.read(d.thread, d.className, d.file, d.line, d.reason, d.frame, p.done);
    if (d.reason == QLatin1String("exception"))
        f.read(d.exceptionClass, d.exceptionMessage);
    return checked<Reply>(f, p);
}

std::optional<Reply> readLists(Fields& f)
{
    using namespace reply;
    const QString& n = f.name();
    if (n == u"threads") {
        Threads t;
        while (f.left() >= 3 && f.ok()) {
            const qint64 id = f.number();
            const QString name = f.text();
            t.threads << DebugThread{id, name, f.text()};
        }
        return checked<Reply>(f, t);
    }
    if (n == u"frames") {
        Frames fr{f.number(), {}};
        while (f.left() >= 4 && f.ok()) {
            DebugFrame x{f.text(), f.text(), f.text(), 0};
            x.line = f.small();
            fr.frames << x;
        }
        return checked<Reply>(f, fr);
    }
    if (n == u"variables") {
        Variables v;
        f.read(v.thread, v.frame, v.note);
        v.values = readValues(f);
        return checked<Reply>(f, v);
    }
    Children c;
    f.read(c.id, c.start, c.total);
    c.values = readValues(f);
    return checked<Reply>(f, c);
}

std::optional<Reply> readEvaluated(Fields& f)
{
    reply::Evaluated e;
    f.read(e.expression, e.frame, e.value.kind, e.value.name, e.value.type, e.value.text, e.value.id, e.error);
    return checked<Reply>(f, e);
}

std::optional<Reply> readCondition(Fields& f)
{
    reply::Condition c;
    f.read(c.className, c.line, c.file, c.outcome, c.message);
    return checked<Reply>(f, c);
}

std::optional<Reply> readReply(Fields& f)
{
    using namespace reply;
    const QString& n = f.name();
    if (n == u"ready")
        return checked<Reply>(f, Ready{f.small()});
    if (n == u"connected")
        return Connected{};
    if (n == u"breakpoint") {
        BreakpointState b;
        f.read(b.className, b.line, b.state, b.actual);
        return checked<Reply>(f, b);
    }
    if (n == u"paused")
        return readPaused(f);
    if (n == u"resumed")
        return Resumed{};
    if (n == u"threads" || n == u"frames" || n == u"variables" || n == u"children")
        return readLists(f);
    if (n == u"evaluated")
        return readEvaluated(f);
    if (n == u"condition")
        return readCondition(f);
    if (n == u"ended")
        return Ended{};
    if (n == u"error")
        return checked<Reply>(f, Error{f.text()});
    return std::nullopt;
}

}  // namespace

QByteArray encode(const Request& r)
{
    return encodeDebugLine(requestFields(r));
}

QByteArray encode(const Reply& r)
{
    return encodeDebugLine(replyFields(r));
}

std::optional<Request> decodeRequest(const QByteArray& line)
{
    Fields f(line);
    return readRequest(f);
}

std::optional<Reply> decodeReply(const QByteArray& line)
{
    Fields f(line);
    return readReply(f);
}

}  // namespace debugwire
