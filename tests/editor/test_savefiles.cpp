// SPDX-License-Identifier: GPL-3.0-or-later
// The user's text and files are never lost or silently changed: Unix2Dos asks
// before dropping unsaved text and leaves binary files alone; a save notices
// a file changed on disk; a window notices it when it becomes active; a file
// that could not be read opens read-only; untouched bytes, links, owners and
// modes survive a save; read-only windows refuse every change.
#include "frame_fixture.h"

#include "toolchain/building/filebuild.h"
#include "editor/textdoc.h"
#include "editor/textfile.h"

#include <QClipboard>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kCloseQuestion = "The text in the %1 file has changed.\n\nDo you want to save the changes?";
const QString kOverwriteQuestion =
    "The file %1 was changed on disk after Brewpad read it.\n\nOverwrite it with the text of this window?";
const QString kReloadQuestion =
    "The file %1 was changed on disk.\n\nLoad it again and lose the changes made in this window?";

class SaveFiles : public FrameTest {
protected:
    // Puts the caret at the start of the window's text and types there.
    void typeAtStart(TFileMDIChild* c, const QString& text)
    {
        QTextCursor cur(c->editor()->document());
        c->editor()->setTextCursor(cur);
        const QStringList lines = text.split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(c->editor(), Qt::Key_Return);
            QTest::keyClicks(c->editor(), lines[i]);
        }
    }
    void activate(TFileMDIChild* c)
    {
        client()->setActiveSubWindow(c);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
};

// ---------------------------------------------------------------- random files

