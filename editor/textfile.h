// Decoding and encoding of the editor's text files: UTF-8 where the bytes are
// valid UTF-8, Windows-1252 otherwise (every byte maps to one character and back,
// so nothing is lost), and the line-end style of the file kept for saving.
#pragma once
#include <QByteArray>
#include <QString>

struct TextFormat {
    enum class Encoding { Utf8, Windows1252 };
    enum class LineEnd { LF, CRLF };
    Encoding encoding = Encoding::Utf8;
    LineEnd lineEnd = LineEnd::LF;
    bool bom = false;  // a UTF-8 byte-order mark at the start

    static TextFormat hostDefault();
};

struct DecodedText {
    QString text;  // line ends as '\n'
    TextFormat format;
};

DecodedText decodeText(const QByteArray& bytes);
// Encodes with the format. When the text holds characters that Windows-1252
// cannot hold, the result is UTF-8 and *fellBackToUtf8 is set.
QByteArray encodeText(const QString& text, const TextFormat& format, bool* fellBackToUtf8 = nullptr);

QString decodeWindows1252(const QByteArray& bytes);
// False when a character has no Windows-1252 byte.
bool encodeWindows1252(const QString& text, QByteArray* out);
