// SPDX-License-Identifier: GPL-3.0-or-later
// The owner-drawn list and the message window on real files and real widgets.
#include "toolchain/settings/settings.h"
#include "support.h"
#include "toolchain/messages/messagewindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A double click as a user makes it: press and release, then the second press.
void doubleClick(TODListBox& box, int row)
{
    const QPoint at = box.visualRect(box.model()->index(row, 0)).center();
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, at);
}

// Writes `bytes` into the file `name` of `dir`; returns its path.
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    writeFile(path, bytes);
    return path;
}

QStringList items(const TODListBox& box)
{
    QStringList out;
    for (int i = 0; i < box.GetCount(); ++i)
        out << box.GetString(i);
    return out;
}

void showAndSettle(QWidget& w)
{
    w.resize(300, 200);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    QApplication::processEvents();
}

class Lists : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(Lists, EveryLineOfAFileIsOneItemWhateverItsLength)
{
    const QByteArray longLine(5000, 'p');
    const struct {
        QByteArray bytes;
        QStringList expected;
    } cases[] = {
        {"one\ntwo\nthree", {"one", "two", "three"}},  // no final line end
        {"first\n\nthird\n", {"first", "", "third"}},  // empty line in the middle
        {"dos\r\nlines\r\n", {"dos", "lines"}},        // CR before LF dropped
        {"\n", {""}},
        {"", {}},
        {longLine + "\nshort", {QString::fromLatin1(longLine), "short"}},
        {"caf\xc3\xa9\n", {QStringLiteral("caf\u00e9")}},
    };
    for (const auto& c : cases) {
        const CaptureLines read = readCaptureLines(writeFile(dir, QStringLiteral("c.err"), c.bytes));
        EXPECT_TRUE(read.opened);
        EXPECT_FALSE(read.truncated);
        EXPECT_EQ(read.lines(), c.expected) << c.bytes.left(40).constData();
    }
    const CaptureLines missing = readCaptureLines(dir.filePath(QStringLiteral("gone.err")));
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.count(), 0);
}

TEST_F(Lists, InsFileSetsTheCaptionAndAReloadReplacesEverything)
{
    const QString foo = writeFile(dir, QStringLiteral("Foo.err"), "a\nb\nc\n");
    const QString bar = writeFile(dir, QStringLiteral("Bar.err"), "only bar\n");
    TBrowserWindow w(nullptr, foo);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Messages : Foo.err"));
    EXPECT_EQ(items(w), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(w.filename, foo);

    QSignalSpy caption(&w, &TBrowserWindow::captionChanged);
    w.InsFile(bar);
    EXPECT_EQ(items(w), QStringList{"only bar"});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Messages : Bar.err"));
    ASSERT_EQ(caption.count(), 1);
    EXPECT_EQ(caption.at(0).at(0).toString(), QStringLiteral("Messages : Bar.err"));

    // A name without a separator is shown whole; an unreadable file leaves the list empty.
    w.InsFile(QStringLiteral("nowhere.err"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Messages : nowhere.err"));
    EXPECT_EQ(w.GetCount(), 0);
    EXPECT_EQ(browserCaption(QStringLiteral("/tmp/dir/")), QStringLiteral("Messages : "));

    TBrowserWindow empty(nullptr, QString());
    EXPECT_EQ(empty.GetCount(), 0);
}

TEST_F(Lists, AnEmptyItemIsOneLineHighAndItemsDrawInvertedWhenSelected)
{
    TBrowserWindow w(nullptr, writeFile(dir, QStringLiteral("m.err"), "top\n\nbottom\n"));
    showAndSettle(w);
    const int line = w.fontMetrics().height() + 2;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(w.visualRect(w.model()->index(i, 0)).height(), line) << i;
    EXPECT_EQ(w.GetItemHeight(1), line);

    ASSERT_TRUE(w.SetSelIndex(1));
    EXPECT_EQ(w.GetSelIndex(), 1);
    QApplication::processEvents();
    const QImage shot = w.viewport()->grab().toImage();
    const QColor base = w.palette().color(QPalette::Base);
    const QRect empty = w.visualRect(w.model()->index(1, 0));
    const QRect plain = w.visualRect(w.model()->index(2, 0));
    const int x = w.viewport()->width() - 5;  // right of any text and of the focus frame
    EXPECT_EQ(shot.pixelColor(x, plain.center().y()).rgb(), base.rgb());
    EXPECT_EQ(shot.pixelColor(x, empty.center().y()).rgb(),
              QColor(255 - base.red(), 255 - base.green(), 255 - base.blue()).rgb());
    EXPECT_TRUE(w.SetSelIndex(-1));
    EXPECT_EQ(w.GetSelIndex(), -1);
    EXPECT_FALSE(w.SetSelIndex(3));
}

TEST_F(Lists, TheHorizontalRangeGrowsWithALongerItemAndNeverShrinks)
{
    TODListBox box;
    for (int i = 0; i < 5; ++i)
        box.AddString(QStringLiteral("short %1").arg(i));
    showAndSettle(box);
    const int narrow = box.GetMaxWidth();
    EXPECT_EQ(box.horizontalScrollBar()->maximum(), 0);

    const QString wide = QStringLiteral("/a/rather/long/path/").repeated(20) + QStringLiteral("Foo.java:1: error");
    EXPECT_EQ(box.InsertString(wide, 2), 2);
    QApplication::processEvents();
    QApplication::processEvents();
    const int grown = box.GetMaxWidth();
    EXPECT_GE(grown, box.ItemExtent(wide).width());
    EXPECT_GT(grown, narrow);
    const int range = box.horizontalScrollBar()->maximum();
    EXPECT_GE(range, grown - box.viewport()->width());
    EXPECT_GT(range, 0);

    EXPECT_EQ(box.DeleteString(2), 5);
    box.ClearList();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(box.GetMaxWidth(), grown);
    EXPECT_EQ(box.InsertString(QStringLiteral("x"), 7), -1);
    EXPECT_EQ(box.DeleteString(0), -1);
}

TEST_F(Lists, ABulkLoadReachesTheWidestLineWithoutItBeingShown)
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += "Foo.java:" + QByteArray::number(i + 1) + ": error: cannot find symbol\n";
    const QByteArray longest = "Bar.java:9: error: " + QByteArray(400, 'w');
    bytes += longest + "\n";
    TBrowserWindow w(nullptr, writeFile(dir, QStringLiteral("big.err"), bytes));
    showAndSettle(w);
    const int expected = w.ItemExtent(QString::fromLatin1(longest)).width();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.GetMaxWidth() >= expected; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return w.horizontalScrollBar()->maximum() >= expected - w.viewport()->width(); }, 20000));
    EXPECT_EQ(w.GetCount(), 3001);
}