// Random text of random lines: any Unicode (the characters the edit control
// treats specially among them), mixed line ends, with a byte-order mark or not,
// in UTF-8, UTF-16 (both byte orders) or Windows-1252.
QByteArray randomTextFile(std::mt19937& rng)
{
    static const char32_t special[] = {0x2028, 0x2029, 0xFDD0, 0xFDD1, 0xFDEF,  0xFFFE,   0xFFFF,  0xFEFF, 0xFFFC,
                                       0x0085, 0x000B, 0x000C, 0x00A0, 0x1FFFE, 0x10FFFF, 0x1F600, '\t',   ' '};
    std::uniform_int_distribution<int> pick(0, 99);
    auto randomChar = [&]() -> char32_t {
        const int k = pick(rng);
        if (k < 50)
            return char32_t(0x20 + rng() % 0x5F);
        if (k < 65)
            return special[rng() % std::size(special)];
        if (k < 80)
            return char32_t(0xA0 + rng() % 0x700);
        if (k < 95) {
            char32_t u = char32_t(0x800 + rng() % (0xFFFE - 0x800));
            return (u >= 0xD800 && u < 0xE000) ? char32_t(0x4E2D) : u;
        }
        return char32_t(0x10000 + rng() % 0x100000);
    };
    const int encoding = int(rng() % 5);  // UTF-8, UTF-8 with mark, UTF-16LE, UTF-16BE, Windows-1252
    const char* ends[] = {"\n", "\r\n", "\r"};
    const int lines = int(rng() % 12);
    if (encoding == 4) {
        QByteArray out;
        for (int l = 0; l < lines; ++l) {
            const int len = int(rng() % 20);
            for (int i = 0; i < len; ++i) {
                char b = char(1 + rng() % 255);
                out += (b == '\r' || b == '\n') ? 'x' : b;
            }
            if (l + 1 < lines || rng() % 2)
                out += ends[rng() % 3];
        }
        return out + "\xC3";  // never valid UTF-8 at the end
    }
    QString text;
    for (int l = 0; l < lines; ++l) {
        const int len = int(rng() % 20);
        for (int i = 0; i < len; ++i) {
            const char32_t u = randomChar();
            text += QString::fromUcs4(&u, 1);
        }
        if (l + 1 < lines || rng() % 2)
            text += QString::fromLatin1(ends[rng() % 3]);
    }
    QByteArray out;
    switch (encoding) {
    case 0: out = text.toUtf8(); break;
    case 1: out = "\xEF\xBB\xBF" + text.toUtf8(); break;
    default: {
        const bool be = encoding == 3;
        out = be ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
            out += be ? hi : lo;
            out += be ? lo : hi;
        }
    }
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------- Unix2Dos

TEST_F(SaveFiles, Unix2DosAsksBeforeDroppingUnsavedText)
{
    const QString path = writeFile("U.java", "a\nb\n");
    TFileMDIChild* c = openJava(path);
    typeAtStart(c, "x");

    // Cancel: nothing happens.
    dialogs_.answers = {Answer::Cancel};
    trigger(cmd::Unix2Dos);
    ASSERT_EQ(dialogs_.texts(), QStringList(kCloseQuestion.arg(path)));
    EXPECT_EQ(dialogs_.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(readFile(path), "a\nb\n");
    EXPECT_EQ(c->editor()->source()->rawText(), "xa\nb\n");
    EXPECT_TRUE(c->editor()->document()->isModified());

    // Yes: saves, then converts.
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::Yes};
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(dialogs_.texts(), QStringList(kCloseQuestion.arg(path)));
    EXPECT_EQ(readFile(path), "xa\r\nb\r\n");
    EXPECT_EQ(c->editor()->source()->rawText(), "xa\nb\n");
    EXPECT_FALSE(c->editor()->document()->isModified());

    // No: converts the file as it is and shows it; the changes are dropped.
    writeFile("U.java", "p\nq\n");
    c->editor()->source()->loadFile(path);
    typeAtStart(c, "y");
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::No};
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(dialogs_.texts(), QStringList(kCloseQuestion.arg(path)));
    EXPECT_EQ(readFile(path), "p\r\nq\r\n");
    EXPECT_EQ(c->editor()->source()->rawText(), "p\nq\n");
    EXPECT_FALSE(c->editor()->document()->isModified());

    // Without changes nothing is asked.
    dialogs_.messages.clear();
    trigger(cmd::Unix2Dos);
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(SaveFiles, Unix2DosRefusesFilesShownReadOnlyAndUtf16)
{
    const QByteArray binary("bin\n\0ary\n", 9);
    const QString path = writeFile("Bin.java", binary);
    TFileMDIChild* c = openJava(path);
    ASSERT_TRUE(c->editor()->isReadOnly());
    dialogs_.messages.clear();
    trigger(cmd::Unix2Dos);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text, "The file " + path +
                                             " is not a text file: it holds NUL bytes. Unix2Dos converts only text "
                                             "files, so the file was not changed.");
    EXPECT_EQ(readFile(path), binary);

    // UTF-16: its line ends are no single bytes.
    const QByteArray utf16(
        "\xFF\xFE"
        "a\0\n\0",
        6);
    const QString u = writeFile("Wide.java", utf16);
    openJava(u);
    dialogs_.messages.clear();
    trigger(cmd::Unix2Dos);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains("UTF-16")) << dialogs_.messages[0].text.toStdString();
    EXPECT_EQ(readFile(u), utf16);
}

// ---------------------------------------------------------------- changed on disk

TEST_F(SaveFiles, SaveAsksBeforeOverwritingAFileChangedOnDisk)
{
    const QString path = writeFile("D.java", "one\n");
    TFileMDIChild* c = openJava(path);
    typeAtStart(c, "mine ");
    writeFile("D.java", "another program's text\n");

    // No: nothing is written, the window stays as it was.
    dialogs_.answers = {Answer::No};
    c->CmFileSave();
    ASSERT_EQ(dialogs_.texts(), QStringList(kOverwriteQuestion.arg(path)));
    EXPECT_EQ(dialogs_.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(readFile(path), "another program's text\n");
    EXPECT_EQ(c->editor()->source()->rawText(), "mine one\n");
    EXPECT_TRUE(c->editor()->document()->isModified());

    // Yes: overwrites; the next save asks nothing.
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::Yes};
    c->CmFileSave();
    EXPECT_EQ(dialogs_.texts(), QStringList(kOverwriteQuestion.arg(path)));
    EXPECT_EQ(readFile(path), "mine one\n");
    typeAtStart(c, "again ");
    dialogs_.messages.clear();
    c->CmFileSave();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(readFile(path), "again mine one\n");
}

