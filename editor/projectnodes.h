// SPDX-License-Identifier: GPL-3.0-or-later
// Add Node and Del Node of a project window: the entries of a project, one
// source a line, inserted from the open dialog or removed at the caret.
#pragma once
#include "platform/filedata.h"

class EditControl;
class QWidget;

class ProjectNodes {
public:
    // The entries of the project shown by `edit`.
    explicit ProjectNodes(EditControl* edit);

    // Add Node: asks for a Java source and puts its full path with a CR LF
    // line end in place of the selection, or at the caret. `owner` (the
    // project's window) owns the messages, its top-level window the dialog.
    // False when nothing was added.
    bool add(QWidget* owner);
    // Del Node: removes the entry on the caret's line, its line end included.
    void remove();

private:
    EditControl* te;
    FileDialogRecord ProjJavaData;  // Add Node's dialog record
};
