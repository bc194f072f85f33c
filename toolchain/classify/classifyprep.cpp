// SPDX-License-Identifier: GPL-3.0-or-later
// Preparing the text of Java sources: comments removed, white space
// collapsed, CR LF read as LF.
#include "toolchain/classify/classifyprep.h"

#include "toolchain/classify/classify.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>
#endif

namespace classifyprep {

ByteBuffer::ByteBuffer(size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr size_t huge = size_t(2) << 20;  // the usual huge-page size
    if (size >= huge / 8) {
        mapSize_ = (size + 2 * huge - 1) & ~(huge - 1);
        void* m = mmap(nullptr, mapSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (m != MAP_FAILED) {
            map_ = static_cast<char*>(m);
            // Start at a huge-page boundary, so that every huge page of
            // the buffer lies inside the mapping.
            const uintptr_t at = (reinterpret_cast<uintptr_t>(map_) + huge - 1) & ~uintptr_t(huge - 1);
            data_ = reinterpret_cast<char*>(at);
            madvise(data_, mapSize_ - size_t(data_ - map_), MADV_HUGEPAGE);
            return;
        }
        mapSize_ = 0;
    }
#endif
    heap_.reset(new (std::nothrow) char[size ? size : 1]);
    data_ = heap_.get();
}

ByteBuffer::~ByteBuffer()
{
#if defined(__linux__)
    if (map_)
        munmap(map_, mapSize_);
#endif
}

namespace {

// Each CR LF pair becomes one LF; any other CR stays. `out` holds n bytes;
// returns the length written. `out` may be `in` itself.
size_t joinCrLf(const char* in, size_t n, char* out)
{
    char* w = out;
    const char* r = in;
    const char* end = in + n;
    while (r < end) {
        const char* cr = static_cast<const char*>(std::memchr(r, '\r', size_t(end - r)));
        if (!cr) {
            std::memmove(w, r, size_t(end - r));
            w += end - r;
            break;
        }
        std::memmove(w, r, size_t(cr - r));
        w += cr - r;
        if (!(cr + 1 < end && cr[1] == '\n'))
            *w++ = '\r';
        r = cr + 1;  // a LF after the CR is copied with the next stretch
    }
    return size_t(w - out);
}

// Past the first "*/" whose '*' lies at `from` or later; null when there is
// none before `end`.
const char* blockCommentEnd(const char* from, const char* end)
{
    // '/' is rare inside comments, '*' is not: look for the '/'.
    const char* p = end - from > 1 ? from + 1 : end;
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '/', size_t(end - p)));
        if (!p)
            return nullptr;
        if (p[-1] == '*')
            return p + 1;
        ++p;
    }
    return nullptr;
}

// The preparation proper, on text whose line ends are already LF, fed in
// pieces as the text is read.
//
// Read as an in-place edit, the rules look at the two characters at the
// position i and either remove text after i or move i on by one. The text
// after i is then always the unread rest of the input (a white run keeps its
// first character, and the next step moves past it), so the same result comes
// from reading the input once and writing every character the edit would have
// moved past.
class Preparer {
public:
    // `out` must hold the length of the whole input plus outSlack bytes: the
    // fast path stores whole blocks of 16 bytes and may write past the end.
    static_assert(outSlack >= 16);
    explicit Preparer(char* out) : o_(out), w_(out) {}

    // Prepares the next piece text[0, n). Unless `last`, the piece may end in
    // the middle of a decision: returns how many bytes at its end (0 or 1)
    // must be given again at the front of the next piece.
    size_t run(const char* text, size_t n, bool last);

    size_t length() const { return size_t(w_ - o_); }

private:
    enum class Mode { Text, BlockComment, LineComment, WhiteRun };

    // Each step below reads from `r` in a piece that ends at `end` and returns
    // where reading goes on, or null when the piece is used up; then `keep`
    // holds what run() returns and mode_ where the next piece starts.

    // Finishes what the previous piece left open.
    const char* resume(const char* r, const char* end, bool last, size_t* keep);
    // Past the comment that starts at r ("/*" or "//").
    const char* skipComment(const char* r, const char* end, bool last, size_t* keep);
    // Past a run of white characters whose first one, at r, is kept.
    const char* squeezeWhite(const char* r, const char* end, char*& w);
    // Past the white space at `r`; nullptr when it runs to `end` (to go on in
    // the next piece).
    const char* skipWhite(const char* r, const char* end);

    Mode mode_ = Mode::Text;
    char* const o_;
    char* w_;
};

