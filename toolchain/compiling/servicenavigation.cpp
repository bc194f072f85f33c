// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicenavigation.h"

#include <QDir>
#include <QFile>

#include <algorithm>

QList<QByteArray> declarationRequest(const QString& file, const QString& text, int offset, const QString& cacheDir,
                                     const QStringList& options, const QString& workDir)
{
    QList<QByteArray> f{QByteArrayLiteral("declaration"), QFile::encodeName(workDir),
                        QFile::encodeName(file),          text.toUtf8(),
                        QByteArray::number(offset),       QFile::encodeName(cacheDir)};
    for (const QString& o : options)
        f << QFile::encodeName(o);
    return f;
}

QList<QByteArray> outlineRequest(const QString& file, const QString& text)
{
    return {QByteArrayLiteral("outline"), QFile::encodeName(file), text.toUtf8()};
}

ServiceDeclaration decodeDeclaration(const QList<QByteArray>& reply)
{
    ServiceDeclaration d;
    if (reply.size() >= 5 && reply[0] == "declared") {
        d.path = QFile::decodeName(reply[2]);
        d.line = reply[3].toInt();
        d.column = reply[4].toInt();
        d.jdk = reply.size() >= 6 && reply[5] == "jdk";
        d.found = !d.path.isEmpty() && d.line > 0;
    }
    if (!d.found)
        d.reason = reply.size() >= 3 && reply[0] == "undeclared" ? QString::fromUtf8(reply[2])
                                                                 : QStringLiteral("no declaration was found");
    return d;
}

QList<OutlineRow> decodeOutline(const QList<QByteArray>& reply)
{
    QList<OutlineRow> rows;
    if (reply.size() < 3 || reply[0] != "outlined")
        return rows;
    const int count = reply[2].toInt();
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 3 + qsizetype(i) * 6;
        if (at + 6 > reply.size())
            break;
        OutlineRow r;
        r.depth = reply[at].toInt();
        r.kind = QString::fromUtf8(reply[at + 1]);
        r.name = QString::fromUtf8(reply[at + 2]);
        r.detail = QString::fromUtf8(reply[at + 3]);
        r.line = reply[at + 4].toInt();
        r.column = reply[at + 5].toInt();
        rows << r;
    }
    return rows;
}

QString outlineRowText(const OutlineRow& row)
{
    QString text = QString(4 * std::max(0, row.depth), QLatin1Char(' ')) + row.kind + QLatin1Char(' ') + row.name;
    if (row.detail.startsWith(QLatin1Char('(')))
        text += row.detail;
    else if (!row.detail.isEmpty())
        text += QStringLiteral(" : ") + row.detail;
    return text;
}

int outlineRowAt(const QList<OutlineRow>& rows, int line)
{
    int found = -1;
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i].line <= line && (found < 0 || rows[i].line >= rows[found].line))
            found = i;
    }
    return found;
}

QString jdkSourceCache()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (!QDir::isAbsolutePath(home))
            return QString();
        base = home + QStringLiteral("/.cache");
    }
    return base + QStringLiteral("/brewpad/jdk-sources");
}
