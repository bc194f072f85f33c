// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/maven/mavenmessages.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The source of the test class `className` (simple or qualified).
QString testSource(const QString& className, const QStringList& testSources)
{
    const QString simple = className.section(QLatin1Char('.'), -1);
    const QString dotted = QString(className).replace(QLatin1Char('.'), QLatin1Char('/'));
    QString found;
    for (const QString& s : testSources) {
        if (QFileInfo(s).completeBaseName() != simple)
            continue;
        if (s.endsWith(QLatin1Char('/') + dotted + QLatin1String(".java")))
            return s;
        found = found.isEmpty() ? s : found;
    }
    return found;
}

}  // namespace

QStringList mavenMessageLines(const QString& output, const QStringList& testSources)
{
    static const QRegularExpression compiler(
        QStringLiteral("^\\[(ERROR|WARNING)\\] (/.+\\.java):\\[(\\d+)(?:,(\\d+))?\\] (.*)$"));
    static const QRegularExpression failure(
        QStringLiteral("^\\[ERROR\\]\\s+(?:Run \\d+: )?([A-Za-z_$][\\w$.]*)\\.([\\w$]+):(\\d+) (.*)$"));
    QStringList out;
    for (const QString& raw : output.split(QLatin1Char('\n'))) {
        const QString l = raw.trimmed();
        QString line;
        QRegularExpressionMatch m = compiler.match(l);
        if (m.hasMatch()) {
            const QString kind = m.captured(1) == QLatin1String("ERROR") ? QStringLiteral("error")
                                                                         : QStringLiteral("warning");
            line = QStringLiteral("%1:%2: %3: %4").arg(m.captured(2), m.captured(3), kind, m.captured(5));
        } else if ((m = failure.match(l)).hasMatch()) {
            const QString source = testSource(m.captured(1), testSources);
            if (!source.isEmpty())
                line = QStringLiteral("%1:%2: error: %3.%4 %5")
                           .arg(source, m.captured(3), m.captured(1), m.captured(2), m.captured(4));
        }
        if (!line.isEmpty() && !out.contains(line))
            out << line;
    }
    return out;
}
