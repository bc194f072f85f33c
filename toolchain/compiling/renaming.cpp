// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/renaming.h"

#include <QFile>

QList<QByteArray> renameRequestFields(const RenameRequest& r)
{
    QList<QByteArray> f{"rename",
                        QByteArray::number(r.id),
                        QFile::encodeName(r.workDir),
                        QFile::encodeName(r.file),
                        QByteArray::number(r.offset),
                        r.newName.toUtf8(),
                        QByteArray::number(r.open.size())};
    for (const RenameSource& s : r.open)
        f << QFile::encodeName(s.path) << s.text.toUtf8();
    f << QByteArray::number(r.others.size());
    for (const QString& p : r.others)
        f << QFile::encodeName(p);
    for (const QString& o : r.options)
        f << QFile::encodeName(o);
    return f;
}

QList<QByteArray> renamedReplyFields(const RenamedReply& r)
{
    QList<QByteArray> f{"renamed", QByteArray::number(r.id), r.oldName.toUtf8(), r.note.toUtf8(),
                        QByteArray::number(r.places.size())};
    for (const RenamePlace& p : r.places)
        f << QFile::encodeName(p.path) << QByteArray::number(p.offset) << QByteArray::number(p.length);
    return f;
}

QList<QByteArray> unrenamedReplyFields(const UnrenamedReply& r)
{
    return {"unrenamed", QByteArray::number(r.id), r.reason.toUtf8()};
}

bool decodeRenameRequest(const QList<QByteArray>& fields, RenameRequest* r)
{
    if (fields.size() < 8 || fields[0] != "rename")
        return false;
    r->id = fields[1].toULongLong();
    r->workDir = QFile::decodeName(fields[2]);
    r->file = QFile::decodeName(fields[3]);
    r->offset = fields[4].toInt();
    r->newName = QString::fromUtf8(fields[5]);
    const int open = fields[6].toInt();
    qsizetype at = 7;
    if (open < 0 || open > (fields.size() - at - 1) / 2)
        return false;
    r->open.clear();
    for (int i = 0; i < open; ++i, at += 2)
        r->open << RenameSource{QFile::decodeName(fields[at]), QString::fromUtf8(fields[at + 1])};
    const int others = fields[at++].toInt();
    if (others < 0 || others > fields.size() - at)
        return false;
    r->others.clear();
    for (int i = 0; i < others; ++i)
        r->others << QFile::decodeName(fields[at++]);
    r->options.clear();
    for (; at < fields.size(); ++at)
        r->options << QFile::decodeName(fields[at]);
    return true;
}

bool decodeRenamedReply(const QList<QByteArray>& fields, RenamedReply* r)
{
    if (fields.size() < 5 || fields[0] != "renamed")
        return false;
    r->id = fields[1].toULongLong();
    r->oldName = QString::fromUtf8(fields[2]);
    r->note = QString::fromUtf8(fields[3]);
    r->places.clear();
    const int count = fields[4].toInt();
    for (qsizetype i = 0, at = 5; i < count && at + 3 <= fields.size(); ++i, at += 3)
        r->places << RenamePlace{QFile::decodeName(fields[at]), fields[at + 1].toInt(), fields[at + 2].toInt()};
    return true;
}

bool decodeUnrenamedReply(const QList<QByteArray>& fields, UnrenamedReply* r)
{
    if (fields.size() < 3 || fields[0] != "unrenamed")
        return false;
    r->id = fields[1].toULongLong();
    r->reason = QString::fromUtf8(fields[2]);
    return true;
}
