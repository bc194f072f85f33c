// SPDX-License-Identifier: GPL-3.0-or-later
// The editing commands of an edit control: Undo, Redo, Cut, Copy, Paste,
// Delete, Clear All and Toggle Comment, with their enablers. A read-only control offers none
// of the commands that change the text.
#pragma once

class CommandTable;
class QTextEdit;

// Adds the editing commands of `edit` to `table`.
void addEditCommands(CommandTable& table, QTextEdit* edit);
