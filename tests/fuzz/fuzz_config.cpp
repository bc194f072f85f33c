// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the brewpad.cfg record reader.
//
// The bytes are read where libFuzzer keeps them, a heap block of exactly the
// input's size, so any read past the end of the file is an AddressSanitizer
// report. Each record must be accepted exactly when its length is 0..4095 and
// its text lies inside the file, and must give the text it holds.
#include "config/cfgfile.h"

#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

qint32 lengthAt(const QByteArray& data, qsizetype pos)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData() + pos);
    return qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    const qsizetype n = data.size();

    // The records from the start, as the program reads the file, and on until
    // one is refused.
    qsizetype pos = 0;
    for (;;) {
        const qsizetype before = pos;
        const std::optional<QString> record = cfgfile::readRecord(data, pos);
        const bool fits = n - before >= 4;
        const qint32 len = fits ? lengthAt(data, before) : -1;
        const bool valid = fits && len >= 0 && len <= cfgfile::MaxRecordLength && n - before - 4 >= len;
        check(record.has_value() == valid);
        if (!record) {
            check(pos == before);  // a refused record leaves the position alone
            break;
        }
        check(pos == before + 4 + len);
        check(pos <= n);
        check(*record == QFile::decodeName(data.mid(before + 4, len)));
        // What the writer makes of the text reads back as the same text.
        const QByteArray again = cfgfile::encodeRecord(*record);
        if (again.size() - 4 <= cfgfile::MaxRecordLength) {
            qsizetype p = 0;
            const std::optional<QString> back = cfgfile::readRecord(again, p);
            check(back && *back == *record && p == again.size());
        }
    }

    // Positions outside the file are refused and left alone.
    for (qsizetype start : {qsizetype(-1), qsizetype(-4), n - 3, n, n + 1}) {
        if (start >= 0 && start <= n - 4)
            continue;
        qsizetype p = start;
        check(!cfgfile::readRecord(data, p) && p == start);
    }
    return 0;
}
