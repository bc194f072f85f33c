// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/breakpointsync.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "editor/sourcedocument.h"
#include "platform/dialogs.h"
#include "toolchain/running/debugsession.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"

#include <QFile>

#include <algorithm>
#include <utility>

BreakpointSync::BreakpointSync(TFileMDIClient& workspace, QObject* parent) : QObject(parent), ws_(workspace) {}

void BreakpointSync::watch(TFileMDIChild* window)
{
    if (window->isProject())
        return;
    EditControl* e = window->editor();
    const QString file = e->source()->fileName();
    if (!file.isEmpty())
        e->source()->marks().setBreakpoints(store_.breakpoints(file));
    connect(&e->source()->marks(), &MarkList::breakpointsChanged, this,
            [this, e](const Breakpoints& list) { changed(e, list); });
    connect(e->source(), &SourceDocument::fileNameChanged, this,
            [this, e, before = file](const QString& name) mutable { renamed(e, std::exchange(before, name)); });
    connect(e, &EditControl::breakpointMenuWanted, this,
            [this, e](int line, QPoint at) { emit menuWanted(e, line, at); });
}

void BreakpointSync::renamed(EditControl* editor, const QString& before)
{
    const QString now = editor->source()->fileName();
    if (before.isEmpty() || now.isEmpty() || BreakpointStore::key(before) == BreakpointStore::key(now))
        return;
    const Breakpoints old = store_.breakpoints(before);
    if (old.isEmpty() || editorOf(BreakpointStore::key(before)))  // another window shows the old file
        return;
    const QString oldClass = classOf(before);
    store_.set(before, {});
    if (session_ && session_->state() != DebugSession::State::Ended) {
        for (const Breakpoint& b : old)
            session_->clearBreakpoint(oldClass, b.line);
    }
    changed(editor, editor->source()->marks().breakpoints());
}

void BreakpointSync::attach(DebugSession* session)
{
    session_ = session;
    sourceOfClass_.clear();
    for (auto it = store_.all().cbegin(); it != store_.all().cend(); ++it) {
        const QString cls = classOf(it.key());
        sourceOfClass_.insert(cls, it.key());
        for (const Breakpoint& b : it.value())
            session->setBreakpoint(cls, b);
    }
    connect(session, &DebugSession::breakpointSet, this, &BreakpointSync::onSet);
    // Told once the session has read the pause that follows (a message box
    // waits for the user; the session's replies are not read within it).
    connect(session, &DebugSession::conditionFailed, this, &BreakpointSync::onConditionFailed, Qt::QueuedConnection);
}

void BreakpointSync::onConditionFailed(const QString&, int, const QString& message)
{
    dialogs().message(&ws_, message, QStringLiteral("Debug Run"), Buttons::Ok, Icon::Warning);
}

namespace {
const Breakpoint* onLine(const Breakpoints& list, int line)
{
    const auto it = std::find_if(list.cbegin(), list.cend(), [line](const Breakpoint& b) { return b.line == line; });
    return it == list.cend() ? nullptr : &*it;
}
}  // namespace

void BreakpointSync::changed(EditControl* editor, const Breakpoints& breakpoints)
{
    const QString file = editor->source()->fileName();
    if (!file.isEmpty())
        apply(file, breakpoints);
}

void BreakpointSync::replace(const QString& path, const Breakpoints& breakpoints)
{
    if (EditControl* e = editorOf(BreakpointStore::key(path))) {
        e->source()->marks().setBreakpoints(breakpoints);
        apply(path, e->source()->marks().breakpoints());
        e->viewport()->update();
        for (QWidget* w : e->findChildren<QWidget*>())
            w->update();
    } else {
        apply(path, breakpoints);
    }
}

void BreakpointSync::apply(const QString& file, const Breakpoints& breakpoints)
{
    const Breakpoints before = store_.breakpoints(file);
    store_.set(file, breakpoints);
    emit storeChanged();
    if (!session_ || session_->state() == DebugSession::State::Ended)
        return;
    const Breakpoints after = store_.breakpoints(file);
    const QString cls = classOf(file);
    sourceOfClass_.insert(cls, BreakpointStore::key(file));
    for (const Breakpoint& b : after) {
        const Breakpoint* had = onLine(before, b.line);
        if (!had || !(*had == b))
            session_->setBreakpoint(cls, b);
    }
    for (const Breakpoint& b : before) {
        if (!onLine(after, b.line))
            session_->clearBreakpoint(cls, b.line);
    }
}

void BreakpointSync::onSet(const QString& className, int line, int actual)
{
    if (actual <= 0 || actual == line)
        return;
    const QString key = sourceOfClass_.value(className);
    if (key.isEmpty())
        return;
    Breakpoints list = store_.breakpoints(key);
    const auto it = std::find_if(list.begin(), list.end(), [line](const Breakpoint& b) { return b.line == line; });
    if (it == list.end())
        return;
    Breakpoint moved = *it;
    list.erase(it);
    moved.line = actual;
    list << moved;  // one set on that line already is kept
    store_.set(key, list);
    emit storeChanged();
    if (EditControl* e = editorOf(key))
        e->source()->marks().setBreakpoints(store_.breakpoints(key));
    ws_.showStatus(
        QStringLiteral("The breakpoint of line %1 moved to line %2, the next line with code").arg(line).arg(actual));
}

QString BreakpointSync::classOf(const QString& path) const
{
    if (EditControl* e = editorOf(BreakpointStore::key(path)))
        return debugClassName(e->toPlainText(), e->source()->fileName());
    QFile f(path);
    const QString text = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.read(1 << 20)) : QString();
    return debugClassName(text, path);
}

EditControl* BreakpointSync::editorOf(const QString& key) const
{
    TFileMDIChild* c = ws_.places().windowShowing(key);
    return c && !c->isProject() ? c->editor() : nullptr;
}
