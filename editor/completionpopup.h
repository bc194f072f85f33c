// SPDX-License-Identifier: GPL-3.0-or-later
// The list of completions under the caret of an edit control: a frameless
// window of its own that never takes the focus (the edit control keeps it,
// and hands it the keys that move in the list), on the accessibility tree as
// a list named "Completions", each row named by its text.
#pragma once
#include "toolchain/compiling/completionitems.h"

#include <QListWidget>

class CompletionPopup : public QListWidget {
    Q_OBJECT
public:
    // A popup for the edit control `owner`, which owns it.
    explicit CompletionPopup(QWidget* owner);

    // Shows `items` (the first one chosen) with its top left corner at
    // `globalPos`; hides the popup when there are none.
    void showItems(const QList<CompletionItem>& items, const QPoint& globalPos);
    // The chosen item; null when none is.
    const CompletionItem* chosen() const;
    // Moves the choice by `rows` (Up -1, Page Down +rows per page), kept in the list.
    void moveChoice(int rows);
    int rowsPerPage() const { return kRowsShown; }

signals:
    // A row was double-clicked.
    void picked();

private:
    // Tells the accessibility tree which row is chosen.
    void announceChoice();

    static constexpr int kRowsShown = 10;
    QList<CompletionItem> items_;
};
