// SPDX-License-Identifier: GPL-3.0-or-later
// The last session (app/session.h) in the main window: the frame takes the
// size and state kept, the windows kept open again once the frame shows (after
// the "ENV:" report), and from then on every change of the windows (opened,
// closed, activated, saved under another name) or of the frame's size or state
// writes the session again, until the frame is closed.
#pragma once
#include "app/session.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class TMDIFileApp;
class TFileMDIChild;

class SessionKeeper : public QObject {
    Q_OBJECT
public:
    SessionKeeper(TMDIFileApp& app, const QString& path);

    // Gives the frame, not yet shown, the size and state kept.
    void applyFrame();
    // Opens the windows kept, in their order, the active one last active,
    // names those whose files are gone in the status bar, and starts keeping
    // the session. Opening them adds nothing to the recent-file list.
    void restore();
    // The window this session opened again that shows `path`, if any: a file
    // named on the command line then takes that window rather than a second one.
    TFileMDIChild* restoredWindowOf(const QString& path) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void schedule();
    void scheduleIn(int ms);
    void record();
    Session current();

    TMDIFileApp& app_;
    SessionFile file_;
    Session kept_;
    static constexpr int ResizeDelayMs = 250;
    QTimer timer_;
    QPointer<TFileMDIChild> lastActive_;
    QList<QPointer<TFileMDIChild>> restored_;
};
