// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/breakpointcommands.h"

#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "editor/sourcedocument.h"
#include "workspace/breakpointspane.h"
#include "workspace/breakpointsync.h"
#include "workspace/debugcontroller.h"
#include "workspace/fileplaces.h"
#include "workspace/panearea.h"
#include "workspace/workspace.h"

#include <QMenu>

#include <algorithm>

BreakpointCommands::BreakpointCommands(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace), ws_(workspace)
{
    table.on(cmd::BreakpointProperties, [this] {
        if (TFileMDIChild* c = ws_.currentEditor(); c && !c->isProject())
            editProperties(c->editor(), c->editor()->textCursor().blockNumber() + 1);
    });
    table.enabler(cmd::BreakpointProperties,
                  [this](CommandState& s) { s.enabled = ws_.currentEditor() && !ws_.currentEditor()->isProject(); });
    table.on(cmd::BreakpointsPane, [this] { showPane(true); });
    table.enabler(cmd::BreakpointsPane, [](CommandState& s) { s.enabled = true; });
    connect(&sync(), &BreakpointSync::menuWanted, this, &BreakpointCommands::showMenu);
    connect(&sync(), &BreakpointSync::storeChanged, this, [this] {
        if (pane_)
            pane_->showBreakpoints(sync().store().all());
    });
}

BreakpointSync& BreakpointCommands::sync() const
{
    return ws_.debugger().breakpoints();
}

void BreakpointCommands::editProperties(EditControl* editor, int line)
{
    MarkList& marks = editor->source()->marks();
    const Breakpoint had = marks.breakpointAt(line).value_or(Breakpoint{QString(), line});
    const std::optional<BreakpointFields> f = dialogs().breakpointProperties(
        editor->window(), line, BreakpointFields{had.enabled, had.condition, had.hitCount});
    if (!f)
        return;
    Breakpoint b = had;
    b.line = line;
    b.enabled = f->enabled;
    b.condition = f->condition.trimmed();
    b.hitCount = std::max(0, f->hitCount);
    marks.setBreakpoint(b);
    editor->update();
    for (QWidget* w : editor->findChildren<QWidget*>())
        w->update();
}

void BreakpointCommands::showMenu(EditControl* editor, int line, QPoint at)
{
    QMenu menu(editor);
    const QPointer<EditControl> e(editor);
    for (int id : {cmd::ToggleBreakpoint, cmd::BreakpointProperties}) {
        const CommandInfo* info = commandInfo(id);
        QAction* a = menu.addAction(info->menuCaption());
        connect(a, &QAction::triggered, this, [this, e, line, id] {
            if (!e)
                return;
            if (id == cmd::ToggleBreakpoint)
                e->source()->marks().toggleBreakpoint(line);
            else
                editProperties(e, line);
        });
    }
    menu.exec(at);
}

BreakpointsPane* BreakpointCommands::showPane(bool activate)
{
    ws_.panes().show(
        Pane::Breakpoints,
        [this] {
            pane_ = new BreakpointsPane;
            connect(pane_, &BreakpointsPane::enabledChanged, this, &BreakpointCommands::setEnabled);
            connect(pane_, &BreakpointsPane::deleteWanted, this, &BreakpointCommands::remove);
            connect(pane_, &BreakpointsPane::goWanted, this, &BreakpointCommands::goTo);
            return pane_.data();
        },
        activate);
    pane_->showBreakpoints(sync().store().all());
    return pane_;
}

void BreakpointCommands::setEnabled(const Breakpoint& breakpoint, bool enabled)
{
    Breakpoints list = sync().store().breakpoints(breakpoint.file);
    for (Breakpoint& b : list) {
        if (b.line == breakpoint.line)
            b.enabled = enabled;
    }
    sync().replace(breakpoint.file, list);
}

void BreakpointCommands::remove(const Breakpoint& breakpoint)
{
    Breakpoints list = sync().store().breakpoints(breakpoint.file);
    list.removeIf([&](const Breakpoint& b) { return b.line == breakpoint.line; });
    sync().replace(breakpoint.file, list);
}

void BreakpointCommands::goTo(const Breakpoint& breakpoint)
{
    PlaceTarget at;
    at.line = breakpoint.line;
    ws_.places().open(breakpoint.file, at);
}

BreakpointsPane* BreakpointCommands::pane() const
{
    return pane_;
}
