// SPDX-License-Identifier: GPL-3.0-or-later
// Breakpoint Properties (the breakpoint of the caret's line, also from the
// margin's menu: enabled, condition, hit count, asked through the dialogs
// interface; a line without one gets one) and the "Breakpoints" pane of the
// pane area, which follows the store and edits it.
#pragma once
#include "toolchain/running/breakpoint.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

class BreakpointSync;
class BreakpointsPane;
class CommandTable;
class EditControl;
class TFileMDIClient;

class BreakpointCommands : public QObject {
    Q_OBJECT
public:
    BreakpointCommands(TFileMDIClient& workspace, CommandTable& table);

    // Asks for the properties of the breakpoint of `editor`'s line (from 1)
    // and sets them.
    void editProperties(EditControl* editor, int line);
    // The pane, made when first needed.
    BreakpointsPane* showPane(bool activate);
    BreakpointsPane* pane() const;

private:
    void showMenu(EditControl* editor, int line, QPoint at);
    void setEnabled(const Breakpoint& breakpoint, bool enabled);
    void remove(const Breakpoint& breakpoint);
    void goTo(const Breakpoint& breakpoint);
    BreakpointSync& sync() const;

    TFileMDIClient& ws_;
    QPointer<BreakpointsPane> pane_;
};
