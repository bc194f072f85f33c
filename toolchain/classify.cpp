// Textual classification of Java sources.
#include "toolchain/classify.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t npos = std::string_view::npos;

inline bool isWhite(char c)
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
    explicit ByteBuffer(size_t size)
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
    ~ByteBuffer()
    {
#if defined(__linux__)
        if (map_)
            munmap(map_, mapSize_);
#endif
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return data_; }

private:
    std::unique_ptr<char[]> heap_;
    char* map_ = nullptr;
    size_t mapSize_ = 0;
    char* data_ = nullptr;
};

// First occurrence of `needle` in hay[from, hay.size()), or npos.
size_t findText(std::string_view hay, std::string_view needle, size_t from = 0)
{
    if (from > hay.size())
        return npos;
#if defined(__GLIBC__)
    // glibc's memmem is considerably faster than the generic search.
    const void* hit = memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
    return hit ? size_t(static_cast<const char*>(hit) - hay.data()) : npos;
#else
    return hay.find(needle, from);
#endif
}

inline bool textAt(std::string_view hay, size_t pos, std::string_view what)
{
    return pos <= hay.size() && hay.size() - pos >= what.size() && std::memcmp(hay.data() + pos, what.data(), what.size()) == 0;
}

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
    static constexpr size_t outSlack = 16;
    explicit Preparer(char* out) : o_(out), w_(out) {}

    // Prepares the next piece text[0, n). Unless `last`, the piece may end in
    // the middle of a decision: returns how many bytes at its end (0 or 1)
    // must be given again at the front of the next piece.
    size_t run(const char* text, size_t n, bool last);

    size_t length() const { return size_t(w_ - o_); }

private:
    enum class Mode { Text, BlockComment, LineComment, WhiteRun };
    Mode mode_ = Mode::Text;
    char* const o_;
    char* w_;
};

size_t Preparer::run(const char* text, size_t n, bool last)
{
    const char* r = text;
    const char* const end = text + n;
    char* w = w_;
    auto finish = [&](size_t keep) {
        w_ = w;
        return keep;
    };

    // Finish what the previous piece left open.
    switch (mode_) {
    case Mode::BlockComment:
        // A '*' kept from the previous piece stands at text[0].
        if (const char* past = blockCommentEnd(r, end))
            r = past;
        else
            return finish(!last && n && end[-1] == '*' ? 1 : 0);
        break;
    case Mode::LineComment:
        if (const void* nl = std::memchr(r, '\n', n))
            r = static_cast<const char*>(nl) + 1;
        else
            return finish(0);
        break;
    case Mode::WhiteRun:
        while (r < end && isWhite(*r))
            ++r;
        if (r == end)
            return finish(0);
        break;
    case Mode::Text:
        break;
    }
    mode_ = Mode::Text;

    for (;;) {
        // Copy up to the next place where a rule applies: "/*", "//", or two
        // white characters in a row.
        bool atRule = false;
#if defined(__SSE2__)
        const __m128i sp = _mm_set1_epi8(' ');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i slash = _mm_set1_epi8('/');
        const __m128i star = _mm_set1_epi8('*');
        while (end - r >= 17) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r + 1));
            const __m128i wa = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(a, sp), _mm_cmpeq_epi8(a, tab)),
                                            _mm_cmpeq_epi8(a, lf));
            const __m128i wb = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b, sp), _mm_cmpeq_epi8(b, tab)),
                                            _mm_cmpeq_epi8(b, lf));
            const __m128i cm = _mm_and_si128(_mm_cmpeq_epi8(a, slash),
                                             _mm_or_si128(_mm_cmpeq_epi8(b, star), _mm_cmpeq_epi8(b, slash)));
            const unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_and_si128(wa, wb), cm)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(w), a);
            if (mask == 0) {
                r += 16;
                w += 16;
                continue;
            }
            const unsigned k = unsigned(__builtin_ctz(mask));
            r += k;
            w += k;
            atRule = true;
            break;
        }
