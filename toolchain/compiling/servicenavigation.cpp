// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicenavigation.h"

#include <QDir>

#include <algorithm>

DeclarationRequest declarationRequest(const QString& file, const QString& text, int offset, const QString& cacheDir,
                                      const QStringList& options, const QString& workDir)
{
    return DeclarationRequest{0, workDir, file, text, offset, cacheDir, options};
}

OutlineRequest outlineRequest(const QString& file, const QString& text)
{
    return OutlineRequest{0, file, text};
}

ServiceDeclaration declarationIn(const ServiceReply& reply)
{
    ServiceDeclaration d;
    if (const auto* r = std::get_if<DeclaredReply>(&reply)) {
        d.path = r->path;
        d.line = r->line;
        d.column = r->column;
        d.jdk = r->jdk;
        d.found = !d.path.isEmpty() && d.line > 0;
    }
    if (!d.found) {
        const auto* r = std::get_if<UndeclaredReply>(&reply);
        d.reason = r ? r->reason : QStringLiteral("no declaration was found");
    }
    return d;
}

QList<OutlineRow> outlineIn(const ServiceReply& reply)
{
    const auto* r = std::get_if<OutlinedReply>(&reply);
    return r ? r->rows : QList<OutlineRow>();
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
