// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicedoc.h"

#include <QFile>

QList<QByteArray> docRequestFields(const DocRequest& r)
{
    QList<QByteArray> f{"doc",
                        QByteArray::number(r.id),
                        QFile::encodeName(r.workDir),
                        QFile::encodeName(r.file),
                        r.text.toUtf8(),
                        QByteArray::number(r.offset),
                        QFile::encodeName(r.cacheDir),
                        r.context.toUtf8(),
                        r.reference.toUtf8()};
    for (const QString& o : r.options)
        f << QFile::encodeName(o);
    return f;
}

QList<QByteArray> docReplyFields(const DocReply& r)
{
    return {"documented",         QByteArray::number(r.id), r.name.toUtf8(),
            r.signature.toUtf8(), r.context.toUtf8(),       r.comment.toUtf8()};
}

bool decodeDocRequest(const QList<QByteArray>& fields, DocRequest* r)
{
    if (fields.size() < 9 || fields[0] != "doc")
        return false;
    r->id = fields[1].toULongLong();
    r->workDir = QFile::decodeName(fields[2]);
    r->file = QFile::decodeName(fields[3]);
    r->text = QString::fromUtf8(fields[4]);
    r->offset = fields[5].toInt();
    r->cacheDir = QFile::decodeName(fields[6]);
    r->context = QString::fromUtf8(fields[7]);
    r->reference = QString::fromUtf8(fields[8]);
    r->options.clear();
    for (qsizetype i = 9; i < fields.size(); ++i)
        r->options << QFile::decodeName(fields[i]);
    return true;
}

bool decodeDocReply(const QList<QByteArray>& fields, DocReply* r)
{
    if (fields.size() < 6 || fields[0] != "documented")
        return false;
    r->id = fields[1].toULongLong();
    r->name = QString::fromUtf8(fields[2]);
    r->signature = QString::fromUtf8(fields[3]);
    r->context = QString::fromUtf8(fields[4]);
    r->comment = QString::fromUtf8(fields[5]);
    return true;
}
