// SPDX-License-Identifier: GPL-3.0-or-later
// Toggle Comment in a text edit: the rule of javalines::toggleLineComments
// applied to the lines of the selection (the caret's line when nothing is
// selected), as one undo step.
#pragma once

class QTextEdit;

// Comments out the selected lines with "// ", or takes their "//" off when
// every one of them that is not blank has it. Only the characters that change
// are inserted or removed: the rest of each line, and its line end, stays as
// it is. A selection stays on the whole lines; nothing in a read-only edit.
void toggleCommentSelection(QTextEdit* edit);