#endif
        if (!atRule) {
            while (r < end) {
                const char c = *r;
                if (r + 1 < end) {
                    const char c1 = r[1];
                    if ((c == '/' && (c1 == '*' || c1 == '/')) || (isWhite(c) && isWhite(c1)))
                        break;
                } else if (!last && (c == '/' || isWhite(c))) {
                    return finish(1);  // the decision needs the next character
                }
                *w++ = c;
                ++r;
            }
            if (r >= end)
                return finish(0);
        }

        // A rule applies at r (and r + 1 < end).
        if (*r == '/') {
            if (r[1] == '*') {
                const char* past = blockCommentEnd(r + 2, end);
                if (!past) {
                    // Unclosed here: at the end of the text the rest goes;
                    // otherwise keep a last '*' that may begin the "*/".
                    mode_ = Mode::BlockComment;
                    return finish(!last && end - r >= 3 && end[-1] == '*' ? 1 : 0);
                }
                r = past;
            } else {
                const void* nl = std::memchr(r + 2, '\n', size_t(end - r - 2));
                if (!nl) {
                    mode_ = Mode::LineComment;
                    return finish(0);
                }
                r = static_cast<const char*>(nl) + 1;
            }
        } else {
            *w++ = *r++;
            while (r < end && isWhite(*r))
                ++r;
            if (r == end) {
                mode_ = Mode::WhiteRun;
                return finish(0);
            }
        }
    }
}

