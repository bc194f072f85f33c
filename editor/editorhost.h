// SPDX-License-Identifier: GPL-3.0-or-later
// What an editor window needs from the window that holds it. The workspace
// implements it and hands itself to each editor window it creates; the editor
// knows nothing else of its container.
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
    // Shows a text in the status bar's message field.
    virtual void showStatus(const QString& text) = 0;
    // Shows a text in the status bar that stays until clearLastingStatus()
    // (while a compilation runs).
    virtual void showLastingStatus(const QString& text) = 0;
    virtual void clearLastingStatus() = 0;
    // A Java source or project was opened or saved under a new name (the
    // recent-file list).
    virtual void fileUsed(const QString& path) = 0;
    // Shows the compiler's messages, read from the capture file, in the
    // message window; `statusNote` follows their summary in the status bar.
    virtual void showCompilerMessages(const QString& captureFile, const QString& statusNote) = 0;
    // A compilation started: the marks of the last one go.
    virtual void compilationStarted() = 0;
    // A compilation ended (whatever its outcome; `succeeded` when the compiler
    // said so): the places its messages name are marked in the windows that
    // show them, and after a success an open message window shows its messages.
    virtual void compilationEnded(bool succeeded) = 0;
    // True while Check While Typing is on.
    virtual bool checkWhileTyping() const = 0;
};
