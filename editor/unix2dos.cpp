// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/unix2dos.h"

#include "editor/diskfile.h"
#include "platform/host.h"

#include <QDir>
#include <QFile>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <tmmintrin.h>
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

#if defined(__SSE2__)
// For each set of LF positions in 8 bytes: the shuffle that spreads the bytes
// apart with a gap before each LF, the CR bytes that fill the gaps, and how
// many bytes come out.
struct SpreadTable {
    alignas(16) unsigned char index[256][16];
    alignas(16) unsigned char cr[256][16];
    unsigned char count[256];
    SpreadTable()
    {
        for (unsigned m = 0; m < 256; ++m) {
            unsigned n = 0;
            for (unsigned i = 0; i < 8; ++i) {
                if (m >> i & 1) {
                    index[m][n] = 0x80;
                    cr[m][n++] = '\r';
                }
                index[m][n] = static_cast<unsigned char>(i);
                cr[m][n++] = 0;
            }
            count[m] = static_cast<unsigned char>(n);
            for (; n < 16; ++n) {
                index[m][n] = 0x80;
                cr[m][n] = 0;
            }
        }
    }
};

const SpreadTable& spreadTable()
{
    static const SpreadTable table;
    return table;
}

bool canSpread()
{
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}

// Converts the blocks of 16 bytes from p on whose line ends are lone LFs or
// whole CR LF pairs, and stops before the first other one, or when fewer than
// 16 bytes are left. A block never ends with a CR it took, so what follows is
// never the LF of a CR already passed. Writes at most 2 bytes per byte taken.
__attribute__((target("ssse3"))) void spreadLines(const char*& p, const char* end, char*& out)
{
    const SpreadTable& t = spreadTable();
    const __m128i crs = _mm_set1_epi8('\r');
    const __m128i lfs = _mm_set1_epi8('\n');
    const __m128i eight = _mm_set1_epi8(8);
    const char* r = p;
    char* w = out;
    while (end - r >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        const unsigned lf = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lfs)));
        const unsigned cr = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, crs)));
        if (cr != 0) {
            // Only CR LF pairs inside the block: it is copied as it is.
            if (lf != ((cr << 1) & 0xFFFF) || (cr & 0x8000) != 0)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
            w += 16;
        } else if (lf == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), v);
            w += 16;
        } else {
            const unsigned lo = lf & 0xFF, hi = lf >> 8;
            const __m128i loIndex = _mm_load_si128(reinterpret_cast<const __m128i*>(t.index[lo]));
            const __m128i loCr = _mm_load_si128(reinterpret_cast<const __m128i*>(t.cr[lo]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), _mm_or_si128(_mm_shuffle_epi8(v, loIndex), loCr));
            w += t.count[lo];
            const __m128i hiIndex = _mm_add_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(t.index[hi])),
                                                 eight);
            const __m128i hiCr = _mm_load_si128(reinterpret_cast<const __m128i*>(t.cr[hi]));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), _mm_or_si128(_mm_shuffle_epi8(v, hiIndex), hiCr));
            w += t.count[hi];
        }
        r += 16;
    }
    p = r;
    out = w;
}
#endif

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
#if defined(__SSE2__)
        if (canSpread()) {
            spreadLines(p, end, out);
            if (p == end)
                break;
        }
#endif
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

// One piece of the file: the bytes read and the same bytes converted.
struct Piece {
    static constexpr std::size_t chunk = std::size_t(1) << 20;
    std::unique_ptr<char[]> in{new char[chunk]};
    std::unique_ptr<char[]> out{new char[LineEndConverter::outputBound(chunk)]};
    std::size_t size = 0;  // converted bytes in `out`
    bool last = false;     // the file's end, or a failure to read it
    std::optional<Failure> failure;
};

// The pieces between the thread that reads and converts them and the one that
// writes them, so that the disk is written while the next pieces are made.
// Piece k is made in slot k % kSlots; it is the maker's until it is handed over
// and the writer's until it is given back.
class Pieces {
public:
    static constexpr std::size_t kSlots = 3;
    Piece slot[kSlots];

