// Textual classification of Java sources.
#include "build/classify.h"

#include <QFile>

#include <array>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t npos = std::string_view::npos;

inline bool isWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

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
    return hay.size() - pos >= what.size() && std::memcmp(hay.data() + pos, what.data(), what.size()) == 0;
}

// Each CR LF pair becomes one LF; any other CR stays.
QByteArray joinCrLf(const char* in, size_t n)
{
    QByteArray out(qsizetype(n), Qt::Uninitialized);
    char* w = out.data();
    const char* r = in;
    const char* end = in + n;
    while (r < end) {
        const char* cr = static_cast<const char*>(std::memchr(r, '\r', size_t(end - r)));
        if (!cr) {
            std::memcpy(w, r, size_t(end - r));
            w += end - r;
            break;
        }
        std::memcpy(w, r, size_t(cr - r));
        w += cr - r;
        if (cr + 1 < end && cr[1] == '\n') {
            r = cr + 1;  // the LF is copied with the next stretch
        } else {
            *w++ = '\r';
            r = cr + 1;
        }
    }
    out.resize(w - out.data());
    return out;
}

// The preparation proper, on text whose line ends are already LF.
//
// Read as an in-place edit, the rules look at the two characters at the
// position i and either remove text after i or move i on by one. The text
// after i is then always the unread rest of the input (a white run keeps its
// first character, and the next step moves past it), so the same result comes
// from reading the input once and writing every character the edit would have
// moved past.
QByteArray prepareLf(const char* in, size_t n)
{
    // 16 bytes of slack: the fast path stores whole blocks ahead of the end.
    QByteArray out(qsizetype(n + 16), Qt::Uninitialized);
    char* const o = out.data();
    char* w = o;
    const char* r = in;
    const char* const end = in + n;

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
                }
                *w++ = c;
                ++r;
            }
            if (r >= end)
                break;
        }

        // A rule applies at r (and r + 1 < end).
        if (*r == '/') {
            if (r[1] == '*') {
                const size_t close = findText(std::string_view(r + 2, size_t(end - r - 2)), "*/");
                if (close == npos)
                    break;  // unclosed: the rest of the text goes
                r += 2 + close + 2;
            } else {
                const void* nl = std::memchr(r + 2, '\n', size_t(end - r - 2));
                if (!nl)
                    break;
                r = static_cast<const char*>(nl) + 1;
            }
        } else {
            *w++ = *r++;
            while (r < end && isWhite(*r))
                ++r;
        }
    }
    out.resize(w - o);
    return out;
}

// Walks the "class" keywords; see scanJavaText.
QByteArray classNameWalk(std::string_view t, size_t anchor, bool stopAtBrace)
{
    size_t p = findText(t, "class");
    if (p == npos)
        return {};
    for (;;) {
        const size_t start = std::min(p + 6, t.size());
        size_t e = start;
        while (e < t.size() && !isWhite(t[e]) && !(stopAtBrace && t[e] == '{'))
            ++e;
        const size_t q = findText(t, "class", e);
        if (q == npos || (anchor != npos && q > anchor))
            return QByteArray(t.data() + start, qsizetype(e - start));
        p = q;
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

QByteArray prepareJavaText(QByteArrayView text)
{
    const char* data = text.data();
    const size_t n = size_t(text.size());
    if (n && std::memchr(data, '\r', n)) {
        const QByteArray joined = joinCrLf(data, n);
        return prepareLf(joined.constData(), size_t(joined.size()));
    }
    return prepareLf(data, n);
}

ScanResult scanJavaText(QByteArrayView fileBytes, const QString& baseName)
{
    const QByteArray prepared = prepareJavaText(fileBytes);
    const std::string_view t(prepared.constData(), size_t(prepared.size()));

    const bool ispackage = findText(t, "package") != npos;

    // Main signatures, in the order they are tried: the anchor is the first
    // occurrence of the first of them that occurs anywhere.
    static constexpr std::array<std::string_view, 4> mains = {"main ( String", "main (String", "main( String",
                                                              "main(String"};
    std::array<size_t, 4> mainAt = {npos, npos, npos, npos};
    for (size_t p = findText(t, "main"); p != npos && mainAt[0] == npos; p = findText(t, "main", p + 1)) {
        for (size_t v = 0; v < mains.size(); ++v) {
            if (mainAt[v] == npos && textAt(t, p, mains[v]))
                mainAt[v] = p;
        }
    }
    size_t mainAnchor = npos;
    for (size_t at : mainAt) {
        if (at != npos) {
            mainAnchor = at;
            break;
        }
    }
    const bool ismain = mainAnchor != npos;

    // Applet hints: the anchor is "extends java.applet.Applet" if it occurs,
    // else "extends Applet"; the import alone gives no anchor.
    size_t fullApplet = npos, shortApplet = npos;
    for (size_t p = findText(t, "extends "); p != npos && fullApplet == npos; p = findText(t, "extends ", p + 1)) {
        if (textAt(t, p, "extends java.applet.Applet"))
            fullApplet = p;
        else if (shortApplet == npos && textAt(t, p, "extends Applet"))
            shortApplet = p;
    }
    const size_t appletAnchor = fullApplet != npos ? fullApplet : shortApplet;
    const bool isapplet = appletAnchor != npos || findText(t, "import java.applet") != npos;

    // Classes named after the file.
    const QByteArray named = "class " + baseName.toUtf8();
    const std::string_view namedView(named.constData(), size_t(named.size()));
    bool istrueapplet = false, istruemain = false;
    for (size_t p = findText(t, namedView); p != npos && !(istrueapplet && istruemain);
         p = findText(t, namedView, p + 1)) {
        const size_t after = p + namedView.size();
        if (textAt(t, after, " extends java.applet.Applet") || textAt(t, after, " extends Applet"))
            istrueapplet = true;
        if (textAt(t, after, " {") || textAt(t, after, "{"))
            istruemain = true;
    }

    ScanResult result;
    QByteArray name;
    if (ismain)
        name = classNameWalk(t, mainAnchor, true);
    else if (isapplet)
        name = classNameWalk(t, appletAnchor, false);
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

ScanResult scanJavaFile(const QString& path)
{
    QString name, ext;
    filename(path, name, ext);
    if (ext != QLatin1String("java"))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size > 0) {
        // Map the file where possible: saves copying it once more.
        if (uchar* mapped = file.map(0, size)) {
            ScanResult r = scanJavaText(QByteArrayView(reinterpret_cast<const char*>(mapped), size), name);
            file.unmap(mapped);
            return r;
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return scanJavaText(bytes, name);
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