TEST_F(Lists, ClosingAskingAndExitClearTracebrowser)
{
    auto* w = new TBrowserWindow(nullptr, QString());
    tracebrowser = 1;
    EXPECT_TRUE(w->CanClose());
    EXPECT_EQ(tracebrowser, 0);
    tracebrowser = 1;
    w->CmExit();
    EXPECT_EQ(tracebrowser, 0);
    tracebrowser = 1;
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(tracebrowser, 0);
    tracebrowser = 1;
    delete w;
    EXPECT_EQ(tracebrowser, 0);
}

TEST_F(Lists, DoubleClickOrEnterOnAJavacMessageOpensItsLocation)
{
    // Real javac output, captured the way a compile captures it.
    const QString srcDir = dir.filePath(QStringLiteral("my project"));
    ASSERT_TRUE(QDir().mkpath(srcDir));
    const QString source = srcDir + QStringLiteral("/Foo.java");
    writeFile(dir, QStringLiteral("my project/Foo.java"),
              "public class Foo {\n  void f() {\n    int x = \"s\";\n  }\n}\n");
    const QString capture = dir.filePath(QStringLiteral("Foo.err"));
    const QString javacPath = javacOrSkip();
    if (javacPath.isEmpty())
        return;
    QProcess javac;
    javac.setStandardErrorFile(capture);
    javac.start(javacPath, {source});
    ASSERT_TRUE(javac.waitForFinished(120000));
    ASSERT_NE(javac.exitCode(), 0);

    TBrowserWindow w(nullptr, capture);
    showAndSettle(w);
    ASSERT_GE(w.GetCount(), 4);
    ASSERT_TRUE(w.GetString(0).startsWith(source + QStringLiteral(":3: error:"))) << qPrintable(w.GetString(0));
    QSignalSpy open(&w, &TBrowserWindow::openLocation);

    doubleClick(w, 0);
    ASSERT_EQ(open.count(), 1);
    EXPECT_EQ(open.at(0).at(0).toString(), source);
    EXPECT_EQ(open.at(0).at(1).toInt(), 3);
    // javac's caret stands under the string: "    int x = " holds 12 characters.
    EXPECT_EQ(open.at(0).at(2).toInt(), 13);

    // The echoed source line, the caret line and "1 error" name nothing.
    for (int i = 1; i < w.GetCount(); ++i)
        doubleClick(w, i);
    EXPECT_EQ(open.count(), 1);

    w.setFocus();
    w.SetSelIndex(1);
    QTest::keyClick(&w, Qt::Key_Up);
    EXPECT_EQ(w.GetSelIndex(), 0);
    QTest::keyClick(&w, Qt::Key_Return);
    ASSERT_EQ(open.count(), 2);
    EXPECT_EQ(open.at(1).at(1).toInt(), 3);
    QTest::keyClick(&w, Qt::Key_Down);
    QTest::keyClick(&w, Qt::Key_Enter);
    EXPECT_EQ(open.count(), 2);
}