// The characters from r up to the next place where a rule applies, copied
// one at a time (see copyToRule).
inline const char* copyToRuleTail(const char* r, const char* const end, bool last, char*& out)
{
    char* w = out;
    while (r < end) {
        const char c = *r;
        if (r + 1 < end) {
            const char c1 = r[1];
            if ((c == '/' && (c1 == '*' || c1 == '/')) || (isJavaWhite(c) && isJavaWhite(c1)))
                break;
        } else if (!last && (c == '/' || isJavaWhite(c))) {
            break;  // the decision needs the next character
        }
        *w++ = c;
        ++r;
    }
    out = w;
    return r;
}

#if defined(__SSE2__)
inline __m128i whiteBytes(__m128i v)
{
    return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))),
                        _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
}

// Where a comment starts in the 16 bytes at r: "/*" or "//" (r[16] is read).
inline unsigned commentStarts(__m128i a, __m128i b)
{
    const __m128i slash = _mm_set1_epi8('/');
    return unsigned(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpeq_epi8(a, slash), _mm_or_si128(_mm_cmpeq_epi8(b, _mm_set1_epi8('*')), _mm_cmpeq_epi8(b, slash)))));
}
#endif

// Copies from r up to the next place where a rule applies: "/*", "//", or two
// white characters in a row. Returns that place, where r + 1 < end; or end
// when the piece ends first; or end - 1 when, unless `last`, the piece's last
// character needs the next one for its decision and is left uncopied.
inline const char* copyToRule(const char* r, const char* const end, bool last, char*& out)
{
#if defined(__SSE2__)
    char* w = out;
    while (end - r >= 17) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1));
        const __m128i pairs = _mm_and_si128(whiteBytes(a), whiteBytes(b));
        const unsigned mask = unsigned(_mm_movemask_epi8(pairs)) | commentStarts(a, b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(w), a);
        if (mask != 0) {
            const unsigned k = unsigned(__builtin_ctz(mask));
            out = w + k;
            return r + k;
        }
        r += 16;
        w += 16;
    }
    out = w;
#endif
    return copyToRuleTail(r, end, last, out);
}

#if defined(__SSE2__) && defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define BREWPAD_PACKED_SQUEEZE 1
// For each set of bytes kept of eight: the shuffle that moves them to the
// front, and how many they are.
struct PackTable {
    alignas(16) unsigned char index[256][8];
    unsigned char count[256];
    PackTable()
    {
        for (unsigned m = 0; m < 256; ++m) {
            unsigned n = 0;
            for (unsigned b = 0; b < 8; ++b) {
                if (m >> b & 1)
                    index[m][n++] = static_cast<unsigned char>(b);
            }
            count[m] = static_cast<unsigned char>(n);
            for (; n < 8; ++n)
                index[m][n] = 0x80;
        }
    }
};

const PackTable& packTable()
{
    static const PackTable table;
    return table;
}

bool canPack()
{
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}

// copyToRule, where the white runs inside a block of 16 bytes are squeezed
// in the block itself rather than by the caller: it stops before comments
// only. Sets `inRun` when it stops inside a white run whose first character
// it has written; the rest of the run is the caller's to pass.
__attribute__((target("ssse3"))) const char* copyToRulePacked(const char* r, const char* const end, bool last,
                                                              char*& out, bool& inRun)
{
    const PackTable& t = packTable();
    char* w = out;
    unsigned carry = 0;  // the byte before r was white
    while (end - r >= 17) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1));
        const unsigned white = unsigned(_mm_movemask_epi8(whiteBytes(a)));
        const unsigned comments = commentStarts(a, b);
        const unsigned upTo = comments ? unsigned(__builtin_ctz(comments)) : 16;
        const unsigned keep = ~(white & ((white << 1) | carry)) & ((1u << upTo) - 1);
        const __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t.index[keep & 0xFF]));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(w), _mm_shuffle_epi8(a, lo));
        w += t.count[keep & 0xFF];
        const __m128i hi = _mm_add_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(t.index[keep >> 8])),
                                        _mm_set1_epi8(8));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(w), _mm_shuffle_epi8(a, hi));
        w += t.count[keep >> 8];
        if (comments) {
            out = w;
            return r + upTo;
        }
        carry = white >> 15 & 1;
        r += 16;
    }
    out = w;
    if (carry && isJavaWhite(*r)) {
        inRun = true;
        return r;
    }
    return copyToRuleTail(r, end, last, out);
}
#endif

inline const char* Preparer::resume(const char* r, const char* end, bool last, size_t* keep)
{
    const Mode mode = mode_;
    mode_ = Mode::Text;
    switch (mode) {
    case Mode::BlockComment:
        // A '*' kept from the previous piece stands at r[0].
        if (const char* past = blockCommentEnd(r, end))
            return past;
        mode_ = Mode::BlockComment;
        *keep = !last && end > r && end[-1] == '*' ? 1 : 0;
        return nullptr;
    case Mode::LineComment:
        if (const void* nl = std::memchr(r, '\n', size_t(end - r)))
            return static_cast<const char*>(nl) + 1;
        mode_ = Mode::LineComment;
        return nullptr;
    case Mode::WhiteRun: return skipWhite(r, end);
    case Mode::Text: break;
    }
    return r;
}

