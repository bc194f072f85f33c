// SPDX-License-Identifier: GPL-3.0-or-later
// Quick Fix (Ctrl+1) in a Java source's window: on a line with a compiler
// message (of F9 or of the check while typing), the compile service is asked
// for the fixes of the line's errors (toolchain/compiling/quickfixes.h), and
// they are listed at the caret (editor/quickfixpopup.h): Up and Down choose,
// Enter makes the chosen fix, as one undo step, in the file's own
// indentation and line ends (toolchain/compiling/quickfixedit.h); Esc closes.
// The status bar says when there is nothing to offer. An answer for a text
// that has changed meanwhile is dropped.
#pragma once
#include "toolchain/compiling/serviceprotocol.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class CompileService;
class EditControl;
class QuickFixPopup;

class QuickFixes : public QObject {
    Q_OBJECT
public:
    explicit QuickFixes(EditControl* edit);
    ~QuickFixes() override;

    // Adds Quick Fix to the edit control's commands (a Java source's window).
    void watch();
    // Quick Fix: asks for the fixes of the caret's line.
    void offer();
    // Makes the fix of row `row` of the list; false when there is none.
    bool apply(int row);

    QuickFixPopup* popup() const { return popup_; }
    // The fixes listed.
    const QList<QuickFix>& fixes() const { return fixes_; }

signals:
    // A text for the status bar's message field.
    void statusShown(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void onAnswered(quint64 id, const ServiceReply& reply);
    void onFailed(quint64 id, const QString& reason);
    void close();

    EditControl* edit_;
    QuickFixPopup* popup_ = nullptr;
    QPointer<CompileService> connected_;
    quint64 askedId_ = 0;    // the question waiting for its answer
    QString askedText_;      // the text it was asked about
    int askedLine_ = 0;      // and the caret's line (from 1)
    QList<QuickFix> fixes_;  // as listed, for the text asked about
};
