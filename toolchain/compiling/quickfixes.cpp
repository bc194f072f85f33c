// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/quickfixes.h"

#include <QFile>

QList<QByteArray> fixesRequestFields(const FixesRequest& r)
{
    QList<QByteArray> f{
        "quickfix",      QByteArray::number(r.id),  QFile::encodeName(r.workDir), QFile::encodeName(r.file),
        r.text.toUtf8(), QByteArray::number(r.line)};
    for (const QString& o : r.options)
        f << QFile::encodeName(o);
    return f;
}

QList<QByteArray> fixesReplyFields(const FixesReply& r)
{
    QList<QByteArray> f{"quickfixes", QByteArray::number(r.id), QByteArray::number(r.fixes.size())};
    for (const QuickFix& fix : r.fixes) {
        f << fix.title.toUtf8() << QByteArray::number(fix.steps.size());
        for (const FixStep& s : fix.steps)
            f << s.kind.toUtf8() << QByteArray::number(s.start) << QByteArray::number(s.end) << s.text.toUtf8();
    }
    return f;
}

bool decodeFixesRequest(const QList<QByteArray>& fields, FixesRequest* r)
{
    if (fields.size() < 6 || fields[0] != "quickfix")
        return false;
    r->id = fields[1].toULongLong();
    r->workDir = QFile::decodeName(fields[2]);
    r->file = QFile::decodeName(fields[3]);
    r->text = QString::fromUtf8(fields[4]);
    r->line = fields[5].toInt();
    r->options.clear();
    for (qsizetype i = 6; i < fields.size(); ++i)
        r->options << QFile::decodeName(fields[i]);
    return true;
}

bool decodeFixesReply(const QList<QByteArray>& fields, FixesReply* r)
{
    if (fields.size() < 3 || fields[0] != "quickfixes")
        return false;
    r->id = fields[1].toULongLong();
    r->fixes.clear();
    const int count = fields[2].toInt();
    qsizetype at = 3;
    for (int i = 0; i < count && at + 2 <= fields.size(); ++i) {
        QuickFix fix{QString::fromUtf8(fields[at]), {}};
        const int steps = fields[at + 1].toInt();
        at += 2;
        if (steps < 0 || steps > (fields.size() - at) / 4)
            break;  // cut short: the fixes held whole
        for (int k = 0; k < steps; ++k, at += 4)
            fix.steps << FixStep{QString::fromUtf8(fields[at]), fields[at + 1].toInt(), fields[at + 2].toInt(),
                                 QString::fromUtf8(fields[at + 3])};
        r->fixes << fix;
    }
    return true;
}
