// SPDX-License-Identifier: GPL-3.0-or-later
// What an editor window asks of the window that holds it: questions only. The
// workspace implements it and hands itself to each editor window it creates;
// what happened in the window it learns from the window's signals (see
// TFileMDIChild). The editor knows nothing else of its container.
#pragma once

#include <QString>

struct FileDialogRecord;
class FindController;
class TRulerWin;

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The file-dialog record of the kind of file being opened; a new editor
    // window starts from a copy of it. Null when there is none.
    virtual const FileDialogRecord* fileDialogRecord() const = 0;
    // The Find, Replace and Find Next dialogs shared by every editor window.
    virtual FindController* finder() = 0;
    // The print host; null when printing is not available.
    virtual TRulerWin* printHost() = 0;
    // True while Check While Typing is on.
    virtual bool checkWhileTyping() const = 0;
    // Compiles the open project whose sources hold `file` (Java Compile in
    // the file's window compiles its whole project then); false when no open
    // project holds it, and the file compiles on its own.
    virtual bool compileProjectHolding(const QString& file)
    {
        (void)file;
        return false;
    }
};
