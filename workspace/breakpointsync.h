// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of the workspace's Java sources: kept by file while the
// session lasts (also while no window shows the file), given to a window
// opened later, sent to the program being debugged as they change, following
// their window's file when it is saved under a new name, and moved in their
// window when the debugger puts one on the next line with code. A condition
// that failed at a hit is told to the user at the pause.
#pragma once
#include "toolchain/running/breakpointstore.h"

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class DebugSession;
class EditControl;
class TFileMDIChild;
class TFileMDIClient;

class BreakpointSync : public QObject {
    Q_OBJECT
public:
    BreakpointSync(TFileMDIClient& workspace, QObject* parent);

    // A window opened: it shows its file's breakpoints, and its changes go to
    // the store (and to the program being debugged).
    void watch(TFileMDIChild* window);
    // Sends every breakpoint to `session` (before it starts), and the changes
    // while it lives.
    void attach(DebugSession* session);
    const BreakpointStore& store() const { return store_; }
    // Replaces the breakpoints of `path`: in the store, in the window showing
    // it and in the program being debugged.
    void replace(const QString& path, const Breakpoints& breakpoints);

signals:
    // A right-click on the margin of `editor`'s line (from 1).
    void menuWanted(EditControl* editor, int line, QPoint globalPos);
    // The store changed.
    void storeChanged();

private:
    void changed(EditControl* editor, const Breakpoints& breakpoints);
    // Stores the breakpoints of `file` and sends the changes to the session.
    void apply(const QString& file, const Breakpoints& breakpoints);
    // The window's file was saved under a new name: its breakpoints follow it.
    void renamed(EditControl* editor, const QString& before);
    // The debugger set a breakpoint of `className` on `actual`, not `line`.
    void onSet(const QString& className, int line, int actual);
    void onConditionFailed(const QString& className, int line, const QString& message);
    // The class the source `path` declares, read from its window or its file.
    QString classOf(const QString& path) const;
    EditControl* editorOf(const QString& key) const;

    TFileMDIClient& ws_;
    BreakpointStore store_;
    QPointer<DebugSession> session_;
    QHash<QString, QString> sourceOfClass_;  // class name -> store key, of the breakpoints sent
};
