// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editinput.h"

#include "platform/nativepath.h"
#include "resources/commands.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QUrl>

bool mainWindowKey(const QKeyEvent* e)
{
    static const QSet<QKeyCombination> keys = [] {
        QSet<QKeyCombination> set;
        for (const CommandInfo& c : commandTable()) {
            if (c.keyOwner != KeyOwner::Frame)
                continue;
            for (const QKeySequence& k : c.keys)
                set.insert(k[0]);
        }
        return set;
    }();
    return keys.contains(QKeyCombination(e->modifiers() & ~Qt::KeypadModifier, Qt::Key(e->key())));
}

bool homeKey(QTextEdit* edit, const QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() != Qt::Key_Home || (mods != Qt::NoModifier && mods != Qt::ShiftModifier))
        return false;
    QTextCursor c = edit->textCursor();
    const QString line = c.block().text();
    int firstText = 0;
    while (firstText < line.size() && (line[firstText] == u' ' || line[firstText] == u'\t'))
        ++firstText;
    const int column = c.positionInBlock() == firstText || firstText == line.size() ? 0 : firstText;
    c.setPosition(c.block().position() + column,
                  mods == Qt::ShiftModifier ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    return true;
}

QStringList localFiles(const QMimeData* md)
{
    QStringList out;
    if (md && md->hasUrls()) {
        for (const QUrl& u : md->urls()) {
            if (u.isLocalFile())
                out << nativepath::localFile(u);
        }
    }
    return out;
}