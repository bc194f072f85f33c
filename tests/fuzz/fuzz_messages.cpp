// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the reading of the compiler's message lines.
//
// The input is cut into lines at LF (each kept with its LF, as read from the
// capture file). Properties: a location has a line number of at least 1 and
// a non-empty path that begins the line; a line's location does not depend on
// its line end; counts are never negative, and the counts of all lines are the
// counts of each line added up (capped at INT_MAX).
#include "toolchain/messages/messages.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

int capped(qint64 v)
{
    return int(std::min<qint64>(v, std::numeric_limits<int>::max()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(bytes), qsizetype(size));
    QStringList lines;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype nl = text.indexOf(u'\n', start);
        const qsizetype end = nl < 0 ? text.size() : nl + 1;
        lines << text.mid(start, end - start);
        start = end;
    }

    qint64 errors = 0, warnings = 0;
    for (const QString& line : lines) {
        const std::optional<MessageLocation> at = parseMessageLine(line);
        if (at) {
            check(at->line >= 1);
            check(!at->path.isEmpty() && line.startsWith(at->path));
        }
        QString bare = line;
        while (bare.endsWith(u'\n') || bare.endsWith(u'\r'))
            bare.chop(1);
        const std::optional<MessageLocation> again = parseMessageLine(bare + QStringLiteral("\r\n"));
        check(at.has_value() == again.has_value());
        if (at)
            check(again->path == at->path && again->line == at->line);

        const MessageSummary one = summarizeMessages({line});
        check(one.errors >= 0 && one.warnings >= 0);
        errors += one.errors;
        warnings += one.warnings;
    }
    const MessageSummary all = summarizeMessages(lines);
    check(all.errors == capped(errors) && all.warnings == capped(warnings));
    check(!summaryText(all).isEmpty());
    return 0;
}
