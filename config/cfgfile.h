// brewpad.cfg: where Brewpad keeps the Java tool directory and the Java help
// file between runs.
//
// The file has no header and no terminator: up to two records, each a 32-bit
// signed length stored low byte first, followed by that many bytes of text
// (the path in the file system's encoding, no NUL). Record 1 is the directory
// holding javac, record 2 the help file. The byte order is fixed, so a file
// written on one host reads back on any other.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace cfgfile {

inline constexpr const char* FileName = "brewpad.cfg";
// The longest record text accepted when reading; longer, negative or
// truncated records make the file corrupted.
inline constexpr qint32 MaxRecordLength = 4095;

// The 4 bytes of a length, low byte first.
QByteArray encodeLength(qint32 n);
// The length stored in 4 bytes, low byte first, whatever the host's byte order.
qint32 decodeLength(const char* p);

// Length and bytes of one path.
QByteArray encodeRecord(const QString& value);

// Reads the record starting at `pos` in `data` and moves `pos` past it.
// Nothing when the length field is incomplete, negative or above
// MaxRecordLength, or when the text runs past the end of `data`.
std::optional<QString> readRecord(const QByteArray& data, qsizetype& pos);

// The places looked at for an existing file, in order: the user's
// configuration directory, $TEMP, $TMP (each only when set and not empty),
// then the current directory.
QStringList candidates();

// Where a new file goes when none exists: the configuration directory, else
// $TEMP, else $TMP, else the current directory (then stored in *homedir).
QString newLocation(QString* homedir);

enum class Load {
    Unreadable,  // missing, not a plain file, or cannot be opened
    Empty,       // zero bytes
    Data,        // `data` holds the file's bytes (as much as two records can take)
};
Load load(const QString& path, QByteArray& data);

// Replaces the file atomically, creating its directory when needed.
bool save(const QString& path, const QByteArray& bytes);

}  // namespace cfgfile
