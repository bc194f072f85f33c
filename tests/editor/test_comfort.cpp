// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's comfort in an editor window of its own: the margin, the
// highlighted line and bracket, indentation as the user types, Home, message
// marks and zoom. (Toggle Comment, with its key and menu item: test_editkeys.)
#include "editor_fixture.h"
#include "resources/commands.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QToolTip>
#include <QWheelEvent>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

void putCaret(EditControl* e, int position, int anchor = -1)
{
    QTextCursor c(e->document());
    c.setPosition(anchor < 0 ? position : anchor);
    if (anchor >= 0)
        c.setPosition(position, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

QList<QTextCharFormat> fragmentFormats(const QTextDocument* doc)
{
    QList<QTextCharFormat> out;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out << it.fragment().charFormat();
    }
    return out;
}

QList<QTextEdit::ExtraSelection> underlines(EditControl* e)
{
    QList<QTextEdit::ExtraSelection> out;
    for (const QTextEdit::ExtraSelection& s : e->extraSelections()) {
        if (s.format.hasProperty(QTextFormat::TextUnderlineStyle))
            out << s;
    }
    return out;
}

int countPixels(const QImage& img, QRect area, QColor colour)
{
    int n = 0;
    area &= img.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                ++n;
        }
    }
    return n;
}

}  // namespace

TEST_F(EditorTest, LineNumberMarginIsShownByDefaultAndCanBeHidden)
{
    TFileMDIChild* c = openJava(writeFile("A.java", "class A {\n}\n"));
    EditControl* e = c->editor();
    ASSERT_NE(e->margin(), nullptr);
    EXPECT_TRUE(e->lineNumbersVisible());
    EXPECT_TRUE(e->margin()->isVisible());
    EXPECT_EQ(e->margin()->accessibleName(), "Line Numbers");
    const int wide = e->margin()->width();
    EXPECT_GT(wide, 0);
    EXPECT_EQ(e->viewport()->geometry().left(), e->margin()->geometry().right() + 1);
    e->setLineNumbersVisible(false);
    EXPECT_LT(e->margin()->width(), wide);
    EXPECT_EQ(e->viewport()->geometry().left(), e->margin()->geometry().right() + 1);
    e->setLineNumbersVisible(true);
    EXPECT_EQ(e->margin()->width(), wide);
    // The numbers are drawn in the text's colour beside the caret line.
    const QImage img = e->margin()->grab().toImage();
    EXPECT_GT(countPixels(img, img.rect(), e->palette().color(QPalette::Text)), 0);
}

TEST_F(EditorTest, CaretLineIsHighlighted)
{
    TFileMDIChild* c = openJava(writeFile("A.java", "class A {\n  int x;\n}\n"));
    c->showMaximized();
    QApplication::processEvents();
    EditControl* e = c->editor();
    const QColor base = e->palette().color(QPalette::Base);
    auto shade = [&](int block) {
        const QImage img = e->viewport()->grab().toImage();
        const QRect r = e->cursorRect(QTextCursor(e->document()->findBlockByNumber(block)));
        return img.pixelColor(e->viewport()->width() - 5, r.center().y());
    };
    EXPECT_NE(shade(0), base);
    EXPECT_EQ(shade(1), base);
    putCaret(e, e->document()->findBlockByNumber(1).position() + 2);
    QApplication::processEvents();
    EXPECT_NE(shade(1), base);
    EXPECT_EQ(shade(0), base);
    // The highlight is no format of the text.
    for (const QTextCharFormat& f : fragmentFormats(e->document()))
        EXPECT_FALSE(f.hasProperty(QTextFormat::BackgroundBrush));
}

