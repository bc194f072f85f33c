#include "editor/textfile.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace {

// 0x80 to 0x9F of Windows-1252; the five unassigned bytes map to the C1 control
// of the same value so that they survive a round trip.
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

TextFormat TextFormat::hostDefault()
{
    TextFormat f;
#ifdef Q_OS_WIN
    f.lineEnd = LineEnd::CRLF;
#endif
    return f;
}

QString refusalToEdit(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.isFile() || fi.size() <= MaxEditBytes)
        return QString();
    return QStringLiteral("The file %1 is too large to edit: it holds %2 bytes, and Brewpad edits files of "
                          "up to %3 MB. It was not opened.")
        .arg(fi.absoluteFilePath())
        .arg(fi.size())
        .arg(MaxEditBytes / (1024 * 1024));
}

bool isBinaryText(const QByteArray& bytes)
{
    return bytes.contains('\0');
}

QString decodeWindows1252(const QByteArray& bytes)
{
    QString s(bytes.size(), Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        out[i] = (c >= 0x80 && c < 0xA0) ? QChar(kHigh[c - 0x80]) : QChar(c);
    }
    return s;
}

bool encodeWindows1252(const QString& text, QByteArray* out)
{
    out->resize(text.size());
    char* p = out->data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        char16_t u = text[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            p[i] = static_cast<char>(u);
            continue;
        }
        int found = -1;
        for (int k = 0; k < 32; ++k) {
            if (kHigh[k] == u) {
                found = k;
                break;
            }
        }
        if (found < 0)
            return false;
        p[i] = static_cast<char>(0x80 + found);
    }
    return true;
}

DecodedText decodeText(const QByteArray& bytes)
{
    DecodedText d;
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF")) {
        d.format.bom = true;
        body = body.sliced(3);
    }
    QStringDecoder dec(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    d.text = dec(body);
    if (dec.hasError()) {
        d.format.bom = false;
        d.format.encoding = TextFormat::Encoding::Windows1252;
        d.text = decodeWindows1252(bytes);
    }
    const qsizetype nl = d.text.indexOf(QLatin1Char('\n'));
    if (nl > 0 && d.text[nl - 1] == QLatin1Char('\r')) {
        d.format.lineEnd = TextFormat::LineEnd::CRLF;
        d.text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    } else if (nl < 0) {
        d.format.lineEnd = TextFormat::hostDefault().lineEnd;
    }
    return d;
}

QByteArray encodeText(const QString& text, const TextFormat& format, bool* fellBackToUtf8)
{
    QString t = text;
    if (format.lineEnd == TextFormat::LineEnd::CRLF)
        t.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (fellBackToUtf8)
        *fellBackToUtf8 = false;
    if (format.encoding == TextFormat::Encoding::Windows1252) {
        QByteArray out;
        if (encodeWindows1252(t, &out))
            return out;
        if (fellBackToUtf8)
            *fellBackToUtf8 = true;
        return t.toUtf8();
    }
    QByteArray out = t.toUtf8();
    if (format.bom)
        out.prepend("\xEF\xBB\xBF");
    return out;
}
