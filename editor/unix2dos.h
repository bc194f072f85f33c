// SPDX-License-Identifier: GPL-3.0-or-later
// Line-end conversion of the "Unix2Dos" command: every line of a file ends with
// CR LF afterwards, and no line is lost.
//
// The rules, applied from the start of the bytes:
//   - CR LF stays CR LF;
//   - a LF without a CR before it becomes CR LF;
//   - a CR without a LF after it becomes CR LF;
//   - every other byte is copied unchanged, NUL bytes included.
// So every line end of the file becomes exactly one CR LF: empty lines stay,
// and "a LF b LF LF c CR CR LF d CR" becomes
// "a CR LF b CR LF CR LF c CR LF CR LF d CR LF". A file that already uses CR LF
// is written back byte for byte; converting the output again changes nothing.
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>

// Converts a stream piece by piece; the state carries a CR that ends a piece,
// whose LF (if any) begins the next one.
class LineEndConverter {
public:
    // Room `out` must offer for a piece of n bytes.
    static constexpr std::size_t outputBound(std::size_t n) { return 2 * n + 2; }

    // Converts [in, in + n) into out (at least outputBound(n) bytes); returns
    // the end of what was written.
    char* convert(const char* in, std::size_t n, char* out);
    // Ends the stream: writes what a CR at the very end still owes (at most 2 bytes).
    char* finish(char* out);

private:
    bool pendingCr_ = false;
};

// The whole conversion of a byte string, over its full length.
QByteArray unix2dos(QByteArrayView in);

enum class Unix2DosResult {
    Converted,    // the file now holds the converted bytes
    NotReadable,  // the file could not be opened for reading: nothing happened, say nothing
    Failed,       // nothing was changed; *error tells what failed and what to do
};

// Converts the file at `path` and puts the result in its place with a
// SafeFileWriter (editor/diskfile.h): on any failure (no memory, full disk,
// read-only file or folder) the file stays exactly as it was; its links, owner,
// group and mode are kept.
Unix2DosResult convertFileToDos(const QString& path, QString* error = nullptr);
