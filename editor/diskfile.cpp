// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/diskfile.h"

#include "platform/host.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

FileStamp stampOf(const struct stat& st)
{
    FileStamp s;
    s.exists = true;
    s.device = std::uint64_t(st.st_dev);
    s.inode = std::uint64_t(st.st_ino);
    s.size = std::int64_t(st.st_size);
    s.mtimeSec = std::int64_t(st.st_mtim.tv_sec);
    s.mtimeNsec = std::int64_t(st.st_mtim.tv_nsec);
    s.ctimeSec = std::int64_t(st.st_ctim.tv_sec);
    s.ctimeNsec = std::int64_t(st.st_ctim.tv_nsec);
    return s;
}

// The path with its symbolic links followed, as far as they lead; a link to a
// file that does not exist yet leads to the name the file will have.
QString followLinks(const QString& path)
{
    QString p = nativepath::absolute(path);
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        const QByteArray native = nativename::encode(p);
        if (::lstat(native.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return p;
        QByteArray buf(4096, Qt::Uninitialized);
        const ssize_t n = ::readlink(native.constData(), buf.data(), size_t(buf.size()));
        if (n <= 0 || n >= buf.size())
            return p;
        const QString link = nativename::decode(buf.left(n));
        p = QDir::cleanPath(QFileInfo(link).isAbsolute() ? link : QFileInfo(p).absolutePath() + '/' + link);
    }
    return p;
}

bool writeAllTo(int fd, const char* data, qint64 size, int* err)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        if (n == 0) {
            *err = EIO;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Copies all of `from` (from its start) over `to` (from its start) and cuts
// `to` to that length; the result has reached the disk when true.
bool copyContent(int from, int to, int* err)
{
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0) {
        *err = errno;
        return false;
    }
    QByteArray buf(1 << 20, Qt::Uninitialized);
    off_t total = 0;
    for (;;) {
        const ssize_t n = ::read(from, buf.data(), size_t(buf.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            *err = errno;
            return false;
        }
        if (n == 0)
            break;
        if (!writeAllTo(to, buf.constData(), n, err))
            return false;
        total += n;
    }
    if (::ftruncate(to, total) != 0 || ::fsync(to) != 0) {
        *err = errno;
        return false;
    }
    return true;
}

// Creates a new file with a name of its own beside `target`; -1 with *err set
// when it cannot be created.
int createBeside(const QString& target, mode_t mode, QString* name, int* err)
{
    const QFileInfo fi(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = fi.absolutePath() + QStringLiteral("/.") + fi.fileName() + QLatin1Char('.') +
                                  QString::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 36);
        const int fd = ::open(nativename::encode(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            *name = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            *err = errno;
            return -1;
        }
    }
    *err = EEXIST;
    return -1;
}

// Creates the new file beside `target`, or, when the folder takes no new file
// (EACCES, EPERM) and `elsewhereOk`, in the temporary folder; *elsewhere tells
// which.
int createNear(const QString& target, mode_t mode, bool elsewhereOk, QString* name, bool* elsewhere, int* err)
{
    *elsewhere = false;
    const int fd = createBeside(target, mode, name, err);
    if (fd >= 0 || !elsewhereOk || (*err != EACCES && *err != EPERM))
        return fd;
    *elsewhere = true;
    return createBeside(host::tempRoot() + QLatin1Char('/') + QFileInfo(target).fileName(), mode, name, err);
}

void syncDirectoryOf(const QString& path)
{
    const int dfd = ::open(nativename::encode(QFileInfo(path).absolutePath()).constData(),
                           O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}

}  // namespace

FileStamp fileStamp(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(nativename::encode(path).constData(), &st) != 0)
        return {};
    return stampOf(st);
}

FileStamp fileStamp(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return {};
    return stampOf(st);
}

SafeFileWriter::SafeFileWriter(const QString& path) : path_(path) {}

SafeFileWriter::~SafeFileWriter()
{
    cancel();
}

bool SafeFileWriter::fail(const QString& why)
{
    error_ = why;
    return false;
}

bool SafeFileWriter::open()
{
    cancel();
    error_.clear();
    keptCopy_.clear();
    inPlace_ = false;
    hardLinked_ = false;
    attributesRead_ = false;
    written_ = 0;
    flushedTo_ = 0;
    target_ = followLinks(path_);
    const QByteArray native = nativename::encode(target_);
    QString what;
    switch (host::fileKind(target_, &what)) {
    case host::FileKind::Missing: targetExists_ = false; break;
    case host::FileKind::Unreadable:
        // A loop of links, a folder on the way that may not be searched: no
        // new file may take the place of what stands there.
        {
            struct stat st;
            return fail(systemError(::stat(native.constData(), &st) != 0 ? errno : EACCES));
        }
    case host::FileKind::NotRegular:
        return fail(QStringLiteral("It is %1, not a regular file: Brewpad writes only regular files.").arg(what));
    case host::FileKind::Regular: targetExists_ = true; break;
    }
    if (targetExists_) {
        struct stat st;
        if (::stat(native.constData(), &st) != 0)
            return fail(systemError(errno));
        // A file the user may not write stays as it is, though its folder would
        // let a new file take its place.
        if (::access(native.constData(), W_OK) != 0)
            return fail(systemError(errno));
        hardLinked_ = st.st_nlink > 1;
        targetMode_ = unsigned(st.st_mode & 07777);
        targetUid_ = unsigned(st.st_uid);
        targetGid_ = unsigned(st.st_gid);
        attributesRead_ = attributes_.read(native);
    }
    int err = 0;
    // A new file: 0666, which the system takes the umask off, the mode a new
    // file gets. The new content of an existing file stays private until it
    // gets the old file's mode.
    fd_ = createNear(target_, targetExists_ ? 0600 : 0666, targetExists_, &temp_, &inPlace_, &err);
    if (fd_ < 0)
        return fail(systemError(err));
    return true;
}

bool SafeFileWriter::write(const char* data, qint64 size)
{
    if (fd_ < 0)
        return fail(systemError(EBADF));
    int err = 0;
    if (!writeAllTo(fd_, data, size, &err))
        return fail(systemError(err));
    written_ += size;
    // The disk starts on what is written while the rest is still being made,
    // so that commit() waits only for the last part.
    constexpr qint64 step = qint64(8) << 20;
    if (written_ - flushedTo_ >= step) {
        (void)::sync_file_range(fd_, flushedTo_, written_ - flushedTo_, SYNC_FILE_RANGE_WRITE);
        flushedTo_ = written_;
    }
    return true;
}

void SafeFileWriter::cancel()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.isEmpty()) {
        ::unlink(nativename::encode(temp_).constData());
        temp_.clear();
    }
}

