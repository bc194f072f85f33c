// SPDX-License-Identifier: GPL-3.0-or-later
// The look of the whole program, light or dark, as the Edit menu's choice
// gives it: Follow Desktop Colours (the default), Light Colours or Dark
// Colours. The desktop is taken to be dark when the application's palette is
// (colours::isDark), read at start and again whenever that palette changes
// from outside. A look that the desktop's palette does not give puts the
// look's own palette (colours::lookPalette) on the application, so that
// menus, dialogs, editors and panes follow it; the colour sets of the editor
// and the panes follow colours::currentLook(). The choice is kept in
// look.ini (config/lookfile.h) and read at start.
#pragma once
#include "platform/routing.h"
#include "resources/colours.h"

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

class LookKeeper : public QObject {
    Q_OBJECT
public:
    // Reads the choice from `file` (none is kept when it is empty) and applies
    // it. `owner` gives the window that a failure to keep the choice is told in.
    LookKeeper(QString file, std::function<QWidget*()> owner, QObject* parent = nullptr);
    // Gives the application the desktop's palette back.
    ~LookKeeper() override;

    colours::Choice choice() const { return choice_; }
    colours::Look look() const { return colours::currentLook(); }
    bool desktopIsDark() const { return colours::isDark(desktop_); }

    // Applies a choice at once and keeps it in the file; a file that cannot
    // be written is reported, the choice applies all the same.
    void choose(colours::Choice choice);

    // The three commands, with their check marks, in a command table.
    void addCommands(CommandTable& table);

signals:
    void lookChanged(colours::Look look);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();
    void setApplicationPalette(const QPalette& palette);

    QString file_;
    std::function<QWidget*()> owner_;
    colours::Choice choice_ = colours::Choice::FollowDesktop;
    QPalette desktop_;       // the application's palette as the desktop gave it
    bool applying_ = false;  // while the application's palette is this object's doing
    bool applyDue_ = false;  // a change of the desktop's palette waits to be applied
};
