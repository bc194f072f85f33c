// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the wildcard match of file names used by the tool search.
//
// Input: the pattern, a NUL byte, the name (up to the next NUL). Each string
// is copied into a heap block of exactly its size (with its NUL), so a read
// past its end is caught. Properties: a pattern without wildcards matches
// itself; ASCII letters match whatever their case; the QString form agrees
// with the byte form on valid UTF-8.
#include "config/search.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

std::unique_ptr<char[]> exact(const std::string& s)
{
    std::unique_ptr<char[]> p(new char[s.size() + 1]);
    std::memcpy(p.get(), s.c_str(), s.size() + 1);
    return p;
}

std::string swapCase(std::string s)
{
    for (char& c : s) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return s;
}

std::string lowerAscii(std::string s)
{
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return s;
}

int match(const std::string& pat, const std::string& name)
{
    const auto p = exact(pat);
    const auto n = exact(name);
    const int r = toolsfind::FnMatch(p.get(), n.get());
    check(r == 0 || r == 1);
    return r;
}

bool validUtf8(const std::string& s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size())).toUtf8() == QByteArray(s.data(), qsizetype(s.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string all(reinterpret_cast<const char*>(bytes), size);
    const size_t cut = all.find('\0');
    const std::string pat = all.substr(0, cut);
    std::string name = cut == std::string::npos ? std::string() : all.substr(cut + 1);
    name = name.substr(0, name.find('\0'));

    const int r = match(pat, name);
    check(match(swapCase(pat), name) == r);
    check(match(pat, swapCase(name)) == r);

    if (pat.find_first_of("*?") == std::string::npos) {
        check(match(pat, pat) == 1);
        check(match(pat, swapCase(pat)) == 1);
        // Without wildcards the match is an equality regardless of ASCII case.
        check(r == (lowerAscii(pat) == lowerAscii(name) ? 1 : 0));
    }

    if (validUtf8(pat) && validUtf8(name))
        check(toolsfind::FnMatch(QString::fromUtf8(pat.data(), qsizetype(pat.size())),
                                 QString::fromUtf8(name.data(), qsizetype(name.size()))) == r);
    return 0;
}
