// SPDX-License-Identifier: GPL-3.0-or-later
// The debugger's marks in a real edit control (offscreen): breakpoints toggled
// in the margin and moving with their lines, the paused line, the values shown
// after lines; none of them in the text, the undo stack or the bytes saved.
#include "scripted_dialogs.h"
#include "support.h"

#include "editor/editcontrol.h"
#include "editor/sourcedocument.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

using Lines = std::vector<int>;

Lines linesOf(const Breakpoints& list)
{
    Lines out;
    for (const Breakpoint& b : list)
        out.push_back(b.line);
    return out;
}

// Enabled breakpoints without condition on `lines`.
Breakpoints on(std::initializer_list<int> lines)
{
    Breakpoints out;
    for (const int line : lines) {
        Breakpoint b;
        b.line = line;
        out << b;
    }
    return out;
}

class BreakpointMarks : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_.resize(500, 400);
        auto* layout = new QVBoxLayout(&window_);
        other_ = new QLineEdit(&window_);
        edit_ = new EditControl(&window_);
        layout->addWidget(other_);
        layout->addWidget(edit_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    void setText(const QString& text)
    {
        edit_->setPlainText(text);
        edit_->document()->clearUndoRedoStacks();
        edit_->document()->setModified(false);
    }
    void putCaret(int line, int column = 0)
    {
        QTextCursor c(edit_->document()->findBlockByNumber(line - 1));
        c.setPosition(c.position() + column);
        edit_->setTextCursor(c);
    }
    // The middle of a line in the margin.
    QPoint marginPoint(int line) const
    {
        const QTextBlock b = edit_->document()->findBlockByNumber(line - 1);
        const QRectF r = edit_->document()->documentLayout()->blockBoundingRect(b);
        return QPoint(3, int(r.center().y()) - edit_->verticalScrollBar()->value());
    }
    QString description(QWidget* w) const
    {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Description) : QString();
    }

    ScriptedDialogs dialogs_;
    QWidget window_;
    QLineEdit* other_ = nullptr;
    EditControl* edit_ = nullptr;
};

const char* kTen = "l1\nl2\nl3\nl4\nl5\nl6\nl7\nl8\nl9\nl10\n";

int reddish(const QImage& img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            n += c.red() > 150 && c.green() < 90 && c.blue() < 90;
        }
    }
    return n;
}

}  // namespace

TEST_F(BreakpointMarks, ClickInTheMarginTogglesTheLinesBreakpointAlsoWithoutLineNumbers)
{
    setText(kTen);
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    EXPECT_EQ(reddish(edit_->margin()->grab().toImage()), 0);
    QTest::mouseClick(edit_->margin(), Qt::LeftButton, {}, marginPoint(3));
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(linesOf(changed.at(0).at(0).value<Breakpoints>()), Lines({3}));
    EXPECT_GT(reddish(edit_->margin()->grab().toImage()), 10);  // the red dot

    edit_->setLineNumbersVisible(false);
    ASSERT_GT(edit_->margin()->width(), 0);
    QTest::mouseClick(edit_->margin(), Qt::LeftButton, {}, marginPoint(6));
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 6}));
    QTest::mouseClick(edit_->margin(), Qt::LeftButton, {}, marginPoint(3));
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({6}));
    EXPECT_EQ(changed.size(), 3);
    EXPECT_EQ(edit_->toPlainText(), kTen);
    EXPECT_FALSE(edit_->document()->isModified());
    EXPECT_FALSE(edit_->document()->isUndoAvailable());
}

TEST_F(BreakpointMarks, ToggleBreakpointSetsAndClearsOnlyLinesOfTheText)
{
    setText(kTen);
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    edit_->source()->marks().toggleBreakpoint(7);
    edit_->source()->marks().toggleBreakpoint(2);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({2, 7}));
    edit_->source()->marks().toggleBreakpoint(7);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({2}));
    edit_->source()->marks().toggleBreakpoint(0);
    edit_->source()->marks().toggleBreakpoint(12);  // the text has 11 lines
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({2}));
    EXPECT_EQ(changed.size(), 3);
    edit_->source()->marks().setBreakpoints(on({9, 1, 40, 1}));
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({1, 9}));
    EXPECT_EQ(changed.size(), 3);  // a set is not announced
    EXPECT_FALSE(edit_->document()->isUndoAvailable());
    EXPECT_FALSE(edit_->document()->isModified());
}

