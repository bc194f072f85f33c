// SPDX-License-Identifier: GPL-3.0-or-later
// Every line the user did not edit keeps its own line end, whatever is
// deleted, pasted, typed or replaced around it, in files of mixed line ends:
// through the editor window's keys and commands, the project window's Del
// Node, and random edits of random files (with Undo and Redo).
#include "frame_fixture.h"
#include "lineend_edits.h"

#include <QClipboard>
#include <QTextBlock>

#include <random>

namespace {

class LineEnds : public FrameTest {
protected:
    // Selects from the start of line `line` (from 0) as Shift+Down does.
    void selectLine(TFileMDIChild* c, int line)
    {
        c->editor()->setTextCursor(QTextCursor(c->editor()->document()->findBlockByNumber(line)));
        press(c->editor(), Qt::ShiftModifier | Qt::Key_Down);
    }
    void caretAtEndOf(TFileMDIChild* c, int line)
    {
        QTextCursor cur(c->editor()->document()->findBlockByNumber(line));
        cur.movePosition(QTextCursor::EndOfBlock);
        c->editor()->setTextCursor(cur);
    }
};

TEST_F(LineEnds, DeletingLinesKeepsTheEndsOfTheLinesAroundThem)
{
    const QString path = writeFile("D.java", "a\r\nb\nc\r\nd\ne\r\n");
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);

    // The line "b" selected from its start with Shift+Down, then Delete.
    selectLine(c, 1);
    press(c->editor(), Qt::Key_Delete);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "a\r\nc\r\nd\ne\r\n");

    // The same with Backspace, and with Cut.
    selectLine(c, 2);  // "d", which ends with LF
    press(c->editor(), Qt::Key_Backspace);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "a\r\nc\r\ne\r\n");
    writeFile("D.java", "a\nb\r\nc\nd\r\ne\n");
    c->editor()->source()->loadFile(path);
    selectLine(c, 1);
    trigger(cmd::Cut);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "a\nc\nd\r\ne\n");

    // An empty line deleted with Delete, and with Backspace from the line below.
    writeFile("D.java", "x\r\n\ny\r\n\nz\r\nw\r\n");
    c->editor()->source()->loadFile(path);
    c->editor()->setTextCursor(QTextCursor(c->editor()->document()->findBlockByNumber(1)));
    press(c->editor(), Qt::Key_Delete);
    c->editor()->setTextCursor(QTextCursor(c->editor()->document()->findBlockByNumber(3)));
    press(c->editor(), Qt::Key_Backspace);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "x\r\ny\r\nz\r\nw\r\n");

    // Undo brings every line end back.
    selectLine(c, 1);
    press(c->editor(), Qt::Key_Delete);
    c->editor()->document()->undo();
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "x\r\ny\r\nz\r\nw\r\n");
}

TEST_F(LineEnds, DelNodeKeepsTheEndsOfTheOtherEntries)
{
    const QString path = writeFile("P.jpr", "A.java\r\nB.java\nC.java\r\nD.java\n");
    client()->CmOpenJavaProjFile(path);
    TFileMDIChild* c = current();
    ASSERT_TRUE(c && c->isProject());
    c->editor()->setTextCursor(QTextCursor(c->editor()->document()->findBlockByNumber(1)));
    trigger(cmd::DeleteNode);
    trigger(cmd::SaveJavaProj);
    EXPECT_EQ(readFile(path), "A.java\r\nC.java\r\nD.java\n");
}

TEST_F(LineEnds, PastedLinesTakeTheUsualEndAndLeaveTheLineTheyFollow)
{
    const QString path = writeFile("P.java", "a\nb\r\nc\r\n");
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);
    caretAtEndOf(c, 0);
    QApplication::clipboard()->setText("\np1\np2");
    trigger(cmd::Paste);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "a\np1\r\np2\r\nb\r\nc\r\n");

    // Whole lines pasted at the start of a line go in above it.
    QTextCursor start(c->editor()->document()->findBlockByNumber(0));
    c->editor()->setTextCursor(start);
    QApplication::clipboard()->setText("q1\nq2\n");
    trigger(cmd::Paste);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "q1\r\nq2\r\na\np1\r\np2\r\nb\r\nc\r\n");

    // On an empty line too: the empty line and its own end stay below them.
    writeFile("P.java", "a\r\n\nb\r\n");
    c->editor()->source()->loadFile(path);
    caretAtEndOf(c, 1);
    trigger(cmd::Paste);
    c->CmFileSave();
    EXPECT_EQ(readFile(path), "a\r\nq1\r\nq2\r\n\nb\r\n");
}

