// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/stacktraceline.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

std::optional<StackTraceLocation> parseStackTraceLine(const QString& line)
{
    // at [loader//][module[@version]/]pkg.Cls.method(File.java:12)
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(at\s+(?:[^\s/()]+/){0,2}((?:[\p{L}\p{N}_$]+\.)*[\p{L}\p{N}_$]+)\.([\p{L}\p{N}_$<>]+)\(([^():\s]+\.java):(\d+)\)))"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const int n = m.captured(5).toInt(&ok);
    if (!ok || n <= 0)
        return std::nullopt;
    StackTraceLocation loc;
    loc.className = m.captured(2);
    loc.method = m.captured(3);
    loc.file = m.captured(4);
    loc.line = n;
    loc.start = int(m.capturedStart(1));
    loc.length = int(m.capturedLength(1));
    return loc;
}

QString topLevelClass(const QString& className)
{
    const int dollar = className.indexOf(QLatin1Char('$'), className.lastIndexOf(QLatin1Char('.')) + 1);
    return dollar < 0 ? className : className.left(dollar);
}

QString findStackTraceSource(const StackTraceLocation& location, const QString& classDir,
                             const QStringList& projectSources)
{
    const QString top = topLevelClass(location.className);
    const qsizetype dot = top.lastIndexOf(QLatin1Char('.'));
    const QString packageDir = dot < 0 ? QString() : top.left(dot).replace(QLatin1Char('.'), QLatin1Char('/'));
    if (!classDir.isEmpty()) {
        const QDir dir(classDir);
        for (const QString& candidate :
             {dir.filePath(location.file), dir.filePath(packageDir + QLatin1Char('/') + location.file)}) {
            if (QFileInfo(candidate).isFile())
                return QDir::cleanPath(candidate);
        }
    }
    QString only;
    int named = 0;
    for (const QString& source : projectSources) {
        const QFileInfo info(source);
        if (info.fileName() != location.file || !info.isFile())
            continue;
        if (!packageDir.isEmpty() && info.absolutePath().endsWith(QLatin1Char('/') + packageDir))
            return info.absoluteFilePath();
        only = info.absoluteFilePath();
        ++named;
    }
    return named == 1 ? only : QString();
}
