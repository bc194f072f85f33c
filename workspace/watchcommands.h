// SPDX-License-Identifier: GPL-3.0-or-later
// Watches and evaluation at a pause: the "Watches" pane of the pane area,
// whose expressions are evaluated again at each pause and whenever another
// frame is chosen; Evaluate Expression (the selection, or the word at the
// caret, evaluated in that pane's field); Add Watch; and Set Value, which
// assigns a new value to the variable chosen in the Variables pane (or to the
// watch chosen) and shows the values again. The text asked goes through the
// dialogs interface.
#pragma once
#include "toolchain/running/watcheswindow.h"
#include "toolchain/running/watchlist.h"

#include <QObject>
#include <QPointer>
#include <QString>

class CommandTable;
class DebugSession;
class TFileMDIClient;

class WatchCommands : public QObject {
    Q_OBJECT
public:
    WatchCommands(TFileMDIClient& workspace, CommandTable& table);

    // The pane, made when first needed.
    WatchesWindow* showPane(bool activate);
    WatchesWindow* pane() const { return pane_; }
    const WatchList& watches() const { return list_; }

private:
    void attach(DebugSession* session);
    bool paused() const;
    void evaluateAll(int frame);
    void evaluateField(const QString& expression);
    void add(const QString& expression);
    void onEvaluated(const QString& expression, int frame, const DebugValue& value, const QString& error);
    void forget();
    void refresh();
    // The selection of the active editor when it is on one line, else the
    // word at its caret; empty without an editor.
    QString textAtCaret() const;
    void evaluateExpression();
    void addWatch();
    void setValue();
    // What Set Value assigns: the watch chosen while the focus is in the
    // Watches pane, else the variable chosen in the Variables pane.
    QString valueTarget() const;

    TFileMDIClient& ws_;
    WatchList list_;
    QPointer<WatchesWindow> pane_;
    QPointer<DebugSession> session_;
    QString fieldAsked_;  // the expression of the field being evaluated
    QString setAsked_;    // the assignment of Set Value being evaluated
    QString setTarget_;
};
