// SPDX-License-Identifier: GPL-3.0-or-later
// What Brewpad knows of a file on disk, and how it writes one that the user
// owns.
//
// FileStamp: the identity and state of a file (device, inode, size, and the
// modification and change times to the nanosecond). A window remembers the
// stamp of its file when it reads or writes it; a different stamp later means
// that something else wrote the file (another program, another window, a Save
// As onto it). The change time catches a write whose old modification time was
// put back (cp -p, touch -r, rsync -t --inplace): nobody can set it.
//
// SafeFileWriter: the new content goes to a file of its own beside the target
// first; only when all of it was written and reached the disk does it take the
// target's place. So a full disk, a missing folder or a crash never leaves the
// file half written. What the file is stays as it was:
//   - symbolic links are followed: the file they lead to gets the content, the
//     links stay links; a loop of links is not written;
//   - only regular files are written: a folder, named pipe, device or socket
//     of that name is refused, with its kind in the error;
//   - a file with one name is replaced atomically (rename) when the new file
//     can be given everything of the old one: its owner and group, its mode
//     (set-user-id and set-group-id included) and its extended attributes
//     (access control lists among them). The new file is private (0600) while
//     it is written, so that no one reads a private file's new text meanwhile;
//   - otherwise the file is written in place: a file with more than one hard
//     link (so that it stays one file and every name shows the new content), a
//     file whose owner, group or attributes the new one could not be given, and
//     a file the user may write in a folder the user may not write. The new
//     content and a copy of the old content are kept first (beside the file, or
//     in the temporary folder when the file's folder takes no new file), then
//     the new content is written into the file itself; if that write fails the
//     old content is put back (or, should even that fail, the copy is kept and
//     named in the error);
//   - a new file gets the mode 0666 less the process's umask;
//   - a file that the user may not write is not written (EACCES), even when
//     its folder would let a new file take its place.
// Nothing is left beside the file afterwards, whether the write succeeded or not
// (but for the kept copy just named).
#pragma once
#include <QByteArrayView>
#include <QString>

#include "editor/xattrs.h"

#include <cstdint>

struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;
    std::int64_t ctimeSec = 0;
    std::int64_t ctimeNsec = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path` (links followed); exists is false when there is none.
FileStamp fileStamp(const QString& path);
// The stamp of an open file.
FileStamp fileStamp(int fd);

class SafeFileWriter {
public:
    explicit SafeFileWriter(const QString& path);
    ~SafeFileWriter();  // gives up what was not committed
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the file that receives the new content; false with errorString().
    bool open();
    // Appends bytes; false with errorString() when they could not all be written.
    bool write(const char* data, qint64 size);
    bool write(QByteArrayView bytes) { return write(bytes.data(), bytes.size()); }
    // Puts the new content in place; false with errorString().
    bool commit();
    // Gives up: removes what was written, the target stays as it was.
    void cancel();

    // Why the last step failed: the system's words for it.
    QString errorString() const { return error_; }
    // False only when a failed commit may have left the target changed; its
    // old content is then kept in keptCopy().
    bool targetUntouched() const { return keptCopy_.isEmpty(); }
    QString keptCopy() const { return keptCopy_; }
    // The file that is written: the path with its symbolic links followed.
    QString targetPath() const { return target_; }
    // The stamp of the target after a successful commit.
    FileStamp committedStamp() const { return committed_; }

private:
    bool fail(const QString& why);
    bool replaceByRename();
    // Gives the new file the target's owner and group; false when it cannot.
    bool keepOwner();
    bool writeInPlace();

    QString path_;
    QString target_;
    QString temp_;
    int fd_ = -1;
    qint64 written_ = 0;    // bytes written to fd_
    qint64 flushedTo_ = 0;  // bytes whose write-back to the disk has begun
    bool targetExists_ = false;
    bool hardLinked_ = false;
    bool inPlace_ = false;  // the new content waits away from the file's folder
    bool attributesRead_ = false;
    ExtendedAttributes attributes_;
    unsigned targetMode_ = 0;
    unsigned targetUid_ = 0;
    unsigned targetGid_ = 0;
    QString error_;
    QString keptCopy_;
    FileStamp committed_;
};

// Writes all of `bytes` to `path` with a SafeFileWriter. On failure *why holds
// the reason (and names the kept copy of the old content, in the rare case that
// there is one); *stamp receives the file's stamp after a success.
bool writeFileSafely(const QString& path, QByteArrayView bytes, QString* why = nullptr, FileStamp* stamp = nullptr);
