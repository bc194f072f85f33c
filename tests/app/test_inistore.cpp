// SPDX-License-Identifier: GPL-3.0-or-later
// The "Brewpad.ini" store: the start-up "Count", lines kept byte for byte,
// files that cannot be written, and the recent-file list.
#include "app/inistore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support.h"

#include <chrono>
#include <functional>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

mode_t fileType(const QString& path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// The start's use of the store: read it, set the count, write it.
struct StartResult {
    std::optional<QString> count;
    bool pending = false;
};
StartResult startOver(const QString& path)
{
    IniStore store(path);
    RecentFiles recent(store);
    return {store.value("MRU", "Count"), store.hasPendingChanges()};
}


ino_t inode(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(IniStore, StartInEmptyFolderCreatesTheFileWithCount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    IniStore store(path);
    RecentFiles recent(store);
    EXPECT_EQ(readFile(path), QByteArray("[MRU]\r\nCount=8\r\n"));
    EXPECT_TRUE(recent.entries().isEmpty());
}

TEST(IniStore, CountOverwrittenAndEverythingElseKeptByteForByte)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    // LF line ends, comments, another section before and after, odd spacing, a
    // key of another program and a last line without line end.
    const QByteArray before =
        "; written by hand\n[Editor]\nFont=Mono, 10\n\n[mru]\n# recent\n"
        "count = 4\nMRU0=/src/A.java\nOther=keep me\n\n[Tail]\nx=1";
    writeFile(path, before);
    IniStore store(path);
    RecentFiles recent(store);
    QByteArray expected = before;
    expected.replace("count = 4", "count = 8");
    EXPECT_EQ(readFile(path), expected);
    EXPECT_EQ(store.value("Editor", "font"), QString("Mono, 10"));
    EXPECT_EQ(recent.entries(), QStringList{"/src/A.java"});

    // CR LF lines stay CR LF, and a new key follows the section's last key.
    const QByteArray dos = "[Other]\r\na=b\r\n\r\n[MRU]\r\nMRU0=/x/Y.java\r\n\r\n; end\r\n";
    writeFile(path, dos);
    IniStore store2(path);
    RecentFiles recent2(store2);
    EXPECT_EQ(readFile(path),
              QByteArray("[Other]\r\na=b\r\n\r\n[MRU]\r\nMRU0=/x/Y.java\r\nCount=8\r\n\r\n; end\r\n"));

    // Without the section it is appended, the unterminated last line ended first.
    writeFile(path, "[Other]\na=b");
    IniStore store3(path);
    RecentFiles recent3(store3);
    EXPECT_EQ(readFile(path), QByteArray("[Other]\na=b\n[MRU]\nCount=8\n"));
}

TEST(IniStore, NothingWrittenWhenNothingChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    writeFile(path, "[MRU]\nCount=8\n");
    const ino_t before = inode(path);
    IniStore store(path);
    RecentFiles recent(store);
    EXPECT_EQ(inode(path), before);  // not replaced
    EXPECT_FALSE(store.hasPendingChanges());
}

TEST(IniStore, UnwritablePlaceIsNoError)
{
    QTemporaryDir dir;
    writeFile(dir.filePath("plain"), "x");
    // A folder that cannot exist (its parent is a file) fails for every user.
    IniStore store(dir.filePath("plain/Brewpad.ini"));
    RecentFiles recent(store);
    EXPECT_TRUE(store.hasPendingChanges());
    EXPECT_FALSE(store.flush());
    EXPECT_EQ(store.value("MRU", "Count"), QString("8"));
    recent.add("/src/A.java");
    EXPECT_EQ(recent.entries(), QStringList{"/src/A.java"});

    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    asUnprivilegedUser([&] {
        const QString ro = dir.filePath("ro");
        ASSERT_TRUE(QDir().mkdir(ro));
        QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        IniStore roStore(ro + "/Brewpad.ini");
        RecentFiles roRecent(roStore);
        EXPECT_FALSE(roStore.flush());
        EXPECT_FALSE(QFile::exists(ro + "/Brewpad.ini"));
        QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    });
}

TEST(IniStore, UnreadableFileIsNeverOverwritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    asUnprivilegedUser([&] {
        const QString path = dir.filePath("Brewpad.ini");
        writeFile(path, "[MRU]\nMRU0=/keep/Me.java\n");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        IniStore store(path);
        RecentFiles recent(store);
        EXPECT_FALSE(store.flush());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(readFile(path), QByteArray("[MRU]\nMRU0=/keep/Me.java\n"));
    });
}

// A FIFO, a device or a directory named Brewpad.ini: the start neither waits on
// it nor reads it without end, and the store treats it as a file it cannot
// read, so it is never written over.
TEST(IniStore, OnlyARegularFileIsReadOtherKindsNeitherBlockNorAreReplaced)
{
    QTemporaryDir dir;
    struct Case {
        const char* what;
        QString path;
        mode_t type;
    };
    std::vector<Case> cases;
    const QString fifo = dir.filePath("fifo/Brewpad.ini");
    QDir().mkpath(dir.filePath("fifo"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    cases.push_back({"FIFO", fifo, S_IFIFO});
    const QString folder = dir.filePath("dir/Brewpad.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    cases.push_back({"directory", folder, S_IFDIR});
    // A device node of its own in the temporary folder (the numbers of
    // /dev/null); where nodes cannot be made, that case is left out.
    const QString device = dir.filePath("dev/Brewpad.ini");
    QDir().mkpath(dir.filePath("dev"));
    if (mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        cases.push_back({"device", device, S_IFCHR});
    // Links to them are the same.
    const QString link = dir.filePath("link/Brewpad.ini");
    QDir().mkpath(dir.filePath("link"));
    ASSERT_TRUE(QFile::link(fifo, link));
    cases.push_back({"link to a FIFO", link, S_IFLNK});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto started = std::async(std::launch::async, startOver, c.path);
        // Only a safety net, so that a start blocked on the FIFO fails here
        // instead of hanging the suite: a writer that opens and closes at
        // once lets a blocked reader go on (as often as it blocks again).
        if (started.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "the store blocked on " << c.what;
            for (int i = 0; i < 100 && started.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready;
                 ++i) {
                const int w = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (w >= 0)
                    ::close(w);
            }
        }
        const StartResult r = started.get();
        EXPECT_EQ(r.count, QString("8")) << "the count is kept for the run";
        EXPECT_TRUE(r.pending) << "nothing was written";
        EXPECT_EQ(fileType(c.path), c.type);
    }
}

TEST(IniStore, EditsMadeMeanwhileByOthersSurvive)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    IniStore store(path);
    RecentFiles recent(store);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[Theirs]\r\nk=v\r\n");
    f.close();
    recent.add("/src/A.java");
    EXPECT_EQ(readFile(path), QByteArray("[MRU]\r\nCount=8\r\nMRU0=/src/A.java\r\n[Theirs]\r\nk=v\r\n"));
}

TEST(RecentFilesList, OrderDuplicatesLimitAndRemoval)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    IniStore store(path);
    RecentFiles recent(store);
    recent.add("/p/A.java");
    recent.add("/p/B.java");
    recent.add("/p/Proj.jpr");
    EXPECT_EQ(recent.entries(), (QStringList{"/p/Proj.jpr", "/p/B.java", "/p/A.java"}));
    recent.add("/p/A.java");
    EXPECT_EQ(recent.entries(), (QStringList{"/p/A.java", "/p/Proj.jpr", "/p/B.java"}));

    for (int i = 0; i < 10; ++i)
        recent.add(QString("/q/F%1.java").arg(i));
    QStringList expected;
    for (int i = 9; i >= 2; --i)
        expected << QString("/q/F%1.java").arg(i);
    EXPECT_EQ(recent.entries(), expected);

    recent.remove("/q/F9.java");
    recent.remove("/q/F5.java");
    recent.remove("/not/there.java");
    expected.removeAll("/q/F9.java");
    expected.removeAll("/q/F5.java");
    // A new store over the file sees the same list, in MRU0..MRU5 with no keys left over.
    IniStore again(path);
    RecentFiles reread(again);
    EXPECT_EQ(reread.entries(), expected);
    EXPECT_EQ(again.value("MRU", "MRU0"), QString("/q/F8.java"));
    EXPECT_FALSE(again.value("MRU", "MRU6"));
    EXPECT_FALSE(again.value("MRU", "MRU7"));
}

TEST(RecentFilesList, EmptyAndDefaultValuesAreNoEntries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    writeFile(path, "[MRU]\nMRU0=\nMRU1=Default\nMRU2=/p/A.java\nMRU3=/p/A.java\nMRU9=/p/Beyond.java\n");
    IniStore store(path);
    RecentFiles recent(store);
    EXPECT_EQ(recent.entries(), QStringList{"/p/A.java"});
    recent.add(dir.path() + "/x/../B.java");  // stored as a clean absolute path
    EXPECT_EQ(recent.entries(), (QStringList{dir.path() + "/B.java", "/p/A.java"}));
    EXPECT_EQ(readFile(path),
              QByteArray("[MRU]\nMRU0=" + dir.path().toUtf8() + "/B.java\nMRU1=/p/A.java\nCount=8\n"));
}

TEST(RecentFilesList, Captions)
{
    EXPECT_EQ(mruCaption(0, "/src/Hello.java"), QString("&1 /src/Hello.java"));
    EXPECT_EQ(mruCaption(7, "/a&b/P.jpr"), QString("&8 /a&&b/P.jpr"));
    EXPECT_EQ(mruCaption(9, "/x.java"), QString("1&0 /x.java"));
    const QString longPath = "/home/ann/projects/very/deeply/nested/source/tree/of/packages/Hello.java";
    const QString c = mruCaption(1, longPath, 40);
    EXPECT_EQ(c, QString("&2 /home/ann/projects/very/de.../Hello.java"));
    EXPECT_EQ(c.size() - 3, 40);
}

// Found by fuzzing: a last line ending in a bare CR must not swallow what is added after it.
TEST(IniStoreBareCr, SettingAfterALastLineEndingInCarriageReturnReadsBack)
{
    QTemporaryDir dir;
    for (const QByteArray& start : {QByteArray("x=1\r"), QByteArray("[MRU]\r"), QByteArray("a=1\r\n[MRU]\r")}) {
        const QString path = dir.filePath("Brewpad.ini");
        ASSERT_TRUE(writeFile(path, start));
        IniStore store(path);
        ASSERT_TRUE(store.setValue("MRU", "Count", "8"));
        ASSERT_TRUE(store.flush());
        IniStore again(path);
        EXPECT_EQ(again.value("MRU", "Count").value_or("missing"), "8") << start.toStdString();
    }
}

// A Brewpad.ini that is a symbolic link is read and written only when the
// links and the file they lead to are the user's own and that file is not
// writable by group or others; any other link is passed over and never
// written through.
TEST(IniStore, LinkIsJudgedByItselfAndItsTarget)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Brewpad.ini");
    const QString target = dir.filePath("real/brewpad.ini");
    const QByteArray before("[MRU]\r\nCount=3\r\nMRU0=/a/A.java\r\n");
    constexpr uid_t other = 54321;
    struct Case {
        const char* what;
        std::function<bool()> plant;
        bool used;
    };
    const std::vector<Case> cases = {
        {"the user's own link", [&] { return QFile::link(target, path); }, true},
        {"a link to a file others may write",
         [&] { return QFile::link(target, path) && ::chmod(QFile::encodeName(target).constData(), 0666) == 0; },
         false},
        {"a link owned by another user",
         [&] {
             return QFile::link(target, path) && ::lchown(QFile::encodeName(path).constData(), other, getgid()) == 0;
         },
         false},
        {"a link to another user's file",
         [&] {
             return QFile::link(target, path) && ::chown(QFile::encodeName(target).constData(), other, getgid()) == 0;
         },
         false},
        {"a link that leads nowhere", [&] { return QFile::remove(target) && QFile::link(target, path); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path);
        QFile::remove(target);
        ASSERT_TRUE(writeFile(target, before));
        ::chmod(QFile::encodeName(target).constData(), 0644);
        if (!c.plant()) {
            EXPECT_NE(geteuid(), 0u) << "cannot plant " << c.what;
            continue;
        }
        const bool targetThere = QFileInfo::exists(target);
        IniStore store(path);
        RecentFiles recent(store);
        recent.add(dir.filePath("B.java"));
        EXPECT_EQ(fileType(path), mode_t(S_IFLNK));
        if (c.used) {
            EXPECT_EQ(recent.entries(), QStringList({dir.filePath("B.java"), "/a/A.java"}));
            EXPECT_TRUE(readFile(target).contains("Count=8"));
            continue;
        }
        // What the link leads to is not read; the list lives for this run only.
        EXPECT_EQ(recent.entries(), QStringList({dir.filePath("B.java")}));
        EXPECT_FALSE(store.flush());
        EXPECT_EQ(QFileInfo::exists(target), targetThere);
        if (targetThere) {
            EXPECT_EQ(readFile(target), before);
        }
    }
}