TEST_F(BreakpointMarks, BreakpointsMoveWithTheirLinesAsTheTextIsEdited)
{
    setText(kTen);
    edit_->source()->marks().setBreakpoints(on({3, 5}));
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    edit_->setFocus();
    // Typing within a line moves nothing.
    putCaret(3, 1);
    QTest::keyClicks(edit_, "xy");
    EXPECT_EQ(changed.size(), 0);
    // Enter above.
    putCaret(1);
    QTest::keyClick(edit_, Qt::Key_Return);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({4, 6}));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(linesOf(changed.at(0).at(0).value<Breakpoints>()), Lines({4, 6}));
    // Enter at the start of a breakpoint's line takes it down with its text.
    putCaret(4);
    QTest::keyClick(edit_, Qt::Key_Return);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({5, 7}));
    edit_->undo();
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5}));
    // A paste of lines above.
    putCaret(2);
    QMimeData pasted;
    pasted.setText("p\nq\n");
    edit_->insertFromMimeDataPublic(&pasted);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({5, 7}));
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5}));
}

TEST_F(BreakpointMarks, ABreakpointGoesWithItsDeletedLineAndJoinedLinesKeepOne)
{
    setText(kTen);
    edit_->source()->marks().setBreakpoints(on({3, 4, 5, 11}));
    edit_->setFocus();
    // The whole of line 3 with its line break.
    QTextCursor c(edit_->document()->findBlockByNumber(2));
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(edit_->toPlainText(), "l1\nl2\nl4\nl5\nl6\nl7\nl8\nl9\nl10\n");
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 4, 10}));
    // Line 4 joined to line 3: one breakpoint.
    putCaret(4);
    QTest::keyClick(edit_, Qt::Key_Backspace);
    EXPECT_EQ(edit_->toPlainText(), "l1\nl2\nl4l5\nl6\nl7\nl8\nl9\nl10\n");
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 9}));
    // The last (empty) line removed.
    putCaret(9);
    QTest::keyClick(edit_, Qt::Key_Backspace);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3}));
    // Emptying a line keeps its breakpoint: the line is still there.
    c = QTextCursor(edit_->document()->findBlockByNumber(2));
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3}));
}

TEST_F(BreakpointMarks, ABreakpointWhoseLineWasDeletedComesBackWhenTheDeletionIsUndone)
{
    setText(kTen);
    edit_->source()->marks().setBreakpoints(on({3, 5, 11}));
    edit_->setFocus();
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    QTextCursor c(edit_->document()->findBlockByNumber(2));  // line 3 with its line break
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({4, 10}));
    // Typing elsewhere, then undoing it, leaves the line deleted.
    putCaret(1, 2);
    QTest::keyClicks(edit_, "z");
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({4, 10}));
    edit_->undo();  // the deletion
    EXPECT_EQ(edit_->toPlainText(), kTen);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5, 11}));
    EXPECT_EQ(linesOf(changed.last().at(0).value<Breakpoints>()), Lines({3, 5, 11})) << "the workspace hears of it";
    edit_->redo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({4, 10}));
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5, 11}));

    // Several lines deleted at once.
    c = QTextCursor(edit_->document()->findBlockByNumber(1));
    c.setPosition(edit_->document()->findBlockByNumber(5).position(), QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    EXPECT_EQ(edit_->toPlainText(), "l1\nl6\nl7\nl8\nl9\nl10\n");
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({7}));
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5, 11}));

    // The last line, joined to the one above.
    putCaret(11);
    QTest::keyClick(edit_, Qt::Key_Backspace);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5}));
    edit_->undo();
    EXPECT_EQ(edit_->toPlainText(), kTen);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3, 5, 11}));

    // A breakpoint cleared by hand before the undo stays cleared.
    c = QTextCursor(edit_->document()->findBlockByNumber(4));
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    edit_->source()->marks().setBreakpoints(on({3}));
    edit_->undo();
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({3}));
}

