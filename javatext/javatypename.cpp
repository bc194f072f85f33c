// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javatypename.h"

#include "javatext/javaidentifiers.h"
#include "javatext/javalexer.h"

#include <QStringList>

#include <algorithm>

namespace {

// The code of `text` cut into words and single marks, without its comments
// and literals; only what stands outside every brace (nesting depth 0).
QStringList topLevelTokens(const QString& text)
{
    QStringList tokens;
    javalex::State state = javalex::Normal;
    int depth = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        state = javalex::forEachCode(line, state, [&](qsizetype start, qsizetype end) {
            for (qsizetype i = start; i < end;) {
                const QChar c = line[i];
                if (javatext::isIdentifierStart(c)) {
                    const qsizetype j = std::min(javatext::identifierEnd(line, i), end);
                    if (depth == 0)
                        tokens << line.mid(i, j - i);
                    i = j;
                    continue;
                }
                if (c == QLatin1Char('}'))
                    depth = std::max(0, depth - 1);
                if (depth == 0 && !c.isSpace())
                    tokens << QString(c);
                if (c == QLatin1Char('{'))
                    ++depth;
                ++i;
            }
        });
    }
    return tokens;
}

bool isTypeKeyword(const QString& word)
{
    return word == QLatin1String("class") || word == QLatin1String("interface") || word == QLatin1String("enum") ||
           word == QLatin1String("record");
}

bool isName(const QString& word)
{
    return !word.isEmpty() && javatext::isIdentifierStart(word[0]);
}

}  // namespace

QString publicTypeName(const QString& text)
{
    const QStringList tokens = topLevelTokens(text);
    QString first;
    // A declaration runs from after the last ";", "{" or "}" to its type
    // keyword; "public" among its modifiers makes it the public one.
    bool isPublic = false;
    for (qsizetype i = 0; i + 1 < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (t == QLatin1String(";") || t == QLatin1String("{") || t == QLatin1String("}")) {
            isPublic = false;
        } else if (t == QLatin1String("public")) {
            isPublic = true;
        } else if (isTypeKeyword(t) && isName(tokens[i + 1]) && (i == 0 || tokens[i - 1] != QLatin1String("."))) {
            if (isPublic)
                return tokens[i + 1];
            if (first.isEmpty())
                first = tokens[i + 1];
            isPublic = false;
        }
    }
    return first;
}
