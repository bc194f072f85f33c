// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/debugmarks.h"

#include "editor/shownblocks.h"
#include "editor/texthighlights.h"
#include "resources/colours.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace {

QString lineList(const Breakpoints& lines)
{
    QStringList numbers;
    for (const Breakpoint& b : lines)
        numbers << QString::number(b.line);
    return numbers.join(QStringLiteral(", "));
}

// Where the end of a block's (first) line stands in the viewport.
struct ValueSpot {
    qreal x;
    qreal top;
    qreal bottom;
    qreal baseline;
};

ValueSpot valueSpotOf(const QTextEdit* edit, const QTextBlock& b)
{
    const QRectF r = edit->document()->documentLayout()->blockBoundingRect(b);
    const qreal dx = edit->horizontalScrollBar()->value(), dy = edit->verticalScrollBar()->value();
    ValueSpot end{r.left() - dx, r.top() - dy, r.bottom() - dy, r.bottom() - dy};
    if (QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
        const QTextLine l = tl->lineAt(0);
        end = {r.left() + l.x() + l.naturalTextWidth() - dx, r.top() + l.y() - dy, r.top() + l.y() + l.height() - dy,
               r.top() + l.y() + l.ascent() - dy};
    }
    return end;
}
}  // namespace

QString DebugMarks::describeLine(int line) const
{
    QStringList parts;
    if (const std::optional<Breakpoint> b = breakpointAt(line))
        parts << (b->enabled ? QStringLiteral("breakpoint") : QStringLiteral("disabled breakpoint"));
    if (executionLine() == line)
        parts << QStringLiteral("paused here");
    const QMap<int, QString> values = inlineValues();
    if (const auto it = values.find(line); it != values.end())
        parts << it.value();
    if (parts.isEmpty())
        return QString();
    return QStringLiteral("Line %1: %2").arg(line).arg(parts.join(QStringLiteral("; ")));
}

QString DebugMarks::summary() const
{
    QStringList parts;
    const Breakpoints lines = breakpoints();
    if (lines.size() == 1)
        parts << QStringLiteral("breakpoint on line %1").arg(lines.first().line);
    else if (!lines.isEmpty())
        parts << QStringLiteral("breakpoints on lines %1").arg(lineList(lines));
    if (executionLine() > 0)
        parts << QStringLiteral("paused here: line %1").arg(executionLine());
    return parts.join(QStringLiteral("; "));
}

void DebugMarks::paintPausedLine(QPainter& p, const QRect& area) const
{
    const QTextBlock b = edit_->document()->findBlockByNumber(executionLine() - 1);
    if (executionLine() <= 0 || !b.isValid())
        return;
    const QRectF r = edit_->document()->documentLayout()->blockBoundingRect(b);
    const QRect line(0, qRound(r.top()) - edit_->verticalScrollBar()->value(), edit_->viewport()->width(),
                     qRound(r.height()));
    p.fillRect(line & area, blendColours(edit_->palette().color(QPalette::Base), colours::current().paused, 0.30));
}

void DebugMarks::paintValues(QPainter& p, const QRect& area, const ShownBlocks& shown) const
{
    const QMap<int, QString> values = inlineValues();
    if (values.isEmpty())
        return;
    const QPalette pal = edit_->palette();
    p.setPen(colours::current().value);
    QFont f = edit_->document()->defaultFont();
    f.setItalic(true);
    p.setFont(f);
    const qreal gap = QFontMetricsF(f).horizontalAdvance(QStringLiteral("    "));
    auto [first, last] = shown.shown(1);
    for (auto it = values.lowerBound(first.blockNumber() + 1); it != values.end(); ++it) {
        if (it.key() > last.blockNumber() + 1)
            break;
        const ValueSpot end = valueSpotOf(edit_, edit_->document()->findBlockByNumber(it.key() - 1));
        if (end.bottom >= area.top() && end.top <= area.bottom())
            p.drawText(QPointF(end.x + gap, end.baseline), it.value());
    }
}

void DebugMarks::paintSigns(QPainter& p, const QRectF& box, const std::optional<Breakpoint>& breakpoint, bool paused)
{
    const qreal s = box.width();
    const QColor dot = colours::current().breakpoint;
    const QColor arrowColour = colours::current().paused;
    if (breakpoint) {
        // A disabled breakpoint is a ring.
        p.setPen(QPen(dot.darker(130), std::max(1.0, s / (breakpoint->enabled ? 12 : 8))));
        p.setBrush(breakpoint->enabled ? QBrush(dot) : QBrush(Qt::NoBrush));
        p.drawEllipse(box.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.1));
        // A condition or a hit count: a small square at the dot's lower right,
        // in the colour of the dot's edge, so it shows on a ring too.
        if (!breakpoint->condition.isEmpty() || breakpoint->hitCount > 0) {
            p.setPen(QPen(Qt::white, std::max(1.0, s / 14)));
            p.setBrush(dot.darker(170));
            p.drawRect(QRectF(box.right() - s * 0.42, box.bottom() - s * 0.42, s * 0.42, s * 0.42));
        }
    }
    if (paused) {
        QPainterPath arrow;
        const qreal y = box.center().y();
        arrow.moveTo(box.left(), y - s * 0.18);
        arrow.lineTo(box.left() + s * 0.5, y - s * 0.18);
        arrow.lineTo(box.left() + s * 0.5, y - s * 0.42);
        arrow.lineTo(box.right(), y);
        arrow.lineTo(box.left() + s * 0.5, y + s * 0.42);
        arrow.lineTo(box.left() + s * 0.5, y + s * 0.18);
        arrow.lineTo(box.left(), y + s * 0.18);
        arrow.closeSubpath();
        p.setPen(QPen(arrowColour.darker(160), std::max(1.0, s / 14)));
        p.setBrush(arrowColour);
        p.drawPath(arrow);
    }
    p.setBrush(Qt::NoBrush);
}
