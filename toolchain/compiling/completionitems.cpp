// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/completionitems.h"

#include "javatext/javaidentifiers.h"

#include <QSet>

#include <algorithm>

QString CompletionItem::shownText() const
{
    if (detail.isEmpty() || detail == name)
        return name;
    if (kind == QLatin1String("method") || detail.startsWith(name + QLatin1Char(' ')))
        return detail;
    return name + QStringLiteral(" - ") + detail;
}

qsizetype CompletionItem::caretInInsert() const
{
    const bool takesArguments = kind == QLatin1String("method") && !detail.startsWith(name + QStringLiteral("()"));
    if (takesArguments && insert.endsWith(QLatin1Char(')')))
        return insert.size() - 1;
    return insert.size();
}

QString SignatureHelp::richText() const
{
    QStringList lines;
    for (const SignatureOverload& o : overloads) {
        QStringList params;
        for (int i = 0; i < o.parameters.size(); ++i) {
            const QString p = o.parameters[i].toHtmlEscaped();
            params << (i == argument ? QStringLiteral("<b>%1</b>").arg(p) : p);
        }
        QString line = o.name.toHtmlEscaped() + QLatin1Char('(') + params.join(QStringLiteral(", ")) +
                       QLatin1Char(')');
        if (!o.returns.isEmpty())
            line += QStringLiteral(" : ") + o.returns.toHtmlEscaped();
        lines << line;
    }
    return lines.join(QStringLiteral("<br>"));
}

QString SignatureHelp::plainText() const
{
    QStringList lines;
    for (const SignatureOverload& o : overloads) {
        QString line = o.name + QLatin1Char('(') + o.parameters.join(QStringLiteral(", ")) + QLatin1Char(')');
        if (!o.returns.isEmpty())
            line += QStringLiteral(" : ") + o.returns;
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

QList<CompletionItem> filterCompletions(const QList<CompletionItem>& items, const QString& prefix)
{
    QList<CompletionItem> exact, other;
    for (const CompletionItem& item : items) {
        if (item.name.startsWith(prefix))
            exact << item;
        else if (item.name.startsWith(prefix, Qt::CaseInsensitive))
            other << item;
    }
    return exact + other;
}

QStringList wordsStartingWith(const QStringList& texts, const QString& prefix, int limit)
{
    QSet<QString> found;
    for (const QString& text : texts) {
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n;) {
            if (!javatext::isIdentifierPart(text[i])) {
                ++i;
                continue;
            }
            const qsizetype e = javatext::identifierEnd(text, i);
            const QStringView word = QStringView(text).mid(i, e - i);
            if (!word.front().isDigit() && word.size() > prefix.size() &&
                word.startsWith(prefix, Qt::CaseInsensitive))
                found.insert(word.toString());
            i = e;
        }
    }
    QStringList out(found.begin(), found.end());
    std::sort(out.begin(), out.end());
    return out.mid(0, limit);
}

QList<CompletionItem> wordItems(const QStringList& words)
{
    QList<CompletionItem> items;
    for (const QString& w : words)
        items << CompletionItem{QStringLiteral("word"), w, QString(), w};
    return items;
}
