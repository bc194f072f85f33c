// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input tried on purpose: empty, huge and binary sources, projects with very
// many or very long entries, places where a file cannot be saved and a huge
// compiler capture. Each must open (or say clearly why not) and lose nothing.
// (A file deleted while its window is open is saved again: test_editor,
// FileDeletedWhileOpenIsSavedAgain; a scrambled brewpad.cfg: test_config_file,
// RandomBytesAreReportedAndTheFileRebuilt.)
#include "compile_fixture.h"

#include "toolchain/compiling/projectcompile.h"
#include "config/toolpaths.h"
#include "toolchain/messages/messagewindow.h"
#include "project/projfile.h"
#include "toolchain/building/filebuild.h"

#include <QImage>
#include <QTextBlock>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Resident memory of this process in KiB.
qint64 residentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

class BadInput : public CompileTest {
protected:
    QStringList texts() const { return dialogs_.texts(); }
    // A javac stand-in that records its arguments, one per line, in `file`.
    void fakeJavac(const QString& argsFile)
    {
        useCompilerScript("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(argsFile) + "'\n");
    }
};

}  // namespace

// ---------------------------------------------------------------- empty source

TEST_F(BadInput, EmptyJavaFileOpensEditsAndSaves)
{
    const QString path = writeFile("Empty.java", "");
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_EQ(c->caption(), "JAVA - " + path);
    EXPECT_TRUE(c->editor()->toPlainText().isEmpty());
    EXPECT_FALSE(c->build().IsJavaMain);
    // An unchanged save writes nothing: the file stays empty.
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), QByteArray());
    EXPECT_TRUE(QFileInfo(path).exists());

    QTest::keyClicks(c->editor(), "public class Empty {");
    QTest::keyClick(c->editor(), Qt::Key_Return);
    QTest::keyClicks(c->editor(), "public static void main(String[] a) {}}");
    trigger(cmd::FileSave);
    EXPECT_TRUE(texts().isEmpty()) << texts().join('|').toStdString();
    // Enter after "{" indents the new line by four spaces (an empty file's unit).
    EXPECT_EQ(readFile(path), "public class Empty {\n    public static void main(String[] a) {}}");
    EXPECT_FALSE(c->editor()->document()->isModified());
    EXPECT_TRUE(c->build().IsJavaMain);

    // Emptying it again writes an empty file.
    trigger(cmd::ClearAll);
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), QByteArray());
}

// ---------------------------------------------------------------- huge source

TEST_F(BadInput, FiftyMegabyteJavaFileIsRefusedWithoutAWindow)
{
    const QByteArray method = "    static int m(int a) {\n        return a + 1; // \"x\"\n    }\n";
    const QByteArray bytes = "public class Huge {\n" + method.repeated(50 * 1024 * 1024 / method.size()) + "}\n";
    const QString path = writeFile("Huge.java", bytes);
    const QString refusal = "The file " + path + " is too large to edit: it holds " + QString::number(bytes.size()) +
                            " bytes, and Brewpad edits files of up to 16 MB. It was not opened.";
    openJava(path);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, refusal);
    EXPECT_EQ(dialogs_.messages[0].caption, "Brewpad");
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Stop);
    EXPECT_TRUE(client()->editors().isEmpty());

    // The same through a drop and as a project; the file is never touched.
    dialogs_.messages.clear();
    client()->openDropped(path);
    client()->CmOpenJavaProjFile(path);
    EXPECT_EQ(texts(), QStringList({refusal, refusal}));
    EXPECT_TRUE(client()->editors().isEmpty());
    EXPECT_EQ(client()->projectWindow(), nullptr);
    EXPECT_EQ(QFileInfo(path).size(), bytes.size());
    QFile::remove(path);
}

// ---------------------------------------------------------------- binary files

