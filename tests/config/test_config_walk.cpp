// SPDX-License-Identifier: GPL-3.0-or-later
// The walk that looks for the Java tools and the name matcher it uses.
#include "config/search.h"
#include "support.h"
#include "scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Prefix = QStringLiteral("Needed File found :");

void touch(const QString& path)
{
    writeFile(path, QByteArray());
}

// Names in the order the file system lists them.
QStringList listing(const QString& dir)
{
    QStringList names;
    if (DIR* d = opendir(QFile::encodeName(dir).constData())) {
        while (dirent* e = readdir(d)) {
            const QString n = QFile::decodeName(e->d_name);
            if (n != "." && n != "..")
                names << n;
        }
        closedir(d);
    }
    return names;
}

// The paths offered, in order, by a walk of `root` that declines everything.
QStringList offered(const QString& root, const QString& pattern)
{
    ScriptedDialogs d;
    toolsfind tf;
    EXPECT_TRUE(tf.DoADir(root, QStringLiteral("*.*"), pattern).isEmpty());
    QStringList paths;
    for (const AskedMessage& m : d.messages) {
        EXPECT_EQ(m.buttons, Buttons::YesNo);
        EXPECT_EQ(m.caption, AppName);
        EXPECT_TRUE(m.text.startsWith(Prefix) && m.text.endsWith(QStringLiteral(" : Keep it ?")))
            << m.text.toStdString();
        paths << m.text.mid(Prefix.size()).chopped(12);
    }
    return paths;
}

bool link(const QString& target, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return QFile::link(target, path);
}

class Walk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString at(const QString& rel) const { return dir.path() + QLatin1Char('/') + rel; }
    QTemporaryDir dir;
};

}  // namespace

TEST(FnMatch, NamesAndWildcards)
{
    EXPECT_EQ(toolsfind::FnMatch("javac.exe", "JAVAC.EXE"), 1);
    EXPECT_EQ(toolsfind::FnMatch("javac", "javac"), 1);
    EXPECT_EQ(toolsfind::FnMatch("javac", "java"), 0);
    EXPECT_EQ(toolsfind::FnMatch("java", "javac"), 0);
    EXPECT_EQ(toolsfind::FnMatch("", ""), 1);
    EXPECT_EQ(toolsfind::FnMatch("", "a"), 0);
    // "*" stops at the first "." of the name.
    EXPECT_EQ(toolsfind::FnMatch("*.exe", "javac.exe"), 1);
    EXPECT_EQ(toolsfind::FnMatch("*.exe", "a.b.exe"), 0);
    EXPECT_EQ(toolsfind::FnMatch("*", "javac"), 1);
    EXPECT_EQ(toolsfind::FnMatch("*", "javac.exe"), 0);
    EXPECT_EQ(toolsfind::FnMatch("*.*", "a.b"), 1);
    EXPECT_EQ(toolsfind::FnMatch("*.*", "a.b.c"), 0);
    EXPECT_EQ(toolsfind::FnMatch("*.*", "abc"), 0);
    // Characters between "*" and the next "." are ignored.
    EXPECT_EQ(toolsfind::FnMatch("*xyz.exe", "javac.EXE"), 1);
    // "?" is one character, never none.
    EXPECT_EQ(toolsfind::FnMatch("jav?c", "javac"), 1);
    EXPECT_EQ(toolsfind::FnMatch("javac?", "javac"), 0);
    EXPECT_EQ(toolsfind::FnMatch(QStringLiteral("?"), QStringLiteral("é")), 1);
    EXPECT_EQ(toolsfind::FnMatch(QStringLiteral("?x"), QStringLiteral("éx")), 1);
    // Only ASCII letters fold.
    EXPECT_EQ(toolsfind::FnMatch(QStringLiteral("é"), QStringLiteral("É")), 0);
    EXPECT_EQ(toolsfind::FnMatch("[", "{"), 0);
}

