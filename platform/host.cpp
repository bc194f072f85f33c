// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/host.h"

#include "platform/nativename.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

QChar separator()
{
#ifdef Q_OS_WIN
    return QChar('\\');
#else
    return QChar('/');
#endif
}

QString exeSuffix()
{
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return QString();
#endif
}

QString toolName(const QString& base)
{
    return base + exeSuffix();
}

QString configDir()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        // Not QDir::homePath(): without HOME it answers "/".
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return QString();
        base = home + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/brewpad");
}

namespace {

QString kindWords(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("a named pipe");
    if (S_ISCHR(mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

FileKind kindOf(int statResult, const struct stat& st, QString* what)
{
    if (statResult != 0)
        return (errno == ENOENT || errno == ENOTDIR) ? FileKind::Missing : FileKind::Unreadable;
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (what)
        *what = kindWords(st.st_mode);
    return FileKind::NotRegular;
}

}  // namespace

FileKind fileKind(const QString& path, QString* what)
{
    if (path.isEmpty())
        return FileKind::Missing;
    struct stat st;
    const int r = stat(nativename::encode(path).constData(), &st);
    return kindOf(r, st, what);
}

int openRegularFd(const QString& path, FileKind* kind, QString* what)
{
    *kind = fileKind(path, what);
    if (*kind != FileKind::Regular)
        return -1;
    // O_NONBLOCK: should a FIFO have taken the file's place meanwhile, the
    // open does not wait for a writer; fstat below then refuses it.
    const int fd = open(nativename::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *kind = errno == ENOENT ? FileKind::Missing : FileKind::Unreadable;
        return -1;
    }
    struct stat st;
    const int r = fstat(fd, &st);
    *kind = kindOf(r, st, what);
    if (*kind != FileKind::Regular) {
        close(fd);
        return -1;
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags != -1)
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

FileKind openRegular(const QString& path, QFile& file, QString* what)
{
    FileKind kind = FileKind::Missing;
    const int fd = openRegularFd(path, &kind, what);
    if (fd < 0)
        return kind;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        close(fd);
        return FileKind::Unreadable;
    }
    return FileKind::Regular;
}

QString tempRoot()
{
    for (const char* var : {"TEMP", "TMP", "TMPDIR"}) {
        QString v = qEnvironmentVariable(var);
        if (!v.isEmpty())
            return v;
    }
    return QStringLiteral("/tmp");
}

LinkStanding linkStanding(const QString& path, QString* reason)
{
    QByteArray at = nativename::encode(path);
    struct stat st;
    if (path.isEmpty() || lstat(at.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
        return LinkStanding::NotALink;
    auto refuse = [reason](const char* why) {
        if (reason)
            *reason = QString::fromLatin1(why);
        return LinkStanding::Refused;
    };
    // Each link of the chain, as the system follows it (at most 40).
    for (int hops = 0; S_ISLNK(st.st_mode); ++hops) {
        if (st.st_uid != getuid())
            return refuse("a link owned by another user");
        if (hops == 40)
            return refuse("a link that leads nowhere");
        char buf[PATH_MAX];
        const ssize_t n = readlink(at.constData(), buf, sizeof buf);
        if (n <= 0 || n == ssize_t(sizeof buf))
            return refuse("a link that leads nowhere");
        const QByteArray target(buf, qsizetype(n));
        if (!target.startsWith('/')) {
            const qsizetype slash = at.lastIndexOf('/');
            at = (slash < 0 ? QByteArray() : at.left(slash + 1)) + target;
        } else {
            at = target;
        }
        if (lstat(at.constData(), &st) != 0)
            return refuse("a link that leads nowhere");
    }
    if (st.st_uid != getuid())
        return refuse("a link to a file owned by another user");
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return refuse("a link to a file that group or others may write");
    return LinkStanding::Trusted;
}

void makeTempVariablesAbsolute()
{
    for (const char* var : {"TEMP", "TMP", "TMPDIR"}) {
        const QByteArray v = qgetenv(var);
        if (v.isEmpty() || v.startsWith('/'))
            continue;
        // The bytes of the directory's name, whatever their encoding.
        char buf[PATH_MAX];
        if (!getcwd(buf, sizeof buf))
            return;
        const QByteArray cwd(buf);
        qputenv(var, cwd.endsWith('/') ? cwd + v : cwd + '/' + v);
    }
}

QString captureDir(QString* error)
{
    QString dir = tempRoot() + QStringLiteral("/brewpad-") + QString::number(getuid());
    const QByteArray native = QFile::encodeName(dir);
    struct stat st;
    if (lstat(native.constData(), &st) != 0) {
        if (mkdir(native.constData(), 0700) != 0 || lstat(native.constData(), &st) != 0) {
            if (error)
                *error = QStringLiteral("Cannot create the directory %1 for compiler messages.").arg(dir);
            return QString();
        }
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0) {
        if (error)
            *error = QStringLiteral(
                         "The directory %1 is not Brewpad's own (a link, another owner, or "
                         "open to others); compiler messages cannot be kept there. Remove "
                         "it or set TEMP to another directory.")
                         .arg(dir);
        return QString();
    }
    return dir;
}

std::vector<Volume> mountedVolumes()
{
    std::vector<Volume> out;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid())
            continue;
        out.push_back(Volume{s.rootPath(), QString::fromLatin1(s.fileSystemType()), s.device()});
    }
    std::sort(out.begin(), out.end(), [](const Volume& a, const Volume& b) { return a.root < b.root; });
    out.erase(std::unique(out.begin(), out.end(), [](const Volume& a, const Volume& b) { return a.root == b.root; }),
              out.end());
    return out;
}

bool isSkippedVolume(const Volume& v)
{
    static const QStringList virtualFs = {"proc",    "sysfs",       "devtmpfs", "devpts",  "cgroup",
                                          "cgroup2", "securityfs",  "debugfs",  "tracefs", "pstore",
                                          "bpf",     "mqueue",      "configfs", "fusectl", "hugetlbfs",
                                          "autofs",  "binfmt_misc", "efivarfs", "nsfs",    "rpc_pipefs"};
    if (virtualFs.contains(v.fsType))
        return true;
    // Removable media: devices whose sysfs entry says so.
    const QString dev = QString::fromLocal8Bit(v.device);
    if (dev.startsWith(QStringLiteral("/dev/"))) {
        const QString real = QFileInfo(dev).canonicalFilePath();
        return isRemovableBlockDevice(QFileInfo(real.isEmpty() ? dev : real).fileName());
    }
    return false;
}

namespace {

// The first line of a sysfs attribute is "1".
bool flagSet(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.readLine().trimmed() == "1";
}

// The disk of a partition named the kernel's way: "sdb1" -> "sdb",
// "mmcblk0p1" -> "mmcblk0", "nvme0n1p2" -> "nvme0n1". Empty when `name`
// does not end in a partition number.
QString diskOfPartitionName(const QString& name)
{
    qsizetype end = name.size();
    while (end > 0 && name[end - 1].isDigit())
        --end;
    if (end == name.size() || end == 0)
        return QString();
    // A disk whose name ends in a digit numbers its partitions after a "p".
    if (end >= 2 && name[end - 1] == QLatin1Char('p') && name[end - 2].isDigit())
        --end;
    return name.left(end);
}

}  // namespace

bool isRemovableBlockDevice(const QString& name, const QString& sysRoot)
{
    if (name.isEmpty() || name.contains(QLatin1Char('/')))
        return false;
    // /sys/class/block/<name> leads to the device's own directory; a
    // partition's directory lies inside that of its disk, which holds the flag.
    const QString entry = QFileInfo(sysRoot + QStringLiteral("/class/block/") + name).canonicalFilePath();
    if (!entry.isEmpty()) {
        if (QFileInfo::exists(entry + QStringLiteral("/partition")))
            return flagSet(QFileInfo(entry).path() + QStringLiteral("/removable"));
        return flagSet(entry + QStringLiteral("/removable"));
    }
    // Without that class directory: /sys/block lists the disks only.
    const QString block = sysRoot + QStringLiteral("/block/");
    if (QFileInfo::exists(block + name + QStringLiteral("/removable")))
        return flagSet(block + name + QStringLiteral("/removable"));
    const QString disk = diskOfPartitionName(name);
    return !disk.isEmpty() && flagSet(block + disk + QStringLiteral("/removable"));
}

QString findTerminal()
{
    QString comspec = qEnvironmentVariable("COMSPEC");
    if (!comspec.isEmpty())
        return comspec;
    for (const char* t : {"x-terminal-emulator", "xterm"}) {
        QString p = QStandardPaths::findExecutable(QString::fromLatin1(t));
        if (!p.isEmpty())
            return p;
    }
    return QString();
}

}  // namespace host
