// SPDX-License-Identifier: GPL-3.0-or-later
// The usual editing keys through the real main window: Ctrl+F, Ctrl+H, Ctrl+G,
// Ctrl+S and the Redo command's Ctrl+Y and Ctrl+Shift+Z, pressed in the edit
// control; Toggle Comment's Ctrl+/ and menu item; and the status bar's
// "Modified" field.
#include "frame_fixture.h"

#include "editor/finddialogs.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

void putCaret(EditControl* e, int position, int anchor = -1)
{
    QTextCursor c(e->document());
    c.setPosition(anchor < 0 ? position : anchor);
    if (anchor >= 0)
        c.setPosition(position, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

// Closes a dialog and makes the main window the active one again, as it is
// when the user returns to the text.
void closeAndReturn(QWidget* dialog, QWidget* frame, QWidget* edit)
{
    dialog->close();
    frame->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frame));
    edit->setFocus();
}

}  // namespace

TEST_F(FrameTest, RedoKeysRedoOnceThroughTheCommand)
{
    TFileMDIChild* c = newJava();
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    e->setFocus();
    EXPECT_FALSE(enabled(cmd::Redo));
    // Two undo steps: typing, then clearing.
    QTest::keyClicks(e, "one");
    app->dispatch(cmd::ClearAll);
    EXPECT_EQ(e->source()->rawText(), "");
    press(e, Qt::CTRL | Qt::Key_Z);
    press(e, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "");
    ASSERT_TRUE(enabled(cmd::Redo));

    // One press, one step: the edit control does not redo on its own as well.
    press(e, Qt::CTRL | Qt::Key_Y);
    EXPECT_EQ(e->source()->rawText(), "one");
    EXPECT_TRUE(enabled(cmd::Redo));

    // A read-only window refuses it, as it refuses Undo.
    e->setReadOnly(true);
    EXPECT_FALSE(enabled(cmd::Redo));
    EXPECT_FALSE(enabled(cmd::Undo));
    press(e, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "one");
    e->setReadOnly(false);

    press(e, Qt::CTRL | Qt::SHIFT | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "");
    EXPECT_FALSE(enabled(cmd::Redo));

    // The menu item does the same.
    press(e, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "one");
    ASSERT_TRUE(enabled(cmd::Redo));
    app->action(cmd::Redo)->trigger();
    EXPECT_EQ(e->source()->rawText(), "");
}

TEST_F(FrameTest, FindAndReplaceKeysProposeTheWordAtTheCaretOrTheSelection)
{
    TFileMDIChild* c = openJava(writeFile("Words.java", "int count = other_value + 1;\nsecond line\n"));
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    e->setFocus();
    QTextCursor cur(e->document());
    cur.setPosition(14);  // inside "other_value"
    e->setTextCursor(cur);
    press(e, Qt::CTRL | Qt::Key_F);
    TFindDialog* find = client()->finder()->findDialog();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_EQ(find->whatEdit()->text(), "other_value");
    closeAndReturn(find, app->Frame, e);

    // Just after a word: that word.
    cur.setPosition(9);  // "count|"
    e->setTextCursor(cur);
    e->setFocus();
    press(e, Qt::CTRL | Qt::Key_F);
    EXPECT_EQ(client()->finder()->findDialog()->whatEdit()->text(), "count");
    closeAndReturn(client()->finder()->findDialog(), app->Frame, e);

    // A selection on one line is proposed as it is.
    cur.setPosition(4);
    cur.setPosition(11, QTextCursor::KeepAnchor);  // "count ="
    e->setTextCursor(cur);
    e->setFocus();
    press(e, Qt::CTRL | Qt::Key_H);
    TReplaceDialog* replace = client()->finder()->replaceDialog();
    ASSERT_NE(replace, nullptr);
    EXPECT_TRUE(replace->isVisible());
    EXPECT_EQ(replace->whatEdit()->text(), "count =");
    replace->close();
    // Nothing was typed into the text.
    EXPECT_EQ(e->source()->rawText(), "int count = other_value + 1;\nsecond line\n");
}

