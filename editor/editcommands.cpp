// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editcommands.h"

#include "editor/commentlines.h"
#include "platform/routing.h"
#include "resources/commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <functional>
#include <memory>
#include <optional>

namespace {

// Paste's state: what the clipboard holds can be put in (the control says
// what it takes). Asking the clipboard is a round trip to the display server,
// so the answer is kept until the clipboard changes or the program comes back
// from another one (which may have changed it unnoticed).
std::function<void(CommandState&)> pasteState(QTextEdit* edit)
{
    auto pastable = std::make_shared<std::optional<bool>>();
    auto forget = [pastable] { pastable->reset(); };
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, edit, forget);
    QObject::connect(qGuiApp, &QGuiApplication::applicationStateChanged, edit, forget);
    return [edit, pastable](CommandState& s) {
        const bool editable = !edit->isReadOnly();
        if (editable && !pastable->has_value())
            *pastable = edit->canPaste();
        s.enabled = editable && pastable->value_or(false);
    };
}

}  // namespace

void addEditCommands(CommandTable& table, QTextEdit* edit)
{
    // A read-only control offers none of the commands that change the text.
    auto editable = [edit] { return !edit->isReadOnly(); };
    auto hasSelection = [edit](CommandState& s) { s.enabled = edit->textCursor().hasSelection(); };
    table.on(cmd::Undo, [edit, editable] {
        if (editable())
            edit->undo();
    });
    table.enabler(cmd::Undo, [edit, editable](CommandState& s) {
        s.enabled = editable() && edit->document()->isUndoAvailable();
    });
    table.on(cmd::Redo, [edit, editable] {
        if (editable())
            edit->redo();
    });
    table.enabler(cmd::Redo, [edit, editable](CommandState& s) {
        s.enabled = editable() && edit->document()->isRedoAvailable();
    });
    table.on(cmd::Cut, [edit, editable] {
        if (editable())
            edit->cut();
    });
    table.enabler(cmd::Cut,
                  [edit, editable](CommandState& s) { s.enabled = editable() && edit->textCursor().hasSelection(); });
    table.on(cmd::Copy, [edit] { edit->copy(); });
    table.enabler(cmd::Copy, hasSelection);
    table.on(cmd::Paste, [edit, editable] {
        if (editable())
            edit->paste();
    });
    table.enabler(cmd::Paste, pasteState(edit));
    table.on(cmd::Delete, [edit, editable] {
        if (editable())
            edit->textCursor().removeSelectedText();
    });
    table.enabler(cmd::Delete,
                  [edit, editable](CommandState& s) { s.enabled = editable() && edit->textCursor().hasSelection(); });
    table.on(cmd::ClearAll, [edit, editable] {
        if (!editable())
            return;
        // One undoable step, unlike clear().
        QTextCursor c(edit->document());
        c.select(QTextCursor::Document);
        c.removeSelectedText();
    });
    table.enabler(cmd::ClearAll,
                  [edit, editable](CommandState& s) { s.enabled = editable() && !edit->document()->isEmpty(); });
    table.on(cmd::ToggleComment, [edit] { toggleCommentSelection(edit); });
    table.enabler(cmd::ToggleComment, [editable](CommandState& s) { s.enabled = editable(); });
}
