// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's rename as typed values of its wire
// (toolchain/compiling/serviceprotocol.h; the service's side is
// toolchain/compiling/service/brewpad/service/Rename.java): the question for
// every place of the name at a caret, and its answer, the places or why the
// name cannot be renamed.
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A source given with its text (an editor window's).
struct RenameSource {
    QString path;
    QString text;
    bool operator==(const RenameSource&) const = default;
};

// "rename": the local, parameter, field, method or type named at `offset`
// (UTF-16 units) of `file` renamed `newName`, across the `open` sources (with
// their texts; `file` among them) and the `others` (read from disk by the
// service), all compiled together with the compiler options `options`
// (relative paths taken from `workDir`).
struct RenameRequest {
    quint64 id = 0;
    QString workDir;
    QString file;
    int offset = 0;
    QString newName;
    QList<RenameSource> open;
    QStringList others;
    QStringList options;
    bool operator==(const RenameRequest&) const = default;
};

// One place of the old name: the source as the request named it, and the
// name's offset and length in UTF-16 units of its text.
struct RenamePlace {
    QString path;
    int offset = 0;
    int length = 0;
    bool operator==(const RenamePlace&) const = default;
};

// "renamed": every place of `oldName` that names the element, in order of
// path and offset; `note` says what the rename leaves to the user (empty
// when nothing).
struct RenamedReply {
    quint64 id = 0;
    QString oldName;
    QString note;
    QList<RenamePlace> places;
    bool operator==(const RenamedReply&) const = default;
};

// "unrenamed": why the name cannot be renamed ("not a valid Java identifier",
// "cannot rename a symbol of the JDK or a library", "the new name clashes
// with local variable total in method add(int)").
struct UnrenamedReply {
    quint64 id = 0;
    QString reason;
    bool operator==(const UnrenamedReply&) const = default;
};

// The fields of their frames, the verb first, and back. Decoding takes what
// the fields hold whole; false for a frame of another kind or too short.
QList<QByteArray> renameRequestFields(const RenameRequest& r);
QList<QByteArray> renamedReplyFields(const RenamedReply& r);
QList<QByteArray> unrenamedReplyFields(const UnrenamedReply& r);
bool decodeRenameRequest(const QList<QByteArray>& fields, RenameRequest* r);
bool decodeRenamedReply(const QList<QByteArray>& fields, RenamedReply* r);
bool decodeUnrenamedReply(const QList<QByteArray>& fields, UnrenamedReply* r);
