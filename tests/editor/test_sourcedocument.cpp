// SPDX-License-Identifier: GPL-3.0-or-later
// The document of a file without any window: its text read from and saved to
// real files, and its one list of marks (messages, breakpoints, the paused
// line, values) staying on their lines as the text is edited and reloaded.
#include "scripted_dialogs.h"
#include "support.h"

#include "editor/sourcedocument.h"

#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

using Kind = TextMark::Kind;

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// "3 Error", "4 Breakpoint"...: the list as lines and kinds.
QStringList shown(const QList<TextMark>& marks)
{
    static const char* names[] = {"Error", "Warning", "Breakpoint", "Paused", "Value"};
    QStringList out;
    for (const TextMark& m : marks)
        out << QStringLiteral("%1 %2").arg(m.line).arg(QLatin1String(names[int(m.kind)]));
    return out;
}

class Document : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        doc_.text()->setPlainText("l1\nl2\nl3 int x;\nl4\nl5\nl6\nl7\nl8");
        doc_.text()->clearUndoRedoStacks();
        doc_.text()->setModified(false);
    }
    // Inserts `text` at the start of line `line` (from 1), as one undo step.
    void insertAt(int line, const QString& text)
    {
        QTextCursor c(doc_.text()->findBlockByNumber(line - 1));
        c.insertText(text);
    }
    // Deletes the whole line `line` (from 1) with its line break.
    void deleteLine(int line)
    {
        QTextCursor c(doc_.text()->findBlockByNumber(line - 1));
        c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
    // One mark of every kind.
    void markEveryKind()
    {
        MarkList& m = doc_.marks();
        m.setMessageMarks({{3, 4, Kind::Error, "cannot find symbol", false},
                           {5, 0, Kind::Warning, "unchecked", true},
                           {2, 0, Kind::Breakpoint, "not a message", false}});
        m.setBreakpoints({Breakpoint{.line = 4, .enabled = false, .condition = "x > 1", .hitCount = 3}});
        m.setExecutionLine(6);
        m.setInlineValues({{7, "x = 2"}});
    }

    ScriptedDialogs dialogs_;
    QTemporaryDir dir_;
    SourceDocument doc_;
};

}  // namespace

TEST_F(Document, HoldsMarksOfEveryKindInOneListThatFollowsTheirLinesAsTheTextIsEdited)
{
    markEveryKind();
    // A message list takes messages only.
    EXPECT_EQ(shown(doc_.marks().all()),
              QStringList({"3 Error", "4 Breakpoint", "5 Warning", "6 Paused", "7 Value"}));

    // Two lines above: every mark moves down with its line, the message keeps its column.
    insertAt(1, "a\nb\n");
    const QList<TextMark> moved = doc_.marks().all();
    EXPECT_EQ(shown(moved), QStringList({"5 Error", "6 Breakpoint", "7 Warning", "8 Paused", "9 Value"}));
    EXPECT_EQ(moved[0].column, 4);
    EXPECT_EQ(moved[0].text, "cannot find symbol");
    EXPECT_TRUE(moved[2].light);
    EXPECT_EQ(moved[4].text, "x = 2");
    EXPECT_EQ(doc_.marks().executionLine(), 8);
    ASSERT_EQ(doc_.marks().breakpoints().size(), 1);
    EXPECT_EQ(doc_.marks().breakpoints().first().line, 6);

    // Typing within a marked line moves nothing to another line.
    insertAt(6, "  ");
    EXPECT_EQ(shown(doc_.marks().all()), shown(moved));
    // None of it is part of the text.
    EXPECT_EQ(doc_.rawText(), "a\nb\nl1\nl2\nl3 int x;\n  l4\nl5\nl6\nl7\nl8");
}

