// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editinput.h"

#include "platform/nativepath.h"
#include "resources/commands.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QSet>
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