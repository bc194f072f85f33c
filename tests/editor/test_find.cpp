// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/finddialogs.h"
#include "scripted_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

FindOptions opts(const QString& what, bool down = true, bool matchCase = false, bool wholeWord = false)
{
    FindOptions o;
    o.what = what;
    o.down = down;
    o.matchCase = matchCase;
    o.wholeWord = wholeWord;
    return o;
}

void placeCaret(QTextEdit& e, int pos)
{
    QTextCursor c = e.textCursor();
    c.setPosition(pos);
    e.setTextCursor(c);
}

QPair<int, int> sel(const QTextEdit& e)
{
    return {e.textCursor().selectionStart(), e.textCursor().selectionEnd()};
}

}  // namespace

TEST(FindSearch, ForwardAndBackwardWithoutWrapping)
{
    QTextEdit e;
    e.setPlainText("abc x abc\nabc");  // matches at 0, 6 and 10
    placeCaret(e, 0);
    const FindOptions down = opts("abc");
    ASSERT_TRUE(findNext(&e, down));
    EXPECT_EQ(sel(e), qMakePair(0, 3));
    ASSERT_TRUE(findNext(&e, down));
    EXPECT_EQ(sel(e), qMakePair(6, 9));
    ASSERT_TRUE(findNext(&e, down));  // on the next line
    EXPECT_EQ(sel(e), qMakePair(10, 13));
    EXPECT_FALSE(findNext(&e, down));  // no wrap: the selection stays
    EXPECT_EQ(sel(e), qMakePair(10, 13));

    const FindOptions up = opts("abc", false);
    ASSERT_TRUE(findNext(&e, up));
    EXPECT_EQ(sel(e), qMakePair(6, 9));
    ASSERT_TRUE(findNext(&e, up));
    EXPECT_EQ(sel(e), qMakePair(0, 3));
    EXPECT_FALSE(findNext(&e, up));
    EXPECT_EQ(sel(e), qMakePair(0, 3));

    // Up from a caret inside a word finds only text wholly before the caret.
    placeCaret(e, 8);
    ASSERT_TRUE(findNext(&e, up));
    EXPECT_EQ(sel(e), qMakePair(0, 3));

    // Nothing to search for finds nothing and moves nothing.
    EXPECT_FALSE(findNext(&e, opts("")));
    EXPECT_EQ(sel(e), qMakePair(0, 3));
}

TEST(FindSearch, MatchCaseAndWholeWord)
{
    QTextEdit e;
    e.setPlainText("print(Int); my_int = 1; int x; (x)");
    placeCaret(e, 0);
    ASSERT_TRUE(findNext(&e, opts("int", true, true, false)));
    EXPECT_EQ(sel(e), qMakePair(2, 5));  // inside "print"

    placeCaret(e, 0);
    ASSERT_TRUE(findNext(&e, opts("INT", true, false, true)));
    EXPECT_EQ(e.textCursor().selectedText(), "Int");

    placeCaret(e, 0);
    ASSERT_TRUE(findNext(&e, opts("int", true, true, true)));
    EXPECT_EQ(sel(e), qMakePair(24, 27));  // not in "print", "Int" or "my_int"

    placeCaret(e, int(e.toPlainText().size()));
    ASSERT_TRUE(findNext(&e, opts("int", false, true, true)));
    EXPECT_EQ(sel(e), qMakePair(24, 27));

    // Punctuation at the edge of the searched text needs no word boundary there.
    placeCaret(e, 0);
    ASSERT_TRUE(findNext(&e, opts("(x", true, false, true)));
    EXPECT_EQ(e.textCursor().selectionStart(), 31);

    placeCaret(e, 0);
    EXPECT_FALSE(findNext(&e, opts("nt", true, false, true)));
    EXPECT_EQ(sel(e), qMakePair(0, 0));
}

