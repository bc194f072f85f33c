// SPDX-License-Identifier: GPL-3.0-or-later
// Preparing the text of a Java source for the classification's pattern
// search (see prepareJavaText in toolchain/classify/classify.h): the source is read in
// pieces, and each piece is prepared as soon as it is read, while it is still
// in the processor's caches.
#pragma once

#include <QIODevice>

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

namespace classifyprep {

// The white characters of the preparation and of the class-name walk.
inline bool isJavaWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

// An uninitialised byte buffer for a whole source and its prepared text;
// data() is null when there is not enough memory.
// Large ones are asked for in huge pages where the system offers them: a
// fresh buffer of a hundred megabytes otherwise costs tens of thousands of
// page faults, more than the preparation itself.
class ByteBuffer {
public:
    explicit ByteBuffer(size_t size);
    ~ByteBuffer();
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return data_; }

private:
    std::unique_ptr<char[]> heap_;
    char* map_ = nullptr;
    size_t mapSize_ = 0;
    char* data_ = nullptr;
};

// What the prepared text may need beyond the length of the source: whole
// blocks of 16 bytes are stored at a time, and may reach past its end.
constexpr size_t outSlack = 16;

// Pieces of this size keep the text being read in the processor's caches.
constexpr size_t readPiece = 256 * 1024;

// What prepare() returns when the text could not be read or held.
constexpr size_t notPrepared = std::string_view::npos;

// Reads `size` bytes of `in` in pieces of `piece` bytes and prepares them
// into `out` (of size + outSlack bytes), CR LF pairs read as LF. After each
// piece calls onPiece(length prepared so far, whether it was the last piece).
// Returns the length of the prepared text, or notPrepared on a read error or
// when memory runs out.
size_t prepare(QIODevice& in, qint64 size, size_t piece, char* out,
               const std::function<void(size_t length, bool last)>& onPiece);

}  // namespace classifyprep