TEST_F(BreakpointMarks, ABreakpointsValueMovesWithItsLineAndComesBackWithAnUndoneDeletion)
{
    setText(kTen);
    Breakpoint counted;
    counted.line = 5;
    counted.hitCount = 3;
    counted.condition = "i > 2";
    Breakpoint disabled;
    disabled.line = 7;
    disabled.enabled = false;
    edit_->source()->marks().setBreakpoints({counted, disabled});
    const int bothRed = reddish(edit_->margin()->grab().toImage());
    edit_->source()->marks().setBreakpoints({counted});
    const int oneRed = reddish(edit_->margin()->grab().toImage());
    EXPECT_GT(oneRed, 10);
    EXPECT_GT(bothRed, oneRed) << "a disabled breakpoint is drawn too";
    EXPECT_LT(bothRed, 2 * oneRed) << "as a ring, not a dot";
    edit_->source()->marks().setBreakpoints({counted, disabled});
    edit_->setFocus();
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    putCaret(1);
    QTest::keyClick(edit_, Qt::Key_Return);  // both move down a line
    ASSERT_EQ(edit_->source()->marks().breakpoints().size(), 2);
    Breakpoint movedCounted = counted, movedDisabled = disabled;
    movedCounted.line = 6;
    movedDisabled.line = 8;
    EXPECT_EQ(edit_->source()->marks().breakpoints(), Breakpoints({movedCounted, movedDisabled}));
    EXPECT_EQ(changed.last().at(0).value<Breakpoints>(), edit_->source()->marks().breakpoints());
    // The counted one's line deleted, then the deletion undone: it comes back whole.
    QTextCursor c(edit_->document()->findBlockByNumber(5));
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(c);
    QTest::keyClick(edit_, Qt::Key_Delete);
    movedDisabled.line = 7;
    EXPECT_EQ(edit_->source()->marks().breakpoints(), Breakpoints({movedDisabled}));
    edit_->undo();
    movedDisabled.line = 8;
    EXPECT_EQ(edit_->source()->marks().breakpoints(), Breakpoints({movedCounted, movedDisabled}));
    putCaret(8);
    EXPECT_EQ(description(edit_), "Line 8: disabled breakpoint");
    // A change of one value is announced; the margin's toggle clears it, and
    // sets a plain one again.
    const qsizetype before = changed.size();
    movedDisabled.enabled = true;
    edit_->source()->marks().setBreakpoint(movedDisabled);
    EXPECT_EQ(changed.size(), before + 1);
    EXPECT_TRUE(edit_->source()->marks().breakpoints().last().enabled);
    edit_->source()->marks().setBreakpoint(movedDisabled);
    EXPECT_EQ(changed.size(), before + 1) << "no change, no signal";
    edit_->source()->marks().toggleBreakpoint(6);
    edit_->source()->marks().toggleBreakpoint(6);
    ASSERT_EQ(edit_->source()->marks().breakpoints().size(), 2);
    EXPECT_EQ(edit_->source()->marks().breakpoints().first().hitCount, 0);
    EXPECT_TRUE(edit_->source()->marks().breakpoints().first().condition.isEmpty());
}

TEST_F(BreakpointMarks, SavingWritesTheUsersBytesAndAReloadKeepsTheLineNumbers)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Main.java");
    const QByteArray bytes = "class Main {\r\n  void f() {\r\n    int x = 1;\r\n  }\r\n}\r\n";
    ASSERT_TRUE(writeFile(path, bytes));
    ASSERT_TRUE(edit_->source()->loadFile(path));
    edit_->source()->marks().setBreakpoints(on({2, 3}));
    edit_->source()->marks().setExecutionLine(3);
    edit_->source()->marks().setInlineValues({{3, "x = 1"}});
    EXPECT_FALSE(edit_->document()->isModified());
    // A change of the user's saves only that change.
    putCaret(1, 5);
    edit_->setFocus();
    QTest::keyClicks(edit_, "s");
    ASSERT_TRUE(edit_->source()->save());
    EXPECT_EQ(readFile(path), "classs Main {\r\n  void f() {\r\n    int x = 1;\r\n  }\r\n}\r\n");
    // Changed on disk: the reload keeps the breakpoints on their line numbers.
    ASSERT_TRUE(writeFile(path, "// new\n// lines\nclass Main {\n  void f() {\n    int x = 1;\n  }\n}\n"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime);
    }
    QSignalSpy changed(&edit_->source()->marks(), &MarkList::breakpointsChanged);
    ASSERT_EQ(edit_->source()->checkDiskChange(), SourceDocument::DiskChange::Reloaded);
    EXPECT_EQ(linesOf(edit_->source()->marks().breakpoints()), Lines({2, 3}));
    EXPECT_EQ(edit_->source()->marks().executionLine(), 3);
    EXPECT_EQ(changed.size(), 0);
    EXPECT_TRUE(dialogs_.messages.empty());
    // The marks write nothing of their own.
    ASSERT_TRUE(edit_->source()->writeFile(dir.filePath("Copy.java")));
    EXPECT_EQ(readFile(dir.filePath("Copy.java")), readFile(path));
}

