// SPDX-License-Identifier: GPL-3.0-or-later
// A doc comment made into the HTML the Documentation pane and the editor's
// tooltips show: the symbol's signature, then the comment's own HTML with its
// inline tags ({@code}, {@literal}, {@link}, {@linkplain}, {@value}...) made
// into HTML, and its block tags (@param, @return, @throws, @see, @since...)
// as sections after it. A link ({@link}, @see, a class @throws names) is a
// "doc:" address that names what it links to and the class whose comment it
// stands in (which reads its names), for docLinkOf() to read back.
#pragma once
#include <QString>
#include <QUrl>

#include <optional>

// What a link of a comment names: `reference` ("String#length()", "#size()",
// "java.util.List") as read in the class `context` ("java.lang.String").
struct DocLink {
    QString context;
    QString reference;
    bool operator==(const DocLink&) const = default;
};

// The documentation of a symbol: its name, its signature, the class its
// comment's links are read in, and its comment as the compiler reads it
// (without "/**", "*/" and the stars that begin its lines).
struct DocPage {
    QString name;
    QString signature;
    QString context;
    QString comment;
};

// The whole page: the signature, the comment, its sections. A symbol without
// a comment shows its signature and "No documentation found for NAME.".
QString javadocHtml(const DocPage& page);
// The page shortened for a tooltip: the signature and the comment's first
// sentence, without links.
QString javadocTooltipHtml(const DocPage& page);
// The text shown when nothing is documented: "No documentation found for NAME.".
QString noDocumentationText(const QString& name);
// A page that says only that.
QString noDocumentationHtml(const QString& name);

// The address of a link, and the link an address names (none for another address).
QUrl docLinkUrl(const DocLink& link);
std::optional<DocLink> docLinkOf(const QUrl& url);
