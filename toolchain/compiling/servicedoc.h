// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's documentation question and answer as typed values of
// its wire (toolchain/compiling/serviceprotocol.h; the service's side is
// toolchain/compiling/service/brewpad/service/Docs.java): the signature and
// the doc comment of the symbol at a place of a text, or of the symbol a link
// of a doc comment names.
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// "doc": the symbol at `offset` (UTF-16 units) of `text`, the text of `file`
// in `workDir`, compiled with the compiler options `options`; or, when
// `reference` is not empty, the one it names ("String#length()", "#size()")
// as the doc comments of the class `context` ("java.lang.String") name it.
// The JDK's sources are copied into `cacheDir`.
struct DocRequest {
    quint64 id = 0;
    QString workDir;
    QString file;
    QString text;
    int offset = 0;
    QString cacheDir;
    QString context;
    QString reference;
    QStringList options;
    bool operator==(const DocRequest&) const = default;
};

// "documented": the symbol's name, its signature ("public int length()"), the
// class its doc comment's links are read in, and the comment as the compiler
// reads it (without "/**", "*/" and the stars that begin its lines); empty
// when it has none.
struct DocReply {
    quint64 id = 0;
    QString name;
    QString signature;
    QString context;
    QString comment;
    bool operator==(const DocReply&) const = default;
};

// The fields of their frames, the verb first, and back; decoding fails on a
// frame of another kind or too short for its kind.
QList<QByteArray> docRequestFields(const DocRequest& r);
QList<QByteArray> docReplyFields(const DocReply& r);
bool decodeDocRequest(const QList<QByteArray>& fields, DocRequest* r);
bool decodeDocReply(const QList<QByteArray>& fields, DocReply* r);