inline const char* Preparer::skipComment(const char* r, const char* end, bool last, size_t* keep)
{
    if (r[1] == '*') {
        if (const char* past = blockCommentEnd(r + 2, end))
            return past;
        // Unclosed here: at the end of the text the rest goes; otherwise keep
        // a last '*' that may begin the "*/".
        mode_ = Mode::BlockComment;
        *keep = !last && end - r >= 3 && end[-1] == '*' ? 1 : 0;
        return nullptr;
    }
    if (const void* nl = std::memchr(r + 2, '\n', size_t(end - r - 2)))
        return static_cast<const char*>(nl) + 1;
    mode_ = Mode::LineComment;
    return nullptr;
}

inline const char* Preparer::skipWhite(const char* r, const char* end)
{
    while (r < end && isJavaWhite(*r))
        ++r;
    if (r < end)
        return r;
    mode_ = Mode::WhiteRun;
    return nullptr;
}

inline const char* Preparer::squeezeWhite(const char* r, const char* end, char*& w)
{
    *w++ = *r++;
    return skipWhite(r, end);
}

size_t Preparer::run(const char* text, size_t n, bool last)
{
    const char* const end = text + n;
    char* w = w_;
    size_t keep = 0;
    const char* r = resume(text, end, last, &keep);
#if defined(BREWPAD_PACKED_SQUEEZE)
    const bool packed = canPack();
#endif
    while (r) {
#if defined(BREWPAD_PACKED_SQUEEZE)
        if (packed) {
            bool inRun = false;
            r = copyToRulePacked(r, end, last, w, inRun);
            if (inRun) {
                r = skipWhite(r, end);
                continue;
            }
        } else
#endif
            r = copyToRule(r, end, last, w);
        if (end - r <= 1) {
            keep = size_t(end - r);  // r == end - 1: its decision needs the next piece
            break;
        }
        // A rule applies at r (and r + 1 < end).
        r = *r == '/' ? skipComment(r, end, last, &keep) : squeezeWhite(r, end, w);
    }
    w_ = w;
    return keep;
}

}  // namespace

size_t prepare(QIODevice& in, qint64 size, size_t piece, char* out,
               const std::function<void(size_t length, bool last)>& onPiece)
{
    piece = std::max<size_t>(piece, 1);
    // Room for a byte kept by the preparation and a CR kept by the joining.
    ByteBuffer buffer(std::min<size_t>(piece, size_t(std::max<qint64>(size, 1))) + 2);
    char* const buf = buffer.data();
    if (!buf)
        return notPrepared;
    Preparer preparer(out);
    size_t carried = 0;
    qint64 left = size;
    for (bool last = false; !last;) {
        const qint64 want = std::min<qint64>(left, qint64(piece));
        qint64 got = 0;
        while (got < want) {
            const qint64 r = in.read(buf + carried + got, want - got);
            if (r < 0)
                return notPrepared;
            if (r == 0)
                break;  // shorter than announced
            got += r;
        }
        left -= got;
        last = left == 0 || got < want;

        size_t n = carried + size_t(got);
        bool keptCr = false;
        if (std::memchr(buf, '\r', n)) {
            n = joinCrLf(buf, n, buf);
            // A CR at the end may pair with a LF at the start of the next piece.
            if (!last && n && buf[n - 1] == '\r') {
                keptCr = true;
                --n;
            }
        }
        const size_t keep = preparer.run(buf, n, last);
        onPiece(preparer.length(), last);
        std::memmove(buf, buf + n - keep, keep);
        if (keptCr)
            buf[keep] = '\r';
        carried = keep + (keptCr ? 1 : 0);
    }
    return preparer.length();
}

}  // namespace classifyprep

QByteArray prepareJavaText(QByteArrayView text, qsizetype pieceSize)
{
    QByteArray raw = QByteArray::fromRawData(text.data(), text.size());
    QBuffer in(&raw);
    in.open(QIODevice::ReadOnly);
    QByteArray out(text.size() + qsizetype(classifyprep::outSlack), Qt::Uninitialized);
    const size_t length = classifyprep::prepare(in, text.size(), size_t(std::max<qsizetype>(pieceSize, 1)),
                                                out.data(), [](size_t, bool) {});
    out.resize(length == classifyprep::notPrepared ? 0 : qsizetype(length));
    return out;
}
