// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: the line-end conversion of the "Unix2Dos" command.
//
// Properties: no LF without a CR before it and no CR without a LF after it;
// no line is lost (as many CR LF as the input had line ends); converting the
// output again changes nothing; the output is at most twice
// the input; the result equals a plain reference of the rules; the streaming
// converter, fed in pieces (sizes from byte 0) into blocks of exactly
// outputBound bytes, gives the same bytes.
#include "editor/unix2dos.h"

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

// Every line end (CR LF, a lone LF, a lone CR) becomes CR LF; nothing else changes.
std::string reference(const char* p, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') {
            out += "\r\n";
            ++i;
        } else if (p[i] == '\r' || p[i] == '\n') {
            out += "\r\n";
        } else {
            out.push_back(p[i]);
        }
    }
    return out;
}

// Number of line ends (CR LF counts once).
size_t lineEnds(const char* p, size_t n)
{
    size_t count = 0;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        if (p[i] == '\r' || p[i] == '\n')
            ++count;
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const auto* data = reinterpret_cast<const char*>(bytes);
    const QByteArrayView in(data, qsizetype(size));

    const QByteArray out = unix2dos(in);
    check(out.size() <= 2 * in.size());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == '\n')
            check(i > 0 && out[i - 1] == '\r');
        if (out[i] == '\r')
            check(i + 1 < out.size() && out[i + 1] == '\n');
    }
    check(lineEnds(out.constData(), size_t(out.size())) == lineEnds(data, size));
    check(unix2dos(out) == out);
    const std::string expected = reference(data, size);
    check(out == QByteArrayView(expected.data(), qsizetype(expected.size())));

    // The same conversion in pieces.
    if (size > 0) {
        const size_t step = 1 + bytes[0] % 32;
        QByteArray streamed;
        LineEndConverter conv;
        for (size_t at = 0; at < size; at += step) {
            const size_t n = std::min(step, size - at);
            std::unique_ptr<char[]> piece(new char[n]);  // exactly the piece
            std::memcpy(piece.get(), data + at, n);
            std::unique_ptr<char[]> room(new char[LineEndConverter::outputBound(n)]);
            char* end = conv.convert(piece.get(), n, room.get());
            check(end >= room.get() && size_t(end - room.get()) <= LineEndConverter::outputBound(n));
            streamed.append(room.get(), end - room.get());
        }
        std::unique_ptr<char[]> tail(new char[2]);
        char* end = conv.finish(tail.get());
        check(end >= tail.get() && end - tail.get() <= 2);
        streamed.append(tail.get(), end - tail.get());
        check(streamed == out);
    }
    return 0;
}