TEST_F(SaveFiles, TwoWindowsOnOneFileAndSaveAsOntoAShownFile)
{
    const QString path = writeFile("Two.java", "shared\n");
    TFileMDIChild* a = openJava(path);
    TFileMDIChild* b = openJava(path);
    ASSERT_NE(a, b);
    typeAtStart(a, "a ");
    typeAtStart(b, "b ");
    a->CmFileSave();
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(readFile(path), "a shared\n");
    // The second window read the file before the first one wrote it.
    dialogs_.answers = {Answer::No};
    b->CmFileSave();
    EXPECT_EQ(dialogs_.texts(), QStringList(kOverwriteQuestion.arg(path)));
    EXPECT_EQ(readFile(path), "a shared\n");

    // A new window saved under the name of a file that another window shows.
    const QString other = writeFile("Shown.java", "shown\n");
    TFileMDIChild* shown = openJava(other);
    typeAtStart(shown, "edit ");
    TFileMDIChild* n = newJava();
    n->editor()->insertPlainText("class Shown {}\n");
    dialogs_.savePaths.push_back(other);
    n->CmFileSaveAs();
    EXPECT_EQ(readFile(other), "class Shown {}\n");
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::No};
    shown->CmFileSave();
    EXPECT_EQ(dialogs_.texts(), QStringList(kOverwriteQuestion.arg(other)));
    EXPECT_EQ(readFile(other), "class Shown {}\n");
}

TEST_F(SaveFiles, ActivationReloadsOrAsks)
{
    const QString path = writeFile("Act.java", "first\n");
    TFileMDIChild* c = openJava(path);
    c->build().IsCompiled = true;
    TFileMDIChild* other = newJava();
    activate(other);

    // No changes in the window: it loads the file again and says so; the caret stays.
    QTextCursor caret(c->editor()->document());
    caret.setPosition(3);
    c->editor()->setTextCursor(caret);
    writeFile("Act.java", "second, longer\n");
    activate(c);
    EXPECT_EQ(c->editor()->textCursor().position(), 3);
    EXPECT_TRUE(dialogs_.messages.empty());
    EXPECT_EQ(c->editor()->source()->rawText(), "second, longer\n");
    EXPECT_FALSE(c->build().IsCompiled);
    EXPECT_EQ(app->statusMessage(), "The file " + path + " was changed on disk and has been loaded again.");

    // With changes: asks; No keeps them, and the same change is not asked again.
    typeAtStart(c, "mine ");
    activate(other);
    writeFile("Act.java", "third\n");
    dialogs_.answers = {Answer::No};
    activate(c);
    ASSERT_EQ(dialogs_.texts(), QStringList(kReloadQuestion.arg(path)));
    EXPECT_EQ(dialogs_.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(c->editor()->source()->rawText(), "mine second, longer\n");
    activate(other);
    activate(c);
    EXPECT_EQ(dialogs_.messages.size(), 1u);
    // ... but a save still asks before overwriting.
    dialogs_.answers = {Answer::No};
    c->CmFileSave();
    EXPECT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(readFile(path), "third\n");

    // Yes loads the file again.
    activate(other);
    writeFile("Act.java", "fourth, much longer\n");
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::Yes};
    activate(c);
    EXPECT_EQ(dialogs_.texts(), QStringList(kReloadQuestion.arg(path)));
    EXPECT_EQ(c->editor()->source()->rawText(), "fourth, much longer\n");
    EXPECT_FALSE(c->editor()->document()->isModified());
}

// ---------------------------------------------------------------- unreadable file

