// SPDX-License-Identifier: GPL-3.0-or-later
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
// configuration directory (when HOME or XDG_CONFIG_HOME gives one), $TEMP,
// $TMP (each only when set and not empty), then the current directory.
QStringList candidates();

// How a candidate stands. Anything of that name exists (a directory too);
// but one that is not owned by the user, or that group or others may write,
// is refused: it could choose the compiler that Brewpad runs, so it is passed
// over as if it did not exist, as ssh does with its files, and never written
// over. A symbolic link is judged by itself and by the file it leads to
// (host::linkStanding): every link of the way must be the user's own, and a
// link that leads nowhere is refused too, so that nothing is written through it.
enum class Standing { Absent, Usable, Refused };
// `reason` gets why a file is refused ("owned by another user", "group or
// others may write to it", or one of host::linkStanding's reasons).
Standing standing(const QString& path, QString* reason = nullptr);

// A refused candidate, for the report at start.
struct Skipped {
    QString path;
    QString reason;
};

// Where a new file goes when none is found: the first place of candidates()
// whose file is not refused. When that is the current directory, it is also
// stored in *homedir. Empty when every place is refused.
QString newLocation(QString* homedir);

enum class Load {
    Unreadable,  // missing, not a regular file (a FIFO or a device is never opened), or cannot be opened
    Empty,       // zero bytes
    Data,        // `data` holds the file's bytes (as much as two records can take)
};
Load load(const QString& path, QByteArray& data);

// Replaces the file atomically, creating its directory when needed, with no
// write permission for group or others. Refuses (false) to write over anything
// that is not a regular file, or that standing() refuses.
bool save(const QString& path, const QByteArray& bytes);

}  // namespace cfgfile