// Reads `size` bytes of `in` in pieces of `piece` bytes and prepares them
// into `out` (of size + Preparer::outSlack bytes), CR LF pairs read as LF.
// After each piece calls onPiece(length prepared so far, last piece).
// Returns the length of the prepared text, or npos on a read error or
// when memory runs out.
template <class OnPiece>
size_t prepareStream(QIODevice& in, qint64 size, size_t piece, char* out, OnPiece onPiece)
{
    piece = std::max<size_t>(piece, 1);
    // Room for a byte kept by the preparation and a CR kept by the joining.
    ByteBuffer buffer(std::min<size_t>(piece, size_t(std::max<qint64>(size, 1))) + 2);
    char* const buf = buffer.data();
    if (!buf)
        return npos;
    Preparer preparer(out);
    size_t carried = 0;
    qint64 left = size;
    for (bool last = false; !last;) {
        const qint64 want = std::min<qint64>(left, qint64(piece));
        qint64 got = 0;
        while (got < want) {
            const qint64 r = in.read(buf + carried + got, want - got);
            if (r < 0)
                return npos;
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

// Pieces of this size keep the text being read in the processor's caches.
constexpr size_t readPiece = 256 * 1024;


// Main signatures, in the order they are tried.
constexpr std::array<std::string_view, 4> mainSignatures = {"main ( String", "main (String", "main( String",
                                                             "main(String"};

// First positions of the texts the verdict is made of (npos: not found).
struct Findings {
    size_t package = npos;
    std::array<size_t, 4> mainAt = {npos, npos, npos, npos};
    size_t fullApplet = npos;    // "extends java.applet.Applet"
    size_t shortApplet = npos;   // "extends Applet"
    size_t importApplet = npos;  // "import java.applet"
    bool trueApplet = false;     // "class NAME extends java.applet.Applet" or "... extends Applet"
    bool trueMain = false;       // "class NAME {" or "class NAME{"
    // Every position of "class", in order, for the class-name walk; when
    // there are too many to keep, the walk searches the text itself.
    std::vector<size_t> classes;
    bool classesComplete = true;
};

constexpr size_t classesKept = size_t(1) << 20;

// Notes what starts at t[pos], whose first two characters are one of
// "pa", "ma", "ex", "im", "cl".
inline void noteAt(Findings& f, std::string_view t, size_t pos, std::string_view named)
{
    switch (t[pos]) {
    case 'p':
        if (f.package == npos && textAt(t, pos, "package"))
            f.package = pos;
        break;
    case 'm':
        if (f.mainAt[0] == npos && textAt(t, pos, "main")) {
            for (size_t v = 0; v < mainSignatures.size(); ++v) {
                if (f.mainAt[v] == npos && textAt(t, pos, mainSignatures[v]))
                    f.mainAt[v] = pos;
            }
        }
        break;
    case 'e':
        if (f.fullApplet == npos && textAt(t, pos, "extends ")) {
            if (textAt(t, pos, "extends java.applet.Applet"))
                f.fullApplet = pos;
            else if (f.shortApplet == npos && textAt(t, pos, "extends Applet"))
                f.shortApplet = pos;
        }
        break;
    case 'i':
        if (f.importApplet == npos && textAt(t, pos, "import java.applet"))
            f.importApplet = pos;
        break;
    case 'c':
        if (textAt(t, pos, "class")) {
            if (f.classes.size() < classesKept)
                f.classes.push_back(pos);
            else
                f.classesComplete = false;
            if (textAt(t, pos, named)) {
                const size_t after = pos + named.size();
                if (textAt(t, after, " extends java.applet.Applet") || textAt(t, after, " extends Applet"))
                    f.trueApplet = true;
                if (textAt(t, after, " {") || textAt(t, after, "{"))
                    f.trueMain = true;
            }
        }
        break;
    default:
        break;
    }
}

// The class name: walks the "class" keywords from the first one. The name
// starts six characters after the keyword and ends before a white character
// (or a '{' when `stopAtBrace`) or the end of the text; the next keyword is
// sought from the end of the name. The walk stops when there is no next
// keyword or it lies after the anchor (if any); the last name is the result.
QByteArray classNameWalk(std::string_view t, size_t anchor, bool stopAtBrace, const Findings& f)
{
    size_t index = 0;
    auto nextClass = [&](size_t from) {
        if (!f.classesComplete)
            return findText(t, "class", from);
        while (index < f.classes.size() && f.classes[index] < from)
            ++index;
        return index < f.classes.size() ? f.classes[index] : npos;
    };
    size_t p = nextClass(0);
    if (p == npos)
        return {};
    for (;;) {
        const size_t start = std::min(p + 6, t.size());
        size_t e = start;
        while (e < t.size() && !isWhite(t[e]) && !(stopAtBrace && t[e] == '{'))
            ++e;
        const size_t q = nextClass(e);
        if (q == npos || (anchor != npos && q > anchor))
            return QByteArray(t.data() + start, qsizetype(e - start));
        p = q;
    }
}

inline bool startsPattern(char c0, char c1)
{
    return (c1 == 'a' && (c0 == 'p' || c0 == 'm')) || (c0 == 'e' && c1 == 'x') || (c0 == 'i' && c1 == 'm')
           || (c0 == 'c' && c1 == 'l');
}

// Notes the findings that start at positions [from, to) of the prepared
// text. `named` is "class NAME". The text is looked at up to
// lookahead(named) characters past `to`, or to its end.
inline size_t lookahead(std::string_view named)
{
    return named.size() + 27;  // the longest text sought: "class NAME extends java.applet.Applet"
}

void findIn(Findings& f, std::string_view t, std::string_view named, size_t from, size_t to)
{
    const char* const s = t.data();
    const size_t n = t.size();
    size_t i = from;
#if defined(__SSE2__)
    const __m128i cp = _mm_set1_epi8('p'), cm = _mm_set1_epi8('m'), ca = _mm_set1_epi8('a');
    const __m128i ce = _mm_set1_epi8('e'), cx = _mm_set1_epi8('x'), ci = _mm_set1_epi8('i');
    const __m128i cc = _mm_set1_epi8('c'), cl = _mm_set1_epi8('l');
    for (; i + 16 <= to && i + 17 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
        const __m128i pm = _mm_and_si128(_mm_cmpeq_epi8(b, ca),
                                         _mm_or_si128(_mm_cmpeq_epi8(a, cp), _mm_cmpeq_epi8(a, cm)));
        const __m128i ex = _mm_and_si128(_mm_cmpeq_epi8(a, ce), _mm_cmpeq_epi8(b, cx));
        const __m128i im = _mm_and_si128(_mm_cmpeq_epi8(a, ci), _mm_cmpeq_epi8(b, cm));
        const __m128i kl = _mm_and_si128(_mm_cmpeq_epi8(a, cc), _mm_cmpeq_epi8(b, cl));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(pm, ex), _mm_or_si128(im, kl))));
        while (mask) {
            noteAt(f, t, i + unsigned(__builtin_ctz(mask)), named);
            mask &= mask - 1;
        }
    }
#endif
    for (; i < to && i + 1 < n; ++i) {
        if (startsPattern(s[i], s[i + 1]))
            noteAt(f, t, i, named);
    }
}

}  // namespace

void filename(const QString& fname, QString& name, QString& ext, QChar sep)
{
    const qsizetype slash = fname.lastIndexOf(sep);
    const QString base = slash < 0 ? fname : fname.mid(slash + 1);
    const qsizetype dot = base.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        name = base;
        ext.clear();
    } else {
        name = base.left(dot);
        ext = base.mid(dot + 1);
    }
}

bool isjava(const QString& ext)
{
    return ext == QLatin1String("java") || ext == QLatin1String("JAVA") || ext == QLatin1String("jav")
           || ext == QLatin1String("JAV");
}