TEST_F(SaveFiles, UnreadableFileOpensReadOnly)
{
    const QString path = writeFile("Secret.java", "class Secret {}\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    // Root reads every file: the window is opened as an ordinary user then.
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    TFileMDIChild* c = openJava(path);
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(dialogs_.texts(), QStringList("Unable to read file " + path + " from disk."));
    EXPECT_EQ(c->caption(), "JAVA - " + path);
    EXPECT_TRUE(c->editor()->isReadOnly());
    EXPECT_FALSE(enabled(cmd::FileSave));
    EXPECT_FALSE(enabled(cmd::FileSaveAs));
    QTest::keyClicks(c->editor(), "oops");
    EXPECT_TRUE(c->editor()->document()->isEmpty());
    c->editor()->document()->setModified(true);
    triggerExpectingDisabled(cmd::FileSave);
    ::chmod(QFile::encodeName(path).constData(), 0644);
    EXPECT_EQ(readFile(path), "class Secret {}\n");

    // A file that does not exist yet still opens for writing.
    dialogs_.messages.clear();
    TFileMDIChild* n = openJava(dir.filePath("New.java"));
    EXPECT_FALSE(n->editor()->isReadOnly());
    c->editor()->document()->setModified(false);
}

// ---------------------------------------------------------------- untouched bytes

TEST(TextFileBytes, DecodingAndEncodingRandomFilesGivesTheBytesBack)
{
    std::mt19937 rng(2026);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray bytes = randomTextFile(rng);
        const DecodedText d = decodeText(bytes);
        ASSERT_EQ(d.obstacle, DecodedText::Obstacle::None) << bytes.toHex().constData();
        ASSERT_EQ(encodeText(d), bytes) << bytes.toHex().constData();
    }
}

TEST(TextFileBytes, LineBreaksAndSpecialCharacters)
{
    // Each line its own end; the most used one for new lines.
    DecodedText d = decodeText("a\r\nb\nc\r\nd\re");
    EXPECT_EQ(d.text, "a\nb\nc\nd\ne");
    EXPECT_EQ(d.breaks, (std::vector<LineBreak>{LineBreak::CRLF, LineBreak::LF, LineBreak::CRLF, LineBreak::CR}));
    EXPECT_EQ(d.format.lineEnd, TextFormat::LineEnd::CRLF);
    EXPECT_EQ(encodeText(d.text + "\nf", d.breaks, d.format), QByteArray("a\r\nb\nc\r\nd\re\r\nf"));
    EXPECT_EQ(decodeText("x\ry\rz\n").format.lineEnd, TextFormat::LineEnd::CR);

    // U+2028 stays in the line; U+2029, U+FDD0 and U+FDD1 are written back as themselves.
    const QByteArray special("p\xE2\x80\xA8q\xE2\x80\xA9r\xEF\xB7\x90s\xEF\xB7\x91t\xEF\xBF\xBE\n");
    d = decodeText(special);
    EXPECT_EQ(d.text, QString::fromUtf8("p\xE2\x80\xA8q\nr\ns\nt\xEF\xBF\xBE\n"));
    EXPECT_EQ(encodeText(d), special);
    // A second byte-order mark is text.
    EXPECT_EQ(encodeText(decodeText("\xEF\xBB\xBF\xEF\xBB\xBFx")), QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx"));

    // UTF-16 in both byte orders; an odd byte count cannot be written back.
    const QByteArray le("\xFF\xFEh\0i\0\r\0\n\0", 10);
    d = decodeText(le);
    EXPECT_EQ(d.format.encoding, TextFormat::Encoding::Utf16LE);
    EXPECT_EQ(d.text, "hi\n");
    EXPECT_EQ(encodeText(d), le);
    const QByteArray be("\xFE\xFF\0h\0i", 6);
    EXPECT_EQ(decodeText(be).format.encoding, TextFormat::Encoding::Utf16BE);
    EXPECT_EQ(encodeText(decodeText(be)), be);
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFEh\0i", 5)).obstacle, DecodedText::Obstacle::BrokenUtf16);
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFEh\0\0\0", 6)).obstacle, DecodedText::Obstacle::NulBytes);
}

TEST_F(SaveFiles, OpeningAndSavingRandomFilesWritesTheBytesRead)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 150; ++round) {
        const QByteArray bytes = randomTextFile(rng);
        const QString path = writeFile("R.java", bytes);
        TFileMDIChild* c = openJava(path);
        ASSERT_NE(c, nullptr);
        ASSERT_FALSE(c->editor()->isReadOnly()) << bytes.toHex().constData();
        c->editor()->document()->setModified(true);
        c->CmFileSave();
        ASSERT_EQ(readFile(path), bytes) << bytes.toHex().constData();
        ASSERT_TRUE(dialogs_.messages.empty()) << dialogs_.texts().join('|').toStdString();
        c->editor()->document()->setModified(false);
        c->close();
        QApplication::processEvents();
    }
}