TEST_F(BadInput, BinaryFilesAreShownReadOnlyAndNeverWritten)
{
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString png = dir.filePath("Image.java");
    ASSERT_TRUE(img.save(png, "PNG"));
    const QString elf = dir.filePath("Program.java");
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/true"), elf));
    const QString rnd = writeFile("Random.java", randomBytes(7, 20000));

    for (const QString& path : {png, elf, rnd}) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray original = readFile(path);
        ASSERT_TRUE(original.contains('\0'));
        dialogs_.messages.clear();
        TFileMDIChild* c = openJava(path);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->caption(), "JAVA - " + path);
        EXPECT_EQ(texts(),
                  QStringList("The file " + path +
                              " is not a text file: it holds NUL bytes, which Brewpad cannot save "
                              "as they are. It is shown read-only, so that it cannot be changed by a save."));
        EXPECT_TRUE(c->editor()->isReadOnly());
        EXPECT_FALSE(enabled(cmd::FileSave));
        EXPECT_FALSE(enabled(cmd::FileSaveAs));
        // Typing changes nothing.
        QTest::keyClicks(c->editor(), "abc");
        EXPECT_FALSE(c->editor()->document()->isModified());

        // Saves reached some other way are refused, and say so.
        dialogs_.messages.clear();
        c->editor()->document()->setModified(true);
        triggerExpectingDisabled(cmd::FileSave);
        const QString refused = "The file " + path + " is shown read-only and cannot be saved.";
        EXPECT_EQ(texts(), QStringList(refused));
        dialogs_.savePaths.push_back(path + ".copy");
        triggerExpectingDisabled(cmd::FileSaveAs);
        EXPECT_EQ(texts(), QStringList({refused, refused}));
        EXPECT_FALSE(QFileInfo::exists(path + ".copy"));
        EXPECT_EQ(readFile(path), original);
        c->editor()->document()->setModified(false);
        c->close();
        QApplication::processEvents();
    }
    EXPECT_TRUE(client()->editors().isEmpty());

    // A text file beside them stays editable.
    TFileMDIChild* t = openJava(writeFile("Text.java", "class Text {}\n"));
    EXPECT_FALSE(t->editor()->isReadOnly());
    EXPECT_TRUE(enabled(cmd::FileSave));
}

// ---------------------------------------------------------------- Save As where nothing can be written

TEST_F(BadInput, SaveAsIntoAPlaceThatCannotBeWrittenKeepsTheText)
{
    const QString path = writeFile("Keep.java", "class Keep {}\n");
    TFileMDIChild* c = openJava(path);
    QTest::keyClicks(c->editor(), "// mine ");
    writeFile("plain", "a file, not a directory");
    // A folder that is a plain file, and a file system that takes no new
    // files, not even from root; the reason follows on a line of its own.
    std::vector<std::pair<QString, QString>> targets = {
        {dir.filePath("plain/Keep.java"), QString::fromLocal8Bit(strerror(ENOTDIR))}};
    QFile probe(QStringLiteral("/sys/brewpad-probe.java"));
    if (!probe.open(QIODevice::WriteOnly))
        targets.push_back({QStringLiteral("/sys/Keep.java"), QString()});
    else
        probe.remove();
    for (const auto& [target, reason] : targets) {
        SCOPED_TRACE(target.toStdString());
        dialogs_.messages.clear();
        dialogs_.savePaths.push_back(target);
        trigger(cmd::FileSaveAs);
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        const QString shown = dialogs_.messages[0].text;
        const QString sentence = "Unable to write file " + target + " to disk.\n\n";
        EXPECT_TRUE(shown.startsWith(sentence)) << shown.toStdString();
        if (!reason.isEmpty())
            EXPECT_EQ(shown.mid(sentence.size()), reason);
        else
            EXPECT_GT(shown.size(), sentence.size());
        EXPECT_EQ(dialogs_.messages[0].caption, "Brewpad");
        EXPECT_EQ(c->editor()->source()->rawText(), "// mine class Keep {}\n");
        EXPECT_TRUE(c->editor()->document()->isModified());
        EXPECT_EQ(c->editor()->source()->fileName(), path);
        EXPECT_EQ(c->caption(), "JAVA - " + path);
        EXPECT_FALSE(QFileInfo::exists(target));
    }
    EXPECT_EQ(readFile(path), "class Keep {}\n");
}

TEST_F(BadInput, SaveAsIntoAReadOnlyFolderKeepsTheText)
{
    ASSERT_TRUE(giveToUnprivilegedUser(dir.path()));
    asUnprivilegedUser([&] {
        ASSERT_TRUE(QDir().mkpath(dir.filePath("ro")));
        TFileMDIChild* c = newJava();
        QTest::keyClicks(c->editor(), "class Ro {}");
        ASSERT_EQ(chmod(QFile::encodeName(dir.filePath("ro")).constData(), 0555), 0);
        const QString target = dir.filePath("ro/Ro.java");
        dialogs_.savePaths.push_back(target);
        trigger(cmd::FileSaveAs);
        chmod(QFile::encodeName(dir.filePath("ro")).constData(), 0755);
        ASSERT_EQ(dialogs_.messages.size(), 1u);
        EXPECT_EQ(dialogs_.messages[0].text,
                  "Unable to write file " + target + " to disk.\n\n" + QString::fromLocal8Bit(strerror(EACCES)));
        EXPECT_EQ(c->editor()->source()->rawText(), "class Ro {}");
        EXPECT_TRUE(c->editor()->document()->isModified());
        EXPECT_TRUE(c->isNewFile());
        EXPECT_EQ(c->caption(), "JAVA - Untitled");
        EXPECT_FALSE(QFileInfo::exists(target));
    });
}

// ---------------------------------------------------------------- projects

