// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the user's files: links, owner, group, mode and extended attributes
// survive, nothing is left half written or beside the file, only regular files
// are written; and the stamps that tell a changed file.
#include "editor/diskfile.h"
#include "editor/unix2dos.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

struct stat statOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// An access control list in the form the system keeps in
// "system.posix_acl_access": the owner rw-, user 4242 r--, the group r--, the
// mask r--, others nothing.
QByteArray accessControlList()
{
    QByteArray acl;
    auto put = [&](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl += char((v >> (8 * i)) & 0xFF);
    };
    put(2, 4);  // version
    const quint32 none = 0xFFFFFFFF;
    for (auto [tag, perm, id] :
         {std::tuple{0x01u, 6u, none}, std::tuple{0x02u, 4u, 4242u}, std::tuple{0x04u, 4u, none},
          std::tuple{0x10u, 4u, none}, std::tuple{0x20u, 0u, none}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return acl;
}

bool isKind(const QString& path, mode_t kind)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

}  // namespace

TEST(SafeFileWriter, HardLinkedFileStaysOneFile)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("A.java");
    const QString b = dir.filePath("B.java");
    writeFile(a, "old text, longer than the new one\n");
    ASSERT_EQ(::link(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()), 0);
    const ino_t inode = statOf(a).st_ino;

    QString why;
    ASSERT_TRUE(writeFileSafely(a, "new\n", &why)) << why.toStdString();
    EXPECT_EQ(readFile(a), "new\n");
    EXPECT_EQ(readFile(b), "new\n");  // the other name sees the new text
    EXPECT_EQ(statOf(a).st_ino, inode);
    EXPECT_EQ(statOf(b).st_nlink, 2u);
    EXPECT_EQ(entries(dir.path()), QStringList({"A.java", "B.java"}));  // no copy left behind

    // Longer content through the other name.
    const QByteArray longer = QByteArray("x").repeated(3 << 20);
    ASSERT_TRUE(writeFileSafely(b, longer, &why)) << why.toStdString();
    EXPECT_EQ(readFile(a), longer);
    EXPECT_EQ(statOf(a).st_ino, inode);
}

TEST(SafeFileWriter, OwnerGroupAndSetIdBitsSurvive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tool.java");
    writeFile(path, "old\n");
    const QByteArray native = QFile::encodeName(path);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(native.constData(), 4242, 4343), 0);
    }
    // After the owner: a change of owner clears the set-id bits.
    ASSERT_EQ(::chmod(native.constData(), 06754), 0);
    const struct stat before = statOf(path);

    for (const QByteArray& content : {QByteArray("new\n"), QByteArray("newer\n")}) {
        QString why;
        ASSERT_TRUE(writeFileSafely(path, content, &why)) << why.toStdString();
        const struct stat after = statOf(path);
        EXPECT_EQ(readFile(path), content);
        EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
        EXPECT_EQ(after.st_uid, before.st_uid);
        EXPECT_EQ(after.st_gid, before.st_gid);
        if (root) {
            EXPECT_EQ(after.st_uid, 4242u);
            EXPECT_EQ(after.st_gid, 4343u);
        }
    }

    // The same for a file with two names, written in place.
    const QString other = dir.filePath("Other.java");
    ASSERT_EQ(::link(native.constData(), QFile::encodeName(other).constData()), 0);
    QString why;
    ASSERT_TRUE(writeFileSafely(other, "in place\n", &why)) << why.toStdString();
    const struct stat linked = statOf(path);
    EXPECT_EQ(readFile(path), "in place\n");
    EXPECT_EQ(linked.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(linked.st_uid, before.st_uid);
    EXPECT_EQ(linked.st_gid, before.st_gid);
}

