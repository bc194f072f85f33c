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

// Files larger than this are not opened for editing: the edit control lays
// out the whole text as soon as the caret goes near its end, which takes
// minutes for a text of tens of megabytes.
inline constexpr qint64 MaxEditBytes = qint64(16) * 1024 * 1024;

// Why the file at `path` is not opened for editing, or an empty text when it
// may be opened (also when it cannot be read: reading says so itself).
QString refusalToEdit(const QString& path);

// A file holding a NUL byte is no text file; the editor could not write its
// bytes back as they are (its line ends do not survive the edit control).
bool isBinaryText(const QByteArray& bytes);

QString decodeWindows1252(const QByteArray& bytes);
// False when a character has no Windows-1252 byte.
bool encodeWindows1252(const QString& text, QByteArray* out);
