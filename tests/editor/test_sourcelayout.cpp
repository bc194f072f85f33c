// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of the text in an editor window: its lines stand, take clicks
// and are drawn exactly as Qt's own text layout would have them (compared
// with that layout set on the same window), and they move as lines are added
// and deleted above them. The width of the text is that of its widest line,
// also one never shown.
#include "editor/sourcelayout.h"
#include "editor_fixture.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

const QByteArray kSource =
    "package p;\n"
    "\n"
    "/** A class. */\n"
    "public class A {\n"
    "\tint x = (1 + 2) * 3;\n"
    "    String s = \"a long line with quite a lot of text in it, longer than the others\";\n"
    "\n"
    "    void m() { if (x > 1) { x--; } }\n"
    "}\n";

// Where the layout puts the text: each block's top, height and line, the
// caret's place at each position, and what a few points hit.
struct Places {
    QList<QRectF> lines;
    QList<QPointF> carets;
    QList<int> hits;
    QSizeF size;
    bool operator==(const Places&) const = default;
};

Places placesOf(const QTextDocument* doc)
{
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    Places p;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QRectF r = layout->blockBoundingRect(b);
        const QTextLine line = b.layout()->lineAt(0);
        p.lines << QRectF(r.left() + line.x(), r.top() + line.y(), line.naturalTextWidth(), line.height());
        for (int k = 0; k < b.length(); ++k)
            p.carets << QPointF(r.left() + line.cursorToX(k), r.top() + line.y());
    }
    for (const qreal y : {-5.0, 2.0, 10.0, 33.0, 47.5, 80.0, 150.0, 5000.0}) {
        for (const qreal x : {0.0, 3.0, 20.0, 61.0, 200.0, 900.0}) {
            p.hits << layout->hitTest(QPointF(x, y), Qt::FuzzyHit) << layout->hitTest(QPointF(x, y), Qt::ExactHit);
        }
    }
    p.size = layout->documentSize();
    return p;
}

void select(EditControl* e, int anchor, int position)
{
    QTextCursor c(e->document());
    c.setPosition(anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
}

QImage shown(EditControl* e)
{
    e->viewport()->repaint();
    return e->viewport()->grab().toImage();
}

// Sets Qt's own text layout on the window's document (for the same zoom).
void useQtsLayout(EditControl* e)
{
    QPaintDevice* zoomed = e->document()->documentLayout()->paintDevice();
    e->document()->setDocumentLayout(nullptr);
    e->document()->documentLayout()->setPaintDevice(zoomed);
    e->document()->markContentsDirty(0, e->document()->characterCount());
    EXPECT_STREQ(e->document()->documentLayout()->metaObject()->className(), "QTextDocumentLayout");
    QApplication::processEvents();
}

}  // namespace

TEST_F(EditorTest, SourceLayoutPlacesLinesAsQtsOwnLayoutDoes)
{
    TFileMDIChild* c = openJava(writeFile("A.java", kSource));
    EditControl* e = c->editor();
    ASSERT_NE(dynamic_cast<SourceLayout*>(e->document()->documentLayout()), nullptr);
    const Places ours = placesOf(e->document());
    useQtsLayout(e);
    const Places qts = placesOf(e->document());
    EXPECT_EQ(ours.lines, qts.lines);
    EXPECT_EQ(ours.carets, qts.carets);
    EXPECT_EQ(ours.hits, qts.hits);
    EXPECT_EQ(ours.size, qts.size);
}

