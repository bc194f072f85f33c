// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: a fuzz input read as a recipe, byte by byte
// (zeros once it is used up), and the check that aborts on a broken property,
// as libFuzzer and the replay main expect.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Aborts when a property does not hold.
inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

class Recipe {
public:
    Recipe(const uint8_t* p, size_t n) : p_(p), end_(p + n) {}
    // Whether bytes of the input are left.
    bool more() const { return p_ < end_; }
    // The next byte; 0 once the input is used up.
    unsigned byte() { return more() ? *p_++ : 0; }
    // The next two bytes, the first the low one.
    unsigned word() { return byte() | (byte() << 8); }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};
