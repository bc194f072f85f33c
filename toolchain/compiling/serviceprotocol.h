// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's requests and replies as typed values, and the one
// codec between them and the bytes on the wire (the Java side is
// toolchain/compiling/service/brewpad/service/, RequestDecoder and
// ReplyEncoder). A frame is its number of fields, then each field as its
// length and its bytes, every number 4 bytes with the most significant
// first; a reply is preceded by the bytes "BPSV". The first field names the
// kind (the verb), the second, where there is one, the request's id. Paths
// and arguments are in the platform's file-name encoding, texts in UTF-8.
// tests/golden/service/ holds one frame of each kind, read by both sides.
#pragma once
#include "toolchain/compiling/completionitems.h"
#include "toolchain/compiling/quickfixes.h"
#include "toolchain/compiling/renaming.h"
#include "toolchain/compiling/servicedoc.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// ------------------------------------------------------------------ requests

// "compile": javac run on `args` as a javac started in `workDir` would run.
struct CompileRequest {
    quint64 id = 0;
    QString workDir;
    QStringList args;
    bool operator==(const CompileRequest&) const = default;
};

// "check": `text`, the text of `file` (relative to `workDir`, or absolute),
// compiled in memory with the compiler options `options`.
struct CheckRequest {
    quint64 id = 0;
    QString workDir;
    QString file;
    QString text;
    QStringList options;
    bool operator==(const CheckRequest&) const = default;
};

// A question about the place `offset` (UTF-16 units) of `text`, compiled as
// a check compiles it: what fits there ("complete"), or the overloads of the
// call whose "(" encloses it ("signature").
struct CompleteRequest {
    enum Kind { Items, Signatures };
    Kind kind = Items;
    quint64 id = 0;
    QString workDir;
    QString file;
    QString text;
    int offset = 0;
    QStringList options;
    bool operator==(const CompleteRequest&) const = default;
};

// "declaration": where the name at `offset` of `text` is declared; the JDK's
// sources are copied into `cacheDir`.
struct DeclarationRequest {
    quint64 id = 0;
    QString workDir;
    QString file;
    QString text;
    int offset = 0;
    QString cacheDir;
    QStringList options;
    bool operator==(const DeclarationRequest&) const = default;
};

// "outline": the classes, fields and methods of `text`, the text of `file`.
struct OutlineRequest {
    quint64 id = 0;
    QString file;
    QString text;
    bool operator==(const OutlineRequest&) const = default;
};

// "cancel": the request `id` is no longer wanted.
struct CancelRequest {
    quint64 id = 0;
    bool operator==(const CancelRequest&) const = default;
};

// "quit": the service ends.
struct QuitRequest {
    bool operator==(const QuitRequest&) const = default;
};

using ServiceRequest = std::variant<CompileRequest, CheckRequest, CompleteRequest, DeclarationRequest, OutlineRequest,
                                    CancelRequest, QuitRequest, FixesRequest, RenameRequest, DocRequest>;

// ------------------------------------------------------------------- replies

// One message of a check.
struct ServiceDiagnostic {
    enum Kind { Error, Warning };
    int line = 0;    // 1-based; 0 when the message belongs to no line
    int column = 0;  // 1-based; 0 when it belongs to no column
    Kind kind = Error;
    QString message;
    bool operator==(const ServiceDiagnostic&) const = default;
};
Q_DECLARE_METATYPE(ServiceDiagnostic)

// One row of an outline.
struct OutlineRow {
    int depth = 0;  // 0 for a top-level class, one more for each class around it
    QString kind;   // "class", "interface", "enum", "record", "annotation", "field",
                    // "constant", "method", "constructor"
    QString name;
    QString detail;  // a field's type; a method's parameter types and result, "(int, String) : void"
    int line = 0;    // of the name, from 1
    int column = 0;  // from 1
    bool operator==(const OutlineRow&) const = default;
};

// "ready": the compiler is warm, in the directory `workDir`.
struct ReadyReply {
    QString workDir;
    bool operator==(const ReadyReply&) const = default;
};

// "compiled": javac's exit status and the bytes it wrote to its standard error.
struct CompiledReply {
    quint64 id = 0;
    int status = 0;
    QByteArray output;
    bool operator==(const CompiledReply&) const = default;
};

// "checked": the errors and warnings of a check.
struct CheckedReply {
    quint64 id = 0;
    QList<ServiceDiagnostic> diagnostics;
    bool operator==(const CheckedReply&) const = default;
};

// "completed": what fits at the caret.
struct CompletedReply {
    quint64 id = 0;
    QList<CompletionItem> items;
    bool operator==(const CompletedReply&) const = default;
};

// "signatures": the overloads of the call around the caret.
struct SignaturesReply {
    quint64 id = 0;
    SignatureHelp help;
    bool operator==(const SignaturesReply&) const = default;
};

// "declared": where a declaration is; `jdk` for a source copied out of the
// JDK's src.zip.
struct DeclaredReply {
    quint64 id = 0;
    QString path;
    int line = 0;
    int column = 0;
    bool jdk = false;
    bool operator==(const DeclaredReply&) const = default;
};

// "undeclared": why no declaration was found.
struct UndeclaredReply {
    quint64 id = 0;
    QString reason;
    bool operator==(const UndeclaredReply&) const = default;
};

// "outlined": the rows of an outline.
struct OutlinedReply {
    quint64 id = 0;
    QList<OutlineRow> rows;
    bool operator==(const OutlinedReply&) const = default;
};

// "cancelled": the request was given up.
struct CancelledReply {
    quint64 id = 0;
    bool operator==(const CancelledReply&) const = default;
};

// "failed": nothing was done that can be trusted; `cold` when this JVM
// cannot do it, so that the same request goes to javac from then on.
struct FailedReply {
    quint64 id = 0;
    QString reason;
    bool cold = false;
    bool operator==(const FailedReply&) const = default;
};

using ServiceReply = std::variant<ReadyReply, CompiledReply, CheckedReply, CompletedReply, SignaturesReply,
                                  DeclaredReply, UndeclaredReply, OutlinedReply, CancelledReply, FailedReply,
                                  FixesReply, RenamedReply, UnrenamedReply, DocReply>;
Q_DECLARE_METATYPE(ServiceReply)

// --------------------------------------------------------------------- codec

// The id a request or a reply carries (0 for "quit" and "ready").
quint64 serviceRequestId(const ServiceRequest& request);
void setServiceRequestId(ServiceRequest& request, quint64 id);
quint64 serviceReplyId(const ServiceReply& reply);
// True when the request carries a source's text (which may be megabytes).
bool serviceRequestHasText(const ServiceRequest& request);

// The bytes of a request's frame, and of a reply's (with "BPSV" before it).
QByteArray encodeServiceRequest(const ServiceRequest& request);
QByteArray encodeServiceReply(const ServiceReply& reply);

// The request or reply that a frame's fields hold; none for an unknown verb
// or a frame too short for its kind. A list of items cut short gives the
// items it holds whole.
std::optional<ServiceRequest> decodeServiceRequest(const QList<QByteArray>& fields);
std::optional<ServiceReply> decodeServiceReply(const QList<QByteArray>& fields);

// Takes one frame from the front of a byte stream.
enum class ServiceFrameParse { Frame, Incomplete, Bad };
// Requests have no magic bytes before them, replies `kServiceReplyMagic`.
inline constexpr char kServiceReplyMagic[] = "BPSV";
ServiceFrameParse takeServiceFrame(QByteArray& in, const QByteArray& magic, QList<QByteArray>* fields);