TEST_F(BadInput, ProjectOfTenThousandEntriesLosesNone)
{
    QByteArray jpr = "# generated\r\n";
    QStringList sources;
    for (int i = 0; i < 10000; ++i) {
        jpr += "/src/gen/F" + QByteArray::number(i) + ".java\r\n";
        sources << "F" + QString::number(i) + ".java";
    }
    const QString path = writeFile("many.jpr", jpr);
    dialogs_.openPaths.push_back(path);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_TRUE(p->isProject());
    EXPECT_EQ(p->editor()->document()->blockCount(), 10002);  // comment, entries, empty last line
    EXPECT_EQ(p->editor()->document()->findBlockByNumber(10000).text(), "/src/gen/F9999.java");

    // A save writes every line back as it was and classifies them all.
    p->editor()->document()->setModified(true);
    trigger(cmd::SaveJavaProj);
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_EQ(readFile(path), jpr);

    const ProjectCompilePlan plan = planProjectCompile(path);
    EXPECT_EQ(plan.entries, 10000);
    EXPECT_EQ(plan.sources, sources);

    // Every entry reaches the compiler.
    const QString args = dir.filePath("args.txt");
    fakeJavac(args);
    compile();
    EXPECT_EQ(texts(), QStringList("Compilation success"));
    QStringList got = QString::fromUtf8(readFile(args)).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(got.size(), 10000);
    EXPECT_EQ(got.mid(got.size() - 10000), sources);
    EXPECT_TRUE(p->build().IsCompiled);
}

TEST_F(BadInput, ProjectLineOfFiveThousandCharactersIsOneEntry)
{
    // A deep directory and a long base name, 5,000 characters in all.
    QByteArray entry = "/" + QByteArray(98, 'd') + "/";
    entry = entry.repeated(40);
    entry += QByteArray(5000 - entry.size() - 5, 'N') + ".java";
    ASSERT_EQ(entry.size(), 5000);
    const QByteArray base = entry.mid(entry.lastIndexOf('/') + 1).chopped(5);
    const QByteArray jpr = "First.java\r\n" + entry + "\r\nLast.java\r\n";
    const QString path = writeFile("long.jpr", jpr);
    dialogs_.openPaths.push_back(path);
    trigger(cmd::OpenJavaProj);
    TFileMDIChild* p = current();
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_EQ(p->editor()->document()->findBlockByNumber(1).text(), QString::fromLatin1(entry));

    p->editor()->document()->setModified(true);
    trigger(cmd::SaveJavaProj);
    EXPECT_EQ(readFile(path), jpr);
    EXPECT_EQ(projectScanPaths(jpr), QStringList({"First.java", QString::fromLatin1(entry), "Last.java"}));

    const ProjectCompilePlan plan = planProjectCompile(path);
    ASSERT_EQ(plan.entries, 3);
    EXPECT_EQ(plan.items[1].base, QString::fromLatin1(base));
    EXPECT_EQ(plan.sources, QStringList({"First.java", QString::fromLatin1(base) + ".java", "Last.java"}));

    const QString args = dir.filePath("args.txt");
    fakeJavac(args);
    compile();
    EXPECT_TRUE(QString::fromUtf8(readFile(args)).split('\n').contains(QString::fromLatin1(base) + ".java"));
}

// ---------------------------------------------------------------- huge capture

TEST_F(BadInput, TwoHundredMegabyteCaptureIsShownWhole)
{
    const QByteArray line = "/src/demo/Foo.java:12: error: cannot find symbol\n";
    const qsizetype count = 200 * 1024 * 1024 / line.size();
    const QString path = dir.filePath("Foo.err");
    ::writeFile(path, line.repeated(count) + "1 error\n");
    const qint64 size = QFileInfo(path).size();
    const qint64 before = residentKiB();
    client()->CmFileErr(path);
    QApplication::processEvents();
    TBrowserWindow* list = client()->messageList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetCount(), count + 1);
    EXPECT_EQ(list->GetString(0), QString::fromLatin1(line.chopped(1)));
    EXPECT_EQ(list->GetString(int(count)), "1 error");
    EXPECT_EQ(list->windowTitle(), "Messages : Foo.err");
    EXPECT_EQ(app->statusMessage(), "Compiler messages: 1 error, 0 warnings");
    EXPECT_TRUE(texts().isEmpty());
    // The lines are held once, as the file's bytes plus a small index.
    const qint64 grown = (residentKiB() - before) * 1024;
    EXPECT_LT(grown, size * 2) << grown / 1048576 << " MiB for " << size / 1048576 << " MiB";

    // A capture beyond the cap (here a hole of NUL bytes at its end) shows its
    // first 256 MiB and says that the rest is left out.
    list->ClearList();
    ASSERT_TRUE(QFile::resize(path, MaxCaptureBytes + 4096));
    list->InsFile(path);
    ASSERT_EQ(list->GetCount(), count + 1 + 1 + 1);
    EXPECT_EQ(list->GetString(int(count)), "1 error");
    EXPECT_EQ(list->GetString(int(count) + 2), TruncationNote);
    QFile::remove(path);
}
