// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the readers of Java project files (.jpr).
//
// Properties: no entry holds a LF; no compile entry is empty or starts with
// '#'; no scan path is empty or starts with a space or tab; the scan paths are
// the compile entries with their leading blanks removed, dropping those left
// empty, in the same order.
#include "project/projfile.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray contents = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));

    const QStringList compile = projectCompileEntries(contents);
    const QStringList scan = projectScanPaths(contents);

    for (const QString& e : compile) {
        check(!e.isEmpty() && !e.contains(u'\n'));
        check(!e.startsWith(u'#'));
    }
    for (const QString& p : scan) {
        check(!p.isEmpty() && !p.contains(u'\n'));
        check(!p.startsWith(u' ') && !p.startsWith(u'\t'));
    }
    check(scan.size() <= compile.size());

    qsizetype next = 0;
    for (const QString& e : compile) {
        qsizetype i = 0;
        while (i < e.size() && (e[i] == u' ' || e[i] == u'\t'))
            ++i;
        if (i == e.size())
            continue;
        check(next < scan.size() && scan[next] == e.mid(i));
        ++next;
    }
    check(next == scan.size());
    return 0;
}
