// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/navigation/docpane.h"

#include <QKeyEvent>

DocPane::DocPane(QWidget* parent) : QTextBrowser(parent)
{
    setWindowTitle(QStringLiteral("Documentation"));
    setAccessibleName(QStringLiteral("Documentation"));
    setReadOnly(true);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (const std::optional<DocLink> link = docLinkOf(url))
            emit linkWanted(*link);
    });
    showNote(QStringLiteral("Shift+F1 on a name in a Java source shows its documentation here."));
}

void DocPane::showPage(const DocPage& page)
{
    if (!shownHtml_.isEmpty())
        previous_ << shownHtml_;
    show(javadocHtml(page), page.signature);
}

void DocPane::showNothingFor(const QString& name, const QString& why)
{
    QString reason = why.trimmed();
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toUpper();
        if (!reason.endsWith(QLatin1Char('.')))
            reason += QLatin1Char('.');
    }
    show(noDocumentationHtml(name) +
             (reason.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(reason.toHtmlEscaped())),
         noDocumentationText(name));
}

void DocPane::showNote(const QString& note)
{
    show(QStringLiteral("<p>%1</p>").arg(note.toHtmlEscaped()), note);
}

bool DocPane::back()
{
    if (previous_.isEmpty())
        return false;
    const QString html = previous_.takeLast();
    setHtml(html);
    shownHtml_ = html;
    setAccessibleDescription(toPlainText().left(200));
    return true;
}

void DocPane::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Backspace && e->modifiers() == Qt::NoModifier && back())
        return;
    QTextBrowser::keyPressEvent(e);
}

void DocPane::show(const QString& html, const QString& description)
{
    setHtml(html);
    // Only pages are gone back to: a note stands in for one until it comes.
    if (html.startsWith(QLatin1String("<html>")))
        shownHtml_ = html;
    setAccessibleDescription(description);
}
