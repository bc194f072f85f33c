// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/serviceprotocol.h"

#include "toolchain/compiling/serviceframe.h"

#include <QFile>

namespace {

quint32 getU32(const QByteArray& in, qsizetype at)
{
    const auto* p = reinterpret_cast<const unsigned char*>(in.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

using serviceframe::frameBytes;
using serviceframe::In;
using serviceframe::Name;
using serviceframe::Names;
using serviceframe::Out;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};

QByteArray encodeCompleted(const CompletedReply& r)
{
    Out out("completed");
    out.id(r.id).number(r.items.size());
    for (const CompletionItem& i : r.items)
        out.text(i.kind).text(i.name).text(i.detail).text(i.insert);
    return out.frame();
}

QByteArray encodeSignatures(const SignaturesReply& r)
{
    Out out("signatures");
    out.id(r.id).number(r.help.argument).number(r.help.overloads.size());
    for (const SignatureOverload& o : r.help.overloads) {
        out.text(o.name).text(o.returns).number(o.parameters.size());
        for (const QString& p : o.parameters)
            out.text(p);
    }
    return out.frame();
}

QByteArray encodeReplyFields(const ServiceReply& reply)
{
    return std::visit(
        Overloaded{
            [](const ReadyReply& r) { return Out("ready").name(r.workDir).frame(); },
            [](const CompiledReply& r) { return Out("compiled").id(r.id).number(r.status).bytes(r.output).frame(); },
            [](const CheckedReply& r) {
                Out out("checked");
                out.id(r.id).number(r.diagnostics.size());
                for (const ServiceDiagnostic& d : r.diagnostics)
                    out.number(d.line)
                        .number(d.column)
                        .bytes(d.kind == ServiceDiagnostic::Warning ? "warning" : "error")
                        .text(d.message);
                return out.frame();
            },
            [](const CompletedReply& r) { return encodeCompleted(r); },
            [](const SignaturesReply& r) { return encodeSignatures(r); },
            [](const DeclaredReply& r) {
                Out out("declared");
                out.id(r.id).name(r.path).number(r.line).number(r.column);
                return (r.jdk ? out.bytes("jdk") : out).frame();
            },
            [](const UndeclaredReply& r) { return Out("undeclared").id(r.id).text(r.reason).frame(); },
            [](const OutlinedReply& r) {
                Out out("outlined");
                out.id(r.id).number(r.rows.size());
                for (const OutlineRow& o : r.rows)
                    out.number(o.depth).text(o.kind).text(o.name).text(o.detail).number(o.line).number(o.column);
                return out.frame();
            },
            [](const CancelledReply& r) { return Out("cancelled").id(r.id).frame(); },
            [](const FixesReply& r) { return frameBytes(fixesReplyFields(r)); },
            [](const RenamedReply& r) { return frameBytes(renamedReplyFields(r)); },
            [](const UnrenamedReply& r) { return frameBytes(unrenamedReplyFields(r)); },
            [](const DocReply& r) { return frameBytes(docReplyFields(r)); },
            [](const FailedReply& r) {
                Out out("failed");
                out.id(r.id).text(r.reason);
                return (r.cold ? out.bytes("cold") : out).frame();
            },
        },
        reply);
}

CheckedReply decodeChecked(In& in)
{
    CheckedReply r{in.id(), {}};
    const int n = in.number();
    for (int i = 0; i < n && in.left() >= 4; ++i) {
        ServiceDiagnostic d;
        in.read(d.line, d.column);
        d.kind = in.bytes() == "warning" ? ServiceDiagnostic::Warning : ServiceDiagnostic::Error;
        d.message = in.text();
        r.diagnostics << d;
    }
    return r;
}

CompletedReply decodeCompleted(In& in)
{
    CompletedReply r{in.id(), {}};
    const int n = in.number();
    for (int i = 0; i < n && in.left() >= 4; ++i) {
        CompletionItem item;
        in.read(item.kind, item.name, item.detail, item.insert);
        r.items << item;
    }
    return r;
}

SignaturesReply decodeSignaturesReply(In& in)
{
    SignaturesReply r{in.id(), {}};
    r.help.argument = in.number();
    const int n = in.number();
    for (int i = 0; i < n && in.left() >= 3; ++i) {
        SignatureOverload o;
        in.read(o.name, o.returns);
        const int count = in.number();
        if (count < 0 || count > in.left())
            break;
        for (int k = 0; k < count; ++k)
            o.parameters << in.text();
        r.help.overloads << o;
    }
    return r;
}

OutlinedReply decodeOutlined(In& in)
{
    OutlinedReply r{in.id(), {}};
    const int n = in.number();
    for (int i = 0; i < n && in.left() >= 6; ++i) {
        OutlineRow row;
        in.read(row.depth, row.kind, row.name, row.detail, row.line, row.column);
        r.rows << row;
    }
    return r;
}

DeclaredReply decodeDeclared(In& in)
{
    DeclaredReply r;
    in.read(r.id, Name{r.path}, r.line, r.column);
    r.jdk = in.left() > 0 && in.bytes() == "jdk";
    return r;
}

// The reply of a frame whose verb is known and that holds its fields.
std::optional<ServiceReply> decodeKnownReply(const QByteArray& verb, const QList<QByteArray>& fields)
{
    In in(fields);
    const qsizetype n = fields.size();
    if (verb == "compiled" && n >= 4) {
        CompiledReply r;
        in.read(r.id, r.status, r.output);
        return r;
    }
    if (verb == "checked" && n >= 3)
        return decodeChecked(in);
    if (verb == "completed" && n >= 3)
        return decodeCompleted(in);
    if (verb == "signatures" && n >= 4)
        return decodeSignaturesReply(in);
    if (verb == "declared" && n >= 5)
        return decodeDeclared(in);
    if (verb == "undeclared" && n >= 3)
        return UndeclaredReply{in.id(), in.text()};
    if (verb == "outlined" && n >= 3)
        return decodeOutlined(in);
    if (verb == "cancelled" && n >= 2)
        return CancelledReply{in.id()};
    if (FixesReply fixes; decodeFixesReply(fields, &fixes))
        return fixes;
    if (RenamedReply renamed; decodeRenamedReply(fields, &renamed))
        return renamed;
    if (UnrenamedReply unrenamed; decodeUnrenamedReply(fields, &unrenamed))
        return unrenamed;
    if (DocReply doc; decodeDocReply(fields, &doc))
        return doc;
    if (verb == "failed" && n >= 2) {
        FailedReply r;
        in.read(r.id, r.reason);
        r.cold = in.left() > 0 && in.bytes() == "cold";
        return r;
    }
    return std::nullopt;
}

CompleteRequest decodeComplete(CompleteRequest::Kind kind, In& in)
{
    CompleteRequest r;
    r.kind = kind;
    in.read(r.id, Name{r.workDir}, Name{r.file}, r.text, r.offset, Names{r.options});
    return r;
}

DeclarationRequest decodeDeclaration(In& in)
{
    DeclarationRequest r;
    in.read(r.id, Name{r.workDir}, Name{r.file}, r.text, r.offset, Name{r.cacheDir}, Names{r.options});
    return r;
}

CheckRequest decodeCheck(In& in)
{
    CheckRequest r;
    in.read(r.id, Name{r.workDir}, Name{r.file}, r.text, Names{r.options});
    return r;
}

}  // namespace

quint64 serviceRequestId(const ServiceRequest& request)
{
    return std::visit(Overloaded{[](const QuitRequest&) { return quint64(0); }, [](const auto& r) { return r.id; }},
                      request);
}

void setServiceRequestId(ServiceRequest& request, quint64 id)
{
    std::visit(Overloaded{[](QuitRequest&) {}, [id](auto& r) { r.id = id; }}, request);
}

quint64 serviceReplyId(const ServiceReply& reply)
{
    return std::visit(Overloaded{[](const ReadyReply&) { return quint64(0); }, [](const auto& r) { return r.id; }},
                      reply);
}

bool serviceRequestHasText(const ServiceRequest& request)
{
    return !std::holds_alternative<CompileRequest>(request) && !std::holds_alternative<CancelRequest>(request) &&
           !std::holds_alternative<QuitRequest>(request);
}

QByteArray encodeServiceRequest(const ServiceRequest& request)
{
    return std::visit(
        Overloaded{
            [](const CompileRequest& r) { return Out("compile").id(r.id).name(r.workDir).names(r.args).frame(); },
            [](const CheckRequest& r) {
                return Out("check").id(r.id).name(r.workDir).name(r.file).text(r.text).names(r.options).frame();
            },
            [](const CompleteRequest& r) {
                return Out(r.kind == CompleteRequest::Items ? "complete" : "signature")
                    .place(r)
                    .names(r.options)
                    .frame();
            },
            [](const DeclarationRequest& r) {
                return Out("declaration").place(r).name(r.cacheDir).names(r.options).frame();
            },
            [](const OutlineRequest& r) { return Out("outline").id(r.id).name(r.file).text(r.text).frame(); },
            [](const CancelRequest& r) { return Out("cancel").id(r.id).frame(); },
            [](const QuitRequest&) { return Out("quit").frame(); },
            [](const FixesRequest& r) { return frameBytes(fixesRequestFields(r)); },
            [](const RenameRequest& r) { return frameBytes(renameRequestFields(r)); },
            [](const DocRequest& r) { return frameBytes(docRequestFields(r)); },
        },
        request);
}

QByteArray encodeServiceReply(const ServiceReply& reply)
{
    return QByteArray(kServiceReplyMagic) + encodeReplyFields(reply);
}

std::optional<ServiceRequest> decodeServiceRequest(const QList<QByteArray>& fields)
{
    if (fields.isEmpty())
        return std::nullopt;
    const QByteArray& verb = fields[0];
    const qsizetype n = fields.size();
    In in(fields);
    if (verb == "compile" && n >= 3)
        return CompileRequest{in.id(), in.name(), in.names()};
    if (verb == "check" && n >= 5)
        return decodeCheck(in);
    if ((verb == "complete" || verb == "signature") && n >= 6)
        return decodeComplete(verb == "complete" ? CompleteRequest::Items : CompleteRequest::Signatures, in);
    if (verb == "declaration" && n >= 7)
        return decodeDeclaration(in);
    if (verb == "outline" && n >= 4)
        return OutlineRequest{in.id(), in.name(), in.text()};
    if (verb == "cancel" && n >= 2)
        return CancelRequest{in.id()};
    if (FixesRequest fixes; decodeFixesRequest(fields, &fixes))
        return fixes;
    if (RenameRequest rename; decodeRenameRequest(fields, &rename))
        return rename;
    if (DocRequest doc; decodeDocRequest(fields, &doc))
        return doc;
    if (verb == "quit")
        return QuitRequest{};
    return std::nullopt;
}

std::optional<ServiceReply> decodeServiceReply(const QList<QByteArray>& fields)
{
    if (fields.isEmpty())
        return std::nullopt;
    if (fields[0] == "ready")
        return ReadyReply{fields.size() >= 2 ? QFile::decodeName(fields[1]) : QString()};
    if (std::optional<ServiceReply> known = decodeKnownReply(fields[0], fields))
        return known;
    // A reply to a request that cannot be read: the request has failed.
    if (fields.size() < 2)
        return std::nullopt;
    return FailedReply{fields[1].toULongLong(), QStringLiteral("the compile service's reply was not understood")};
}

ServiceFrameParse takeServiceFrame(QByteArray& in, const QByteArray& magic, QList<QByteArray>* fields)
{
    const qsizetype head = magic.size() + 4;
    if (in.size() < head)
        return in.isEmpty() || magic.startsWith(in.left(magic.size())) ? ServiceFrameParse::Incomplete
                                                                       : ServiceFrameParse::Bad;
    if (!in.startsWith(magic))
        return ServiceFrameParse::Bad;
    const quint32 count = getU32(in, magic.size());
    if (count > (1u << 24))
        return ServiceFrameParse::Bad;
    qsizetype at = head;
    QList<QByteArray> out;
    for (quint32 i = 0; i < count; ++i) {
        if (in.size() < at + 4)
            return ServiceFrameParse::Incomplete;
        const quint32 len = getU32(in, at);
        at += 4;
        if (in.size() - at < qsizetype(len))
            return ServiceFrameParse::Incomplete;
        out << in.mid(at, len);
        at += len;
    }
    in.remove(0, at);
    *fields = std::move(out);
    return ServiceFrameParse::Frame;
}
