// SPDX-License-Identifier: GPL-3.0-or-later
// What differs between hosts: names of tools, where files live, volumes, terminals.
#pragma once
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

namespace host {

// The separator of composed paths ('/' here, '\\' on Windows).
QChar separator();
// The executable suffix of the host ("" here, ".exe" on Windows).
QString exeSuffix();
// A tool's file name on this host: "javac" -> "javac" (or "javac.exe").
QString toolName(const QString& base);

// The user's configuration directory for Brewpad: $XDG_CONFIG_HOME/brewpad,
// by default ~/.config/brewpad. Not created here. Empty when neither
// XDG_CONFIG_HOME nor HOME holds an absolute path (a start without HOME then
// keeps its configuration in the next place, never in "/.config").
QString configDir();

// What stands at a path that Brewpad reads at start.
enum class FileKind {
    Missing,     // nothing of that name
    Regular,     // a regular file (or a link to one), now open in `file`
    NotRegular,  // a directory, FIFO, device or socket: never opened for reading
    Unreadable,  // there, but cannot be looked at or opened
};
// What stands at `path` (links followed), without opening it. For NotRegular,
// *what receives its kind in words: "a folder", "a named pipe", "a character
// device", "a block device" or "a socket". A link loop is Unreadable.
FileKind fileKind(const QString& path, QString* what = nullptr);
// Opens `path` for reading only when it is a regular file. A FIFO, a device or
// a directory of that name is never read, so nothing blocks on it or reads
// without end; a file swapped for one between the look and the open is caught
// too. *what as for fileKind.
FileKind openRegular(const QString& path, QFile& file, QString* what = nullptr);
// The same with a plain descriptor: the open descriptor (blocking, close on
// exec) of the regular file, else -1 with *kind telling why.
int openRegularFd(const QString& path, FileKind* kind, QString* what = nullptr);

// How a path stands that may be a symbolic link, before Brewpad reads or
// writes through it. A link is trusted only when every link on the way is
// the user's own and the file it leads to is the user's own and not writable
// by group or others; otherwise another user could choose what is read, or
// where a write lands. (A link's own mode is not looked at: on this host it
// is always rwxrwxrwx and never consulted.) `reason` gets why a link is
// refused: "a link owned by another user", "a link to a file owned by another
// user", "a link to a file that group or others may write", "a link that
// leads nowhere".
enum class LinkStanding { NotALink, Trusted, Refused };
LinkStanding linkStanding(const QString& path, QString* reason = nullptr);

// TEMP, else TMP, else TMPDIR, else /tmp.
QString tempRoot();
// Makes a relative TEMP, TMP or TMPDIR absolute, taken from the current
// directory, in the process's environment (so also for the programs Brewpad
// starts). Called once at start, before anything changes the current
// directory: compiling does, and a relative value would then name another folder.
void makeTempVariablesAbsolute();

// The private capture directory tempRoot()/brewpad-<uid>, created with mode 0700.
// Returns an empty string and sets *error when a directory of that name exists
// but is not Brewpad's own (a link, another owner, or open to others), or cannot
// be created.
QString captureDir(QString* error);

// A mounted volume to search for tools.
struct Volume {
    QString root;    // mount point
    QString fsType;  // file system type as the system reports it
    QByteArray device;
};
// Mounted volumes in ascending order of their root path.
std::vector<Volume> mountedVolumes();
// True for virtual file systems and removable media that are never searched.
bool isSkippedVolume(const Volume& v);
// True when the block device `name` (as in /dev/<name>) is removable, or is a
// partition of a removable disk (mmcblk0p1 of mmcblk0, sdb1 of sdb), as the
// sysfs tree under `sysRoot` says.
bool isRemovableBlockDevice(const QString& name, const QString& sysRoot = QStringLiteral("/sys"));

// The terminal program for Java Run: $COMSPEC when set, else the first of
// x-terminal-emulator and xterm found on PATH; empty when there is none.
QString findTerminal();

}  // namespace host
