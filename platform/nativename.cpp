// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/nativename.h"

#include <algorithm>

namespace nativename {

namespace {

constexpr char16_t OddFirst = 0xDC80;  // U+DC80 + byte, for bytes 0x80..0xFF
constexpr char16_t OddLast = 0xDCFF;

bool isOdd(char16_t c)
{
    return c >= OddFirst && c <= OddLast;
}

// Calls visit(odd, text) for each run of the name: an odd byte's character
// (odd true) or a character of text, a pair of surrogates kept together.
template <typename Visit>
void forEachPart(QStringView name, Visit visit)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && QChar::isLowSurrogate(name[i + 1].unicode())) {
            visit(false, name.sliced(i, 2));
            ++i;
        } else {
            visit(isOdd(c), name.sliced(i, 1));
        }
    }
}
bool isContinuation(uchar b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at bytes[i] (a byte of 0x80 or more),
// and its code point; 0 when none starts there. Valid means shortest form, no
// surrogates, nothing above U+10FFFF.
int sequenceAt(QByteArrayView bytes, qsizetype i, char32_t* cp)
{
    const uchar lead = uchar(bytes[i]);
    int len = 0;
    uchar low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        len = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        len = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        len = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + len > bytes.size())
        return 0;
    const uchar second = uchar(bytes[i + 1]);
    if (second < low || second > high)
        return 0;
    char32_t v = lead & (0xFF >> (len + 1));
    for (int k = 1; k < len; ++k) {
        const uchar b = uchar(bytes[i + k]);
        if (!isContinuation(b))
            return 0;
        v = (v << 6) | (b & 0x3F);
    }
    *cp = v;
    return len;
}

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

const QString UrlStart = QStringLiteral("file://");

// "%E9" for the odd byte 0xE9.
QString percentOf(char16_t odd)
{
    return QLatin1Char('%') + QString::number(int(odd - OddFirst + 0x80), 16).toUpper();
}

}  // namespace

QString decode(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const uchar b = uchar(bytes[i]);
        char32_t cp = 0;
        const int len = b < 0x80 ? 1 : sequenceAt(bytes, i, &cp);
        if (len == 1)
            out += QChar(b);
        else if (len == 0)
            out += QChar(char16_t(OddFirst + (b - 0x80)));
        else
            out += QChar::fromUcs4(cp);
        i += std::max(len, 1);
    }
    return out;
}

QByteArray encode(QStringView name)
{
    QByteArray out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && QChar::isLowSurrogate(name[i + 1].unicode())) {
            appendUtf8(out, QChar::surrogateToUcs4(c, name[i + 1].unicode()));
            ++i;
        } else if (isOdd(c)) {
            out += char(c - OddFirst + 0x80);
        } else if (QChar::isSurrogate(c)) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool hasOddBytes(QStringView name)
{
    bool found = false;
    forEachPart(name, [&](bool odd, QStringView) { found = found || odd; });
    return found;
}

QString shown(QStringView name)
{
    QString out;
    out.reserve(name.size());
    forEachPart(name, [&](bool odd, QStringView part) {
        out += odd ? QStringLiteral("\\x") + percentOf(part[0].unicode()).sliced(1) : part.toString();
    });
    return out;
}

QString toText(QStringView name)
{
    if (!hasOddBytes(name))
        return name.toString();
    QString out = UrlStart;
    forEachPart(name, [&](bool odd, QStringView part) {
        if (odd)
            out += percentOf(part[0].unicode());
        else if (part == QLatin1String("%"))
            out += QStringLiteral("%25");
        else
            out += part;
    });
    return out;
}

QString fromText(QStringView text)
{
    if (!text.startsWith(UrlStart) || !text.sliced(UrlStart.size()).startsWith(QLatin1Char('/')))
        return text.toString();
    QByteArray bytes;
    qsizetype i = UrlStart.size();
    while (i < text.size()) {
        const qsizetype pc = text.indexOf(QLatin1Char('%'), i);
        const qsizetype stop = pc < 0 ? text.size() : pc;
        bytes += encode(text.sliced(i, stop - i));
        i = stop;
        if (pc < 0)
            break;
        const int h = pc + 2 < text.size() ? hexValue(text[pc + 1]) : -1;
        const int l = h >= 0 ? hexValue(text[pc + 2]) : -1;
        if (l < 0) {
            bytes += '%';
            ++i;
            continue;
        }
        bytes += char(h * 16 + l);
        i += 3;
    }
    return decode(bytes);
}

}  // namespace nativename
