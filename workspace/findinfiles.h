// SPDX-License-Identifier: GPL-3.0-or-later
// Find in Files and Find Results: asks what to find and where (through the
// application's dialogs), runs the search (workspace/filesearch.h) on a thread
// of its own, and shows what it finds, as it finds it, in the "Find in Files"
// pane of the workspace's pane area, which lists it in the Window menu. A row
// chosen there opens its file at the line with the match selected. A new search
// ends the one under way and replaces its results; the status bar says while
// a search runs.
#pragma once
#include "workspace/filesearch.h"
#include "workspace/findresults.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <vector>

class CommandTable;
class TFileMDIClient;

class FindInFiles : public QObject {
    Q_OBJECT
public:
    // A child of the workspace.
    explicit FindInFiles(TFileMDIClient& workspace);
    // Ends the search under way, and waits for its thread.
    ~FindInFiles() override;

    // Find in Files and Find Results (enabled once a search was run).
    void addCommands(CommandTable& table);

    // Find in Files: the dialog, proposing the folder of the active window's
    // file, the selection or the word at the caret, and the file names and
    // case of the last search; then the search.
    void ask();
    // Starts a search for `query`, ending the one under way.
    void start(const FindInFilesQuery& query);
    // Find Results: shows the window with the last search's results (made
    // again when it was closed), giving it the focus when `activate`.
    void showResults(bool activate);

    bool searching() const { return state_ != nullptr; }
    // The window, null while none is open.
    FindResultsWindow* window() const { return window_; }
    // Goes to a match: its file opened when no window shows it, the match
    // selected; false when the file is neither shown nor there.
    bool openMatch(const FileMatch& match);

signals:
    // A search ended (not when a newer one replaced it).
    void finished(const FileSearchTotals& totals);

private:
    struct Progress;
    FindInFilesQuery proposal() const;
    // Takes what the search found since the last time into the window.
    void collect();

    TFileMDIClient& ws_;
    QThreadPool pool_;
    QTimer collectTimer_;
    std::shared_ptr<Progress> state_;  // of the search under way; null when none runs
    QPointer<FindResultsWindow> window_;
    std::vector<FileMatch> matches_;  // the last search's, also while the window is closed
    QString summary_;                 // its summary, empty while it runs
    FindInFilesQuery last_;
    bool searched_ = false;
};