TEST_F(SaveFiles, EditsKeepTheOtherLinesEnds)
{
    const QByteArray bytes("one\r\ntwo\nthree\r\nfour\rfive\r\n");
    const QString path = writeFile("E.java", bytes);
    TFileMDIChild* c = openJava(path);
    QTextDocument* doc = c->editor()->document();

    // A line added at the start of "three" takes the most used line end (CR LF).
    QTextCursor cur(doc->findBlockByNumber(2));
    cur.insertText("new\n");
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwo\nnew\r\nthree\r\nfour\rfive\r\n");

    // Joining "two" and "new" removes the LF between them; the others stay.
    cur = QTextCursor(doc->findBlockByNumber(2));
    cur.deletePreviousChar();
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwonew\r\nthree\r\nfour\rfive\r\n");

    // Undo of a join brings its line end back.
    c->editor()->setTextCursor(QTextCursor(doc->findBlockByNumber(4)));  // "five", after the lone CR
    QTest::keyClick(c->editor(), Qt::Key_Backspace);
    EXPECT_EQ(documentText(*doc, TextFormat::LineEnd::CRLF).text, "one\ntwonew\nthree\nfourfive\n");
    doc->undo();
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwonew\r\nthree\r\nfour\rfive\r\n");

    // Enter at the end of a line: the line keeps its own line end (the lone
    // CR after "four"), the added line gets the most used one; one undo step.
    c->editor()->setTextCursor(QTextCursor(doc->findBlockByNumber(3)));
    c->editor()->moveCursor(QTextCursor::EndOfBlock);
    QTest::keyClick(c->editor(), Qt::Key_Return);
    QTest::keyClicks(c->editor(), "added");
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwonew\r\nthree\r\nfour\radded\r\nfive\r\n");
    c->editor()->setTextCursor(QTextCursor(doc->findBlockByNumber(3)));
    c->editor()->moveCursor(QTextCursor::EndOfBlock);
    QTest::keyClick(c->editor(), Qt::Key_Return);
    doc->undo();
    EXPECT_EQ(documentText(*doc, TextFormat::LineEnd::CRLF).breaks,
              (std::vector<LineBreak>{LineBreak::CRLF, LineBreak::CRLF, LineBreak::CRLF, LineBreak::CR,
                                      LineBreak::CRLF, LineBreak::CRLF}));
    doc->undo();  // the reload after the save left no history: "added" stays
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwonew\r\nthree\r\nfour\radded\r\nfive\r\n");

    // Pasted lines take the most used line end too.
    cur = QTextCursor(doc->findBlockByNumber(5));
    cur.insertText("p1\np2\n");
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "one\r\ntwonew\r\nthree\r\nfour\radded\r\np1\r\np2\r\nfive\r\n");
}

// ---------------------------------------------------------------- links, owner, mode

