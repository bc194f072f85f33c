// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sessionkeeper.h"

#include "app/brewpad.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"
#include "workspace/mavenwindow.h"

#include <QEvent>
#include <QTimer>

SessionKeeper::SessionKeeper(TMDIFileApp& app, const QString& path) : QObject(&app), app_(app), file_(path)
{
    kept_ = file_.read();
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &SessionKeeper::record);
}

void SessionKeeper::applyFrame()
{
    if (!kept_.frameSize.isValid())
        return;
    app_.Frame->resize(kept_.frameSize.expandedTo(QSize(320, 240)));
    if (kept_.maximized)
        app_.Frame->setWindowState(app_.Frame->windowState() | Qt::WindowMaximized);
}

void SessionKeeper::restore()
{
    QStringList gone;
    const Session s = SessionFile::present(kept_, &gone);
    TFileMDIClient* ws = app_.Client;
    QList<QMdiSubWindow*> opened;
    if (!s.windows.empty()) {
        app_.setRecentFilesFollowed(false);
        ws->openingMany(true);
        for (const SessionWindow& w : s.windows) {
            const qsizetype before = ws->subWindowList().size();
            if (w.project)
                ws->CmOpenJavaProjFile(w.path);
            else
                ws->CmMRUFileOpenJava(w.path);
            const QList<QMdiSubWindow*> all = ws->subWindowList(QMdiArea::CreationOrder);
            opened << (all.size() > before ? all.last() : nullptr);
            if (auto* c = qobject_cast<TFileMDIChild*>(opened.last()))
                restored_ << c;
        }
        ws->openingMany(false);
        app_.setRecentFilesFollowed(true);
        if (s.active >= 0 && opened.value(s.active))
            ws->bringToFront(opened.value(s.active));
    }
    if (!gone.isEmpty())
        ws->showStatus(QStringLiteral("Not opened again from the last session, no longer there: %1")
                           .arg(gone.join(QStringLiteral(", "))));
    connect(ws, &TFileMDIClient::editorsChanged, this, &SessionKeeper::schedule);
    connect(ws, &TFileMDIClient::fileWasUsed, this, &SessionKeeper::schedule);
    app_.Frame->installEventFilter(this);
    record();
}

TFileMDIChild* SessionKeeper::restoredWindowOf(const QString& path) const
{
    TFileMDIChild* w = app_.Client->places().windowShowing(path);
    return w && restored_.contains(w) ? w : nullptr;
}

bool SessionKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // A frame dragged to another size sends many sizes: the last one counts.
    if (watched == app_.Frame && (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange))
        scheduleIn(ResizeDelayMs);
    return false;
}

void SessionKeeper::schedule()
{
    scheduleIn(0);
}

void SessionKeeper::scheduleIn(int ms)
{
    // Whatever changes at once is written once; a change of the windows is
    // written without waiting.
    if (!timer_.isActive() || timer_.remainingTime() > ms)
        timer_.start(ms);
}

void SessionKeeper::record()
{
    // Once the frame is closed, its windows going with it are not the user's doing.
    if (!app_.Frame || !app_.Frame->isVisible() || !app_.Client)
        return;
    const Session s = current();
    if (s == kept_)
        return;
    if (file_.write(s))
        kept_ = s;
}

Session SessionKeeper::current()
{
    TFileMDIClient* ws = app_.Client;
    if (TFileMDIChild* c = ws->currentEditor())
        lastActive_ = c;
    Session s;
    for (QMdiSubWindow* w : ws->subWindowList(QMdiArea::CreationOrder)) {
        if (auto* maven = qobject_cast<MavenProjectWindow*>(w)) {
            // A Maven project opens again from its pom.xml, as Open Project opens it.
            if (w == ws->activeSubWindow() && !ws->currentEditor())
                s.active = int(s.windows.size());
            s.windows.push_back(SessionWindow{true, maven->model().file});
            continue;
        }
        auto* c = qobject_cast<TFileMDIChild*>(w);
        if (!c)
            continue;
        const QString path = c->editor()->source()->fileName();
        if (path.isEmpty())
            continue;  // an untitled window: nothing to open again
        if (c == lastActive_)
            s.active = int(s.windows.size());
        s.windows.push_back(SessionWindow{c->isProject(), path});
    }
    const bool maximized = app_.Frame->isMaximized();
    s.maximized = maximized;
    s.frameSize = maximized && app_.Frame->normalGeometry().isValid() ? app_.Frame->normalGeometry().size()
                                                                      : app_.Frame->size();
    return s;
}