TEST_F(Walk, HitsOfADirectoryComeInListingOrderBeforeItsSubdirectories)
{
    for (const char* f : {"top/JAVAC", "top/javac", "top/Javac", "top/sub/javac", "top/a/javac", "top/javac.txt",
                          "top/a/deeper/JaVaC"})
        touch(at(QLatin1String(f)));
    QStringList expected;
    for (const QString& n : listing(at("top")))
        if (n.compare(QStringLiteral("javac"), Qt::CaseInsensitive) == 0)
            expected << at("top/") + n;
    ASSERT_EQ(expected.size(), 3);
    for (const QString& n : listing(at("top"))) {
        if (n == "sub")
            expected << at("top/sub/javac");
        if (n == "a")
            expected << at("top/a/javac") << at("top/a/deeper/JaVaC");
    }
    EXPECT_EQ(offered(at("top"), QStringLiteral("javac")), expected);
}

TEST_F(Walk, DeclinedHitContinuesWithTheNextEntryAcceptedHitEndsTheWalk)
{
    for (const char* f : {"top/JAVAC", "top/javac", "top/Javac", "top/sub/javac"})
        touch(at(QLatin1String(f)));
    QStringList hits;
    for (const QString& n : listing(at("top")))
        if (n != "sub")
            hits << at("top/") + n;

    ScriptedDialogs d;
    d.answers = {Answer::No, Answer::Yes};
    toolsfind tf;
    EXPECT_EQ(tf.DoADir(at("top"), QStringLiteral("*.*"), QStringLiteral("javac")), hits[1]);
    ASSERT_EQ(d.messages.size(), 2u);
    EXPECT_EQ(d.messages[0].text, QStringLiteral("Needed File found :%1 : Keep it ?").arg(hits[0]));
    EXPECT_EQ(d.messages[1].text, QStringLiteral("Needed File found :%1 : Keep it ?").arg(hits[1]));
}

TEST_F(Walk, HiddenFilesNeverOfferedHiddenDirectoriesEntered)
{
    touch(at("top/.javac"));
    touch(at("top/.hidden/javac"));
    touch(at("top/.hidden/.deeper/javac"));
    EXPECT_EQ(offered(at("top"), QStringLiteral("?javac")), QStringList());
    EXPECT_EQ(offered(at("top"), QStringLiteral(".javac")), QStringList());
    QStringList got = offered(at("top"), QStringLiteral("javac"));
    got.sort();
    EXPECT_EQ(got, QStringList({at("top/.hidden/.deeper/javac"), at("top/.hidden/javac")}));
}

TEST_F(Walk, ThreeSystemDirectoryNamesAreNeverEntered)
{
    for (const char* d : {"WINDOWS", "Program Files", "WINNT", "Windows", "windows", "WinNT", "program files"})
        touch(at(QStringLiteral("top/%1/javac").arg(QLatin1String(d))));
    QStringList got = offered(at("top"), QStringLiteral("javac"));
    got.sort();
    EXPECT_EQ(got, QStringList({at("top/WinNT/javac"), at("top/Windows/javac"), at("top/program files/javac"),
                                at("top/windows/javac")}));
}

TEST_F(Walk, OnlyRegularFilesOfferedAndDirectoryLinksNeverFollowed)
{
    touch(at("top/real/tool"));
    touch(at("top/a/x"));
    ASSERT_TRUE(link(at("top"), at("top/a/loop")));             // a loop back up
    ASSERT_TRUE(link(at("top/a"), at("top/a/self")));           // and onto itself
    ASSERT_TRUE(link(at("top/real"), at("top/b/javac")));       // a link to a directory
    ASSERT_TRUE(link(at("top/real/tool"), at("top/c/javac")));  // a link to a file
    ASSERT_TRUE(link(at("top/nowhere"), at("top/d/javac")));    // a dangling link
    QDir().mkpath(at("top/e/javac"));                           // a directory
    QDir().mkpath(at("top/f"));
    ASSERT_EQ(mkfifo(QFile::encodeName(at("top/f/javac")).constData(), 0600), 0);  // a pipe
    EXPECT_EQ(offered(at("top"), QStringLiteral("javac")), QStringList({at("top/c/javac")}));
    // Links to directories are not offered either.
    EXPECT_EQ(offered(at("top"), QStringLiteral("loop")), QStringList());
    EXPECT_EQ(offered(at("top"), QStringLiteral("self")), QStringList());
}

