// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/unix2dos.h"

#include "editor/diskfile.h"
#include "platform/host.h"

#include <QDir>
#include <QFile>

#include <memory>
#include <new>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Copies the bytes before the next CR or LF from p to out and returns how many
// were copied. May write up to 15 bytes past the copied ones (never past
// out + 2 * (end - p)), which the caller's output bound allows.
inline std::size_t copyText(const char* p, const char* end, char* out)
{
    const char* start = p;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v);
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (mask != 0)
            return std::size_t(p - start) + std::size_t(__builtin_ctz(unsigned(mask)));
        p += 16;
        out += 16;
    }
#endif
    while (p < end && *p != '\r' && *p != '\n')
        *out++ = *p++;
    return std::size_t(p - start);
}

inline char* putCrLf(char* out)
{
    out[0] = '\r';
    out[1] = '\n';
    return out + 2;
}

}  // namespace

char* LineEndConverter::convert(const char* in, std::size_t n, char* out)
{
    const char* p = in;
    const char* const end = in + n;

    // A CR that ended the previous piece: its LF, if any, is the first byte here.
    if (pendingCr_ && p < end) {
        out = putCrLf(out);
        if (*p == '\n')
            ++p;
        pendingCr_ = false;
    }

    while (p < end) {
        const std::size_t k = copyText(p, end, out);
        p += k;
        out += k;
        if (p == end)
            break;
        if (*p == '\r') {
            ++p;
            if (p == end) {
                pendingCr_ = true;
                break;
            }
            if (*p == '\n')
                ++p;  // CR LF: one line end
        } else {
            ++p;  // a LF alone
        }
        out = putCrLf(out);
    }
    return out;
}

char* LineEndConverter::finish(char* out)
{
    if (pendingCr_)
        out = putCrLf(out);
    pendingCr_ = false;
    return out;
}

QByteArray unix2dos(QByteArrayView in)
{
    const auto n = std::size_t(in.size());
    if (n == 0)
        return {};
    QByteArray out(qsizetype(LineEndConverter::outputBound(n)), Qt::Uninitialized);
    LineEndConverter conv;
    char* const begin = out.data();
    char* e = conv.convert(in.data(), n, begin);
    e = conv.finish(e);
    out.resize(e - begin);
    return out;
}

namespace {

QString failure(const QString& path, const QString& what, const QString& todo, bool untouched = true)
{
    return QStringLiteral("%1 was not converted: %2.\n%3%4")
        .arg(QDir::toNativeSeparators(path), what, untouched ? QStringLiteral("The file is unchanged. ") : QString(),
             todo);
}

// What went wrong in a conversion, for failure().
struct Failure {
    QString what;
    QString todo;
    bool untouched = true;
};

// The buffers of a conversion: a piece read and the same piece converted.
struct Buffers {
    static constexpr std::size_t chunk = std::size_t(1) << 20;
    std::unique_ptr<char[]> in{new char[chunk]};
    std::unique_ptr<char[]> out{new char[LineEndConverter::outputBound(chunk)]};
};

// Converts all of `in` into `out` piece by piece and commits it; on failure
// `out` is given up.
std::optional<Failure> convertInto(QFile& in, SafeFileWriter& out, Buffers& buf)
{
    const QString diskHint = QStringLiteral(
        "Make sure the disk has free space and the folder is writable, then try again.");
    LineEndConverter conv;
    for (;;) {
        const qint64 got = in.read(buf.in.get(), qint64(Buffers::chunk));
        if (got < 0) {
            out.cancel();
            return Failure{QStringLiteral("reading the file failed (%1)").arg(in.errorString()),
                           QStringLiteral("Check that the file can be read, then try again.")};
        }
        if (got == 0)
            break;
        char* e = conv.convert(buf.in.get(), std::size_t(got), buf.out.get());
        if (!out.write(buf.out.get(), e - buf.out.get())) {
            const QString why = out.errorString();
            out.cancel();
            return Failure{QStringLiteral("writing the converted file failed (%1)").arg(why), diskHint};
        }
    }
    in.close();
    char* e = conv.finish(buf.out.get());
    if (!out.write(buf.out.get(), e - buf.out.get()) || !out.commit()) {
        const QString why = out.errorString();
        const bool untouched = out.targetUntouched();
        out.cancel();
        return Failure{QStringLiteral("writing the converted file failed (%1)").arg(why), diskHint, untouched};
    }
    return std::nullopt;
}

}  // namespace

Unix2DosResult convertFileToDos(const QString& path, QString* error)
{
    auto fail = [&](const QString& what, const QString& todo, bool untouched = true) {
        if (error)
            *error = failure(path, what, todo, untouched);
        return Unix2DosResult::Failed;
    };

    // Only a regular file, never with a blocking open.
    QFile in;
    QString what;
    switch (host::openRegular(path, in, &what)) {
    case host::FileKind::Regular: break;
    case host::FileKind::NotRegular:
        return fail(QStringLiteral("it is %1, not a regular file").arg(what),
                    QStringLiteral("Unix2Dos converts only regular files."));
    case host::FileKind::Missing:
    case host::FileKind::Unreadable: return Unix2DosResult::NotReadable;
    }

    try {
        Buffers buf;
        // The converted bytes go to a new file beside the old one, which takes
        // its place (keeping its links, owner and mode) only when everything
        // was written.
        SafeFileWriter out(path);
        if (!out.open())
            return fail(QStringLiteral("the converted copy cannot be created (%1)").arg(out.errorString()),
                        QStringLiteral("Make sure the file and its folder are writable, then try again."));
        if (const std::optional<Failure> f = convertInto(in, out, buf))
            return fail(f->what, f->todo, f->untouched);
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("there is not enough memory"),
                    QStringLiteral("Close other windows or programs, then try again."));
    }
    return Unix2DosResult::Converted;
}