TEST_F(Document, ABreakpointKeepsItsValuesWithItsLineAndComesBackWhenItsDeletionIsUndone)
{
    markEveryKind();
    QSignalSpy changed(&doc_.marks(), &MarkList::breakpointsChanged);
    insertAt(1, "a\n");
    ASSERT_EQ(changed.count(), 1);
    ASSERT_EQ(changed.last().at(0).value<Breakpoints>().size(), 1);
    EXPECT_EQ(changed.last().at(0).value<Breakpoints>().first().line, 5);
    const Breakpoints moved = doc_.marks().breakpoints();
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved[0], (Breakpoint{.line = 5, .enabled = false, .condition = "x > 1", .hitCount = 3}));

    // Deleting the line takes its breakpoint, the paused line and its value
    // go with theirs; the message of a deleted line stays in the text.
    deleteLine(5);
    EXPECT_TRUE(doc_.marks().breakpoints().isEmpty());
    EXPECT_TRUE(changed.last().at(0).value<Breakpoints>().isEmpty());
    deleteLine(4);
    EXPECT_EQ(doc_.marks().messageMarks().size(), 2);

    doc_.text()->undo();
    doc_.text()->undo();
    EXPECT_EQ(doc_.marks().breakpoints(), moved);

    // A breakpoint set in the margin is a new one: enabled, for every hit.
    EXPECT_TRUE(doc_.marks().toggleBreakpoint(2));
    EXPECT_EQ(doc_.marks().breakpoints().first(), (Breakpoint{.line = 2}));
    EXPECT_TRUE(doc_.marks().toggleBreakpoint(2));
    EXPECT_FALSE(doc_.marks().toggleBreakpoint(40));
    ASSERT_EQ(doc_.marks().breakpoints().size(), 1);
    EXPECT_EQ(doc_.marks().breakpoints().first().line, 5);
}

TEST_F(Document, ReadsAndSavesItsFileWithoutAWindowKeepingEveryLineEnd)
{
    const QString path = dir_.filePath("Mixed.java");
    ASSERT_TRUE(writeFile(path, "class A {\r\n  int x;\n}\r\n"));
    QSignalSpy named(&doc_, &SourceDocument::fileNameChanged);
    ASSERT_TRUE(doc_.loadFile(path));
    EXPECT_EQ(named.count(), 1);
    EXPECT_EQ(doc_.fileName(), path);
    EXPECT_EQ(doc_.rawText(), "class A {\n  int x;\n}\n");
    EXPECT_FALSE(doc_.text()->isModified());
    EXPECT_FALSE(doc_.isReadOnly());
    EXPECT_FALSE(doc_.text()->isUndoAvailable());

    QTextCursor c(doc_.text()->findBlockByNumber(1));
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertText(" // y");
    EXPECT_TRUE(doc_.text()->isModified());
    ASSERT_TRUE(doc_.save());
    EXPECT_EQ(fileBytes(path), "class A {\r\n  int x; // y\n}\r\n");
    EXPECT_FALSE(doc_.text()->isModified());
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(Document, AReloadOfAFileChangedOnDiskKeepsTheMarksOnTheirLines)
{
    const QString path = dir_.filePath("A.java");
    ASSERT_TRUE(writeFile(path, "l1\nl2\nl3 int x;\nl4\nl5\nl6\nl7\nl8\n"));
    ASSERT_TRUE(doc_.loadFile(path));
    markEveryKind();
    const QList<TextMark> before = doc_.marks().all();
    QSignalSpy replaced(&doc_, &SourceDocument::textReplaced);

    // Another program puts a line on top: the document reloads (it holds no
    // changes), and the marks stay on the same line numbers.
    ASSERT_TRUE(writeFile(path, "top\nl1\nl2 int;\nl3 int x;\nl4\nl5\nl6\nl7\nl8\n"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(doc_.checkDiskChange(), SourceDocument::DiskChange::Reloaded);
    EXPECT_EQ(doc_.rawText().left(4), "top\n");
    EXPECT_EQ(doc_.marks().all(), before);
    ASSERT_EQ(replaced.count(), 1);
    EXPECT_TRUE(replaced.first().at(0).toBool());  // the view keeps its place
    EXPECT_FALSE(doc_.text()->isModified());
}

TEST_F(Document, AFileWithNulBytesIsShownReadOnlyAndNotSaved)
{
    const QString path = dir_.filePath("Bin.java");
    ASSERT_TRUE(writeFile(path, QByteArray("ab\0cd", 5)));
    QSignalSpy readOnly(&doc_, &SourceDocument::readOnlyChanged);
    ASSERT_TRUE(doc_.loadFile(path));
    EXPECT_TRUE(doc_.isReadOnly());
    EXPECT_EQ(doc_.readOnlyReason(), SourceDocument::ReadOnlyReason::NotText);
    EXPECT_EQ(readOnly.count(), 1);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains("NUL bytes"));

    QTextCursor(doc_.text()).insertText("x");
    EXPECT_FALSE(doc_.save());
    EXPECT_EQ(fileBytes(path), QByteArray("ab\0cd", 5));
}