TEST_F(EditorTest, MatchingBracketIsHighlighted)
{
    const QString text = "class A {\n  void f() { g(\"(\"); /* { */ }\n}\n";
    TFileMDIChild* c = openJava(writeFile("A.java", text.toUtf8()));
    EditControl* e = c->editor();
    // Caret before the class's brace: its match is the last one.
    putCaret(e, text.indexOf('{'));
    EXPECT_EQ(e->matchedBrackets(), std::make_pair(int(text.indexOf('{')), int(text.lastIndexOf('}'))));
    int backgrounds = 0;
    for (const QTextEdit::ExtraSelection& s : e->extraSelections()) {
        if (s.format.hasProperty(QTextFormat::BackgroundBrush))
            ++backgrounds;
    }
    EXPECT_EQ(backgrounds, 2);
    // Caret after the method's closing brace: the comment's brace is skipped.
    const int close = text.indexOf("*/ }") + 3;
    putCaret(e, close + 1);
    EXPECT_EQ(e->matchedBrackets(), std::make_pair(close, int(text.indexOf("{ g("))));
    // Caret beside the parenthesis in the string: none.
    putCaret(e, text.indexOf("\"(\"") + 1);
    EXPECT_EQ(e->matchedBrackets().first, -1);
    putCaret(e, text.indexOf("\"(\"") + 2);
    EXPECT_EQ(e->matchedBrackets().first, -1);
    // Nothing beside the caret.
    putCaret(e, 2);
    EXPECT_EQ(e->matchedBrackets().first, -1);
}

TEST_F(EditorTest, EnterKeepsIndentationAndCloseBraceTakesALevelOff)
{
    TFileMDIChild* c = newJava();
    EditControl* e = c->editor();
    QTest::keyClicks(e, "class A {");
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClicks(e, "void f() {");
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClicks(e, "int x;");
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClicks(e, "}");
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClicks(e, "}");
    EXPECT_EQ(e->toPlainText(), "class A {\n    void f() {\n        int x;\n    }\n}");
    // In the middle of a line the rest moves down with the indentation.
    putCaret(e, e->toPlainText().indexOf("x;"));
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->document()->findBlockByNumber(3).text(), "        x;");
}

// After a text block Enter indents as the statement that holds it, and a
// brace inside the block opens nothing.
TEST_F(EditorTest, EnterAfterATextBlockIndentsByTheCode)
{
    const QString text = "class A {\n    String s = \"\"\"\n            {\n            \"\"\";\n    int x;\n}\n";
    TFileMDIChild* c = openJava(writeFile("B.java", text.toUtf8()));
    EditControl* e = c->editor();
    putCaret(e, e->document()->findBlockByNumber(2).position() + 13);  // after "{" in the block
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->document()->findBlockByNumber(3).text(), "            ");
    e->undo();
    putCaret(e, e->document()->findBlockByNumber(3).position() + 16);  // after the closing quotes
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->document()->findBlockByNumber(4).text(), "    ");
}

TEST_F(EditorTest, IndentationFollowsTheFileAndEnterIsOneUndoStep)
{
    const QString text = "class A {\n\tvoid f() {\n\t\tg();\n\t}\n}\n";
    TFileMDIChild* c = openJava(writeFile("T.java", text.toUtf8()));
    EditControl* e = c->editor();
    EXPECT_EQ(e->indentUnit(), "\t");
    putCaret(e, e->document()->findBlockByNumber(1).position() + 11);  // after "\tvoid f() {"
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(e->document()->findBlockByNumber(2).text(), "\t\t");
    e->undo();
    EXPECT_EQ(e->toPlainText(), text);
    EXPECT_FALSE(e->document()->isModified());
}

TEST_F(EditorTest, TabAndShiftTabIndentSelectedLinesAsOneUndoStep)
{
    const QString text = "class A {\n  int a;\n  int b;\n  int c;\n}\n";
    const QString path = writeFile("I.java", text.toUtf8());
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    EXPECT_EQ(e->indentUnit(), "  ");
    const QTextDocument* doc = e->document();
    // From inside "int a" to inside "int b": both lines, nothing replaced.
    putCaret(e, doc->findBlockByNumber(2).position() + 4, doc->findBlockByNumber(1).position() + 3);
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(e->toPlainText(), "class A {\n    int a;\n    int b;\n  int c;\n}\n");
    EXPECT_TRUE(e->textCursor().hasSelection());
    EXPECT_EQ(e->textCursor().selectedText(), QString("    int a;") + QChar::ParagraphSeparator + "    int b;");
    QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(e->toPlainText(), "class A {\nint a;\nint b;\n  int c;\n}\n");
    e->undo();
    EXPECT_EQ(e->toPlainText(), "class A {\n  int a;\n  int b;\n  int c;\n}\n");
    e->undo();
    EXPECT_EQ(e->toPlainText(), "class A {\n    int a;\n    int b;\n  int c;\n}\n");
    e->undo();
    EXPECT_EQ(e->toPlainText(), text);
    // Shift+Tab on one line without a selection takes that line back.
    putCaret(e, doc->findBlockByNumber(3).position() + 4);
    QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(doc->findBlockByNumber(3).text(), "int c;");
    EXPECT_EQ(e->textCursor().positionInBlock(), 2);
    // Tab without a selection still types a tab.
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(doc->findBlockByNumber(3).text(), "in\tt c;");
    // Line ends and fonts of the lines are kept: the save writes the lines as they were.
    e->undo();
    e->undo();
    trigger(c, cmd::FileSave);
    EXPECT_EQ(readFile(path), text.toUtf8());
}

