// SPDX-License-Identifier: GPL-3.0-or-later
// The application object and its main frame: menus, accelerators, tool bar,
// status bar and the routing of commands.
#pragma once
#include "platform/routing.h"

#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <memory>

class QAction;
class QMenu;
class QToolBar;
class QStatusBar;
class QTimer;
class TFileMDIClient;
class IniStore;
class RecentFiles;

enum class HintModes { NoHints, PressHints, EnterHints };

// The main window. It handles Exit and accepts dropped files.
class TMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit TMainFrame(TFileMDIClient* client);
    CommandTable& commands() override { return table_; }
    TFileMDIClient* client() const { return client_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    CommandTable table_;
    TFileMDIClient* client_;
};

class TMDIFileApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    struct Options {
        bool settleConfiguration = true;  // read or rebuild the tool configuration
        QString iniFile = QStringLiteral("Brewpad.ini");
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
    // Brings every action's enabled and checked state up to date.
    void updateCommandStates();

    QAction* action(int id) const { return actions_.value(id); }
    QMenu* menu(const QString& title) const;
    QString statusMessage() const;
    // Opens a recent file by its place in the list.
    void EvFileSelected(int index);
    RecentFiles* recentFiles() const { return recent_.get(); }
    // While held, files that are opened enter the recent-file list in memory
    // only; Brewpad.ini is written once when the hold ends (opening thousands
    // of files then writes it once, not once per file).
    void holdRecentFiles(bool hold);

    // Members of the application.
    TFileMDIClient* Client = nullptr;
    HintModes HintMode = HintModes::PressHints;
    TMainFrame* Frame = nullptr;
    QToolBar* ControlBar = nullptr;
    int ControlBarLoc = 0;
    QStatusBar* StatusBar = nullptr;

    // Indicators of the status bar, in order: Up, Down, Num, Ins, Scr, then the clock.
    QLabel* indicator(const QString& text) const;
    QLabel* clock() const { return clock_; }
    // The field that shows "Modified" while the active editor window holds unsaved changes.
    QLabel* modifiedField() const { return modified_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildActions();
    void buildMenus();
    void buildStatusBar();
    void showHint(int id);
    void clearHint();
    void clearMenuBarHint();
    void refreshIndicators();
    void refreshModified();
    void refreshIdle();
    void fillWindowMenu(QMenu* m);
    void fillRecentFiles();
    void addRecent(const QString& path);
    void initRecentFiles();

    Options options_;
    CommandTable table_;
    QHash<int, QAction*> actions_;
    QList<QMenu*> menus_;
    QMenu* fileMenu_ = nullptr;
    QMenu* windowMenu_ = nullptr;
    int windowMenuFixedItems_ = 0;  // the Window menu's commands, before the list of windows
    QList<QAction*> recentActions_;
    QAction* exitSeparator_ = nullptr;
    QLabel* message_ = nullptr;
    QList<QLabel*> indicators_;
    QLabel* clock_ = nullptr;
    QLabel* modified_ = nullptr;
    QTimer* idle_ = nullptr;
    bool hintShown_ = false;
    bool hintFromMenuBar_ = false;  // the hint is that of a highlighted menu-bar item
    bool upDown_[2] = {false, false};
    bool recentHeld_ = false;
    std::unique_ptr<IniStore> ini_;
    std::unique_ptr<RecentFiles> recent_;
};

// Builds the tool bar of the frame with its 25 gadgets.
QToolBar* BuildControlBar(TMDIFileApp* app, QMainWindow* parent, Qt::Orientation direction);
