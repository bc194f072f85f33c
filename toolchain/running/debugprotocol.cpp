// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/debugprotocol.h"

#include <QRegularExpression>

QByteArray encodeDebugLine(const QStringList& fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += '\t';
        for (char c : fields.at(i).toUtf8()) {
            switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
            }
        }
    }
    out += '\n';
    return out;
}

QStringList decodeDebugLine(const QByteArray& line)
{
    QStringList out;
    QByteArray cur;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\t') {
            out << QString::fromUtf8(cur);
            cur.clear();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char e = line.at(++i);
            cur += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
        } else {
            cur += c;
        }
    }
    out << QString::fromUtf8(cur);
    return out;
}

QString javaFailureLine(const QString& errorOutput)
{
    static const QRegularExpression preamble(QStringLiteral("^Exception in thread \"[^\"]*\"\\s*"));
    for (const QString& raw : errorOutput.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("at ")) || line.startsWith(QLatin1String("...")))
            continue;
        return QString(line).remove(preamble);
    }
    return {};
}

WireFields::WireFields(const QByteArray& line)
{
    QByteArray l = line;
    if (l.endsWith('\n'))
        l.chop(1);
    f_ = decodeDebugLine(l);
}

qint64 WireFields::number()
{
    bool good = false;
    const qint64 n = text().toLongLong(&good);
    ok_ = ok_ && good;
    return n;
}
