// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/breakpointsync.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
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
        e->source()->marks().setBreakpointLines(store_.lines(file));
    connect(&e->source()->marks(), &MarkList::breakpointsChanged, this,
            [this, e](const QList<int>& lines) { changed(e, lines); });
    connect(e->source(), &SourceDocument::fileNameChanged, this,
            [this, e, before = file](const QString& name) mutable { renamed(e, std::exchange(before, name)); });
}

void BreakpointSync::renamed(EditControl* editor, const QString& before)
{
    const QString now = editor->source()->fileName();
    if (before.isEmpty() || now.isEmpty() || BreakpointStore::key(before) == BreakpointStore::key(now))
        return;
    const QList<int> lines = store_.lines(before);
    if (lines.isEmpty() || editorOf(BreakpointStore::key(before)))  // another window shows the old file
        return;
    const QString oldClass = classOf(before);
    store_.set(before, {});
    if (session_ && session_->state() != DebugSession::State::Ended) {
        for (int line : lines)
            session_->clearBreakpoint(oldClass, line);
    }
    changed(editor, editor->source()->marks().breakpointLines());
}

void BreakpointSync::attach(DebugSession* session)
{
    session_ = session;
    sourceOfClass_.clear();
    for (auto it = store_.all().cbegin(); it != store_.all().cend(); ++it) {
        const QString cls = classOf(it.key());
        sourceOfClass_.insert(cls, it.key());
        for (int line : it.value())
            session->setBreakpoint(cls, line);
    }
    connect(session, &DebugSession::breakpointSet, this, &BreakpointSync::onSet);
}

void BreakpointSync::changed(EditControl* editor, const QList<int>& lines)
{
    const QString file = editor->source()->fileName();
    if (file.isEmpty())
        return;
    const QList<int> before = store_.lines(file);
    store_.set(file, lines);
    if (!session_ || session_->state() == DebugSession::State::Ended)
        return;
    const QList<int> after = store_.lines(file);
    const QString cls = classOf(file);
    sourceOfClass_.insert(cls, BreakpointStore::key(file));
    for (int line : after) {
        if (!before.contains(line))
            session_->setBreakpoint(cls, line);
    }
    for (int line : before) {
        if (!after.contains(line))
            session_->clearBreakpoint(cls, line);
    }
}

void BreakpointSync::onSet(const QString& className, int line, int actual)
{
    if (actual <= 0 || actual == line)
        return;
    const QString key = sourceOfClass_.value(className);
    if (key.isEmpty())
        return;
    QList<int> lines = store_.lines(key);
    if (!lines.contains(line))
        return;
    lines.removeAll(line);
    lines << actual;
    store_.set(key, lines);
    if (EditControl* e = editorOf(key))
        e->source()->marks().setBreakpointLines(store_.lines(key));
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
