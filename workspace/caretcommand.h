// SPDX-License-Identifier: GPL-3.0-or-later
// A command on the caret of the active source window (Go to Definition, Show
// Documentation): it runs with that window's editor and the caret's
// position, and is enabled while a source window (not a project's) is active.
#pragma once
#include <functional>

class CommandTable;
class EditControl;
class TFileMDIClient;

void onCaretCommand(CommandTable& table, TFileMDIClient& workspace, int id,
                    std::function<void(EditControl* editor, int position)> run);
