// SPDX-License-Identifier: GPL-3.0-or-later
// The way to a file and a place: the history of places jumped from (plain,
// without a window), and through the main window the window that shows a
// file whatever path names it, jumps that put their line in the middle of the
// view, and Go Back / Go Forward.
#include "frame_fixture.h"

#include "workspace/fileplaces.h"
#include "workspace/placehistory.h"

#include <QScrollBar>
#include <QTextBlock>

#include <unistd.h>

namespace {

Place at(const QString& file, int line, int column = 1)
{
    return Place{.file = file, .line = line, .column = column};
}

}  // namespace

TEST(PlaceHistory, BackAndForwardWalkThePlacesJumpedFrom)
{
    PlaceHistory h;
    EXPECT_FALSE(h.canGoBack());
    EXPECT_FALSE(h.back(at("/a", 1)));
    h.jumped(at("/a", 10, 4));
    h.jumped(at("/b", 20));
    // Back from /c:5 to /b:20, then /a:10 (its column kept); no further.
    EXPECT_EQ(h.back(at("/c", 5))->file, "/b");
    const std::optional<Place> first = h.back(at("/b", 20));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->line, 10);
    EXPECT_EQ(first->column, 4);
    EXPECT_FALSE(h.canGoBack());
    // Forward again: /b:20, then /c:5.
    EXPECT_EQ(h.forward(at("/a", 10))->file, "/b");
    EXPECT_EQ(h.forward(at("/b", 20))->line, 5);
    EXPECT_FALSE(h.canGoForward());
    // A new jump after going back forgets the places ahead.
    h.back(at("/c", 5));
    EXPECT_TRUE(h.canGoForward());
    h.jumped(at("/b", 21));
    EXPECT_FALSE(h.canGoForward());
}

TEST(PlaceHistory, IsBoundedCountsALineOnceAndForgetsClosedUntitledWindows)
{
    PlaceHistory h(3);
    for (int line = 1; line <= 5; ++line)
        h.jumped(at("/a", line));
    // Jumps from the line remembered last count once.
    h.jumped(at("/a", 5, 9));
    int count = 0;
    Place here = at("/z", 1);
    while (const std::optional<Place> p = h.back(here)) {
        here = *p;
        ++count;
    }
    EXPECT_EQ(count, 3) << "the oldest places go";
    EXPECT_EQ(here.line, 3);

    // Places in an untitled window go with it; those of files stay.
    PlaceHistory u;
    int window = 0, other = 0;
    u.jumped(Place{.window = &window, .line = 2});
    u.jumped(Place{.file = "/a", .window = &window, .line = 7});
    u.jumped(Place{.window = &other, .line = 3});
    u.windowClosed(&window);
    EXPECT_EQ(u.back(at("/z", 1))->window, &other);
    EXPECT_EQ(u.back(at("/z", 1))->file, "/a");
    EXPECT_FALSE(u.canGoBack());
    // No window and no file is no place.
    u.jumped(Place{});
    EXPECT_FALSE(u.canGoBack());
}

class Places : public FrameTest {
protected:
    // A source of `n` numbered lines.
    QString numbered(const QString& name, int n)
    {
        QByteArray text;
        for (int i = 1; i <= n; ++i)
            text += "line " + QByteArray::number(i) + "\n";
        return writeFile(name, text);
    }
    // The line of `e` in the middle of its view.
    static int middleLine(EditControl* e)
    {
        return e->cursorForPosition(QPoint(10, e->viewport()->height() / 2)).blockNumber() + 1;
    }
    static int caretLine(EditControl* e) { return e->textCursor().blockNumber() + 1; }
};

TEST_F(Places, TheWindowOfAFileIsFoundByAnyPathThatLeadsToIt)
{
    const QString path = numbered("Same.java", 3);
    TFileMDIChild* c = openJava(path);
    ASSERT_NE(c, nullptr);
    const QString link = dir.filePath("Link.java");
    ASSERT_EQ(::symlink(path.toLocal8Bit().constData(), link.toLocal8Bit().constData()), 0);
    FilePlaces& places = client()->places();
    EXPECT_EQ(places.windowShowing(path), c);
    EXPECT_EQ(places.windowShowing(link), c);
    EXPECT_EQ(places.windowShowing(dir.path() + "/./sub/../Same.java"), c);
    EXPECT_EQ(places.windowShowing(dir.filePath("Other.java")), nullptr);
    // Opening it by the link shows the window that is open.
    EXPECT_EQ(places.open(link, PlaceTarget{.line = 2}), c);
    EXPECT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(caretLine(c->editor()), 2);
}

TEST_F(Places, GotoLinePutsTheLineInTheMiddleAndAltLeftGoesBack)
{
    TFileMDIChild* c = openJava(numbered("Long.java", 400));
    ASSERT_NE(c, nullptr);
    EditControl* e = c->editor();
    app->Frame->resize(800, 600);
    QApplication::processEvents();
    dialogs_.gotoAnswer = 300;
    trigger(cmd::GotoLine);
    QApplication::processEvents();
    EXPECT_EQ(caretLine(e), 300);
    EXPECT_NEAR(middleLine(e), 300, 1) << "the line stands in the middle, not on the edge";
    dialogs_.gotoAnswer = 40;
    trigger(cmd::GotoLine);
    QApplication::processEvents();
    EXPECT_NEAR(middleLine(e), 40, 1);

    // Back to line 300, back to line 1; forward to 300 again.
    ASSERT_TRUE(enabled(cmd::GoBack));
    EXPECT_FALSE(enabled(cmd::GoForward));
    press(QKeyCombination(Qt::ALT, Qt::Key_Left));
    EXPECT_EQ(caretLine(e), 300);
    press(QKeyCombination(Qt::ALT, Qt::Key_Left));
    EXPECT_EQ(caretLine(e), 1);
    EXPECT_FALSE(enabled(cmd::GoBack));
    press(QKeyCombination(Qt::ALT, Qt::Key_Right));
    EXPECT_EQ(caretLine(e), 300);
    EXPECT_NEAR(middleLine(e), 300, 1);

    // Across files: a jump into another file, and back.
    TFileMDIChild* other = openJava(numbered("Other.java", 10));
    client()->bringToFront(c);
    client()->places().open(dir.filePath("Other.java"), PlaceTarget{.line = 7});
    EXPECT_EQ(current(), other);
    press(QKeyCombination(Qt::ALT, Qt::Key_Left));
    EXPECT_EQ(current(), c);
    EXPECT_EQ(caretLine(e), 300);
}
