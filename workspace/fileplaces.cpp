// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/fileplaces.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/nativepath.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "workspace/workspace.h"

#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

FilePlaces::FilePlaces(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

void FilePlaces::addCommands(CommandTable& table)
{
    table.on(cmd::GoBack, [this] { goBack(); });
    table.enabler(cmd::GoBack, [this](CommandState& s) { s.enabled = history_.canGoBack(); });
    table.on(cmd::GoForward, [this] { goForward(); });
    table.enabler(cmd::GoForward, [this](CommandState& s) { s.enabled = history_.canGoForward(); });
}

void FilePlaces::editorOpened(TFileMDIChild* window)
{
    connect(window, &QObject::destroyed, this, [this, window] {
        history_.windowClosed(window);
        emit ws_.commandStatesChanged();
    });
}

TFileMDIChild* FilePlaces::windowShowing(const QString& path) const
{
    if (path.isEmpty())
        return nullptr;
    const QString wanted = nativepath::canonical(path);
    TFileMDIChild* found = nullptr;
    for (TFileMDIChild* c : ws_.editors()) {
        const QString name = c->editor()->source()->fileName();
        if (!name.isEmpty() && nativepath::canonical(name) == wanted)
            found = c;
    }
    return found;
}

TFileMDIChild* FilePlaces::open(const QString& path, const PlaceTarget& at)
{
    TFileMDIChild* target = windowShowing(path);
    if (!target) {
        if (!nativepath::info(path).isFile)
            return nullptr;
        const Place from = placeOf(lastEditor());
        ws_.openDropped(path);
        target = windowShowing(path);
        if (!target)
            return nullptr;
        if (at.remember && !from.file.isEmpty())
            history_.jumped(from);
        PlaceTarget rest = at;
        rest.remember = false;
        show(target, rest);
        return target;
    }
    show(target, at);
    return target;
}

void FilePlaces::show(TFileMDIChild* window, const PlaceTarget& at)
{
    if (at.remember) {
        history_.jumped(placeOf(lastEditor()));
    }
    EditControl* e = window->editor();
    const QTextBlock b = e->document()->findBlockByNumber(
        std::clamp(at.line - 1, 0, e->document()->blockCount() - 1));
    QTextCursor cur(b);
    if (at.span) {
        const int end = std::max(0, b.length() - 1);
        const TextSpan s = at.span(b.text());
        const int from = std::clamp(s.start, 0, end), to = std::clamp(s.end, 0, end);
        cur.setPosition(b.position() + (at.caretAtStart ? to : from));
        cur.setPosition(b.position() + (at.caretAtStart ? from : to), QTextCursor::KeepAnchor);
    }
    e->setTextCursor(cur);
    if (at.focus) {
        ws_.bringToFront(window);
    } else if (ws_.currentEditor() != window || ws_.messageWindowActive()) {
        // Another window is in front: the source comes before it. A source
        // window already active keeps its focus where it is.
        ws_.bringToFront(window);
    }
    centerCaret(e);
    emit ws_.commandStatesChanged();
}

TFileMDIChild* FilePlaces::lastEditor() const
{
    // While a pane is active: the editor window above it.
    if (TFileMDIChild* c = ws_.currentEditor())
        return c;
    const QList<QMdiSubWindow*> stack = ws_.subWindowList(QMdiArea::StackingOrder);
    return stack.isEmpty() ? nullptr : qobject_cast<TFileMDIChild*>(stack.last());
}

Place FilePlaces::placeOf(TFileMDIChild* window) const
{
    Place p;
    if (!window)
        return p;
    const QString name = window->editor()->source()->fileName();
    p.file = name.isEmpty() ? QString() : nativepath::canonical(name);
    p.window = window;
    const QTextCursor cur = window->editor()->textCursor();
    p.line = cur.blockNumber() + 1;
    p.column = cur.positionInBlock() + 1;
    return p;
}

void FilePlaces::goTo(const Place& place)
{
    TFileMDIChild* w = nullptr;
    for (TFileMDIChild* c : ws_.editors()) {
        if (c == place.window &&
            (place.file.isEmpty() || nativepath::canonical(c->editor()->source()->fileName()) == place.file))
            w = c;
    }
    if (!w && !place.file.isEmpty())
        w = open(place.file, PlaceTarget{.line = place.line, .remember = false});
    if (!w)
        return;
    const int column = place.column - 1;
    show(w, PlaceTarget{.line = place.line,
                        .span =
                            [column](const QString&) {
                                return TextSpan{column, column};
                            },
                        .remember = false});
}

void FilePlaces::goBack()
{
    if (const std::optional<Place> p = history_.back(placeOf(lastEditor())))
        goTo(*p);
}

void FilePlaces::goForward()
{
    if (const std::optional<Place> p = history_.forward(placeOf(lastEditor())))
        goTo(*p);
}

void centerCaret(EditControl* editor)
{
    editor->ensureCursorVisible();
    QScrollBar* bar = editor->verticalScrollBar();
    bar->setValue(bar->value() + editor->cursorRect().center().y() - editor->viewport()->height() / 2);
}
