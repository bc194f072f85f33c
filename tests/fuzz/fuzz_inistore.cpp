// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the "Brewpad.ini" store.
//
// Each input is written as the store's file in a temporary directory of this
// process. The store reads a few values, sets "Count" in section "MRU" to 8
// (as the recent-file list does at start-up) and flushes. Properties: a fresh
// store reads "8" back; the file's other lines are kept byte for byte, in
// order: either one line changed (the key's), or up to two lines added (the
// key's, and the section's header when there was none), the last line then
// possibly gaining a line end.
#include "app/inistore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

std::vector<QByteArray> linesOf(const QByteArray& all)
{
    std::vector<QByteArray> lines;
    for (qsizetype start = 0; start < all.size();) {
        const qsizetype nl = all.indexOf('\n', start);
        const qsizetype end = nl < 0 ? all.size() : nl + 1;
        lines.push_back(all.mid(start, end - start));
        start = end;
    }
    return lines;
}

// `after` is `before` kept as it was; the file's last line may have gained a
// line end.
bool kept(const QByteArray& before, const QByteArray& after, bool last)
{
    if (before == after)
        return true;
    return last && !before.endsWith('\n') &&
           (after == before + "\r\n" || after == before + "\n" || after == before + "\r");
}

bool isCountLine(const QByteArray& line)
{
    QByteArray c = line;
    while (c.endsWith('\n') || c.endsWith('\r'))
        c.chop(1);
    const qsizetype eq = c.indexOf('=');
    return eq > 0 && c.first(eq).trimmed().toLower() == "count" && c.sliced(eq + 1).trimmed() == "8";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brewpad-fuzz-XXXXXX"));
    check(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Brewpad.ini"));
    const QByteArray original(reinterpret_cast<const char*>(bytes), qsizetype(size));
    {
        QFile f(path);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(f.write(original) == original.size());
    }

    {
        IniStore store(path);
        (void)store.value(QStringLiteral("MRU"), QStringLiteral("Count"));
        (void)store.value(QStringLiteral("MRU"), QStringLiteral("MRU0"));
        (void)store.value(QStringLiteral("Settings"), QStringLiteral("Font"));
        check(store.setValue(QStringLiteral("MRU"), QStringLiteral("Count"), QStringLiteral("8")));
        check(store.value(QStringLiteral("MRU"), QStringLiteral("Count")) == QStringLiteral("8"));
        check(store.flush());
        check(!store.hasPendingChanges());
    }

    QByteArray result;
    {
        QFile f(path);
        check(f.open(QIODevice::ReadOnly));
        result = f.readAll();
    }
    check(IniStore(path).value(QStringLiteral("MRU"), QStringLiteral("Count")) == QStringLiteral("8"));

    const std::vector<QByteArray> a = linesOf(original);
    const std::vector<QByteArray> b = linesOf(result);
    const size_t n = a.size();
    auto keptAt = [&](size_t i, size_t j) { return kept(a[i], b[j], i + 1 == n); };
    if (b.size() == n) {
        // At most one line changed, and that one is the key's.
        size_t changed = 0;
        for (size_t i = 0; i < n; ++i) {
            if (!keptAt(i, i)) {
                ++changed;
                check(isCountLine(b[i]));
            }
        }
        check(changed <= 1);
    } else if (b.size() == n + 1) {
        // One line added: the key's, after the section's header or last key.
        size_t i = 0;
        while (i < n && keptAt(i, i))
            ++i;
        check(isCountLine(b[i]));
        for (; i < n; ++i)
            check(keptAt(i, i + 1));
    } else {
        // A new section at the end.
        check(b.size() == n + 2);
        for (size_t i = 0; i < n; ++i)
            check(keptAt(i, i));
        check(isCountLine(b[n + 1]));
        check(b[n].startsWith("[MRU]"));
    }
    return 0;
}