TEST_F(EditorTest, ReadOnlyWindowRefusesIndentChanges)
{
    const QString path = writeFile("Bin.java", QByteArray("class B {\n  int\0x;\n}\n", 21));
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    ASSERT_TRUE(e->isReadOnly());
    const QString before = e->toPlainText();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Tab);
    QTest::keyClick(e, Qt::Key_Backtab, Qt::ShiftModifier);
    e->indentSelection();
    e->unindentSelection();
    putCaret(e, e->document()->findBlockByNumber(1).position() + 2);
    QTest::keyClick(e, Qt::Key_Return);
    QTest::keyClicks(e, "}");
    EXPECT_EQ(e->toPlainText(), before);
    EXPECT_FALSE(e->document()->isModified());
}

TEST_F(EditorTest, HomeGoesToTheFirstCharacterOfTheLineThenToItsStart)
{
    TFileMDIChild* c = openJava(writeFile("H.java", "class H {\n    int x = 1;\n\tf();\n   \n}\n"));
    EditControl* e = c->editor();
    e->setFocus();
    const QTextDocument* doc = e->document();
    const int line1 = doc->findBlockByNumber(1).position();
    putCaret(e, line1 + 14);  // the end of "    int x = 1;"
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line1 + 4);
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line1);
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line1 + 4);
    // From inside the indentation, to the text.
    putCaret(e, line1 + 2);
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line1 + 4);
    // Shift+Home selects the same way, from where the selection started.
    putCaret(e, line1 + 14);
    press(e, Qt::SHIFT | Qt::Key_Home);
    EXPECT_EQ(e->textCursor().selectedText(), "int x = 1;");
    press(e, Qt::SHIFT | Qt::Key_Home);
    EXPECT_EQ(e->textCursor().selectedText(), "    int x = 1;");
    EXPECT_EQ(e->textCursor().position(), line1);
    press(e, Qt::Key_Home);
    EXPECT_FALSE(e->textCursor().hasSelection());
    EXPECT_EQ(e->textCursor().position(), line1 + 4);
    // A tab is a blank too; a line of blanks only goes to its start.
    const int line2 = doc->findBlockByNumber(2).position();
    putCaret(e, line2 + 3);
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line2 + 1);
    const int line3 = doc->findBlockByNumber(3).position();
    putCaret(e, line3 + 3);
    press(e, Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), line3);
    // Ctrl+Home still goes to the start of the text; the text is unchanged.
    press(e, Qt::CTRL | Qt::Key_Home);
    EXPECT_EQ(e->textCursor().position(), 0);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(EditorTest, MessageMarksFollowTheirLinesAndShowTheirTexts)
{
    const QString text = "class M {\n  void f() {\n    int x = y;\n    long z;\n  }\n}\n";
    TFileMDIChild* c = openJava(writeFile("M.java", text.toUtf8()));
    EditControl* e = c->editor();
    const QList<TextMark> marks{
        {3, 13, TextMark::Kind::Error, "cannot find symbol", false},
        {4, 0, TextMark::Kind::Warning, "unused variable", false},
    };
    e->source()->marks().setMessageMarks(marks);
    EXPECT_EQ(e->source()->marks().messageMarks(), marks);
    EXPECT_EQ(e->margin()->accessibleDescription(), "1 error(s), 1 warning(s) marked");
    // The column's word is underlined with a wavy line; the warning has no column.
    QList<QTextEdit::ExtraSelection> u = underlines(e);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(u[0].cursor.selectedText(), "y");
    EXPECT_EQ(u[0].format.underlineStyle(), QTextCharFormat::WaveUnderline);
    // ... which is no format of the text.
    for (const QTextCharFormat& f : fragmentFormats(e->document()))
        EXPECT_NE(f.underlineStyle(), QTextCharFormat::WaveUnderline);

    // Two lines added above: the marks go down with their lines.
    QTextCursor top(e->document());
    top.insertText("// one\n// two\n");
    QList<TextMark> moved = e->source()->marks().messageMarks();
    EXPECT_EQ(moved[0].line, 5);
    EXPECT_EQ(moved[0].column, 13);
    EXPECT_EQ(moved[1].line, 6);
    // Text typed before the column moves the column with it.
    QTextCursor line5(e->document()->findBlockByNumber(4));
    line5.insertText("  ");
    EXPECT_EQ(e->source()->marks().messageMarks()[0].column, 15);
    u = underlines(e);
    ASSERT_EQ(u.size(), 1);
    EXPECT_EQ(u[0].cursor.selectedText(), "y");

    // The texts that the tool tips show.
    EXPECT_EQ(e->source()->marks().messageTextsOnLine(5), QStringList{"cannot find symbol"});
    EXPECT_EQ(e->source()->marks().messageTextsOnLine(6), QStringList{"unused variable"});
    EXPECT_TRUE(e->source()->marks().messageTextsOnLine(1).isEmpty());
    const int y = u[0].cursor.selectionStart();
    EXPECT_EQ(e->source()->marks().messageTextsAt(y), QStringList{"cannot find symbol"});
    EXPECT_TRUE(e->source()->marks().messageTextsAt(y - 2).isEmpty());

    e->source()->marks().clearMessageMarks();
    EXPECT_TRUE(e->source()->marks().messageMarks().isEmpty());
    EXPECT_TRUE(underlines(e).isEmpty());
    EXPECT_EQ(e->margin()->accessibleDescription(), "No messages");
}

