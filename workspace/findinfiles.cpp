// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/findinfiles.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"
#include "resources/commands.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"
#include "workspace/findresults.h"
#include "workspace/panearea.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>

// What the search thread hands the interface thread.
struct FindInFiles::Progress {
    std::atomic<bool> cancelled{false};
    QMutex mutex;
    std::vector<FileMatch> found;  // not yet taken
    bool done = false;
    FileSearchTotals totals;
};

FindInFiles::FindInFiles(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace)
{
    pool_.setMaxThreadCount(1);
    collectTimer_.setInterval(40);
    connect(&collectTimer_, &QTimer::timeout, this, &FindInFiles::collect);
}

FindInFiles::~FindInFiles()
{
    if (state_)
        state_->cancelled = true;
    pool_.waitForDone();
}

void FindInFiles::addCommands(CommandTable& table)
{
    table.on(cmd::FindInFiles, [this] { ask(); });
    table.on(cmd::ShowFindResults, [this] { showResults(true); });
    table.enabler(cmd::ShowFindResults, [this](CommandState& s) { s.enabled = searched_; });
}

FindInFilesQuery FindInFiles::proposal() const
{
    FindInFilesQuery q = last_;
    TFileMDIChild* c = ws_.currentEditor();
    const EditControl* e = c ? c->editor() : nullptr;
    if (e && !e->source()->fileName().isEmpty())
        q.folder = QFileInfo(e->source()->fileName()).absolutePath();
    else if (q.folder.isEmpty())
        q.folder = QDir::currentPath();
    if (e) {
        QTextCursor cur = e->textCursor();
        if (!cur.hasSelection())
            cur.select(QTextCursor::WordUnderCursor);
        const QString text = cur.selectedText();
        if (!text.trimmed().isEmpty() && !text.contains(QChar::ParagraphSeparator))
            q.pattern = text;
    }
    return q;
}

void FindInFiles::ask()
{
    const std::optional<FindInFilesQuery> q = dialogs().findInFiles(ws_.window(), proposal());
    if (!q || q->pattern.isEmpty())
        return;
    if (!nativepath::info(q->folder).isDir) {
        dialogs().message(ws_.window(),
                          QStringLiteral("The folder %1 does not exist.").arg(QDir::toNativeSeparators(q->folder)));
        return;
    }
    start(*q);
}

void FindInFiles::start(const FindInFilesQuery& query)
{
    if (state_)
        state_->cancelled = true;
    last_ = query;
    searched_ = true;
    matches_.clear();
    summary_.clear();
    auto state = std::make_shared<Progress>();
    state_ = state;
    showResults(false);
    window_->clear();
    emit ws_.commandStatesChanged();
    ws_.showLastingStatus(
        QStringLiteral("Searching for \"%1\" in %2...").arg(query.pattern, QDir::toNativeSeparators(query.folder)));
    pool_.start([state, query] {
        FileSearch search(query);
        const FileSearchTotals totals = search.run(
            [&state](const FileMatch& m) {
                const QMutexLocker lock(&state->mutex);
                state->found.push_back(m);
            },
            &state->cancelled);
        const QMutexLocker lock(&state->mutex);
        state->totals = totals;
        state->done = true;
    });
    collectTimer_.start();
}

void FindInFiles::collect()
{
    if (!state_) {
        collectTimer_.stop();
        return;
    }
    std::vector<FileMatch> found;
    bool done = false;
    FileSearchTotals totals;
    {
        const QMutexLocker lock(&state_->mutex);
        found.swap(state_->found);
        done = state_->done;
        totals = state_->totals;
    }
    matches_.insert(matches_.end(), found.begin(), found.end());
    if (window_ && !found.empty())
        window_->addMatches(found);
    if (!done)
        return;
    state_.reset();
    collectTimer_.stop();
    summary_ = searchSummaryText(totals);
    if (window_)
        window_->setSummary(summary_);
    ws_.clearLastingStatus();
    ws_.showStatus(summary_);
    emit ws_.commandStatesChanged();
    emit finished(totals);
}

void FindInFiles::showResults(bool activate)
{
    ws_.panes().show(
        Pane::FindInFiles,
        [this] {
            window_ = new FindResultsWindow;
            window_->addMatches(matches_);
            if (!summary_.isEmpty())
                window_->setSummary(summary_);
            connect(window_, &FindResultsWindow::matchChosen, this, &FindInFiles::openMatch);
            return window_.data();
        },
        activate);
}

bool FindInFiles::openMatch(const FileMatch& match)
{
    const PlaceTarget at{.line = match.line, .span = [match](const QString&) {
                             return TextSpan{match.column, match.column + match.length};
                         }};
    if (ws_.places().open(match.path, at))
        return true;
    if (!nativepath::info(match.path).isFile)
        ws_.showStatus(QStringLiteral("The file %1 no longer exists")
                           .arg(nativename::shown(QDir::toNativeSeparators(match.path))));
    return false;
}