namespace {

// The class-name walk and the verdict, from the findings in the prepared text.
ScanResult conclude(std::string_view t, const Findings& f)
{
    const bool ispackage = f.package != npos;
    // The main anchor is the first occurrence of the first signature, in the
    // order they are tried, that occurs anywhere.
    size_t mainAnchor = npos;
    for (size_t at : f.mainAt) {
        if (at != npos) {
            mainAnchor = at;
            break;
        }
    }
    const bool ismain = mainAnchor != npos;
    // The applet anchor is "extends java.applet.Applet" if it occurs, else
    // "extends Applet"; the import alone gives no anchor.
    const size_t appletAnchor = f.fullApplet != npos ? f.fullApplet : f.shortApplet;
    const bool isapplet = appletAnchor != npos || f.importApplet != npos;
    const bool istrueapplet = f.trueApplet;
    const bool istruemain = f.trueMain;

    ScanResult result;
    QByteArray name;
    if (ismain)
        name = classNameWalk(t, mainAnchor, true, f);
    else if (isapplet)
        name = classNameWalk(t, appletAnchor, false, f);
    result.className = QString::fromUtf8(name);

    if (ispackage)
        result.verdict = 5;
    else if (ismain)
        result.verdict = istruemain ? 1 : istrueapplet ? 2 : 3;
    else if (istrueapplet)
        result.verdict = 2;
    else if (isapplet)
        result.verdict = 4;
    else if (istruemain)
        result.verdict = 1;
    else
        result.verdict = 0;
    return result;
}

// Reads and classifies `size` bytes of `in`; verdict 0 when it cannot be
// read or held.
ScanResult scanDevice(QIODevice& in, qint64 size, const QString& baseName)
{
    ByteBuffer prepared(size_t(size) + Preparer::outSlack);
    if (!prepared.data())
        return {};  // too large to hold
    const QByteArray namedText = "class " + baseName.toUtf8();
    const std::string_view named(namedText.constData(), size_t(namedText.size()));
    // The findings are sought in each stretch of prepared text as soon as it
    // is written, while it is still in the caches.
    Findings f;
    size_t sought = 0;
    auto seek = [&](size_t length, bool last) {
        const size_t to = last ? length : length > lookahead(named) ? length - lookahead(named) : 0;
        if (to > sought) {
            findIn(f, std::string_view(prepared.data(), length), named, sought, to);
            sought = to;
        }
    };
    const size_t length = prepareStream(in, size, readPiece, prepared.data(), seek);
    if (length == npos)
        return {};
    return conclude(std::string_view(prepared.data(), length), f);
}

}  // namespace

QByteArray prepareJavaText(QByteArrayView text, qsizetype pieceSize)
{
    QByteArray raw = QByteArray::fromRawData(text.data(), text.size());
    QBuffer in(&raw);
    in.open(QIODevice::ReadOnly);
    QByteArray out(text.size() + qsizetype(Preparer::outSlack), Qt::Uninitialized);
    const size_t length = prepareStream(in, text.size(), size_t(std::max<qsizetype>(pieceSize, 1)), out.data(),
                                        [](size_t, bool) {});
    out.resize(length == npos ? 0 : qsizetype(length));
    return out;
}

ScanResult scanJavaText(QByteArrayView fileBytes, const QString& baseName)
{
    QByteArray raw = QByteArray::fromRawData(fileBytes.data(), fileBytes.size());
    QBuffer in(&raw);
    in.open(QIODevice::ReadOnly);
    return scanDevice(in, fileBytes.size(), baseName);
}

ScanResult scanJavaFile(const QString& path)
{
    QString name, ext;
    filename(path, name, ext);
    if (ext != QLatin1String("java"))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return {};  // unreadable, or not a regular file
    return scanDevice(file, file.size(), name);
}

void applyVerdict(int verdict, bool projectMode, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage)
{
    switch (verdict) {
    case 1:
    case 3:
        IsJavaMain = true;
        break;
    case 2:
        IsJavaApplet = true;
        break;
    case 4:
        (projectMode ? IsJavaMain : IsJavaApplet) = true;
        break;
    case 5:
        IsPackage = true;
        break;
    default:
        break;
    }
}

int classifySource(const QString& path, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage, QString& classename)
{
    const ScanResult r = scanJavaFile(path);
    applyVerdict(r.verdict, false, IsJavaMain, IsJavaApplet, IsPackage);
    if (!r.className.isEmpty())
        classename = r.className;
    return r.verdict;
}
