// SPDX-License-Identifier: GPL-3.0-or-later
// The file an edit control shows, without a window: what a read finds and
// takes, what a write keeps, and when the file counts as changed on disk.
#include "editor/editedfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void put(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

class EditedFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

TEST_F(EditedFileTest, AReadTakesNameFormatAndStateOnlyWhenTaken)
{
    const QString p = path("A.java");
    put(p, "class A {\r\n}\r\n");
    EditedFile file;
    const EditedFile::Reading r = file.read(p);
    ASSERT_EQ(r.outcome, EditedFile::Reading::Outcome::Read);
    EXPECT_TRUE(r.firstLoad);
    EXPECT_EQ(r.text.text, QStringLiteral("class A {\n}\n"));
    EXPECT_TRUE(file.name().isEmpty());  // not before the text is shown
    file.took(p, r);
    EXPECT_EQ(file.name(), QFileInfo(p).absoluteFilePath());
    EXPECT_EQ(file.format().lineEnd, TextFormat::LineEnd::CRLF);
    EXPECT_FALSE(file.changedSinceKnown(p));
    EXPECT_FALSE(file.changeToAskAbout());
}

TEST_F(EditedFileTest, AChangeOnDiskIsSeenAndAskedAboutOnce)
{
    const QString p = path("B.java");
    put(p, "class B {}\n");
    EditedFile file;
    file.took(p, file.read(p));
    put(p, "class B { int x; }\n");
    EXPECT_TRUE(file.changedSinceKnown(p));
    EXPECT_TRUE(file.changeToAskAbout());
    EXPECT_FALSE(file.changeToAskAbout());   // the same state is not asked about again
    EXPECT_TRUE(file.changedSinceKnown(p));  // but a save still asks
}

TEST_F(EditedFileTest, ANewModeWithTheSameBytesIsNoChange)
{
    const QString p = path("C.java");
    put(p, "class C {}\n");
    EditedFile file;
    file.took(p, file.read(p));
    ASSERT_TRUE(QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    EXPECT_FALSE(file.changedSinceKnown(p));
    EXPECT_FALSE(file.changeToAskAbout());
}

TEST_F(EditedFileTest, AWriteKeepsTheBreaksAndBecomesTheKnownState)
{
    const QString p = path("D.java");
    put(p, "a\r\nb\nc\r\n");
    EditedFile file;
    const EditedFile::Reading r = file.read(p);
    file.took(p, r);
    put(p, "something else entirely\n");
    const EditedFile::Writing w = file.write(p, r.text.text, r.text.breaks);
    ASSERT_TRUE(w.ok) << w.why.toStdString();
    EXPECT_FALSE(w.fellBackToUtf8);
    EXPECT_EQ(bytesOf(p), QByteArray("a\r\nb\nc\r\n"));
    EXPECT_FALSE(file.changedSinceKnown(p));
    EXPECT_FALSE(file.changeToAskAbout());
}

TEST_F(EditedFileTest, TextWindows1252CannotHoldIsWrittenAsUtf8)
{
    const QString p = path("E.java");
    put(p, "caf\xe9\n");  // not UTF-8: Windows-1252
    EditedFile file;
    const EditedFile::Reading r = file.read(p);
    file.took(p, r);
    ASSERT_EQ(file.format().encoding, TextFormat::Encoding::Windows1252);
    const EditedFile::Writing w = file.write(p, r.text.text + QChar(0x20AC) + QChar(0x4E2D), r.text.breaks);
    ASSERT_TRUE(w.ok);
    EXPECT_TRUE(w.fellBackToUtf8);
    EXPECT_EQ(file.format().encoding, TextFormat::Encoding::Utf8);
    EXPECT_EQ(bytesOf(p), QByteArray("caf\xc3\xa9\n\xe2\x82\xac\xe4\xb8\xad"));
}

TEST_F(EditedFileTest, AMissingFileIsANewOne)
{
    const QString p = path("New.java");
    EditedFile file;
    const EditedFile::Reading r = file.read(p);
    EXPECT_EQ(r.outcome, EditedFile::Reading::Outcome::Unreadable);
    EXPECT_TRUE(r.firstLoad);
    EXPECT_FALSE(r.lockOut);  // a save creates it
    EXPECT_EQ(file.name(), QFileInfo(p).absoluteFilePath());
    put(p, "class New {}\n");
    EXPECT_TRUE(file.changedSinceKnown(p));  // made by something else meanwhile
}

TEST_F(EditedFileTest, AFolderIsRefusedAndLocksOutOnlyAFirstLoad)
{
    const QString folder = path("Folder.java");
    ASSERT_TRUE(QDir().mkdir(folder));
    EditedFile first;
    const EditedFile::Reading r = first.read(folder);
    EXPECT_EQ(r.outcome, EditedFile::Reading::Outcome::Refused);
    EXPECT_TRUE(r.lockOut);
    EXPECT_FALSE(r.refusal.isEmpty());
    EXPECT_EQ(first.name(), QFileInfo(folder).absoluteFilePath());

    const QString p = path("F.java");
    put(p, "class F {}\n");
    EditedFile shown;
    shown.took(p, shown.read(p));
    const EditedFile::Reading again = shown.read(folder);
    EXPECT_EQ(again.outcome, EditedFile::Reading::Outcome::Refused);
    EXPECT_FALSE(again.firstLoad);
    EXPECT_FALSE(again.lockOut);
    EXPECT_EQ(shown.name(), QFileInfo(p).absoluteFilePath());  // the window keeps its file
}

}  // namespace