bool SafeFileWriter::commit()
{
    if (fd_ < 0)
        return fail(systemError(EBADF));
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        const int err = errno;
        cancel();
        return fail(systemError(err));
    }
    const bool ok = hardLinked_ || inPlace_ ? writeInPlace() : replaceByRename();
    cancel();
    return ok;
}

bool SafeFileWriter::keepOwner()
{
    struct stat st;
    if (::fstat(fd_, &st) != 0)
        return false;
    if (st.st_uid == uid_t(targetUid_) && st.st_gid == gid_t(targetGid_))
        return true;
    if (::fchown(fd_, uid_t(targetUid_), gid_t(targetGid_)) != 0)
        (void)::fchown(fd_, uid_t(-1), gid_t(targetGid_));
    return ::fstat(fd_, &st) == 0 && st.st_uid == uid_t(targetUid_) && st.st_gid == gid_t(targetGid_);
}

bool SafeFileWriter::replaceByRename()
{
    if (targetExists_) {
        // The owner and group first: a change of owner clears the set-id bits,
        // which the mode then puts back. What the new file cannot be given
        // stays with the old one, which is written in place then.
        if (!keepOwner() || !attributesRead_ || !attributes_.applyTo(fd_))
            return writeInPlace();
        if (::fchmod(fd_, mode_t(targetMode_)) != 0)
            return fail(systemError(errno));
    }
    const QByteArray native = nativename::encode(target_);
    // A large old content is let go of apart: the system frees its pages when
    // the last descriptor closes, which need not hold up the save.
    const int old = targetExists_ ? ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC) : -1;
    struct stat oldStat;
    const bool large = old >= 0 && ::fstat(old, &oldStat) == 0 && oldStat.st_size >= (qint64(8) << 20);
    if (::rename(nativename::encode(temp_).constData(), native.constData()) != 0) {
        const int err = errno;
        if (old >= 0)
            ::close(old);
        return fail(systemError(err));
    }
    if (large)
        std::thread([old] { ::close(old); }).detach();
    else if (old >= 0)
        ::close(old);
    temp_.clear();  // it is the target now
    committed_ = fileStamp(fd_);
    syncDirectoryOf(target_);
    return true;
}

bool SafeFileWriter::writeInPlace()
{
    const QByteArray native = nativename::encode(target_);
    // Not blocking, and only a regular file: a named pipe that took the file's
    // place meanwhile is not written.
    const int target = ::open(native.constData(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (target < 0)
        return fail(systemError(errno));
    struct stat tst;
    if (::fstat(target, &tst) != 0 || !S_ISREG(tst.st_mode)) {
        ::close(target);
        return fail(QStringLiteral("It is not a regular file any more: Brewpad writes only regular files."));
    }
    (void)::fcntl(target, F_SETFL, ::fcntl(target, F_GETFL) & ~O_NONBLOCK);

    // A copy of the old content, safely on disk, before the file is touched.
    QString backupName;
    int err = 0;
    bool elsewhere = false;
    const int backup = createNear(target_, 0600, true, &backupName, &elsewhere, &err);
    if (backup < 0) {
        ::close(target);
        return fail(systemError(err));
    }
    auto removeBackup = [&] {
        ::close(backup);
        ::unlink(nativename::encode(backupName).constData());
    };
    if (!copyContent(target, backup, &err)) {
        ::close(target);
        removeBackup();
        return fail(systemError(err));
    }

    if (!copyContent(fd_, target, &err)) {
        int restoreErr = 0;
        const bool restored = copyContent(backup, target, &restoreErr);
        ::close(target);
        if (restored) {
            removeBackup();
        } else {
            ::close(backup);
            keptCopy_ = backupName;
            return fail(QStringLiteral("%1. The file may be damaged: its old content is kept in %2")
                            .arg(systemError(err), QDir::toNativeSeparators(backupName)));
        }
        return fail(systemError(err));
    }
    // A write by a user without the right to keep them clears the set-id bits.
    struct stat st;
    if (::fstat(target, &st) == 0 && unsigned(st.st_mode & 07777) != targetMode_)
        (void)::fchmod(target, mode_t(targetMode_));
    committed_ = fileStamp(target);
    ::close(target);
    removeBackup();
    return true;
}

bool writeFileSafely(const QString& path, QByteArrayView bytes, QString* why, FileStamp* stamp)
{
    SafeFileWriter w(path);
    const bool ok = w.open() && w.write(bytes) && w.commit();
    if (!ok && why)
        *why = w.errorString();
    if (ok && stamp)
        *stamp = w.committedStamp();
    return ok;
}