    // The maker waits for the slot of piece k; false once the writer gave up.
    bool waitToMake(std::size_t k)
    {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return k < given_ + kSlots || stopped_; });
        return !stopped_;
    }
    void made(std::size_t k)
    {
        const std::lock_guard lock(m_);
        made_ = k + 1;
        cv_.notify_all();
    }
    void waitToWrite(std::size_t k)
    {
        std::unique_lock lock(m_);
        cv_.wait(lock, [&] { return k < made_; });
    }
    void written(std::size_t k)
    {
        const std::lock_guard lock(m_);
        given_ = k + 1;
        cv_.notify_all();
    }
    void stop()
    {
        const std::lock_guard lock(m_);
        stopped_ = true;
        cv_.notify_all();
    }

private:
    std::mutex m_;
    std::condition_variable cv_;
    std::size_t made_ = 0, given_ = 0;
    bool stopped_ = false;
};

// Reads `in` piece by piece and converts each, until its end or a failure.
void makePieces(QFile& in, Pieces& pieces)
{
    LineEndConverter conv;
    for (std::size_t k = 0;; ++k) {
        if (!pieces.waitToMake(k))
            return;
        Piece& p = pieces.slot[k % Pieces::kSlots];
        const qint64 got = in.read(p.in.get(), qint64(Piece::chunk));
        if (got < 0) {
            p.failure = Failure{QStringLiteral("reading the file failed (%1)").arg(in.errorString()),
                                QStringLiteral("Check that the file can be read, then try again.")};
            p.last = true;
        } else if (got == 0) {
            p.size = std::size_t(conv.finish(p.out.get()) - p.out.get());
            p.last = true;
        } else {
            p.size = std::size_t(conv.convert(p.in.get(), std::size_t(got), p.out.get()) - p.out.get());
        }
        pieces.made(k);
        if (p.last)
            return;
    }
}

// Writes the pieces made from `in` to `out` as they come and commits it; on
// failure `out` is given up.
std::optional<Failure> convertInto(QFile& in, SafeFileWriter& out, Pieces& pieces)
{
    const QString diskHint = QStringLiteral(
        "Make sure the disk has free space and the folder is writable, then try again.");
    std::optional<Failure> failure;
    std::thread maker(makePieces, std::ref(in), std::ref(pieces));
    for (std::size_t k = 0;; ++k) {
        pieces.waitToWrite(k);
        Piece& p = pieces.slot[k % Pieces::kSlots];
        if (p.failure) {
            failure = p.failure;
            break;
        }
        if (!out.write(p.out.get(), qint64(p.size))) {
            failure = Failure{QStringLiteral("writing the converted file failed (%1)").arg(out.errorString()),
                              diskHint};
            pieces.stop();
            break;
        }
        pieces.written(k);
        if (p.last)
            break;
    }
    maker.join();
    in.close();
    if (!failure && !out.commit())
        failure = Failure{QStringLiteral("writing the converted file failed (%1)").arg(out.errorString()), diskHint,
                          out.targetUntouched()};
    if (failure)
        out.cancel();
    return failure;
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
        Pieces pieces;
        // The converted bytes go to a new file beside the old one, which takes
        // its place (keeping its links, owner and mode) only when everything
        // was written.
        SafeFileWriter out(path);
        if (!out.open())
            return fail(QStringLiteral("the converted copy cannot be created (%1)").arg(out.errorString()),
                        QStringLiteral("Make sure the file and its folder are writable, then try again."));
        if (const std::optional<Failure> f = convertInto(in, out, pieces))
            return fail(f->what, f->todo, f->untouched);
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("there is not enough memory"),
                    QStringLiteral("Close other windows or programs, then try again."));
    } catch (const std::system_error& e) {
        return fail(QStringLiteral("the conversion could not be started (%1)").arg(QString::fromLocal8Bit(e.what())),
                    QStringLiteral("Close other windows or programs, then try again."));
    }
    return Unix2DosResult::Converted;
}