TEST_F(BreakpointMarks, TheExecutionLineTakesTheCaretAndTheViewButNotTheFocus)
{
    QString text;
    for (int i = 1; i <= 300; ++i)
        text += QStringLiteral("    line %1;\n").arg(i);
    setText(text);
    other_->setFocus();
    ASSERT_TRUE(waitFor([this] { return other_->hasFocus(); }, 5000));
    EXPECT_EQ(edit_->verticalScrollBar()->value(), 0);
    edit_->source()->marks().setExecutionLine(250);
    EXPECT_EQ(edit_->source()->marks().executionLine(), 250);
    EXPECT_EQ(edit_->textCursor().blockNumber(), 249);
    EXPECT_EQ(edit_->textCursor().positionInBlock(), 0);
    EXPECT_FALSE(edit_->textCursor().hasSelection());
    EXPECT_TRUE(edit_->viewport()->rect().contains(edit_->cursorRect()));
    EXPECT_GT(edit_->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(other_->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), other_);
    EXPECT_EQ(edit_->toPlainText(), text);
    EXPECT_FALSE(edit_->document()->isModified());
    EXPECT_FALSE(edit_->document()->isUndoAvailable());
    // It moves with its line too, and goes with 0.
    putCaret(1);
    edit_->textCursor().insertText("\n");
    EXPECT_EQ(edit_->source()->marks().executionLine(), 251);
    edit_->source()->marks().setExecutionLine(0);
    EXPECT_EQ(edit_->source()->marks().executionLine(), 0);
}

TEST_F(BreakpointMarks, InlineValuesAreNotPartOfTheText)
{
    setText("int a = 1;\nint b = 2;\nint c = a + b;\n");
    const QImage before = edit_->viewport()->grab().toImage();
    edit_->source()->marks().setInlineValues({{2, "b = 2"}, {3, "c = 3"}});
    EXPECT_NE(edit_->viewport()->grab().toImage(), before);  // drawn
    EXPECT_EQ(edit_->toPlainText(), "int a = 1;\nint b = 2;\nint c = a + b;\n");
    EXPECT_FALSE(edit_->document()->isModified());
    EXPECT_FALSE(edit_->document()->isUndoAvailable());
    // Copy and paste take the text only.
    edit_->selectAll();
    edit_->copy();
    EXPECT_EQ(QApplication::clipboard()->text(), "int a = 1;\nint b = 2;\nint c = a + b;\n");
    putCaret(4);
    edit_->paste();
    EXPECT_EQ(edit_->toPlainText(),
              "int a = 1;\nint b = 2;\nint c = a + b;\nint a = 1;\nint b = 2;\nint c = a + b;\n");
    // They move with their lines; an empty map clears them.
    putCaret(1);
    edit_->textCursor().insertText("// top\n");
    putCaret(3);
    EXPECT_EQ(description(edit_), "Line 3: b = 2");
    edit_->source()->marks().setInlineValues({});
    EXPECT_EQ(description(edit_), "");
    EXPECT_EQ(edit_->viewport()->grab().toImage().size(), before.size());
}

TEST_F(BreakpointMarks, ScreenReadersLearnOfBreakpointsAndThePausedLine)
{
    setText(kTen);
    EXPECT_EQ(description(edit_->margin()), "No messages");
    edit_->source()->marks().toggleBreakpoint(2);
    EXPECT_EQ(description(edit_->margin()), "No messages; breakpoint on line 2");
    edit_->source()->marks().toggleBreakpoint(5);
    edit_->source()->marks().setExecutionLine(5);
    edit_->source()->marks().setInlineValues({{5, "i = 4"}});
    EXPECT_EQ(description(edit_->margin()), "No messages; breakpoints on lines 2, 5; paused here: line 5");
    // The caret's line is described on the control.
    EXPECT_EQ(description(edit_), "Line 5: breakpoint; paused here; i = 4");
    putCaret(2);
    EXPECT_EQ(description(edit_), "Line 2: breakpoint");
    putCaret(3);
    EXPECT_EQ(description(edit_), "");
    edit_->source()->marks().setExecutionLine(0);
    edit_->source()->marks().setBreakpoints(on({}));
    EXPECT_EQ(description(edit_->margin()), "No messages");
}
