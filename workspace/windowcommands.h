// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's commands on its windows themselves: Close Window closes the
// active window as its own close box does (an editor window holding changes
// asks whether to save them first), whether it is an editor or option window
// or a window of the strip along the bottom.
#pragma once

#include <QObject>
#include <QString>

class CommandTable;
class TFileMDIClient;

class WindowCommands : public QObject {
    Q_OBJECT
public:
    explicit WindowCommands(TFileMDIClient& workspace);

    // Close Window, enabled while a window is active.
    void addCommands(CommandTable& table);
    // Closes the active window; false when none is active or it stays open.
    bool closeActive();

private:
    // The active window: the strip's window that has the focus, else the
    // active editor or option window; null when none is.
    QWidget* activeWindow() const;

    TFileMDIClient& ws_;
};

// The text of a window's entry in the Window menu: its number (a mnemonic for
// the first nine) and its caption, with every "&" of the caption doubled so that
// it shows as itself.
QString windowMenuText(int number, const QString& caption);
