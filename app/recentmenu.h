// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list of the File menu, kept in Brewpad.ini: the menu's
// entries, a file opened from them, and the files the workspace used.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class QAction;
class QMenu;
class QWidget;
class IniStore;
class RecentFiles;

class RecentMenu : public QObject {
    Q_OBJECT
public:
    // The store is set up at once, before any window exists; its capacity is
    // written to `iniFile` then.
    explicit RecentMenu(const QString& iniFile, QObject* parent = nullptr);
    ~RecentMenu() override;

    // The menu whose entries stand before `before` (a separator shown while the
    // list has entries); they are filled in as the menu is about to show.
    void attach(QMenu* menu, QAction* before);
    // The window that a message about a vanished file belongs to.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

    RecentFiles* files() const { return recent_.get(); }
    // A Java source or project was opened or saved under a new name.
    void add(const QString& path);
    // While held, files enter the list in memory only; Brewpad.ini is written
    // once when the hold ends.
    void hold(bool on);
    // Opens the entry at `index`; one whose file is gone leaves the list, with
    // a message that says so.
    void select(int index);

signals:
    // The entry to open: a Java source, or a project (".jpr").
    void openSource(const QString& path);
    void openProject(const QString& path);

private:
    void fill();

    std::unique_ptr<IniStore> ini_;
    std::unique_ptr<RecentFiles> recent_;
    QMenu* menu_ = nullptr;
    QAction* before_ = nullptr;
    QList<QAction*> actions_;
    QWidget* dialogParent_ = nullptr;
    bool held_ = false;
};
