// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: reading and writing the editor's text files.
//
// Property: a file opened and saved without an edit is written back exactly
// as it was read, whatever its bytes: decodeText then encodeText gives the
// bytes back, and so does the way through the edit control's document
// (markLineBreaks, documentText). Inputs whose first byte is odd are a
// recipe instead of a file: random lines of any Unicode with mixed line ends
// (LF, CR LF, CR, and the characters that the document can only hold as line
// breaks), with or without a byte-order mark, in UTF-8, UTF-16 (both byte
// orders) or Windows-1252. Files that cannot be written back (NUL
// characters, UTF-16 with an odd byte count) must say so.
#include "editor/textdoc.h"
#include "editor/textfile.h"
#include "tests/fuzz/recipe.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray fromRecipe(Recipe& r)
{
    static const char32_t special[] = {0x2028, 0x2029, 0xFDD0,  0xFDD1,   0xFFFE, 0xFFFF, 0xFEFF,
                                       0xFFFC, 0x0085, 0x1FFFE, 0x10FFFF, '\t',   0x00A0, 0xD800};
    const unsigned encoding = r.byte() % 5;
    QString text;
    QByteArray raw;  // Windows-1252
    while (r.more()) {
        const unsigned k = r.byte();
        if (k < 24) {
            const char* ends[] = {"\n", "\r\n", "\r"};
            text += QLatin1String(ends[k % 3]);
            raw += ends[k % 3];
        } else if (k < 48) {
            const char32_t u = special[r.byte() % std::size(special)];
            if (u == 0xD800)
                text += QChar(char16_t(0xD800 + r.word() % 0x800));  // a lone surrogate (UTF-16 only)
            else
                text += QString::fromUcs4(&u, 1);
            raw += char(0x80 + r.byte() % 0x80);
        } else if (k < 64) {
            const char32_t u = 0x10000 + (r.word() | ((r.byte() & 0xF) << 16));
            text += QString::fromUcs4(&u, 1);
            raw += char(0x80 + r.byte() % 0x80);
        } else if (k < 96) {
            const unsigned u = r.word();
            text += QChar(char16_t((u >= 0xD800 && u < 0xE000) || u == 0 ? 0x4E2D : u));
            raw += char(k);
        } else {
            text += QChar(char16_t(k == 0 ? ' ' : k & 0x7F ? k & 0x7F : ' '));
            raw += char(k & 0x7F ? k & 0x7F : ' ');
        }
    }
    switch (encoding) {
    case 0:
    case 1: {
        // UTF-8 cannot hold lone surrogates: those go.
        QString fixed;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                fixed += c;
                fixed += text[++i];
            } else {
                fixed += c.isSurrogate() ? QChar(u'?') : c;
            }
        }
        return (encoding == 1 ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + fixed.toUtf8();
    }
    case 2:
    case 3: {
        const bool be = encoding == 3;
        QByteArray out = be ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            out += be ? hi : lo;
            out += be ? lo : hi;
        }
        return out;
    }
    default:
        // Some bytes that are no UTF-8 at the end make it Windows-1252. A
        // Windows-1252 file that begins with the bytes of a byte-order mark
        // ("\xFE\xFF", "\xFF\xFE", "\xEF\xBB\xBF") reads as UTF-16 or UTF-8,
        // as in every editor: the recipe starts such a file with a letter.
        raw.replace('\0', ' ');
        if (raw.startsWith("\xFE\xFF") || raw.startsWith("\xFF\xFE") || raw.startsWith("\xEF\xBB\xBF"))
            raw.prepend('x');
        return raw + "\xC3";
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes;
    const bool recipe = size > 0 && (data[0] & 1);
    if (recipe) {
        Recipe r(data + 1, size - 1);
        bytes = fromRecipe(r);
    } else {
        bytes = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    }

    const DecodedText d = decodeText(bytes);
    if (d.obstacle != DecodedText::Obstacle::None) {
        // Only the recipe never makes such files; NUL or odd UTF-16 is the reason.
        check(!recipe);
        check(bytes.contains('\0') || (d.format.isUtf16() && bytes.size() % 2 != 0));
        return 0;
    }
    check(!d.text.contains(QLatin1Char('\r')));
    check(std::size_t(d.text.count(QLatin1Char('\n'))) == d.breaks.size());
    check(encodeText(d) == bytes);

    // The same through the edit control's document.
    QTextDocument doc;
    doc.setPlainText(d.text);
    doc.setModified(false);
    markLineBreaks(&doc, d);
    check(!doc.isModified());
    const DocumentText t = documentText(doc, d.format.lineEnd);
    check(t.text == d.text);
    check(encodeText(t.text, t.breaks, d.format) == bytes);
    return 0;
}
