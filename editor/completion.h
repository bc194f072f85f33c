// SPDX-License-Identifier: GPL-3.0-or-later
// Completion and parameter hints in a Java source's window. Complete
// (Ctrl+Space), and a "." typed, ask the compile service what fits at the
// caret and list it under the caret (editor/completionpopup.h): typing
// filters the list, Up, Down, Page Up and Page Down choose, Enter or Tab
// inserts (one undo step; a method with its parentheses, the caret between
// them when it takes arguments), Esc closes. Parameter Hints
// (Ctrl+Shift+Space), and a "(" typed, show the overloads of the call around
// the caret (editor/parameterhints.h), updated as "," is typed, closed by ")"
// and Esc. Nothing waits for the service: its answers come later, and one for
// a caret that has moved on is dropped. Without a ready service (no JDK, or
// it is starting, busy or failed), Complete offers the words of the open
// windows that begin with the prefix, and the status bar says why.
#pragma once
#include "toolchain/compiling/completionitems.h"

#include <QObject>
#include <QPointer>

class CompileService;
class CompletionPopup;
class EditControl;
class ParameterHintLabel;
class QTimer;

class Completion : public QObject {
    Q_OBJECT
public:
    explicit Completion(EditControl* edit);
    ~Completion() override;

    // Adds Complete and Parameter Hints to the edit control's commands, and
    // watches what is typed (a Java source's window).
    void watch();

    // Complete: the list of what fits at the caret.
    void complete();
    // Parameter Hints for the call around the caret.
    void showHints();

    CompletionPopup* popup() const { return popup_; }
    // How long an answer is awaited before the words stand in (1.5 s).
    void setBusyAfter(int ms);
    ParameterHintLabel* hints() const { return hints_; }

signals:
    // A text for the status bar's message field.
    void statusShown(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool popupKey(int key);
    void afterTyped(const QString& typed);
    void request(bool fallBackToWords);
    // Offers the words of the open windows that begin with the prefix;
    // false when there are none.
    bool offerWords(const QString& why);
    // Where the name at the caret starts, as a position in the text.
    int anchorAtCaret() const;
    void onCompleted(quint64 id, const QList<CompletionItem>& items);
    void onSignature(quint64 id, const SignatureHelp& help);
    void onFailed(quint64 id, const QString& reason);
    void refilter();
    void insertChosen();
    void closePopup();
    void closeHints();
    // Whether the caret stands before the call's arguments or after its ")".
    bool caretLeftTheCall() const;
    void connectService(CompileService* service);
    // Why the service cannot answer now, for the status bar; empty when it can.
    QString serviceUnavailable() const;
    QPoint belowCaret() const;
    QString prefix() const;

    EditControl* edit_;
    CompletionPopup* popup_ = nullptr;
    ParameterHintLabel* hints_ = nullptr;
    QTimer* busyTimer_ = nullptr;
    QPointer<CompileService> connected_;
    QList<CompletionItem> items_;  // as the service (or the words) gave them
    int anchor_ = -1;              // where the completed word begins; -1 while none is completed
    quint64 completeId_ = 0;       // the completion waiting for its answer
    bool wordsOnFailure_ = false;  // that completion falls back to words when it fails
    quint64 hintsId_ = 0;          // the parameter hints waiting for theirs
    int hintsFrom_ = -1;           // the caret's position when hints were asked for
};
