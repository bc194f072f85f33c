// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/debugmarks.h"

#include "editor/shownblocks.h"
#include "editor/texthighlights.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

namespace {
const QColor kBreakpointRed(0xd0, 0x20, 0x20);
const QColor kPausedArrow(0xf0, 0xb0, 0x00);

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
        end = {r.left() + l.naturalTextWidth() - dx, r.top() + l.y() - dy, r.top() + l.y() + l.height() - dy,
               r.top() + l.y() + l.ascent() - dy};
    }
    return end;
}
}  // namespace

DebugMarks::DebugMarks(QTextEdit* edit)
    : edit_(edit), breakpoints_(edit->document(), true), paused_(edit->document()), values_(edit->document())
{
}

Breakpoints DebugMarks::breakpoints() const
{
    Breakpoints out;
    for (auto it = breakpoints_.lines().cbegin(); it != breakpoints_.lines().cend(); ++it) {
        Breakpoint b = breakpointValues_.value(it.value());
        b.file.clear();
        b.line = it.key();
        out << b;
    }
    return out;
}

std::optional<Breakpoint> DebugMarks::breakpointAt(int line) const
{
    const auto it = breakpoints_.lines().find(line);
    if (it == breakpoints_.lines().end())
        return std::nullopt;
    Breakpoint b = breakpointValues_.value(it.value());
    b.file.clear();
    b.line = line;
    return b;
}

void DebugMarks::setBreakpoints(const Breakpoints& list)
{
    breakpointValues_.clear();
    QMap<int, QString> byLine;
    for (const Breakpoint& b : list) {
        if (byLine.contains(b.line))
            continue;
        const QString key = QString::number(++lastKey_);
        breakpointValues_.insert(key, b);
        byLine.insert(b.line, key);
    }
    breakpoints_.set(byLine);
    for (auto it = breakpointValues_.begin(); it != breakpointValues_.end();)  // those beyond the text
        it = breakpoints_.lines().key(it.key()) ? std::next(it) : breakpointValues_.erase(it);
}

bool DebugMarks::toggleBreakpoint(int line)
{
    if (const auto it = breakpoints_.lines().find(line); it != breakpoints_.lines().end()) {
        const QString key = it.value();
        breakpoints_.toggle(line);
        breakpointValues_.remove(key);
        return true;
    }
    Breakpoint b;
    b.line = line;
    return setBreakpoint(b);
}

bool DebugMarks::setBreakpoint(const Breakpoint& breakpoint)
{
    if (const auto it = breakpoints_.lines().find(breakpoint.line); it != breakpoints_.lines().end()) {
        if (breakpointAt(breakpoint.line) == breakpoint)
            return false;
        breakpointValues_.insert(it.value(), breakpoint);
        return true;
    }
    const QString key = QString::number(++lastKey_);
    if (!breakpoints_.toggle(breakpoint.line, key))
        return false;
    breakpointValues_.insert(key, breakpoint);
    return true;
}

void DebugMarks::setExecutionLine(int line)
{
    QMap<int, QString> byLine;
    if (line > 0)
        byLine.insert(line, QString());
    paused_.set(byLine);
}

bool DebugMarks::keepLinesWhile(const std::function<void()>& replace)
{
    const Breakpoints lines = breakpoints();
    const int paused = executionLine();
    const QMap<int, QString> values = inlineValues();
    replacing_ = true;
    replace();
    replacing_ = false;
    setBreakpoints(lines);
    setExecutionLine(paused);
    setInlineValues(values);
    return breakpoints() != lines;
}

bool DebugMarks::textChanged()
{
    if (replacing_)
        return false;
    paused_.update();
    values_.update();
    return breakpoints_.update();
}

QString DebugMarks::describeLine(int line) const
{
    QStringList parts;
    if (const std::optional<Breakpoint> b = breakpointAt(line))
        parts << (b->enabled ? QStringLiteral("breakpoint") : QStringLiteral("disabled breakpoint"));
    if (executionLine() == line)
        parts << QStringLiteral("paused here");
    if (const auto it = values_.lines().find(line); it != values_.lines().end())
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
    p.fillRect(line & area, blendColours(edit_->palette().color(QPalette::Base), kPausedArrow, 0.30));
}

void DebugMarks::paintValues(QPainter& p, const QRect& area, const ShownBlocks& shown) const
{
    if (values_.empty())
        return;
    const QPalette pal = edit_->palette();
    p.setPen(blendColours(pal.color(QPalette::Base), pal.color(QPalette::Text), 0.45));
    QFont f = edit_->document()->defaultFont();
    f.setItalic(true);
    p.setFont(f);
    const qreal gap = QFontMetricsF(f).horizontalAdvance(QStringLiteral("    "));
    auto [first, last] = shown.shown(1);
    const auto& values = values_.lines();
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
    if (breakpoint) {
        p.setPen(QPen(kBreakpointRed.darker(130), std::max(1.0, s / (breakpoint->enabled ? 12 : 8))));
        p.setBrush(breakpoint->enabled ? QBrush(kBreakpointRed) : QBrush(Qt::NoBrush));
        p.drawEllipse(box.adjusted(s * 0.1, s * 0.1, -s * 0.1, -s * 0.1));
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
        p.setPen(QPen(kPausedArrow.darker(160), std::max(1.0, s / 14)));
        p.setBrush(kPausedArrow);
        p.drawPath(arrow);
    }
    p.setBrush(Qt::NoBrush);
}
