// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/navigation/javadochtml.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

struct BlockTag {
    QString name;  // without its "@"
    QString body;
};

// The index of the "}" that closes the inline tag whose "{" is at `open`; -1 when none does.
qsizetype closingBrace(const QString& text, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('{'))
            ++depth;
        else if (text[i] == QLatin1Char('}') && --depth == 0)
            return i;
    }
    return -1;
}

// How a link shows what it names: "String#length()" as "String.length()".
QString referenceLabel(const QString& reference)
{
    QString r = reference.trimmed();
    if (r.startsWith(QLatin1Char('#')))
        r.remove(0, 1);
    return r.replace(QLatin1Char('#'), QLatin1Char('.'));
}

// The reference of a link's body and its label ("String#length() the length").
std::pair<QString, QString> splitLink(const QString& body)
{
    const QString b = body.trimmed();
    int depth = 0;
    for (qsizetype i = 0; i < b.size(); ++i) {
        if (b[i] == QLatin1Char('('))
            ++depth;
        else if (b[i] == QLatin1Char(')'))
            --depth;
        else if (depth == 0 && b[i].isSpace())
            return {b.left(i), b.mid(i + 1).trimmed()};
    }
    return {b, QString()};
}

QString anchor(const QString& context, const QString& reference, const QString& labelHtml)
{
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(docLinkUrl({context, reference}).toString(QUrl::FullyEncoded).toHtmlEscaped(), labelHtml);
}

// The HTML of one inline tag, `{@name body}`.
QString inlineTag(const QString& name, const QString& body, const QString& context, bool links)
{
    if (name == QLatin1String("code") || name == QLatin1String("value"))
        return QStringLiteral("<code>%1</code>").arg(body.trimmed().toHtmlEscaped());
    if (name == QLatin1String("link") || name == QLatin1String("linkplain")) {
        const auto [reference, label] = splitLink(body);
        QString shown = label.isEmpty() ? referenceLabel(reference).toHtmlEscaped() : label;
        if (name == QLatin1String("link") && label.isEmpty())
            shown = QStringLiteral("<code>%1</code>").arg(shown);
        return links ? anchor(context, reference, shown) : shown;
    }
    if (name == QLatin1String("inheritDoc") || name == QLatin1String("docRoot"))
        return QString();
    // {@literal}, {@index}, {@summary} and tags this does not know: their text.
    return body.trimmed().toHtmlEscaped();
}

// The comment's own HTML with its inline tags made into HTML.
QString inlineHtml(const QString& text, const QString& context, bool links)
{
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(QLatin1String("{@"), at);
        const qsizetype close = open < 0 ? -1 : closingBrace(text, open);
        if (close < 0) {
            out += text.mid(at);
            break;
        }
        out += text.mid(at, open - at);
        const QString inside = text.mid(open + 2, close - open - 2);
        qsizetype nameEnd = 0;
        while (nameEnd < inside.size() && !inside[nameEnd].isSpace())
            ++nameEnd;
        out += inlineTag(inside.left(nameEnd), inside.mid(nameEnd), context, links);
        at = close + 1;
    }
    return out;
}

// A line that starts a block tag: "@param x ...", outside every inline tag.
bool startsBlockTag(const QString& line, int depth)
{
    const QString t = line.trimmed();
    return depth == 0 && t.size() > 1 && t[0] == QLatin1Char('@') && t[1].isLetter();
}

// The main description and the block tags of a comment.
QString splitComment(const QString& comment, QList<BlockTag>* tags)
{
    QString main;
    int depth = 0;
    for (const QString& line : comment.split(QLatin1Char('\n'))) {
        if (startsBlockTag(line, depth)) {
            const QString t = line.trimmed().mid(1);
            const qsizetype space = t.indexOf(QRegularExpression(QStringLiteral("\\s")));
            tags->append({space < 0 ? t : t.left(space), space < 0 ? QString() : t.mid(space + 1)});
        } else if (tags->isEmpty()) {
            main += line + QLatin1Char('\n');
        } else {
            tags->last().body += QLatin1Char('\n') + line;
        }
        depth += int(line.count(QLatin1Char('{'))) - int(line.count(QLatin1Char('}')));
        depth = std::max(depth, 0);
    }
    return main;
}

// The first word of a tag's body ("x" of "@param x the count") and the rest.
std::pair<QString, QString> firstWord(const QString& body)
{
    const QString b = body.trimmed();
    const qsizetype space = b.indexOf(QRegularExpression(QStringLiteral("\\s")));
    return space < 0 ? std::pair{b, QString()} : std::pair{b.left(space), b.mid(space + 1).trimmed()};
}

// One entry of a section: a named thing (a parameter, an exception) and what it says.
QString entry(const BlockTag& tag, const QString& context, bool links)
{
    if (tag.name == QLatin1String("param")) {
        const auto [name, rest] = firstWord(tag.body);
        return QStringLiteral("<code>%1</code> - %2").arg(name.toHtmlEscaped(), inlineHtml(rest, context, links));
    }
    if (tag.name == QLatin1String("throws") || tag.name == QLatin1String("exception")) {
        const auto [type, rest] = firstWord(tag.body);
        const QString shown = QStringLiteral("<code>%1</code>").arg(type.toHtmlEscaped());
        return (links ? anchor(context, type, shown) : shown) + QStringLiteral(" - ") +
               inlineHtml(rest, context, links);
    }
    if (tag.name == QLatin1String("see")) {
        const QString b = tag.body.trimmed();
        if (b.startsWith(QLatin1Char('"')) || b.startsWith(QLatin1Char('<')))
            return b.startsWith(QLatin1Char('<')) ? b : b.toHtmlEscaped();
        return inlineTag(QStringLiteral("link"), b, context, links);
    }
    return inlineHtml(tag.body.trimmed(), context, links);
}

