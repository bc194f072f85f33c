// Writing the user's files: links, owner, group and mode survive, nothing is
// left half written or beside the file; and the stamps that tell a changed file.
#include "editor/diskfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
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
    ASSERT_EQ(::link(QFile::encodeName(linked).constData(), QFile::encodeName(dir.filePath("L2.java")).constData()), 0);
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