TEST_F(FrameTest, GotoLineAndSaveKeysWorkInTheEditor)
{
    const QString path = writeFile("Keys.java", "a\nb\nc\n");
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    e->setFocus();
    dialogs_.gotoAnswer = 3;
    press(e, Qt::CTRL | Qt::Key_G);
    dialogs_.gotoAnswer.reset();
    EXPECT_EQ(e->textCursor().blockNumber(), 2);

    QTest::keyClicks(e, "x");
    press(e, Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(readFile(path), "a\nb\nxc\n");
    EXPECT_FALSE(e->document()->isModified());
    // F2 saves as before.
    e->moveCursor(QTextCursor::End);
    QTest::keyClicks(e, "y");
    press(e, Qt::Key_F2);
    EXPECT_EQ(readFile(path), "a\nb\nxc\ny");
}

TEST_F(FrameTest, StatusBarSaysModifiedWhileTheActiveWindowHoldsChanges)
{
    QLabel* field = app->modifiedField();
    ASSERT_NE(field, nullptr);
    EXPECT_FALSE(field->accessibleDescription().isEmpty());
    EXPECT_EQ(field->text(), "");
    const QString path = writeFile("Mod.java", "class Mod {}\n");
    TFileMDIChild* changed = openJava(path);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(field->text(), "");
    const QString caption = changed->windowTitle();

    changed->editor()->setFocus();
    QTest::keyClicks(changed->editor(), "// ");
    EXPECT_EQ(field->text(), "Modified");
    EXPECT_EQ(changed->windowTitle(), caption) << "the caption stays as it is";

    // Another window without changes: the field follows the active window.
    TFileMDIChild* clean = openJava(writeFile("Clean.java", "class Clean {}\n"));
    ASSERT_NE(clean, nullptr);
    ASSERT_NE(clean, changed);
    EXPECT_EQ(field->text(), "");
    client()->setActiveSubWindow(changed);
    QApplication::processEvents();
    EXPECT_EQ(field->text(), "Modified");

    // Undoing back to the saved text, and saving, clear it.
    changed->editor()->setFocus();
    press(changed->editor(), Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(field->text(), "");
    QTest::keyClicks(changed->editor(), "x");
    EXPECT_EQ(field->text(), "Modified");
    press(changed->editor(), Qt::CTRL | Qt::Key_S);
    EXPECT_EQ(field->text(), "");
    EXPECT_EQ(readFile(path), "xclass Mod {}\n");
    // No editor window: nothing to say.
    for (TFileMDIChild* c : client()->editors())
        c->close();
    QApplication::processEvents();
    EXPECT_EQ(field->text(), "");
}

TEST_F(FrameTest, ToggleCommentKeepsEveryLineEndAndIsOneUndoStep)
{
    // Lines ending in CR LF and in LF, a blank line among them.
    const QByteArray bytes = "class A {\r\n    int a;\n\r\n        int b;\r\n}\n";
    const QString path = writeFile("C.java", bytes);
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    e->setFocus();
    const QTextDocument* doc = e->document();
    ASSERT_TRUE(enabled(cmd::ToggleComment));
    // From inside "int a" to inside "int b": three lines, the blank one left alone.
    putCaret(e, doc->findBlockByNumber(3).position() + 10, doc->findBlockByNumber(1).position() + 6);
    press(e, Qt::CTRL | Qt::Key_Slash);
    EXPECT_EQ(e->source()->rawText(), "class A {\n    // int a;\n\n    //     int b;\n}\n");
    EXPECT_EQ(e->textCursor().selectedText(),
              QString("    // int a;") + QChar::ParagraphSeparator + QChar::ParagraphSeparator + "    //     int b;");
    // Again: the comment marks go.
    press(e, Qt::CTRL | Qt::Key_Slash);
    EXPECT_EQ(e->source()->rawText(), "class A {\n    int a;\n\n        int b;\n}\n");
    // One undo step each way.
    press(e, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "class A {\n    // int a;\n\n    //     int b;\n}\n");
    press(e, Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(e->source()->rawText(), "class A {\n    int a;\n\n        int b;\n}\n");
    EXPECT_FALSE(e->document()->isModified());
    // Saved, every line keeps its line end.
    press(e, Qt::CTRL | Qt::Key_Y);
    app->dispatch(cmd::FileSave);
    EXPECT_EQ(readFile(path), QByteArray("class A {\r\n    // int a;\n\r\n    //     int b;\r\n}\n"));
    putCaret(e, doc->findBlockByNumber(3).position() + 2, doc->findBlockByNumber(1).position());
    press(e, Qt::CTRL | Qt::Key_Slash);
    app->dispatch(cmd::FileSave);
    EXPECT_EQ(readFile(path), bytes);
    // Without a selection, the caret's line, from the menu item; the caret
    // stays on its character.
    putCaret(e, doc->findBlockByNumber(4).position() + 1);
    app->action(cmd::ToggleComment)->trigger();
    EXPECT_EQ(doc->findBlockByNumber(4).text(), "// }");
    EXPECT_EQ(e->textCursor().positionInBlock(), 4);
    EXPECT_FALSE(e->textCursor().hasSelection());
    // A selection that ends at the start of a line leaves that line out.
    putCaret(e, doc->findBlockByNumber(1).position(), 0);
    press(e, Qt::CTRL | Qt::Key_Slash);
    EXPECT_EQ(e->source()->rawText(), "// class A {\n    int a;\n\n        int b;\n// }\n");
}

TEST_F(FrameTest, ToggleCommentOnlyInEditableWindows)
{
    const QString path = writeFile("Bin.java", QByteArray("class B {\n  int\0x;\n}\n", 21));
    TFileMDIChild* c = openJava(path);
    EditControl* e = c->editor();
    ASSERT_TRUE(e->isReadOnly());
    e->setFocus();
    const QString before = e->source()->rawText();
    e->selectAll();
    EXPECT_FALSE(enabled(cmd::ToggleComment));
    press(e, Qt::CTRL | Qt::Key_Slash);
    triggerExpectingDisabled(cmd::ToggleComment);
    EXPECT_EQ(e->source()->rawText(), before);
    EXPECT_FALSE(e->document()->isModified());
}