TEST_F(EditorTest, MessageToolTipsOnUnderlineAndMargin)
{
    TFileMDIChild* c = openJava(writeFile("T.java", "class T {\n  int x = y;\n}\n"));
    c->showMaximized();
    QApplication::processEvents();
    EditControl* e = c->editor();
    e->source()->marks().setMessageMarks({{2, 11, TextMark::Kind::Error, "cannot find symbol", false}});
    QTextCursor at(e->document());
    at.setPosition(e->document()->findBlockByNumber(1).position() + 10);
    const QRect r = e->cursorRect(at);
    const QPoint p = r.center() + QPoint(2, 0);
    QHelpEvent h(QEvent::ToolTip, p, e->viewport()->mapToGlobal(p));
    QApplication::sendEvent(e->viewport(), &h);
    EXPECT_EQ(QToolTip::text(), "cannot find symbol");
    QToolTip::hideText();
    const QPoint m(2, r.center().y());
    QHelpEvent hm(QEvent::ToolTip, m, e->margin()->mapToGlobal(m));
    QApplication::sendEvent(e->margin(), &hm);
    EXPECT_EQ(QToolTip::text(), "cannot find symbol");
    QToolTip::hideText();
}

TEST_F(EditorTest, MarksHaveDistinctColoursAndShapes)
{
    TFileMDIChild* c = openJava(writeFile("S.java", "class S {\n  int x = y;\n  int z;\n}\n"));
    c->showMaximized();
    QApplication::processEvents();
    EditControl* e = c->editor();
    e->source()->marks().setMessageMarks(
        {{2, 11, TextMark::Kind::Error, "e", false}, {3, 0, TextMark::Kind::Warning, "w", false}});
    const QImage img = e->margin()->grab().toImage();
    const QRect line2 = e->cursorRect(QTextCursor(e->document()->findBlockByNumber(1)));
    const QRect line3 = e->cursorRect(QTextCursor(e->document()->findBlockByNumber(2)));
    const QRect marks2(0, line2.top(), line2.height(), line2.height());
    const QRect marks3(0, line3.top(), line3.height(), line3.height());
    const QColor red(0xd0, 0x20, 0x20), amber(0xe0, 0x8a, 0x00);
    EXPECT_GT(countPixels(img, marks2, red), 4);
    EXPECT_EQ(countPixels(img, marks2, amber), 0);
    EXPECT_GT(countPixels(img, marks3, amber), 4);
    EXPECT_EQ(countPixels(img, marks3, red), 0);
    // The shapes differ too: a circle fills its box's corners less than... the
    // triangle's top corners stay empty while the circle's sides are filled.
    const int midY2 = marks2.center().y();
    int redRow = 0, amberTop = 0;
    for (int x = 0; x < marks2.width(); ++x) {
        redRow += countPixels(img, QRect(x, midY2, 1, 1), red) + countPixels(img, QRect(x, midY2, 1, 1), Qt::white);
        amberTop += countPixels(img, QRect(x, marks3.top() + marks3.height() / 5, 1, 1), amber);
    }
    EXPECT_GT(redRow, amberTop);
}

