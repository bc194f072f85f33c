// SPDX-License-Identifier: GPL-3.0-or-later
// The "JShell" pane: a transcript of what was evaluated and what it gave
// ("jshell> 1 + 2", "$1 ==> 3", "|  created method f()", errors and
// exceptions, what the snippets printed), and the input line: Enter evaluates
// it, Up and Down walk the inputs given, Ctrl+Space completes with the
// continuations it is given. It knows nothing of the JVM behind it: it shows
// what it is given and signals what the user does.
#pragma once
#include "toolchain/running/inputhistory.h"
#include "toolchain/running/jshellwire.h"

#include <QWidget>

class QCompleter;
class QLineEdit;
class QPlainTextEdit;
class QStringListModel;

// The lines of the transcript for one answer, as jshell writes them.
QString jshellValueText(const jshellwire::reply::Value& v);

class JShellWindow : public QWidget {
    Q_OBJECT
public:
    explicit JShellWindow(QWidget* parent = nullptr);

    // An input evaluated (typed here, or sent from an editor).
    void showInput(const QString& source);
    void showValue(const jshellwire::reply::Value& v);
    void showOutput(const QString& stream, const QString& text);
    // A note of Brewpad's own ("JShell is starting...", why it ended).
    void showNote(const QString& text);
    // The continuations for the input as it was when they were asked for;
    // offered in a list when the input is still that text.
    void showCompletions(const QString& asked, int anchor, const QStringList& continuations);
    // Whether inputs are taken (the JVM is ready).
    void setReady(bool ready);

    QString transcript() const;
    QLineEdit* input() const { return input_; }
    const InputHistory& history() const { return history_; }

signals:
    void evaluateWanted(const QString& source);
    void completionWanted(const QString& source, int cursor);
    // Escape in the input: the running input is to stop.
    void interruptWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void append(const QString& text);
    void submit();

    QPlainTextEdit* transcript_;
    QLineEdit* input_;
    QCompleter* completer_;
    QStringListModel* offers_;
    InputHistory history_;
};
