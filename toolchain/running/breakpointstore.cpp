// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/breakpointstore.h"

#include "javatext/javasource.h"
#include "platform/nativepath.h"

#include <algorithm>

QString BreakpointStore::key(const QString& path)
{
    return nativepath::canonical(path);
}

void BreakpointStore::set(const QString& path, const QList<int>& lines)
{
    QList<int> sorted;
    for (const int line : lines) {
        if (line >= 1)
            sorted << line;
    }
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (sorted.isEmpty())
        lines_.remove(key(path));
    else
        lines_.insert(key(path), sorted);
}

bool BreakpointStore::toggle(const QString& path, int line)
{
    QList<int> now = lines(path);
    const bool had = now.removeOne(line);
    if (!had)
        now << line;
    set(path, now);
    return !had;
}

QList<int> BreakpointStore::lines(const QString& path) const
{
    return lines_.value(key(path));
}

QString debugClassName(const QString& sourceText, const QString& path)
{
    return javatext::qualifiedClassName(sourceText, path);
}
