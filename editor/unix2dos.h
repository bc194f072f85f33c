// Line-end conversion of the "Unix2Dos" command: every line of a file ends with
// CR LF afterwards.
//
// The rules, applied from the start of the bytes:
//   - a run of CRs, optionally followed by one LF, becomes one CR LF
//     (so CR LF stays CR LF and CR CR LF becomes CR LF);
//   - a run of LFs becomes one CR LF (empty lines of an LF-only file vanish);
//   - every other byte is copied unchanged, NUL bytes included.
// The CR rule is tried before the LF rule within one step only: after LF LF, a
// following CR starts a new step, so LF CR LF becomes CR LF CR LF.
// The output holds no CR or LF outside CR LF pairs, so converting it again
// changes nothing.
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstddef>

// Converts a stream piece by piece; the state carries a run of CRs or LFs that
// is cut by the end of a piece.
class LineEndConverter {
public:
    // Room `out` must offer for a piece of n bytes.
    static constexpr std::size_t outputBound(std::size_t n) { return 2 * n + 2; }

    // Converts [in, in + n) into out (at least outputBound(n) bytes); returns
    // the end of what was written.
    char* convert(const char* in, std::size_t n, char* out);
    // Ends the stream: writes what a run cut at the end still owes (at most 2 bytes).
    char* finish(char* out);

private:
    enum class State { Text, InCr, InLf };
    State state_ = State::Text;
};

// The whole conversion of a byte string, over its full length.
QByteArray unix2dos(QByteArrayView in);

enum class Unix2DosResult {
    Converted,    // the file now holds the converted bytes
    NotReadable,  // the file could not be opened for reading: nothing happened, say nothing
    Failed,       // nothing was changed; *error tells what failed and what to do
};

// Converts the file at `path` and replaces it atomically: on any failure (no
// memory, full disk, read-only file or folder) the file stays exactly as it
// was. Its permissions are kept.
Unix2DosResult convertFileToDos(const QString& path, QString* error = nullptr);
