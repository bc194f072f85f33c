// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/textfile.h"

#include "platform/host.h"
#include "platform/nativepath.h"
#include "platform/windows1252.h"

#include <QStringDecoder>

TextFormat TextFormat::hostDefault()
{
    TextFormat f;
#ifdef Q_OS_WIN
    f.lineEnd = LineEnd::CRLF;
#endif
    return f;
}

QString reasonNotToEdit(bool regular, const QString& what, qint64 size)
{
    if (!regular)
        return QStringLiteral("is %1, not a regular file, which Brewpad does not read").arg(what);
    if (size <= MaxEditBytes)
        return QString();
    return QStringLiteral("is too large to edit: it holds %1 bytes, and Brewpad edits files of up to %2 MB")
        .arg(size)
        .arg(MaxEditBytes / (1024 * 1024));
}

QString refusalToEdit(const QString& path)
{
    QString what;
    const host::FileKind kind = host::fileKind(path, &what);
    if (kind != host::FileKind::Regular && kind != host::FileKind::NotRegular)
        return QString();
    const QString reason = reasonNotToEdit(kind == host::FileKind::Regular, what, nativepath::info(path).size);
    if (reason.isEmpty())
        return QString();
    return QStringLiteral("The file %1 %2. It was not opened.").arg(nativepath::absolute(path), reason);
}

bool isBinaryText(const QByteArray& bytes)
{
    return bytes.contains('\0');
}

LineBreak lineBreakOf(TextFormat::LineEnd end)
{
    switch (end) {
    case TextFormat::LineEnd::CRLF: return LineBreak::CRLF;
    case TextFormat::LineEnd::CR: return LineBreak::CR;
    case TextFormat::LineEnd::LF: break;
    }
    return LineBreak::LF;
}

namespace {

QString decodeUtf16(QByteArrayView body, bool bigEndian)
{
    QString s(body.size() / 2, Qt::Uninitialized);
    QChar* out = s.data();
    const auto* p = reinterpret_cast<const unsigned char*>(body.data());
    for (qsizetype i = 0; i < s.size(); ++i, p += 2)
        out[i] = QChar(char16_t(bigEndian ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0]));
    return s;
}

QByteArray encodeUtf16(const QString& text, bool bigEndian)
{
    QByteArray out(2 * (text.size() + 1), Qt::Uninitialized);
    auto* p = reinterpret_cast<unsigned char*>(out.data());
    auto put = [&](char16_t u) {
        p[bigEndian ? 0 : 1] = static_cast<unsigned char>(u >> 8);
        p[bigEndian ? 1 : 0] = static_cast<unsigned char>(u & 0xFF);
        p += 2;
    };
    put(0xFEFF);
    for (QChar c : text)
        put(c.unicode());
    return out;
}

// Splits the text at its line breaks: the result holds '\n' for each, and
// breaks what each was. Also finds the line end most used (the first one met
// wins a tie).
void splitLines(const QString& in, DecodedText& d)
{
    QString& out = d.text;
    out.resize(in.size());
    QChar* o = out.data();
    const QChar* p = in.constData();
    const QChar* const end = p + in.size();
    std::size_t counts[3] = {0, 0, 0};
    int firstSeen[3] = {-1, -1, -1};
    int order = 0;
    auto note = [&](LineBreak b) {
        d.breaks.push_back(b);
        const int k = b == LineBreak::LF ? 0 : b == LineBreak::CRLF ? 1 : b == LineBreak::CR ? 2 : -1;
        if (k >= 0) {
            ++counts[k];
            if (firstSeen[k] < 0)
                firstSeen[k] = order++;
        }
        *o++ = QLatin1Char('\n');
    };
    while (p < end) {
        const char16_t u = p->unicode();
        switch (u) {
        case u'\r':
            if (p + 1 < end && p[1] == QLatin1Char('\n')) {
                ++p;
                note(LineBreak::CRLF);
            } else {
                note(LineBreak::CR);
            }
            break;
        case u'\n': note(LineBreak::LF); break;
        case 0x2029: note(LineBreak::ParagraphSeparator); break;
        case 0xFDD0: note(LineBreak::NonCharacterFDD0); break;
        case 0xFDD1: note(LineBreak::NonCharacterFDD1); break;
        default: *o++ = *p; break;
        }
        ++p;
    }
    out.resize(o - out.constData());

    using LE = TextFormat::LineEnd;
    const LE kinds[3] = {LE::LF, LE::CRLF, LE::CR};
    int best = -1;
    for (int k = 0; k < 3; ++k) {
        if (counts[k] == 0)
            continue;
        if (best < 0 || counts[k] > counts[best] || (counts[k] == counts[best] && firstSeen[k] < firstSeen[best]))
            best = k;
    }
    d.format.lineEnd = best < 0 ? TextFormat::hostDefault().lineEnd : kinds[best];
}

}  // namespace

