// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/inlinevalues.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "name =" but not "name ==", or a declaration: a type's last character, blanks,
// the name and what may follow a declared name.
QRegularExpression setterOf(const QString& name)
{
    const QString n = QRegularExpression::escape(name);
    return QRegularExpression(QStringLiteral("(?<![\\w$.])%1\\s*=(?!=)|[\\w>\\]]\\s+%1\\s*[=;,):]").arg(n));
}

}  // namespace

QMap<int, QString> inlineValueLines(const QString& sourceText, int pausedLine, const QList<DebugValue>& values)
{
    QMap<int, QString> out;
    const QStringList lines = sourceText.split(QLatin1Char('\n'));
    const int last = std::min(pausedLine, int(lines.size()));
    for (const DebugValue& v : values) {
        if (v.kind != QLatin1String("local") && v.kind != QLatin1String("argument"))
            continue;
        const QRegularExpression re = setterOf(v.name);
        for (int i = last; i >= 1; --i) {
            if (!re.match(lines[i - 1]).hasMatch())
                continue;
            const QString shown = QStringLiteral("%1 = %2").arg(v.name, v.text);
            out[i] = out[i].isEmpty() ? shown : out[i] + QStringLiteral(", ") + shown;
            break;
        }
    }
    return out;
}