TEST(SafeFileWriter, SymbolicLinksStayLinks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("real")));
    const QString target = dir.filePath("real/T.java");
    writeFile(target, "old\n");
    // A relative link, and a link to that link.
    const QString link = dir.filePath("L.java");
    const QString chain = dir.filePath("LL.java");
    ASSERT_EQ(::symlink("real/T.java", QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::symlink("L.java", QFile::encodeName(chain).constData()), 0);

    SafeFileWriter w(chain);
    ASSERT_TRUE(w.open()) << w.errorString().toStdString();
    EXPECT_EQ(w.targetPath(), target);
    ASSERT_TRUE(w.write("new\n") && w.commit()) << w.errorString().toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(chain).isSymLink());
    EXPECT_EQ(readFile(target), "new\n");

    // A link to a file that does not exist yet creates that file.
    const QString dangling = dir.filePath("D.java");
    ASSERT_EQ(::symlink("real/New.java", QFile::encodeName(dangling).constData()), 0);
    ASSERT_TRUE(writeFileSafely(dangling, "created\n"));
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("real/New.java")), "created\n");
}

TEST(SafeFileWriter, NewFileGetsTheUsualMode)
{
    QTemporaryDir dir;
    const mode_t old = ::umask(027);
    const bool ok = writeFileSafely(dir.filePath("N.java"), "n\n");
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(statOf(dir.filePath("N.java")).st_mode & 07777, 0640u);
}

