// SPDX-License-Identifier: GPL-3.0-or-later
// Textual classification of Java sources.
#include "toolchain/classify/classify.h"

#include "toolchain/classify/compactsource.h"

#include "toolchain/classify/classifyprep.h"
#include "platform/host.h"

#include <QBuffer>
#include <QFile>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t npos = std::string_view::npos;

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
    return pos <= hay.size() && hay.size() - pos >= what.size() &&
           std::memcmp(hay.data() + pos, what.data(), what.size()) == 0;
}

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
    default: break;
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
        while (e < t.size() && !classifyprep::isJavaWhite(t[e]) && !(stopAtBrace && t[e] == '{'))
            ++e;
        const size_t q = nextClass(e);
        if (q == npos || (anchor != npos && q > anchor))
            return QByteArray(t.data() + start, qsizetype(e - start));
        p = q;
    }
}

inline bool startsPattern(char c0, char c1)
{
    return (c1 == 'a' && (c0 == 'p' || c0 == 'm')) || (c0 == 'e' && c1 == 'x') || (c0 == 'i' && c1 == 'm') ||
           (c0 == 'c' && c1 == 'l');
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
        result.verdict = PackageMember;
    else if (ismain)
        result.verdict = istruemain     ? ApplicationNamedAfterFile
                         : istrueapplet ? AppletNamedAfterFile
                                        : MainInOtherClass;
    else if (istrueapplet)
        result.verdict = AppletNamedAfterFile;
    else if (isapplet)
        result.verdict = AppletHintsOnly;
    else if (istruemain)
        result.verdict = ApplicationNamedAfterFile;
    else
        result.verdict = NothingRecognised;
    return result;
}

// Reads and classifies `size` bytes of `in`; verdict 0 when it cannot be
// read or held.
ScanResult scanDevice(QIODevice& in, qint64 size, const QString& baseName)
{
    classifyprep::ByteBuffer prepared(size_t(size) + classifyprep::outSlack);
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
    const size_t length = classifyprep::prepare(in, size, classifyprep::readPiece, prepared.data(), seek);
    if (length == classifyprep::notPrepared)
        return {};
    const std::string_view text(prepared.data(), length);
    const ScanResult older = conclude(text, f);
    if (older.verdict != NothingRecognised)
        return older;
    // What only newer Java runs: a compact source file, or a main without
    // arguments in a class not named after the file.
    const std::optional<NewerMain> newer = findNewerMain(text, baseName);
    if (!newer)
        return older;
    const bool afterFile = newer->compact || newer->className == baseName;
    return ScanResult{afterFile ? ApplicationNamedAfterFile : MainInOtherClass, newer->className};
}

}  // namespace

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
    if (ext != javatext::sourceExtension)
        return {};
    QFile file;
    if (host::openRegular(path, file) != host::FileKind::Regular)
        return {};  // unreadable, or not a regular file (never opened then)
    return scanDevice(file, file.size(), name);
}

void applyVerdict(Verdict verdict, bool projectMode, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage)
{
    switch (verdict) {
    case ApplicationNamedAfterFile:
    case MainInOtherClass: IsJavaMain = true; break;
    case AppletNamedAfterFile: IsJavaApplet = true; break;
    case AppletHintsOnly: (projectMode ? IsJavaMain : IsJavaApplet) = true; break;
    case PackageMember: IsPackage = true; break;
    case NothingRecognised: break;
    }
}

Verdict classifySource(const QString& path, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage,
                       QString& classename)
{
    const ScanResult r = scanJavaFile(path);
    applyVerdict(r.verdict, false, IsJavaMain, IsJavaApplet, IsPackage);
    if (!r.className.isEmpty())
        classename = r.className;
    return r.verdict;
}