TEST_F(Walk, UnreadableDirectoriesAreSkipped)
{
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    asUnprivilegedUser([&] {
        touch(at("top/closed/javac"));
        touch(at("top/open/javac"));
        chmod(QFile::encodeName(at("top/closed")).constData(), 0);
        EXPECT_EQ(offered(at("top"), QStringLiteral("javac")), QStringList({at("top/open/javac")}));
        chmod(QFile::encodeName(at("top/closed")).constData(), 0700);
    });
}

TEST_F(Walk, VolumesListedOnceSearchedInOrderSkippedOnesLeftOut)
{
    touch(at("b/javac"));
    touch(at("a/javac"));
    touch(at("p/javac"));
    touch(at("b/element-list"));
    int queries = 0;
    toolsfind::forgetDrives();
    toolsfind tf;
    tf.volumes = [&] {
        ++queries;
        return std::vector<host::Volume>{{at("b"), "ext4", {}}, {at("p"), "proc", {}}, {at("a"), "ext4", {}}};
    };
    ScriptedDialogs d;
    EXPECT_TRUE(tf.ffind(QStringLiteral("javac")).isEmpty());
    EXPECT_EQ(d.texts(), QStringList({QStringLiteral("Needed File found :%1 : Keep it ?").arg(at("a/javac")),
                                      QStringLiteral("Needed File found :%1 : Keep it ?").arg(at("b/javac"))}));
    EXPECT_EQ(tf.fdrives, std::vector<QString>({at("p")}));
    EXPECT_EQ(tf.ndrives, 2);

    // A second search, even from another object, reuses the list.
    toolsfind other;
    other.volumes = tf.volumes;
    d.answers = {Answer::Yes};
    EXPECT_EQ(other.ffind(QStringLiteral("element-list")), at("b/element-list"));
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(other.file_name_pattern, QStringLiteral("element-list"));
    toolsfind::forgetDrives();
}

TEST_F(Walk, ProgressNamesTheDirectoriesBeingSearched)
{
    touch(at("top/x/y/z/file"));
    std::vector<std::pair<long, QString>> calls;
    toolsfind tf;
    tf.setProgress([&](long n, const QString& dir) { calls.emplace_back(n, dir); });
    ScriptedDialogs d;
    EXPECT_TRUE(tf.DoADir(at("top"), QStringLiteral("*.*"), QStringLiteral("javac")).isEmpty());
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), std::make_pair(1L, at("top")));
    EXPECT_EQ(tf.file_count, 4);
}

