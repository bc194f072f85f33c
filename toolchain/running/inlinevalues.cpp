// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/inlinevalues.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// "name =" but not "name ==".
QRegularExpression assignmentOf(const QString& name)
{
    return QRegularExpression(QStringLiteral("(?<![\\w$.])%1\\s*=(?!=)").arg(QRegularExpression::escape(name)));
}

// A declaration: a type's last word (or ">" or "]"), blanks, the name and
// what may follow a declared name.
QRegularExpression declarationOf(const QString& name)
{
    return QRegularExpression(
        QStringLiteral("(?:(?<![\\w$])([\\w$]+)|[>\\]])\\s+%1\\s*[=;,):]").arg(QRegularExpression::escape(name)));
}

// Words that stand before a name without declaring it ("return x;").
bool isKeywordBeforeName(QStringView word)
{
    static const QStringList words = {QStringLiteral("return"), QStringLiteral("throw"),     QStringLiteral("new"),
                                      QStringLiteral("case"),   QStringLiteral("yield"),     QStringLiteral("assert"),
                                      QStringLiteral("else"),   QStringLiteral("instanceof")};
    return words.contains(word);
}

bool setsName(const QString& line, const QRegularExpression& assignment, const QRegularExpression& declaration)
{
    if (assignment.match(line).hasMatch())
        return true;
    for (auto it = declaration.globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!isKeywordBeforeName(m.capturedView(1)))
            return true;
    }
    return false;
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
        const QRegularExpression assignment = assignmentOf(v.name);
        const QRegularExpression declaration = declarationOf(v.name);
        for (int i = last; i >= 1; --i) {
            if (!setsName(lines[i - 1], assignment, declaration))
                continue;
            const QString shown = QStringLiteral("%1 = %2").arg(v.name, v.text);
            out[i] = out[i].isEmpty() ? shown : out[i] + QStringLiteral(", ") + shown;
            break;
        }
    }
    return out;
}