DecodedText decodeText(const QByteArray& bytes)
{
    DecodedText d;
    QString text;
    QByteArrayView body(bytes);
    const bool le16 = body.startsWith("\xFF\xFE");
    if (le16 || body.startsWith("\xFE\xFF")) {
        d.format.encoding = le16 ? TextFormat::Encoding::Utf16LE : TextFormat::Encoding::Utf16BE;
        d.format.bom = true;
        body = body.sliced(2);
        if (body.size() % 2 != 0)
            d.obstacle = DecodedText::Obstacle::BrokenUtf16;
        text = decodeUtf16(body, !le16);
        if (d.obstacle == DecodedText::Obstacle::None && text.contains(QChar(0)))
            d.obstacle = DecodedText::Obstacle::NulBytes;
    } else {
        if (body.startsWith("\xEF\xBB\xBF")) {
            d.format.bom = true;
            body = body.sliced(3);
        }
        // A second byte-order mark is a character of the text.
        QStringDecoder dec(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
        text = dec(body);
        if (dec.hasError()) {
            d.format.bom = false;
            d.format.encoding = TextFormat::Encoding::Windows1252;
            text = decodeWindows1252(bytes);
        }
        if (isBinaryText(bytes))
            d.obstacle = DecodedText::Obstacle::NulBytes;
    }
    splitLines(text, d);
    return d;
}

QString joinLines(const QString& text, const std::vector<LineBreak>& breaks, TextFormat::LineEnd lineEnd)
{
    const LineBreak usual = lineBreakOf(lineEnd);
    QString t;
    t.reserve(text.size() + text.size() / 16 + 16);
    std::size_t k = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), from);
        t.append(QStringView(text).sliced(from, (nl < 0 ? text.size() : nl) - from));
        if (nl < 0)
            break;
        switch (k < breaks.size() ? breaks[k] : usual) {
        case LineBreak::LF: t.append(QLatin1Char('\n')); break;
        case LineBreak::CRLF: t.append(QLatin1String("\r\n")); break;
        case LineBreak::CR: t.append(QLatin1Char('\r')); break;
        case LineBreak::ParagraphSeparator: t.append(QChar(0x2029)); break;
        case LineBreak::NonCharacterFDD0: t.append(QChar(0xFDD0)); break;
        case LineBreak::NonCharacterFDD1: t.append(QChar(0xFDD1)); break;
        }
        ++k;
        from = nl + 1;
    }
    return t;
}

QByteArray encodeText(const QString& text, const std::vector<LineBreak>& breaks, const TextFormat& format,
                      bool* fellBackToUtf8)
{
    if (fellBackToUtf8)
        *fellBackToUtf8 = false;
    const QString t = joinLines(text, breaks, format.lineEnd);
    switch (format.encoding) {
    case TextFormat::Encoding::Utf16LE: return encodeUtf16(t, false);
    case TextFormat::Encoding::Utf16BE: return encodeUtf16(t, true);
    case TextFormat::Encoding::Windows1252: {
        QByteArray out;
        if (encodeWindows1252(t, &out))
            return out;
        if (fellBackToUtf8)
            *fellBackToUtf8 = true;
        return t.toUtf8();
    }
    case TextFormat::Encoding::Utf8: break;
    }
    QByteArray out = t.toUtf8();
    if (format.bom)
        out.prepend("\xEF\xBB\xBF");
    return out;
}

QByteArray encodeText(const QString& text, const TextFormat& format, bool* fellBackToUtf8)
{
    return encodeText(text, {}, format, fellBackToUtf8);
}
