// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/jshellwire.h"

#include "toolchain/running/debugprotocol.h"

namespace jshellwire {
namespace {

QString num(qint64 n)
{
    return QString::number(n);
}

template <class T>
std::optional<T> whole(const WireFields& f, T value)
{
    return f.ok() && f.left() == 0 ? std::optional<T>(std::move(value)) : std::nullopt;
}

}  // namespace

QByteArray encode(const Request& r)
{
    using namespace request;
    return encodeDebugLine(
        std::visit(Overloaded{
                       [](const Eval& e) {
                           return QStringList{QStringLiteral("eval"), num(e.id), e.source};
                       },
                       [](const Complete& c) {
                           return QStringList{QStringLiteral("complete"), num(c.id), c.source, num(c.cursor)};
                       },
                       [](const Stop&) { return QStringList{QStringLiteral("stop")}; },
                       [](const Quit&) { return QStringList{QStringLiteral("quit")}; },
                   },
                   r));
}

QByteArray encode(const Reply& r)
{
    using namespace reply;
    return encodeDebugLine(
        std::visit(Overloaded{
                       [](const Ready&) { return QStringList{QStringLiteral("ready")}; },
                       [](const Output& o) {
                           return QStringList{QStringLiteral("output"), num(o.id), o.stream, o.text};
                       },
                       [](const Value& v) {
                           return QStringList{QStringLiteral("value"), num(v.id), v.status, v.kind, v.name, v.text};
                       },
                       [](const Done& d) {
                           return QStringList{QStringLiteral("done"), num(d.id)};
                       },
                       [](const Completions& c) {
                           return QStringList{QStringLiteral("completions"), num(c.id), num(c.anchor)} + c.texts;
                       },
                       [](const Failed& e) {
                           return QStringList{QStringLiteral("failed"), e.text};
                       },
                   },
                   r));
}

std::optional<Request> decodeRequest(const QByteArray& line)
{
    using namespace request;
    WireFields f(line);
    const QString& n = f.name();
    if (n == u"eval") {
        Eval e;
        f.read(e.id, e.source);
        return whole<Request>(f, e);
    }
    if (n == u"complete") {
        Complete c;
        f.read(c.id, c.source, c.cursor);
        return whole<Request>(f, c);
    }
    if (n == u"stop")
        return whole<Request>(f, Stop{});
    if (n == u"quit")
        return whole<Request>(f, Quit{});
    return std::nullopt;
}

std::optional<Reply> decodeReply(const QByteArray& line)
{
    using namespace reply;
    WireFields f(line);
    const QString& n = f.name();
    if (n == u"ready")
        return whole<Reply>(f, Ready{});
    if (n == u"output") {
        Output o;
        f.read(o.id, o.stream, o.text);
        return whole<Reply>(f, o);
    }
    if (n == u"value") {
        Value v;
        f.read(v.id, v.status, v.kind, v.name, v.text);
        return whole<Reply>(f, v);
    }
    if (n == u"done")
        return whole<Reply>(f, Done{f.number()});
    if (n == u"completions") {
        Completions c;
        f.read(c.id, c.anchor);
        while (f.ok() && f.left() > 0)
            c.texts << f.text();
        return whole<Reply>(f, c);
    }
    if (n == u"failed")
        return whole<Reply>(f, Failed{f.text()});
    return std::nullopt;
}

}  // namespace jshellwire
