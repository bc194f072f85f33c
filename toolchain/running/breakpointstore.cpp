// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/breakpointstore.h"

#include "platform/nativepath.h"

#include <QDir>
#include <QFileInfo>

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

namespace {

// Reads Java source text token by token, skipping white space and comments.
class SourceWords {
public:
    explicit SourceWords(const QString& text) : t_(text) {}

    // The next identifier, or the next single character ('.', ';', ...);
    // empty at the end of the text.
    QString next()
    {
        skipGaps();
        if (i_ >= t_.size())
            return QString();
        const qsizetype start = i_;
        if (!identifierChar(t_[i_]))
            return QString(t_[i_++]);
        while (i_ < t_.size() && identifierChar(t_[i_]))
            ++i_;
        return t_.mid(start, i_ - start);
    }

private:
    static bool identifierChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$'; }

    void skipGaps()
    {
        while (i_ < t_.size()) {
            if (t_[i_].isSpace() || t_[i_] == QChar(0xFEFF)) {
                ++i_;
            } else if (t_.mid(i_, 2) == u"//") {
                const qsizetype end = t_.indexOf(u'\n', i_);
                i_ = end < 0 ? t_.size() : end + 1;
            } else if (t_.mid(i_, 2) == u"/*") {
                const qsizetype end = t_.indexOf(u"*/", i_ + 2);
                i_ = end < 0 ? t_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    const QString& t_;
    qsizetype i_ = 0;
};

}  // namespace

QString debugClassName(const QString& sourceText, const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    SourceWords words(sourceText);
    if (words.next() != u"package")
        return base;
    QString package;
    for (QString w = words.next(); !w.isEmpty() && w != u";"; w = words.next())
        package += w;
    return package.isEmpty() ? base : package + u'.' + base;
}