TEST_F(EditorTest, MarksStayOnTheirLinesThroughSavesReload)
{
    const QString path = writeFile("R.java", "class R {\n  int x = y;\n}\n");
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    e->source()->marks().setMessageMarks({{2, 11, TextMark::Kind::Error, "cannot find symbol", false}});
    QTextCursor top(e->document());
    top.insertText("// top\n");
    trigger(c, cmd::FileSave);
    EXPECT_EQ(readFile(path), "// top\nclass R {\n  int x = y;\n}\n");
    ASSERT_EQ(e->source()->marks().messageMarks().size(), 1);
    EXPECT_EQ(e->source()->marks().messageMarks()[0].line, 3);
    EXPECT_EQ(e->source()->marks().messageMarks()[0].column, 11);
}

TEST_F(EditorTest, ZoomScalesTheViewButNotTheTextsFonts)
{
    const QByteArray bytes = "class Z {\r\n  int x;\n}\r\n";
    const QString path = writeFile("Z.java", bytes);
    TFileMDIChild* c = openJava(path);
    c->showMaximized();
    QApplication::processEvents();
    EditControl* e = c->editor();
    // A font of the user's on "int".
    putCaret(e, e->document()->findBlockByNumber(1).position() + 5,
             e->document()->findBlockByNumber(1).position() + 2);
    dialogs_.fontAnswer = QFont("Serif", 21);
    trigger(c, cmd::FormatFont);
    const QList<QTextCharFormat> formats = fragmentFormats(e->document());
    const qreal height = e->document()->documentLayout()->blockBoundingRect(e->document()->firstBlock()).height();
    const int marginWidth = e->margin()->width();
    const bool modified = e->document()->isModified();

    e->zoomIn();
    e->zoomIn();
    e->zoomIn();
    EXPECT_EQ(e->zoomPercent(), 130);
    EXPECT_EQ(fragmentFormats(e->document()), formats);
    EXPECT_GT(e->document()->documentLayout()->blockBoundingRect(e->document()->firstBlock()).height(), height * 1.2);
    EXPECT_GT(e->margin()->width(), marginWidth);
    EXPECT_EQ(e->document()->isModified(), modified);

    // Saved while zoomed: the bytes are those of the text, fonts aside.
    QTextCursor end(e->document());
    end.movePosition(QTextCursor::End);
    end.insertText("// z");
    trigger(c, cmd::FileSave);
    EXPECT_EQ(readFile(path), bytes + "// z");
    // Format Font still works while zoomed.
    putCaret(e, 3, 0);
    dialogs_.fontAnswer = QFont("Serif", 30);
    trigger(c, cmd::FormatFont);
    EXPECT_EQ(e->document()->begin().begin().fragment().charFormat().font().pointSize(), 30);

    e->zoomReset();
    EXPECT_EQ(e->zoomPercent(), 100);
    e->zoomOut();
    EXPECT_EQ(e->zoomPercent(), 90);
    for (int i = 0; i < 20; ++i)
        e->zoomOut();
    EXPECT_EQ(e->zoomPercent(), 50);
    e->zoomReset();

    // Ctrl+wheel zooms; the wheel alone scrolls.
    QWheelEvent in(QPointF(10, 10), e->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(e->viewport(), &in);
    EXPECT_EQ(e->zoomPercent(), 110);
    QWheelEvent out(QPointF(10, 10), e->viewport()->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(e->viewport(), &out);
    EXPECT_EQ(e->zoomPercent(), 100);
}
