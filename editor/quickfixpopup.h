// SPDX-License-Identifier: GPL-3.0-or-later
// The list of quick fixes at the caret of an edit control: a frameless window
// that never takes the focus (the edit control keeps it, and hands it Up,
// Down, Enter and Esc), on the accessibility tree as a list named "Quick
// Fixes", each row named by the fix's title.
#pragma once
#include <QListWidget>
#include <QStringList>

class QuickFixPopup : public QListWidget {
    Q_OBJECT
public:
    // A popup for the edit control `owner`, which owns it.
    explicit QuickFixPopup(QWidget* owner);

    // Shows `titles` (the first one chosen) with its top left corner at
    // `globalPos`.
    void showTitles(const QStringList& titles, const QPoint& globalPos);
    // Moves the choice by `rows`, kept in the list.
    void moveChoice(int rows);

signals:
    // A row was double-clicked.
    void picked();

private:
    void announceChoice();
};