TEST(FindReplace, ReplaceCurrentReplacesOnlyAMatchingSelection)
{
    QTextEdit e;
    e.setPlainText("foo bar foo foo");
    placeCaret(e, 0);
    FindOptions o = opts("FOO");
    o.with = "baz";

    // Nothing selected: only finds.
    bool replaced = true;
    ASSERT_TRUE(replaceCurrent(&e, o, &replaced));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(sel(e), qMakePair(0, 3));

    // The selected match (case ignored) is replaced, the next one selected.
    ASSERT_TRUE(replaceCurrent(&e, o, &replaced));
    EXPECT_TRUE(replaced);
    EXPECT_EQ(e.toPlainText(), "baz bar foo foo");
    EXPECT_EQ(sel(e), qMakePair(8, 11));

    ASSERT_TRUE(replaceCurrent(&e, o, &replaced));
    EXPECT_FALSE(replaceCurrent(&e, o, &replaced));  // the last one: no next
    EXPECT_TRUE(replaced);
    EXPECT_EQ(e.toPlainText(), "baz bar baz baz");

    // A selection that is not a whole-word match is left alone.
    e.setPlainText("foobar foo");
    QTextCursor c = e.textCursor();
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
    o.wholeWord = true;
    ASSERT_TRUE(replaceCurrent(&e, o, &replaced));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(e.toPlainText(), "foobar foo");
    EXPECT_EQ(sel(e), qMakePair(7, 10));

    e.setReadOnly(true);
    replaceCurrent(&e, o, &replaced);
    EXPECT_FALSE(replaced);
    EXPECT_EQ(replaceAll(&e, o), 0);
    EXPECT_EQ(e.toPlainText(), "foobar foo");
}

