// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editmargin.h"

#include "editor/debugmarks.h"
#include "editor/marks.h"
#include "editor/shownblocks.h"
#include "editor/texthighlights.h"
#include "editor/zoom.h"
#include "resources/colours.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kMarginPad = 4;

// Where the first line of a block stands in the margin, so that its number
// stands on its baseline.
struct LinePlace {
    qreal top;
    qreal height;
    qreal ascent;
};

LinePlace firstLineOf(const QTextBlock& b, qreal top, const QFontMetrics& fm)
{
    LinePlace place{top, qreal(fm.height()), qreal(fm.ascent())};
    if (QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
        const QTextLine line = tl->lineAt(0);
        place = {top + line.y(), line.height(), line.ascent()};
    }
    return place;
}
}  // namespace

EditMargin::EditMargin(QTextEdit* edit, const MarkList& marks, const DebugMarks& debug, const ShownBlocks& shown,
                       const ViewZoom& zoom)
    : QWidget(edit), edit_(edit), marks_(marks), debug_(debug), shown_(shown), zoom_(zoom)
{
    setAccessibleName(QStringLiteral("Line Numbers"));
    setAccessibleDescription(QStringLiteral("No messages"));
    setMouseTracking(true);
}

int EditMargin::wantedWidth() const
{
    const QFontMetrics fm(zoom_.shownFont());
    int w = 2 * fm.height() + kMarginPad;  // the marks and the debugger's signs
    if (lineNumbers_) {
        const int digits = std::max(3, int(QString::number(edit_->document()->blockCount()).size()));
        w += digits * fm.horizontalAdvance(QLatin1Char('9')) + kMarginPad;
    }
    return w;
}

void EditMargin::refresh()
{
    // Typing within a line changes nothing that the margin shows: its lines
    // (and so the lines of the marks) and the caret's line stay.
    const int blocks = edit_->document()->blockCount();
    const int caretLine = edit_->textCursor().blockNumber();
    if (blocks == shownBlocks_ && caretLine == shownCaretLine_)
        return;
    shownBlocks_ = blocks;
    shownCaretLine_ = caretLine;
    update();
}

void EditMargin::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect area = e->rect();
    const QPalette pal = edit_->palette();
    const colours::MarginColours shades = colours::marginColours(pal);
    p.fillRect(area, shades.back);
    p.setPen(shades.edge);
    p.drawLine(width() - 1, area.top(), width() - 1, area.bottom());

    const QFont font = zoom_.shownFont();
    const QFontMetrics fm(font);
    const int markSize = fm.height();
    const int scroll = edit_->verticalScrollBar()->value();
    auto [first, last] = shown_.shown(0);
    const int lastNumber = last.blockNumber();
    const std::map<int, MarkList::LineMark> lineMarks = marks_.lineMarks(first, last);
    const int caretLine = edit_->textCursor().blockNumber();
    QAbstractTextDocumentLayout* layout = edit_->document()->documentLayout();
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing);
    int number = first.blockNumber();
    for (QTextBlock b = first; b.isValid() && number <= lastNumber; b = b.next(), ++number) {
        const QRectF r = layout->blockBoundingRect(b);
        if (r.isNull() || r.top() - scroll > area.bottom())
            break;
        const LinePlace line = firstLineOf(b, r.top() - scroll, fm);
        if (line.top + line.height < area.top())
            continue;
        if (lineNumbers_)
            paintNumber(p, font, number, caretLine, shades.number, line.top + line.ascent);
        const qreal s = markSize * 0.8;
        const QRectF box(kMarginPad / 2.0 + (markSize - s) / 2, line.top + (line.height - s) / 2, s, s);
        const std::optional<Breakpoint> breakpoint = debug_.breakpointAt(number + 1);
        const bool paused = debug_.executionLine() == number + 1;
        if (breakpoint || paused)
            DebugMarks::paintSigns(p, box.translated(markSize, 0), breakpoint, paused);
        const auto it = lineMarks.find(number);
        if (it == lineMarks.end())
            continue;
        paintMark(p, box, it->second.error, it->second.light);
        p.setFont(font);
    }
}

void EditMargin::paintNumber(QPainter& p, QFont f, int number, int caretLine, const QColor& shade, qreal baseline)
{
    const QPalette pal = edit_->palette();
    f.setBold(number == caretLine);
    p.setFont(f);
    p.setPen(number == caretLine ? pal.color(QPalette::Text) : shade);
    const QString label = QString::number(number + 1);
    const int x = width() - kMarginPad - QFontMetrics(f).horizontalAdvance(label) - 1;
    p.drawText(QPointF(x, baseline), label);
}

// Errors: a circle with a cross; warnings: a triangle with "!". Light marks
// (a check while typing) are drawn in outline.
void EditMargin::paintMark(QPainter& p, const QRectF& box, bool error, bool light)
{
    const qreal s = box.width();
    const QColor colour = markColour(error ? TextMark::Kind::Error : TextMark::Kind::Warning);
    p.setPen(QPen(colour, std::max(1.0, s / 10)));
    p.setBrush(light ? QBrush(Qt::NoBrush) : QBrush(colour));
    const QColor sign = light ? colour : QColor(Qt::white);
    if (error) {
        p.drawEllipse(box);
        p.setPen(QPen(sign, std::max(1.5, s / 7), Qt::SolidLine, Qt::RoundCap));
        const qreal d = s * 0.22;
        const QPointF c = box.center();
        p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
        p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
    } else {
        QPainterPath tri;
        tri.moveTo(box.center().x(), box.top());
        tri.lineTo(box.right(), box.bottom());
        tri.lineTo(box.left(), box.bottom());
        tri.closeSubpath();
        p.drawPath(tri);
        p.setPen(QPen(sign, std::max(1.5, s / 8), Qt::SolidLine, Qt::RoundCap));
        const qreal x = box.center().x();
        p.drawLine(QPointF(x, box.top() + s * 0.35), QPointF(x, box.top() + s * 0.68));
        p.drawPoint(QPointF(x, box.top() + s * 0.84));
    }
    p.setBrush(Qt::NoBrush);
}

QString EditMargin::toolTipAt(int y) const
{
    const QTextBlock b = shown_.blockAtY(y + edit_->verticalScrollBar()->value());
    if (!b.isValid())
        return QString();
    return marks_.messageTextsOnLine(b.blockNumber() + 1).join(QLatin1Char('\n'));
}

bool EditMargin::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* h = static_cast<QHelpEvent*>(e);
        const QString tip = toolTipAt(h->pos().y());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(h->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

void EditMargin::mousePressEvent(QMouseEvent* e)
{
    // A click on a line puts the caret at the start of that line and
    // toggles the line's breakpoint.
    const QTextBlock b = shown_.blockAtY(e->position().y() + edit_->verticalScrollBar()->value());
    if (b.isValid()) {
        QTextCursor c = edit_->textCursor();
        c.setPosition(b.position());
        edit_->setTextCursor(c);
        edit_->setFocus();
        if (clicked_)
            clicked_(b.blockNumber() + 1);
    }
}

void EditMargin::contextMenuEvent(QContextMenuEvent* e)
{
    const QTextBlock b = shown_.blockAtY(e->pos().y() + edit_->verticalScrollBar()->value());
    if (!b.isValid() || !menu_)
        return;
    QTextCursor c = edit_->textCursor();
    c.setPosition(b.position());
    edit_->setTextCursor(c);
    edit_->setFocus();
    menu_(b.blockNumber() + 1, e->globalPos());
}
