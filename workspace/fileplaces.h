// SPDX-License-Identifier: GPL-3.0-or-later
// The one way of the workspace to a file and a place in it: the window that
// shows a file (the same file by its canonical path, platform/nativepath.h),
// and a file opened at a line with a part of it selected, the line in the
// middle of the view. The jumps made so are remembered for Go Back (Alt+Left)
// and Go Forward (Alt+Right).
#pragma once
#include "toolchain/messages/messages.h"
#include "workspace/placehistory.h"

#include <QObject>
#include <QString>

#include <functional>

class CommandTable;
class EditControl;
class TFileMDIChild;
class TFileMDIClient;

// Where a jump goes in a file.
struct PlaceTarget {
    int line = 1;
    // What is selected on the line, in characters of its text; the caret at
    // the line's start when not given.
    std::function<TextSpan(const QString& lineText)> span;
    bool caretAtStart = false;  // the caret at the selection's start, else at its end
    // The window comes forward with the focus; else (a pause of the debugger)
    // only when it was not the active window, and the focus stays where it is.
    bool focus = true;
    bool remember = true;  // a jump that Go Back returns from
};

class FilePlaces : public QObject {
    Q_OBJECT
public:
    explicit FilePlaces(TFileMDIClient& workspace);

    // Go Back and Go Forward.
    void addCommands(CommandTable& table);
    // A window opened: its places go with it when it has no file.
    void editorOpened(TFileMDIChild* window);

    // The newest editor window that shows `path`; null when none does.
    TFileMDIChild* windowShowing(const QString& path) const;
    // `path` opened when no window shows it (a project as a project), then
    // shown at `at`; null when it is neither shown nor there.
    TFileMDIChild* open(const QString& path, const PlaceTarget& at);
    // Shows `at` in `window`: the line in the middle of the view.
    void show(TFileMDIChild* window, const PlaceTarget& at);

    void goBack();
    void goForward();
    PlaceHistory& history() { return history_; }

private:
    TFileMDIChild* lastEditor() const;
    Place placeOf(TFileMDIChild* window) const;
    void goTo(const Place& place);

    TFileMDIClient& ws_;
    PlaceHistory history_;
};

// Scrolls `editor` so that the caret's line stands in the middle of the view.
void centerCaret(EditControl* editor);