// Removable media are never searched: a disk whose sysfs entry says
// "removable", and every partition of it, whatever the kernel's naming.
TEST_F(Walk, PartitionsOfRemovableDisksCountAsRemovable)
{
    auto write = [&](const QString& rel, const QByteArray& text) { writeFile(at(rel), text); };
    // The layout of /sys: /sys/class/block/<name> leads into the device tree,
    // where a partition's directory lies inside its disk's.
    struct Disk {
        const char* disk;
        const char* part;
        const char* removable;
    };
    for (const Disk& d : {Disk{"mmcblk0", "mmcblk0p1", "1\n"}, Disk{"sdb", "sdb1", "1\n"},
                          Disk{"nvme0n1", "nvme0n1p2", "0\n"}, Disk{"sda", "sda1", "0\n"}}) {
        const QString dev = QStringLiteral("sys/devices/x/block/%1").arg(QLatin1String(d.disk));
        write(dev + "/removable", d.removable);
        write(dev + "/" + QLatin1String(d.part) + "/partition", "1\n");
        ASSERT_TRUE(link(at(dev), at("sys/class/block/") + QLatin1String(d.disk)));
        ASSERT_TRUE(link(at(dev + "/" + QLatin1String(d.part)), at("sys/class/block/") + QLatin1String(d.part)));
    }
    const QString sys = at("sys");
    EXPECT_TRUE(host::isRemovableBlockDevice("mmcblk0", sys));
    EXPECT_TRUE(host::isRemovableBlockDevice("mmcblk0p1", sys));
    EXPECT_TRUE(host::isRemovableBlockDevice("sdb", sys));
    EXPECT_TRUE(host::isRemovableBlockDevice("sdb1", sys));
    EXPECT_FALSE(host::isRemovableBlockDevice("nvme0n1p2", sys));
    EXPECT_FALSE(host::isRemovableBlockDevice("sda1", sys));
    EXPECT_FALSE(host::isRemovableBlockDevice("unknown0", sys));

    // Without /sys/class/block, the disk is found by the partition's name in
    // /sys/block, which lists disks only.
    write("old/block/mmcblk1/removable", "1\n");
    write("old/block/sdc/removable", "1\n");
    write("old/block/nvme1n1/removable", "0\n");
    write("old/block/loop3/removable", "0\n");
    const QString old = at("old");
    EXPECT_TRUE(host::isRemovableBlockDevice("mmcblk1p1", old));
    EXPECT_TRUE(host::isRemovableBlockDevice("mmcblk1p12", old));
    EXPECT_TRUE(host::isRemovableBlockDevice("sdc3", old));
    EXPECT_TRUE(host::isRemovableBlockDevice("mmcblk1", old));
    EXPECT_FALSE(host::isRemovableBlockDevice("nvme1n1p1", old));
    EXPECT_FALSE(host::isRemovableBlockDevice("loop3", old));
    EXPECT_FALSE(host::isRemovableBlockDevice("../block/sdc", old));
}

// The compiler is looked for as a program: a regular file the user may
// execute, or a link to one. Other files of that name are passed over; a
// search for a plain file (the help file) still offers them.
TEST_F(Walk, ProgramsOnlyWhenAProgramIsWanted)
{
    auto mode = [&](const QString& rel, mode_t m) {
        touch(at(rel));
        ASSERT_EQ(chmod(QFile::encodeName(at(rel)).constData(), m), 0);
    };
    mode("top/exec/javac", 0755);
    mode("top/owneronly/javac", 0700);
    mode("top/text/javac", 0644);
    mode("top/real/tool", 0755);
    mode("top/real/notes", 0644);
    ASSERT_TRUE(link(at("top/real/tool"), at("top/linkexec/javac")));
    ASSERT_TRUE(link(at("top/real/notes"), at("top/linktext/javac")));
    ASSERT_TRUE(link(at("top/real"), at("top/linkdir/javac")));
    QDir().mkpath(at("top/dir/javac/x"));
    ASSERT_EQ(chmod(QFile::encodeName(at("top/dir/javac")).constData(), 0755), 0);

    auto sorted = [](QStringList l) {
        l.sort();
        return l;
    };
    ScriptedDialogs d;
    toolsfind tf;
    EXPECT_TRUE(
        tf.DoADir(at("top"), QStringLiteral("*.*"), QStringLiteral("javac"), toolsfind::Wanted::Program).isEmpty());
    QStringList programs;
    for (const QString& t : d.texts())
        programs << t.mid(Prefix.size()).chopped(12);
    EXPECT_EQ(sorted(programs), sorted({at("top/exec/javac"), at("top/owneronly/javac"), at("top/linkexec/javac")}));

    EXPECT_EQ(sorted(offered(at("top"), QStringLiteral("javac"))),
              sorted({at("top/exec/javac"), at("top/owneronly/javac"), at("top/linkexec/javac"), at("top/text/javac"),
                      at("top/linktext/javac")}));
}