TEST_F(Lists, TheCaretFrameIsBlackOnTheSelectedLineWhileTheListHasNoFocus)
{
    QWidget window;
    auto* other = new QLineEdit(&window);
    auto* box = new TODListBox(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(other);
    layout->addWidget(box);
    // A base colour whose inverse is not black, so that the frame shows.
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 200));
    pal.setColor(QPalette::Text, QColor(0, 0, 0));
    box->setPalette(pal);
    box->AddString(QStringLiteral("first line"));
    box->AddString(QStringLiteral("second"));
    showAndSettle(window);
    ASSERT_TRUE(box->SetSelIndex(0));
    other->setFocus();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
    ASSERT_FALSE(box->hasFocus());
    const QRect item = box->visualRect(box->model()->index(0, 0));
    const int textWidth = box->ItemExtentOf(0).width();
    auto frameAt = [&](int x, int y) { return box->viewport()->grab().toImage().pixelColor(x, y); };
    // The frame's left edge and its right edge at the text's width; inside it the inverted base.
    EXPECT_EQ(frameAt(item.left(), item.center().y()), QColor(Qt::black));
    EXPECT_EQ(frameAt(item.left() + textWidth - 1, item.center().y()), QColor(Qt::black));
    EXPECT_EQ(frameAt(item.left() + textWidth + 3, item.center().y()), QColor(0, 0, 55));

    // With the focus, the frame is light grey.
    box->setFocus();
    QApplication::processEvents();
    if (!box->hasFocus())
        GTEST_SKIP() << "the offscreen platform gave the focus elsewhere";
    EXPECT_EQ(frameAt(item.left(), item.center().y()), QColor(Qt::lightGray));
}

TEST_F(Lists, LinesOfAnyLengthAreMeasuredAndDrawnWhole)
{
    // 30000 characters (some of them two bytes long, and marks that must stay
    // with their letter), then an end that differs from the rest.
    QString line;
    for (int i = 0; i < 3000; ++i)
        line += QStringLiteral("abcde\u00e9fgh") + QChar(0x0301);
    line += QStringLiteral("WWWWWWWWWW");
    TODListBox box;
    box.AddString(QStringLiteral("short"));
    box.AddString(line);
    showAndSettle(box);
    QApplication::processEvents();
    QApplication::processEvents();
    const int whole = box.fontMetrics().horizontalAdvance(line) + 2;
    ASSERT_NE(box.LongLine(1), nullptr);
    EXPECT_EQ(box.LongLine(0), nullptr);
    // The pieces add up to the whole line (within a pixel per piece).
    const int pieces = int(box.LongLine(1)->byteStart.size());
    EXPECT_GT(pieces, 1);
    EXPECT_NEAR(box.ItemExtentOf(1).width(), whole, pieces);
    EXPECT_GE(box.GetMaxWidth(), box.ItemExtentOf(1).width());
    // Every piece starts on a letter, not inside a character or on a mark.
    const QByteArray utf8 = line.toUtf8();
    for (qsizetype start : box.LongLine(1)->byteStart) {
        EXPECT_NE(static_cast<unsigned char>(utf8[start]) & 0xC0, 0x80);
        EXPECT_FALSE(QString::fromUtf8(utf8.mid(start, 2)).at(0).isMark());
    }

    // Scrolled to its end, the end of the line is drawn.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return box.horizontalScrollBar()->maximum() >= whole - box.viewport()->width() - pieces; }, 20000));
    box.horizontalScrollBar()->setValue(box.horizontalScrollBar()->maximum());
    QApplication::processEvents();
    const QRect item = box.visualRect(box.model()->index(1, 0));
    const QImage shot = box.viewport()->grab().toImage();
    const QColor base = box.palette().color(QPalette::Base);
    int ink = 0;
    for (int x = 0; x < shot.width(); ++x) {
        for (int y = item.top() + 2; y < item.bottom() - 1; ++y)
            ink += shot.pixelColor(x, y) != base;
    }
    EXPECT_GT(ink, 20);
    // Drawing the row decodes only the pieces in sight: the rest of the line is
    // still there, whole, for copying and screen readers.
    EXPECT_EQ(box.GetString(1), line);
}
