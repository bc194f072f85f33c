// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the classification's text preparation and pattern search.
//
// Input: byte 0 gives the length of the base name (0..15) taken from the
// bytes after byte 1, byte 1 the piece size (1..64) of a second preparation;
// the rest is the source text. The preparation is compared with a plain
// reference of its rules, and must not depend on the piece size.
#include "toolchain/classify/classify.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool white(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// The rules, one character at a time over the whole text.
std::string reference(const char* p, size_t n)
{
    std::string s;
    s.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            continue;  // CR LF is one LF
        s.push_back(p[i]);
    }
    std::string out;
    const size_t m = s.size();
    size_t i = 0;
    while (i < m) {
        if (s[i] == '/' && i + 1 < m && s[i + 1] == '*') {
            const size_t close = m >= 2 ? s.find("*/", i + 2) : std::string::npos;
            if (close == std::string::npos)
                break;
            i = close + 2;
        } else if (s[i] == '/' && i + 1 < m && s[i + 1] == '/') {
            const size_t nl = s.find('\n', i + 2);
            if (nl == std::string::npos)
                break;
            i = nl + 1;
        } else if (white(s[i])) {
            out.push_back(s[i++]);
            while (i < m && white(s[i]))
                ++i;
        } else {
            out.push_back(s[i++]);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 2)
        return 0;
    const auto* data = reinterpret_cast<const char*>(bytes);
    const size_t nameLength = std::min<size_t>(size_t(bytes[0] % 16), size - 2);
    const qsizetype piece = 1 + bytes[1] % 64;
    const QString baseName = QString::fromUtf8(data + 2, qsizetype(nameLength));
    // The text runs to the end of libFuzzer's block: reads past it are caught.
    const QByteArrayView text(data + 2 + nameLength, qsizetype(size - 2 - nameLength));

    const QByteArray prepared = prepareJavaText(text);
    check(prepared.size() <= text.size());
    const std::string expected = reference(text.data(), size_t(text.size()));
    check(prepared.size() == qsizetype(expected.size()) &&
          std::equal(expected.begin(), expected.end(), prepared.constBegin()));
    check(prepareJavaText(text, piece) == prepared);

    const ScanResult r = scanJavaText(text, baseName);
    check(r.verdict >= 0 && r.verdict <= 5);
    return 0;
}