QString sectionTitle(const QString& tag)
{
    static const QList<std::pair<const char*, const char*>> titles = {
        {"param", "Parameters:"},
        {"return", "Returns:"},
        {"throws", "Throws:"},
        {"exception", "Throws:"},
        {"see", "See Also:"},
        {"since", "Since:"},
        {"apiNote", "API Note:"},
        {"implSpec", "Implementation Requirements:"},
        {"implNote", "Implementation Note:"},
    };
    for (const auto& [name, title] : titles) {
        if (tag == QLatin1String(name))
            return QString::fromLatin1(title);
    }
    return QString();
}

// The block tags as sections, in the order of their titles' first tags.
QString sections(const QList<BlockTag>& tags, const QString& context)
{
    QStringList order;
    for (const BlockTag& t : tags) {
        const QString title = sectionTitle(t.name);
        if (!title.isEmpty() && !order.contains(title))
            order << title;
    }
    QString out;
    for (const QString& title : order) {
        out += QStringLiteral("<p><b>%1</b></p><dl>").arg(title.toHtmlEscaped());
        for (const BlockTag& t : tags) {
            if (sectionTitle(t.name) == title)
                out += QStringLiteral("<dd>%1</dd>").arg(entry(t, context, true));
        }
        out += QStringLiteral("</dl>");
    }
    return out;
}

QString signatureHtml(const DocPage& page)
{
    return QStringLiteral("<p><code><b>%1</b></code></p>").arg(page.signature.toHtmlEscaped());
}

QString deprecation(const QList<BlockTag>& tags, const QString& context, bool links)
{
    for (const BlockTag& t : tags) {
        if (t.name == QLatin1String("deprecated"))
            return QStringLiteral("<p><b>Deprecated.</b> %1</p>").arg(inlineHtml(t.body.trimmed(), context, links));
    }
    return QString();
}

// The first sentence of a description: up to a period before white space, a
// blank line or a paragraph.
QString firstSentence(const QString& text)
{
    const QString t = text.trimmed();
    int depth = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        depth += c == QLatin1Char('{') ? 1 : c == QLatin1Char('}') ? -1 : 0;
        if (depth > 0)
            continue;
        if (c == QLatin1Char('.') && (i + 1 == t.size() || t[i + 1].isSpace()))
            return t.left(i + 1);
        if (t.mid(i, 2).compare(QLatin1String("<p"), Qt::CaseInsensitive) == 0 ||
            t.mid(i, 2) == QLatin1String("\n\n"))
            return t.left(i).trimmed();
    }
    return t;
}

}  // namespace

QString noDocumentationText(const QString& name)
{
    return QStringLiteral("No documentation found for %1.").arg(name);
}

QString noDocumentationHtml(const QString& name)
{
    return QStringLiteral("<p>%1</p>").arg(noDocumentationText(name).toHtmlEscaped());
}

QString javadocHtml(const DocPage& page)
{
    QList<BlockTag> tags;
    const QString main = splitComment(page.comment, &tags);
    QString out = QStringLiteral("<html><body>") + signatureHtml(page);
    if (page.comment.trimmed().isEmpty())
        return out + noDocumentationHtml(page.name) + QStringLiteral("</body></html>");
    out += deprecation(tags, page.context, true);
    out += QStringLiteral("<div>%1</div>").arg(inlineHtml(main.trimmed(), page.context, true));
    return out + sections(tags, page.context) + QStringLiteral("</body></html>");
}

QString javadocTooltipHtml(const DocPage& page)
{
    QList<BlockTag> tags;
    const QString main = splitComment(page.comment, &tags);
    const QString sentence = firstSentence(main);
    QString out = signatureHtml(page) + deprecation(tags, page.context, false);
    if (sentence.isEmpty())
        return out + (tags.isEmpty() ? noDocumentationHtml(page.name) : QString());
    return out + QStringLiteral("<p>%1</p>").arg(inlineHtml(sentence, page.context, false));
}

QUrl docLinkUrl(const DocLink& link)
{
    QUrl url;
    url.setScheme(QStringLiteral("doc"));
    url.setPath(
        QString::fromLatin1(QUrl::toPercentEncoding(link.context) + '/' + QUrl::toPercentEncoding(link.reference)),
        QUrl::StrictMode);
    return url;
}

std::optional<DocLink> docLinkOf(const QUrl& url)
{
    if (url.scheme() != QLatin1String("doc"))
        return std::nullopt;
    const QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
    const qsizetype slash = path.indexOf('/');
    if (slash < 0)
        return std::nullopt;
    return DocLink{QUrl::fromPercentEncoding(path.left(slash)), QUrl::fromPercentEncoding(path.mid(slash + 1))};
}
