// SPDX-License-Identifier: GPL-3.0-or-later
// Check while typing: the text of a Java source window, saved or not, is
// checked by the compile service in memory half a second after the user
// stopped typing, and what it finds is marked in the lighter style; an
// Untitled window's text as it would compile alone in an empty folder. Nothing
// is written to the user's folders, and neither the message window nor the
// window's compiled state changes.
#pragma once
#include <QList>
#include <QObject>

class EditControl;
class EditorHost;
class QTimer;
struct ServiceDiagnostic;

class TypingCheck : public QObject {
    Q_OBJECT
public:
    // The checks of the text of `edit`, while `host` has Check While Typing on.
    TypingCheck(EditControl* edit, EditorHost* host);

    // Starts checking after every change of the text (a Java source's window).
    void watch();
    // Takes away the marks of checks (Check While Typing turned off).
    void clearMarks();

private:
    void checkText();
    void showResults(quint64 id, const QList<ServiceDiagnostic>& found);

    EditControl* edit_;
    EditorHost* host_;
    QTimer* checkTimer_ = nullptr;
    quint64 checkId_ = 0;       // the check waiting for its answer, 0 for none
    int checkedRevision_ = -1;  // the text's revision that check was asked for
    int retriedRevision_ = -1;  // the revision checked again after a check was given up
    bool connected_ = false;    // to the compile service's answers
};
