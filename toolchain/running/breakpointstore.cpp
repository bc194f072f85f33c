// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/breakpointstore.h"

#include "javatext/javasource.h"
#include "platform/nativepath.h"

#include <algorithm>

QString BreakpointStore::key(const QString& path)
{
    return nativepath::canonical(path);
}

void BreakpointStore::set(const QString& path, const Breakpoints& breakpoints)
{
    const QString file = key(path);
    Breakpoints sorted;
    for (Breakpoint b : breakpoints) {
        const bool taken = std::any_of(sorted.cbegin(), sorted.cend(),
                                       [&b](const Breakpoint& s) { return s.line == b.line; });
        if (b.line < 1 || taken)
            continue;
        b.file = file;
        sorted << b;
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Breakpoint& a, const Breakpoint& b) { return a.line < b.line; });
    if (sorted.isEmpty())
        files_.remove(file);
    else
        files_.insert(file, sorted);
}

bool BreakpointStore::toggle(const QString& path, int line)
{
    Breakpoints now = breakpoints(path);
    const bool had = now.removeIf([line](const Breakpoint& b) { return b.line == line; }) > 0;
    if (!had) {
        Breakpoint b;
        b.line = line;
        now << b;
    }
    set(path, now);
    return !had;
}

Breakpoints BreakpointStore::breakpoints(const QString& path) const
{
    return files_.value(key(path));
}

QString debugClassName(const QString& sourceText, const QString& path)
{
    return javatext::qualifiedClassName(sourceText, path);
}