TEST(SafeFileWriter, FailedWriteLeavesTheFileAndNothingBeside)
{
    QTemporaryDir dir;
    const QString single = dir.filePath("S.java");
    const QString linked = dir.filePath("L.java");
    writeFile(single, "old single\n");
    writeFile(linked, "old linked\n");
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), QFile::encodeName(dir.filePath("L2.java")).constData()),
              0);
    const QByteArray big = QByteArray("y").repeated(4096);
    for (const QString& path : {single, linked}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = readFile(path);
        QString why;
        bool ok;
        {
            FileSizeLimit limit(1000);
            ASSERT_TRUE(limit.ok());
            ok = writeFileSafely(path, big, &why);
        }
        EXPECT_FALSE(ok);
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(readFile(path), before);
    }
    EXPECT_EQ(entries(dir.path()), QStringList({"L.java", "L2.java", "S.java"}));

    // A file the user may not write is left alone, though its folder is writable.
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    ASSERT_TRUE(giveToUnprivilegedUser(single));
    asUnprivilegedUser([&] {
        ASSERT_EQ(::chmod(QFile::encodeName(single).constData(), 0444), 0);
        QString refused;
        EXPECT_FALSE(writeFileSafely(single, "new", &refused));
        EXPECT_EQ(refused, QString::fromLocal8Bit(strerror(EACCES)));
        EXPECT_EQ(readFile(single), "old single\n");
        ::chmod(QFile::encodeName(single).constData(), 0644);
    });

    // A folder that is a file: nothing can be created.
    QString why;
    EXPECT_FALSE(writeFileSafely(single + "/X.java", "x", &why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(FileStamps, TellAChangedFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("F.java");
    EXPECT_FALSE(fileStamp(path).exists);
    writeFile(path, "one\n");
    const FileStamp first = fileStamp(path);
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(fileStamp(path), first);
    EXPECT_EQ(first.size, 4);

    // Written by us: the writer gives the new stamp.
    FileStamp written;
    ASSERT_TRUE(writeFileSafely(path, "two\n", nullptr, &written));
    EXPECT_NE(written, first);
    EXPECT_EQ(fileStamp(path), written);

    // Same size, a new modification time only.
    struct timespec times[2] = {{0, UTIME_OMIT}, {1000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    const FileStamp touched = fileStamp(path);
    EXPECT_NE(touched, written);
    EXPECT_EQ(touched.mtimeNsec, 123456789);
    times[1].tv_nsec = 123456790;  // one nanosecond later
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    EXPECT_NE(fileStamp(path), touched);
}

TEST(SafeFileWriter, ExtendedAttributesAndAccessControlListsSurvive)
{
    const auto dir = temporaryDirWithAttributes();
    ASSERT_TRUE(dir);
    const QString path = dir->filePath("Noted.java");
    writeFile(path, "old\n");
    ASSERT_TRUE(setAttribute(path, "user.note", "reviewed"));
    const QByteArray native = QFile::encodeName(path);
    const bool acls = ::setxattr(native.constData(), "system.posix_acl_access", accessControlList().constData(),
                                 size_t(accessControlList().size()), 0) == 0;
    const QByteArray acl = attribute(path, "system.posix_acl_access");

    for (const QByteArray& content : {QByteArray("new\n"), QByteArray("newer, longer\n")}) {
        QString why;
        ASSERT_TRUE(writeFileSafely(path, content, &why)) << why.toStdString();
        EXPECT_EQ(readFile(path), content);
        EXPECT_EQ(attribute(path, "user.note"), "reviewed");
        if (acls) {
            EXPECT_EQ(attribute(path, "system.posix_acl_access"), acl);
        }
    }
    ASSERT_EQ(convertFileToDos(path), Unix2DosResult::Converted);
    EXPECT_EQ(readFile(path), "newer, longer\r\n");
    EXPECT_EQ(attribute(path, "user.note"), "reviewed");
    EXPECT_EQ(entries(dir->path()), QStringList({"Noted.java"}));
    if (!acls)
        GTEST_SKIP() << "this file system keeps no access control lists: only user.* was checked";
}

TEST(SafeFileWriter, NewContentOfAPrivateFileStaysPrivateWhileItIsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Private.java");
    writeFile(path, "old\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    const mode_t old = ::umask(022);
    SafeFileWriter w(path);
    const bool opened = w.open() && w.write("secret\n");
    ::umask(old);
    ASSERT_TRUE(opened) << w.errorString().toStdString();
    const QStringList names = entries(dir.path());
    ASSERT_EQ(names.size(), 2);
    for (const QString& name : names)
        EXPECT_EQ(statOf(dir.filePath(name)).st_mode & 0777, 0600u) << name.toStdString();
    ASSERT_TRUE(w.commit()) << w.errorString().toStdString();
    EXPECT_EQ(statOf(path).st_mode & 07777, 0600u);
    EXPECT_EQ(readFile(path), "secret\n");
}

TEST(SafeFileWriter, FileInAFolderTheUserMayNotWriteIsWrittenInPlace)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);  // others may enter
    const QString locked = dir.filePath("locked");
    const QString temp = dir.filePath("temp");
    ASSERT_TRUE(QDir().mkpath(locked) && QDir().mkpath(temp));
    const QString path = locked + "/Mine.java";
    writeFile(path, "old\n");
    ASSERT_TRUE(giveToUnprivilegedUser(path) && giveToUnprivilegedUser(temp));
    // Root's folder, which the unprivileged user may not write (nor may the
    // test's own user, when it is not root).
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), geteuid() == 0 ? 0755 : 0555), 0);
    const ino_t inode = statOf(path).st_ino;

    asUnprivilegedUser([&] {
        qputenv("TEMP", QFile::encodeName(temp));
        QString why;
        ASSERT_TRUE(writeFileSafely(path, "new\n", &why)) << why.toStdString();
        EXPECT_EQ(readFile(path), "new\n");
        EXPECT_EQ(statOf(path).st_ino, inode);
        EXPECT_EQ(entries(locked), QStringList({"Mine.java"}));
        EXPECT_EQ(entries(temp), QStringList());
        {
            // A write that fails leaves the file as it was.
            FileSizeLimit limit(3);
            ASSERT_TRUE(limit.ok());
            EXPECT_FALSE(writeFileSafely(path, "too long for the limit\n", &why));
        }
        EXPECT_EQ(readFile(path), "new\n");
        EXPECT_EQ(convertFileToDos(path), Unix2DosResult::Converted);
        EXPECT_EQ(readFile(path), "new\r\n");
        EXPECT_EQ(entries(locked), QStringList({"Mine.java"}));
        EXPECT_EQ(entries(temp), QStringList());
    });
    ::chmod(QFile::encodeName(locked).constData(), 0755);
}