// Random files of mixed line ends (LF, CR LF, CR, and U+2029 kept as a break
// of its own), in UTF-8, UTF-16 or Windows-1252.
QByteArray mixedFile(std::mt19937& rng)
{
    static const char16_t letters[] = {u'a', u'b', u'x', u' ', u'\t', u'{', u';', 0xE4, 0xE9, 0x4E2D, 0x20AC};
    const char* ends[] = {"\n", "\r\n", "\r"};
    const int encoding = int(rng() % 4);
    QString text;
    const int lines = int(rng() % 10);
    for (int l = 0; l < lines; ++l) {
        const int len = int(rng() % 6);
        for (int i = 0; i < len; ++i)
            text += QChar(letters[rng() % (encoding == 3 ? 9 : std::size(letters))]);
        if (l + 1 < lines || rng() % 2)
            text += encoding == 0 && rng() % 8 == 0 ? QString(QChar(0x2029)) : QString::fromLatin1(ends[rng() % 3]);
    }
    switch (encoding) {
    case 1: {
        QByteArray out("\xFF\xFE");
        for (const QChar ch : text)
            out += char(ch.unicode() & 0xFF), out += char(ch.unicode() >> 8);
        return out;
    }
    case 3: return text.toLatin1() + "\xC3";  // no UTF-8: Windows-1252
    default: return text.toUtf8();
    }
}

QString randomInsert(std::mt19937& rng)
{
    static const char* pieces[] = {"", "\n", "k", "\nk", "k\n", "\n\n", "kk\nl", "\nk\nl", "k\nl\n", " \n"};
    return QString::fromLatin1(pieces[rng() % std::size(pieces)]);
}

TEST_F(LineEnds, RandomEditsKeepTheBytesOfUntouchedLines)
{
    std::mt19937 rng(2026);
    const QString path = dir.filePath("R.java");
    TFileMDIChild* c = openJava(writeFile("R.java", "x\n"));
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    for (int round = 0; round < 100; ++round) {
        const QByteArray original = mixedFile(rng);
        writeFile("R.java", original);
        ASSERT_TRUE(e->source()->loadFile(path));
        ASSERT_EQ(lineedits::bytesOf(*e), original) << original.toHex().constData();
        for (int step = 0; step < 8; ++step) {
            const QByteArray before = lineedits::bytesOf(*e);
            const DocumentText t = documentText(*e->document(), e->source()->textFormat().lineEnd);
            const int size = int(t.text.size());
            const int from = size ? int(rng() % (size + 1)) : 0;
            const int to = rng() % 3 ? from + int(rng() % (size - from + 1)) : from;
            const auto kind = lineedits::Edit(rng() % int(lineedits::Edit::Count));
            int steps = 0;
            const QMetaObject::Connection counting = QObject::connect(e->document(), &QTextDocument::undoCommandAdded,
                                                                      [&steps] { ++steps; });
            const QString ins = randomInsert(rng);
            const auto [s, en] = lineedits::edit(e, kind, from, to, ins);
            QObject::disconnect(counting);
            if (s < 0)
                continue;
            ASSERT_TRUE(e->source()->writeFile(path));
            const QByteArray after = readFile(path);
            const std::string what = "round " + std::to_string(round) + " step " + std::to_string(step) + " edit " +
                                     std::to_string(int(kind)) + " of [" + std::to_string(s) + ", " +
                                     std::to_string(en) + ") in " + before.toHex().toStdString() + " gave " +
                                     after.toHex().toStdString();
            ASSERT_TRUE(lineedits::untouched(t, e->source()->textFormat(), s, en).keptIn(after)) << what;
            if (rng() % 4 == 0) {
                // Undo gives the bytes before the edit back, Redo those after it.
                const int undone = lineedits::undoTo(e, t.text, steps);
                if (undone > 0) {
                    ASSERT_EQ(lineedits::bytesOf(*e).toHex().toStdString(), before.toHex().toStdString()) << what;
                }
                for (int i = 0; i < std::abs(undone); ++i)
                    e->document()->redo();
                ASSERT_EQ(lineedits::bytesOf(*e).toHex().toStdString(), after.toHex().toStdString()) << what;
            }
        }
    }
}

}  // namespace
