// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows1252.h"

namespace {

// The characters of 0x80 to 0x9F; an unassigned byte has the C1 control of
// the same value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

bool isUnassignedWindows1252(unsigned char byte)
{
    return byte >= 0x80 && byte < 0xA0 && kHigh[byte - 0x80] == byte;
}

int windows1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int k = 0; k < 32; ++k) {
        if (kHigh[k] == c)
            return 0x80 + k;
    }
    return -1;
}

QString decodeWindows1252(const QByteArray& bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return s;
}

bool encodeWindows1252(const QString& text, QByteArray* out)
{
    out->resize(text.size());
    char* p = out->data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = windows1252Byte(text[i].unicode());
        if (b < 0)
            return false;
        p[i] = static_cast<char>(b);
    }
    return true;
}