TEST(SafeFileWriter, FileWhoseOwnerTheNewOneCannotHaveIsWrittenInPlace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root, to give the file to another user than the one who writes it";
    const auto dir = temporaryDirWithAttributes();
    ASSERT_TRUE(dir);
    ASSERT_EQ(::chmod(QFile::encodeName(dir->path()).constData(), 0755), 0);
    const QString open = dir->filePath("open");
    ASSERT_TRUE(QDir().mkpath(open) && giveToUnprivilegedUser(open));
    // Root's file, which everyone may write, in a folder of the unprivileged user.
    const QString path = open + "/Shared.java";
    writeFile(path, "old\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    ASSERT_TRUE(setAttribute(path, "user.note", "shared"));
    const ino_t inode = statOf(path).st_ino;

    asUnprivilegedUser([&] {
        QString why;
        ASSERT_TRUE(writeFileSafely(path, "new\n", &why)) << why.toStdString();
        EXPECT_EQ(readFile(path), "new\n");
    });
    const struct stat after = statOf(path);
    EXPECT_EQ(after.st_uid, 0u);
    EXPECT_EQ(after.st_gid, 0u);
    EXPECT_EQ(after.st_ino, inode);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(attribute(path, "user.note"), "shared");
    EXPECT_EQ(entries(open), QStringList({"Shared.java"}));
}

TEST(SafeFileWriter, OnlyRegularFilesAreWritten)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("A.java");
    const QString b = dir.filePath("B.java");
    ASSERT_EQ(::symlink("B.java", QFile::encodeName(a).constData()), 0);
    ASSERT_EQ(::symlink("A.java", QFile::encodeName(b).constData()), 0);
    QString why;
    EXPECT_FALSE(writeFileSafely(a, "x\n", &why));
    EXPECT_EQ(why, QString::fromLocal8Bit(strerror(ELOOP)));
    EXPECT_TRUE(isKind(a, S_IFLNK));
    EXPECT_TRUE(isKind(b, S_IFLNK));

    const QString pipe = dir.filePath("Pipe.java");
    const QString toPipe = dir.filePath("ToPipe.java");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    ASSERT_EQ(::symlink("Pipe.java", QFile::encodeName(toPipe).constData()), 0);
    for (const QString& path : {pipe, toPipe}) {
        why.clear();
        EXPECT_FALSE(writeFileSafely(path, "x\n", &why));
        EXPECT_EQ(why, "It is a named pipe, not a regular file: Brewpad writes only regular files.");
    }
    EXPECT_TRUE(isKind(pipe, S_IFIFO));
    EXPECT_TRUE(isKind(toPipe, S_IFLNK));
    EXPECT_EQ(convertFileToDos(pipe, &why), Unix2DosResult::Failed);
    EXPECT_TRUE(isKind(pipe, S_IFIFO));

    if (geteuid() == 0) {
        const QString device = dir.filePath("Null.java");
        ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        EXPECT_FALSE(writeFileSafely(device, "x\n", &why));
        EXPECT_EQ(why, "It is a character device, not a regular file: Brewpad writes only regular files.");
        EXPECT_TRUE(isKind(device, S_IFCHR));
    }
    EXPECT_EQ(entries(dir.path()).size(), geteuid() == 0 ? 5 : 4);
}

TEST(FileStamps, TellASameSizeWriteWhoseModificationTimeWasPutBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Kept.java");
    writeFile(path, "one\n");
    const FileStamp read = fileStamp(path);
    // Later than the clock's step, as any other program's write would be.
    QThread::msleep(30);
    writeFile(path, "two\n");
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(read.mtimeSec), long(read.mtimeNsec)}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    const FileStamp now = fileStamp(path);
    EXPECT_EQ(now.size, read.size);
    EXPECT_EQ(now.inode, read.inode);
    EXPECT_EQ(now.mtimeNsec, read.mtimeNsec);
    EXPECT_NE(now, read);
}

// A large file's old content is let go of after the save has returned: the
// new content is in place at once, and no descriptor of the old one stays.
TEST(SafeFileWriter, ALargeFileIsReplacedAndItsOldContentLetGo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Big.java"));
    const QByteArray old(qsizetype(9) << 20, 'x');
    const QByteArray now(qsizetype(10) << 20, 'y');
    ASSERT_TRUE(writeFileSafely(path, old, nullptr));
    auto openDescriptors = [] {
        return QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
            .size();
    };
    const qsizetype before = openDescriptors();
    for (int round = 0; round < 3; ++round) {
        QString why;
        ASSERT_TRUE(writeFileSafely(path, round % 2 ? old : now, &why)) << why.toStdString();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), round % 2 ? old : now);
    }
    for (int wait = 0; wait < 200 && openDescriptors() > before; ++wait)
        QThread::msleep(10);
    EXPECT_EQ(openDescriptors(), before);
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("Big.java")});
}