TEST(FindReplace, ReplaceAllIsOneUndoStepAndKeepsFormats)
{
    QTextEdit e;
    const QString original = "int a;\nint b; print(a);\nint";
    e.setPlainText(original);
    // "a;" on the first line in bold, the second line's first "int" in italic.
    QTextCursor c(e.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.setPosition(4);
    c.setPosition(6, QTextCursor::KeepAnchor);
    c.mergeCharFormat(bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.setPosition(7);
    c.setPosition(10, QTextCursor::KeepAnchor);
    c.mergeCharFormat(italic);
    placeCaret(e, 0);

    FindOptions o = opts("int", true, true, true);
    o.with = "long";
    EXPECT_EQ(replaceAll(&e, o), 3);
    EXPECT_EQ(e.toPlainText(), "long a;\nlong b; print(a);\nlong");

    auto fmtAt = [&](int pos) {
        QTextCursor k(e.document());
        k.setPosition(pos + 1);
        return k.charFormat();
    };
    EXPECT_TRUE(fmtAt(8).fontItalic());  // the replaced italic word stays italic
    EXPECT_TRUE(fmtAt(11).fontItalic());
    EXPECT_FALSE(fmtAt(0).fontItalic());
    EXPECT_EQ(fmtAt(5).fontWeight(), QFont::Bold);  // neighbours keep their fonts
    EXPECT_EQ(fmtAt(6).fontWeight(), QFont::Bold);
    EXPECT_NE(fmtAt(3).fontWeight(), QFont::Bold);

    e.undo();
    EXPECT_EQ(e.toPlainText(), original);
    EXPECT_TRUE(fmtAt(7).fontItalic());

    // A replacement containing the searched text is not replaced again.
    e.setPlainText("a-a");
    o = opts("a");
    o.with = "aa";
    EXPECT_EQ(replaceAll(&e, o), 2);
    EXPECT_EQ(e.toPlainText(), "aa-aa");
    EXPECT_EQ(replaceAll(&e, opts("zzz")), 0);
}

TEST(FindController, TargetsTheCurrentEditorAndReports)
{
    ScriptedDialogs d;
    QWidget frame;
    QTextEdit a(&frame), b(&frame);
    a.setPlainText("alpha beta alpha");
    b.setPlainText("alpha");
    placeCaret(a, 0);
    placeCaret(b, 0);
    QTextEdit* current = &a;
    FindController fc(&frame, [&] { return current; });
    frame.show();

    // Next with no search yet opens Find, proposing the word at the caret.
    fc.findNext();
    ASSERT_NE(fc.findDialog(), nullptr);
    TFindDialog* fd = fc.findDialog();
    EXPECT_TRUE(fd->isVisible());
    EXPECT_EQ(fd->whatEdit()->text(), "alpha");
    EXPECT_TRUE(fd->findNextButton()->isEnabled());
    fd->whatEdit()->clear();
    EXPECT_FALSE(fd->findNextButton()->isEnabled());
    EXPECT_TRUE(d.messages.empty());

    // The dialog has the focus; the search still acts on the current editor.
    fd->activateWindow();
    fd->whatEdit()->setFocus();
    fd->whatEdit()->setText("alpha");
    fd->findNextButton()->click();
    EXPECT_EQ(sel(a), qMakePair(0, 5));
    EXPECT_EQ(sel(b), qMakePair(0, 0));

    // F3 repeats the last search, then reports the miss and keeps the selection.
    fc.findNext();
    EXPECT_EQ(sel(a), qMakePair(11, 16));
    fc.findNext();
    EXPECT_EQ(sel(a), qMakePair(11, 16));
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages[0].text, "Cannot find \"alpha\"");
    EXPECT_EQ(d.messages[0].icon, Icon::Information);
    EXPECT_EQ(d.messages[0].buttons, Buttons::Ok);

    // Switching editors: the same search runs in the new one.
    current = &b;
    fc.findNext();
    EXPECT_EQ(sel(b), qMakePair(0, 5));

    // The direction chosen in the dialog is remembered for F3.
    current = &a;
    fd->upButton()->setChecked(true);
    fd->findNextButton()->click();
    EXPECT_EQ(sel(a), qMakePair(0, 5));
    EXPECT_FALSE(fc.lastOptions().down);
    placeCaret(a, 16);
    fc.findNext();
    EXPECT_EQ(sel(a), qMakePair(11, 16));
}

TEST(FindController, PrefillAndReplaceDialog)
{
    ScriptedDialogs d;
    QWidget frame;
    QTextEdit e(&frame);
    e.setPlainText("one two\none two one");
    FindController fc(&frame, [&] { return &e; });
    frame.show();

    // A single-line selection fills Find what; a multi-line one does not.
    QTextCursor c = e.textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
    fc.showFind();
    EXPECT_EQ(fc.findDialog()->whatEdit()->text(), "two");
    c.setPosition(0);
    c.setPosition(10, QTextCursor::KeepAnchor);
    e.setTextCursor(c);
    fc.showReplace();
    TReplaceDialog* rd = fc.replaceDialog();
    ASSERT_NE(rd, nullptr);
    EXPECT_FALSE(fc.findDialog()->isVisible());
    EXPECT_EQ(rd->whatEdit()->text(), "two");

    rd->whatEdit()->setText("one");
    rd->withEdit()->setText("1");
    placeCaret(e, 0);
    rd->replaceButton()->click();  // selects the first "one"
    rd->replaceButton()->click();  // replaces it
    EXPECT_EQ(e.toPlainText(), "1 two\none two one");
    EXPECT_EQ(e.textCursor().selectedText(), "one");

    rd->replaceAllButton()->click();
    EXPECT_EQ(e.toPlainText(), "1 two\n1 two 1");
    ASSERT_EQ(d.messages.size(), 1u);
    EXPECT_EQ(d.messages.back().text, "Replaced 2 occurrences");
    EXPECT_EQ(d.messages.back().icon, Icon::Information);

    rd->replaceAllButton()->click();
    EXPECT_EQ(d.messages.back().text, "Cannot find \"one\"");
    EXPECT_EQ(replacedText(1), "Replaced 1 occurrence");

    // Find shows the replace dialog's last search text again, where the caret
    // stands at no word...
    QTextCursor empty(e.document());
    empty.movePosition(QTextCursor::End);
    empty.insertText("\n\n");
    e.setTextCursor(empty);
    fc.showFind();
    EXPECT_EQ(fc.findDialog()->whatEdit()->text(), "one");
    // ...and the word at the caret where it stands at one.
    e.setTextCursor(QTextCursor(e.document()));
    fc.showFind();
    EXPECT_EQ(fc.findDialog()->whatEdit()->text(), "1");
    EXPECT_FALSE(rd->isVisible());
}

TEST(FindDialogs, EveryControlHasANameAndEveryFieldALabel)
{
    TFindDialog fd;
    TReplaceDialog rd;
    for (QDialog* dlg : {static_cast<QDialog*>(&fd), static_cast<QDialog*>(&rd)}) {
        SCOPED_TRACE(dlg->windowTitle().toStdString());
        EXPECT_FALSE(dlg->isModal());
        for (QWidget* w : dlg->findChildren<QWidget*>()) {
            if (qobject_cast<QLabel*>(w))
                continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)) {
                EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
            }
        }
        int buddies = 0;
        for (QLabel* l : dlg->findChildren<QLabel*>()) {
            if (l->buddy()) {
                ++buddies;
                EXPECT_TRUE(l->text().contains('&'));
            }
        }
        EXPECT_EQ(buddies, dlg == &fd ? 1 : 2);
    }
    EXPECT_EQ(fd.windowTitle(), "Find");
    EXPECT_EQ(rd.windowTitle(), "Replace");
}