TEST_F(SaveFiles, SaveAndUnix2DosKeepLinksOwnerAndMode)
{
    const QString path = writeFile("Linked.java", "class Linked {}\n");
    const QString second = dir.filePath("Second.java");
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::link(native.constData(), QFile::encodeName(second).constData()), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(native.constData(), 4242, 4343), 0);
    }
    ASSERT_EQ(::chmod(native.constData(), 06755), 0);
    struct stat before {};
    ASSERT_EQ(::stat(native.constData(), &before), 0);
    auto expectSame = [&](const char* step) {
        SCOPED_TRACE(step);
        struct stat now {};
        ASSERT_EQ(::stat(native.constData(), &now), 0);
        EXPECT_EQ(now.st_ino, before.st_ino);
        EXPECT_EQ(now.st_nlink, 2u);
        EXPECT_EQ(now.st_mode & 07777, 06755u);
        EXPECT_EQ(now.st_uid, before.st_uid);
        EXPECT_EQ(now.st_gid, before.st_gid);
        EXPECT_EQ(readFile(second), readFile(path));
    };

    TFileMDIChild* c = openJava(path);
    typeAtStart(c, "// saved\n");
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), "// saved\nclass Linked {}\n");
    expectSame("save");
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(readFile(path), "// saved\r\nclass Linked {}\r\n");
    expectSame("Unix2Dos");

    // A file with one name, replaced whole, keeps owner, group and mode too.
    ASSERT_EQ(::unlink(QFile::encodeName(second).constData()), 0);
    typeAtStart(c, "//");
    trigger(cmd::FileSave);
    struct stat single {};
    ASSERT_EQ(::stat(native.constData(), &single), 0);
    EXPECT_EQ(single.st_mode & 07777, 06755u);
    EXPECT_EQ(single.st_uid, before.st_uid);
    EXPECT_EQ(single.st_gid, before.st_gid);
    // Unix2Dos changes nothing on a CR LF file: it is written back byte for byte.
    trigger(cmd::Unix2Dos);
    ASSERT_EQ(::stat(native.constData(), &single), 0);
    EXPECT_EQ(single.st_mode & 07777, 06755u);
    EXPECT_EQ(single.st_uid, before.st_uid);
    EXPECT_EQ(readFile(path), "//// saved\r\nclass Linked {}\r\n");

    // A symbolic link stays a link to the file.
    const QString link = dir.filePath("Link.java");
    ASSERT_EQ(::symlink("Linked.java", QFile::encodeName(link).constData()), 0);
    TFileMDIChild* l = openJava(link);
    typeAtStart(l, "/*l*/");
    trigger(cmd::FileSave);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readFile(path), "/*l*///// saved\r\nclass Linked {}\r\n");
}

// ---------------------------------------------------------------- read-only windows

TEST_F(SaveFiles, ReadOnlyWindowRefusesEveryChange)
{
    const QByteArray binary("first line\nsecond\0line\n", 23);
    const QString path = writeFile("Ro.java", binary);
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    ASSERT_TRUE(e->isReadOnly());
    const QString shown = e->source()->rawText();
    QApplication::clipboard()->setText("pasted");
    QTextCursor sel(e->document());
    sel.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    e->setTextCursor(sel);
    ASSERT_TRUE(e->textCursor().hasSelection());

    for (int id : {cmd::Cut, cmd::Paste, cmd::Delete, cmd::ClearAll, cmd::Undo})
        EXPECT_FALSE(enabled(id)) << id;
    EXPECT_TRUE(enabled(cmd::Copy));
    for (int id : {cmd::Cut, cmd::Paste, cmd::Delete, cmd::ClearAll, cmd::Undo})
        triggerExpectingDisabled(id);
    QTest::keyClicks(e, "typed");
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_X, Qt::ControlModifier);
    auto* md = new QMimeData;
    md->setText("dropped");
    e->insertFromMimeDataPublic(md);
    delete md;
    EXPECT_EQ(e->source()->rawText(), shown);
    EXPECT_FALSE(e->document()->isModified());

    // A project file shown read-only takes no entries either.
    const QString jpr = writeFile("Ro.jpr", QByteArray("A.java\r\n\0", 9));
    client()->CmOpenJavaProjFile(jpr);
    ASSERT_TRUE(current()->isProject());
    EXPECT_FALSE(enabled(cmd::InsertNode));
    EXPECT_FALSE(enabled(cmd::DeleteNode));

    // An editable window offers them.
    TFileMDIChild* t = openJava(writeFile("Rw.java", "text\n"));
    QTextCursor all(t->editor()->document());
    all.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    t->editor()->setTextCursor(all);
    for (int id : {cmd::Cut, cmd::Paste, cmd::Delete, cmd::ClearAll})
        EXPECT_TRUE(enabled(id)) << id;
    // Paste follows what the clipboard holds.
    QApplication::clipboard()->clear();
    EXPECT_FALSE(enabled(cmd::Paste));
    QApplication::clipboard()->setText("again");
    EXPECT_TRUE(enabled(cmd::Paste));
}
