// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/caretcommand.h"

#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "platform/routing.h"
#include "workspace/workspace.h"

void onCaretCommand(CommandTable& table, TFileMDIClient& workspace, int id,
                    std::function<void(EditControl* editor, int position)> run)
{
    table.on(id, [&workspace, run = std::move(run)] {
        if (TFileMDIChild* c = workspace.currentEditor())
            run(c->editor(), c->editor()->textCursor().position());
    });
    table.enabler(id, [&workspace](CommandState& s) {
        s.enabled = workspace.currentEditor() && !workspace.currentEditor()->isProject();
    });
}