TEST_F(EditorTest, SourceLayoutPlacesZoomedLinesAsQtsOwnLayoutDoes)
{
    TFileMDIChild* c = openJava(writeFile("A.java", kSource));
    EditControl* e = c->editor();
    qreal height = e->document()->documentLayout()->documentSize().height();
    for (int step = 1; step <= 6; ++step) {
        e->zoomIn();
        ASSERT_EQ(e->zoomPercent(), 100 + 10 * step);
        const Places ours = placesOf(e->document());
        EXPECT_GT(ours.size.height(), height);
        height = ours.size.height();
        useQtsLayout(e);
        const Places qts = placesOf(e->document());
        EXPECT_EQ(ours.lines, qts.lines) << e->zoomPercent();
        EXPECT_EQ(ours.carets, qts.carets) << e->zoomPercent();
        EXPECT_EQ(ours.size, qts.size) << e->zoomPercent();
        QPaintDevice* zoomed = e->document()->documentLayout()->paintDevice();
        e->document()->setDocumentLayout(new SourceLayout(e->document()));
        e->document()->documentLayout()->setPaintDevice(zoomed);
        e->document()->markContentsDirty(0, e->document()->characterCount());
    }
}

TEST_F(EditorTest, SourceLayoutDrawsTheTextAsQtsOwnLayoutDoes)
{
    TFileMDIChild* c = openJava(writeFile("A.java", kSource));
    EditControl* e = c->editor();
    e->clearFocus();  // no blinking caret
    QApplication::processEvents();
    // A selection over two lines, a bracket highlighted, the caret line.
    const int paren = int(kSource.indexOf('('));
    for (const auto& [anchor, position] : {std::pair{20, 60}, std::pair{paren, paren}}) {
        select(e, anchor, position);
        QApplication::processEvents();
        const QImage ours = shown(e);
        useQtsLayout(e);
        const QImage qts = shown(e);
        EXPECT_EQ(ours, qts) << "selection from " << anchor << " to " << position;
        e->document()->setDocumentLayout(new SourceLayout(e->document()));
        QApplication::processEvents();
    }
}

TEST_F(EditorTest, SourceLayoutMovesLinesAsLinesAreAddedAndDeletedAbove)
{
    TFileMDIChild* c = openJava(writeFile("A.java", kSource));
    EditControl* e = c->editor();
    QAbstractTextDocumentLayout* layout = e->document()->documentLayout();
    const QTextBlock last = e->document()->lastBlock().previous();
    const qreal top = layout->blockBoundingRect(last).top();
    const qreal height = layout->blockBoundingRect(last).height();
    const qreal size = layout->documentSize().height();
    EXPECT_GT(height, 0);

    QTextCursor at(e->document());
    at.insertText(QStringLiteral("// one\n// two\n"));
    EXPECT_EQ(layout->blockBoundingRect(last).top(), top + 2 * height);
    EXPECT_EQ(layout->documentSize().height(), size + 2 * height);
    EXPECT_EQ(layout->hitTest(QPointF(1, top + 2 * height + height / 2), Qt::FuzzyHit), last.position());

    // Typing within a line moves nothing.
    at.insertText(QStringLiteral("abc"));
    EXPECT_EQ(layout->blockBoundingRect(last).top(), top + 2 * height);

    at.setPosition(0);
    at.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
    at.removeSelectedText();
    EXPECT_EQ(layout->blockBoundingRect(last).top(), top);
    EXPECT_EQ(layout->documentSize().height(), size);
    EXPECT_EQ(e->document()->toPlainText(), "abc" + QString::fromUtf8(kSource));
}

TEST_F(EditorTest, SourceLayoutKnowsTheWidthOfLinesNotShown)
{
    QByteArray text;
    for (int k = 0; k < 3000; ++k)
        text += k == 2500 ? "    String s = \"" + QByteArray(300, 'w') + "\";\n" : "    int x = 1;\n";
    TFileMDIChild* c = openJava(writeFile("W.java", text));
    EditControl* e = c->editor();
    QAbstractTextDocumentLayout* layout = e->document()->documentLayout();
    const QFontMetricsF fm(e->document()->defaultFont());
    const qreal wide = fm.horizontalAdvance(QString::fromUtf8(text.split('\n').at(2500)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return layout->documentSize().width() > wide; }, 10000));
    EXPECT_EQ(e->verticalScrollBar()->value(), 0);
    EXPECT_GT(e->horizontalScrollBar()->maximum(), wide - e->viewport()->width());
}
