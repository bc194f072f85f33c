// SPDX-License-Identifier: GPL-3.0-or-later
// The "Documentation" pane: the documentation of one symbol at a time (its
// signature, its doc comment, the comment's sections; toolchain/navigation/javadochtml.h),
// read-only. A link of the comment signals what it names, for its
// documentation to come in the same pane; Backspace goes back to the page
// shown before.
#pragma once
#include "toolchain/navigation/javadochtml.h"

#include <QStringList>
#include <QTextBrowser>

class DocPane : public QTextBrowser {
    Q_OBJECT
public:
    explicit DocPane(QWidget* parent = nullptr);

    // Shows the documentation of a symbol; the page shown before is kept for back().
    void showPage(const DocPage& page);
    // Shows "No documentation found for NAME.", then why when that is known
    // ("the JDK's sources are not installed...").
    void showNothingFor(const QString& name, const QString& why = QString());
    // Shows a short note (the page is on its way, or why it cannot come).
    void showNote(const QString& note);
    // The page before the one shown; false when there is none.
    bool back();
    // The plain text shown.
    QString shownText() const { return toPlainText(); }

signals:
    // A link of the page shown was followed.
    void linkWanted(const DocLink& link);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void show(const QString& html, const QString& description);

    QStringList previous_;  // the pages shown before, the last the latest
    QString shownHtml_;
};
