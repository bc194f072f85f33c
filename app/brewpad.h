// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: it builds the workspace, the main frame with its
// menus, accelerators, tool bar and status bar, and routes the commands along
// the chain of windows that may carry them.
#pragma once
#include "app/mainframe.h"
#include "app/statusline.h"
#include "platform/routing.h"

#include <QHash>
#include <QLabel>
#include <QObject>
#include <memory>

class QAction;
class QMenu;
class QToolBar;
class QStatusBar;
class TFileMDIClient;
class RecentFiles;
class RecentMenu;
class CommandUpdates;
class SessionKeeper;
class LookKeeper;
class QActionGroup;

class TMDIFileApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    struct Options {
        bool settleConfiguration = true;  // read or rebuild the tool configuration
        QString iniFile = QStringLiteral("Brewpad.ini");
        // The last session (app/session.h): kept in this file and opened again
        // after the "ENV:" report; none when empty.
        QString sessionFile;
        // The colours chosen in the Edit menu (config/lookfile.h); not kept when empty.
        QString lookFile;
    };
    TMDIFileApp();
    explicit TMDIFileApp(const Options& options);
    ~TMDIFileApp() override;

    CommandTable& commands() override { return table_; }

    // Builds the workspace, the frame and its decorations; shows the frame.
    void InitMainWindow();

    void CmToggleHint();
    void CeToggleHint(CommandState& s);
    void CmToggleBar();

    // Runs a command along the chain as a menu item or button would.
    bool dispatch(int id);
    // The state of a command along the chain.
    CommandState state(int id);
    // The current chain: focused window, editor's edit control, editor, workspace, frame, application.
    CommandChain chain();
    // Brings every action's enabled and checked state up to date. It runs on
    // the events the states depend on (see CommandUpdates), not on a timer.
    void updateCommandStates();

    QAction* action(int id) const { return actions_.value(id); }
    QMenu* menu(const QString& title) const;
    QString statusMessage() const;
    // Opens a recent file by its place in the list.
    void EvFileSelected(int index);
    RecentFiles* recentFiles() const;
    // While held, files that are opened enter the recent-file list in memory
    // only; Brewpad.ini is written once when the hold ends (opening thousands
    // of files then writes it once, not once per file).
    void holdRecentFiles(bool hold);
    // While false, files opened or saved do not enter the recent-file list
    // (the windows of the last session opened again).
    void setRecentFilesFollowed(bool followed) { recentFollowed_ = followed; }
    // The last session opened again; null when none is kept.
    SessionKeeper* session() const { return session_; }
    // The light or dark look of every window.
    LookKeeper* look() const { return look_; }
    // The status bar's fields and hints.
    StatusLine* statusLine() const { return status_; }

    // Members of the application.
    TFileMDIClient* Client = nullptr;
    HintModes HintMode = HintModes::PressHints;
    TMainFrame* Frame = nullptr;
    QToolBar* ControlBar = nullptr;
    int ControlBarLoc = 0;
    QStatusBar* StatusBar = nullptr;

    // Indicators of the status bar, in order: Up, Down, Num, Ins, Scr, then the clock.
    QLabel* indicator(const QString& text) const;
    QLabel* clock() const;
    // The field that shows "Modified" while the active editor window holds unsaved changes.
    QLabel* modifiedField() const;

private:
    void buildActions();
    void buildMenus();
    void addMenuItem(QMenu* m, int id);
    void connectWorkspace();
    void followEditor();
    void fillWindowMenu(QMenu* m);

    Options options_;
    CommandTable table_;
    QHash<int, QAction*> actions_;
    QList<QMenu*> menus_;
    QMenu* windowMenu_ = nullptr;
    int windowMenuFixedItems_ = 0;  // the Window menu's commands, before the list of windows
    StatusLine* status_ = nullptr;
    CommandUpdates* updates_ = nullptr;
    std::unique_ptr<RecentMenu> recent_;
    bool recentFollowed_ = true;
    SessionKeeper* session_ = nullptr;
    LookKeeper* look_ = nullptr;
    QHash<int, QActionGroup*> radioGroups_;
};

// Builds the tool bar of the frame with its 25 gadgets.
QToolBar* BuildControlBar(TMDIFileApp* app, QMainWindow* parent, Qt::Orientation direction);
