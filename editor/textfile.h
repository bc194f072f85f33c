// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding and encoding of the editor's text files, so that opening and saving
// a file without an edit writes exactly the bytes that were read:
//   - the encoding: UTF-16 (little or big endian) when the file starts with its
//     byte-order mark; otherwise UTF-8 where the bytes are valid UTF-8 (a UTF-8
//     byte-order mark is kept); otherwise Windows-1252 (every byte maps to one
//     character and back, so nothing is lost);
//   - every line keeps its own line end (CR LF, LF or a lone CR), and the
//     characters that the edit control can only hold as line breaks (U+2029,
//     U+FDD0, U+FDD1) are kept as breaks of their own, written back as the
//     characters they are; U+2028 and every other character stay in the text;
//   - lines the user adds end with the line end most used in the file (the
//     host's when the file has none).
#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct TextFormat {
    enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };
    enum class LineEnd { LF, CRLF, CR };
    Encoding encoding = Encoding::Utf8;
    // The line end of lines the user adds: the one most used in the file.
    LineEnd lineEnd = LineEnd::LF;
    bool bom = false;  // a byte-order mark at the start (UTF-16 files always have one)

    bool isUtf16() const { return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE; }
    static TextFormat hostDefault();
};

// What one line break of a file was.
enum class LineBreak : std::uint8_t {
    LF,
    CRLF,
    CR,
    ParagraphSeparator,  // U+2029
    NonCharacterFDD0,    // U+FDD0
    NonCharacterFDD1,    // U+FDD1
};
LineBreak lineBreakOf(TextFormat::LineEnd end);

struct DecodedText {
    QString text;  // the lines, joined by '\n'
    // What each '\n' of the text was in the file, in order.
    std::vector<LineBreak> breaks;
    TextFormat format;
    // Why the text cannot be written back as it was read (the window then
    // shows it read-only): no obstacle, NUL characters (no text file), or
    // UTF-16 with an odd number of bytes.
    enum class Obstacle { None, NulBytes, BrokenUtf16 };
    Obstacle obstacle = Obstacle::None;
};

DecodedText decodeText(const QByteArray& bytes);
// The characters the file holds for the text: the k-th '\n' becomes the
// characters of breaks[k], or of `lineEnd` where breaks holds no entry for it.
QString joinLines(const QString& text, const std::vector<LineBreak>& breaks, TextFormat::LineEnd lineEnd);
// Encodes the text: the k-th '\n' becomes breaks[k], or the format's line end
// where breaks holds no entry for it. When the text holds characters that
// Windows-1252 cannot hold, the result is UTF-8 and *fellBackToUtf8 is set.
QByteArray encodeText(const QString& text, const std::vector<LineBreak>& breaks, const TextFormat& format,
                      bool* fellBackToUtf8 = nullptr);
// Every '\n' with the format's line end.
QByteArray encodeText(const QString& text, const TextFormat& format, bool* fellBackToUtf8 = nullptr);
inline QByteArray encodeText(const DecodedText& d)
{
    return encodeText(d.text, d.breaks, d.format);
}

// Files larger than this are not opened for editing: the edit control lays
// out the whole text as soon as the caret goes near its end, which takes
// minutes for a text of tens of megabytes.
inline constexpr qint64 MaxEditBytes = qint64(16) * 1024 * 1024;

// Why a file is not edited, as the words that follow "The file NAME ": it is
// no regular file (`what` names its kind: "a named pipe", "a folder"...), so
// reading it could wait for ever or without end, or it holds more than
// MaxEditBytes. Empty when it may be edited (also when it cannot be read:
// reading says so itself).
QString reasonNotToEdit(bool regular, const QString& what, qint64 size);

// Why the file at `path` is not opened for editing, as the whole message, or
// an empty text when it may be opened.
QString refusalToEdit(const QString& path);

// A file holding a NUL byte is no text file (the edit control cannot hold that
// character); UTF-16 text is judged by its characters instead of its bytes.
bool isBinaryText(const QByteArray& bytes);
