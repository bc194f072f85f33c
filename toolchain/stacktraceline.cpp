// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/stacktraceline.h"

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
