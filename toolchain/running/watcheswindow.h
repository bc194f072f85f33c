// SPDX-License-Identifier: GPL-3.0-or-later
// The "Watches" window: an expression field whose Enter evaluates it over the
// paused frame (its value, or its error, in the result field below it), and
// the list of watched expressions with what each gave at the last pause. A
// watch's expression is edited in place (a double click), Delete removes it.
// The window asks the session for nothing itself: it signals.
#pragma once
#include "toolchain/running/watchlist.h"

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTreeWidget;

class WatchesWindow : public QWidget {
    Q_OBJECT
public:
    explicit WatchesWindow(QWidget* parent = nullptr);

    void showWatches(const WatchList& list);
    // What the expression of the field gave; `error` empty on success.
    void showResult(const QString& expression, const DebugValue& value, const QString& error);
    // Puts `expression` in the field, selected, and gives the field the focus.
    void editExpression(const QString& expression);
    // The watch chosen in the list, -1 when none is.
    int currentWatch() const;

    QLineEdit* expressionField() const { return field_; }
    QLineEdit* resultField() const { return result_; }
    QTreeWidget* list() const { return list_; }

    // The text of a result as the window shows it ("x + 1 = 42", "x: cannot find symbol").
    static QString resultText(const QString& expression, const DebugValue& value, const QString& error);

signals:
    void evaluateWanted(const QString& expression);
    void addWanted(const QString& expression);
    void replaceWanted(int index, const QString& expression);
    void removeWanted(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* field_;
    QPushButton* evaluate_;
    QPushButton* add_;
    QLineEdit* result_;
    QTreeWidget* list_;
    bool filling_ = false;  // showWatches() is filling the list
};
