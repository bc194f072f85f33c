// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/sourcelayout.h"

#include <QElapsedTimer>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

// The selections of the paint context that fall on `block`, as ranges of
// the block's text. A full-width selection without selected text stands for
// the whole line of its cursor.
QList<QTextLayout::FormatRange> selectionsIn(const QTextBlock& block,
                                             const QAbstractTextDocumentLayout::PaintContext& context)
{
    QList<QTextLayout::FormatRange> out;
    const int start = block.position();
    const int length = block.length();
    for (const QAbstractTextDocumentLayout::Selection& s : context.selections) {
        const int from = s.cursor.selectionStart() - start;
        const int to = s.cursor.selectionEnd() - start;
        if (from < length && to > 0 && to > from) {
            out << QTextLayout::FormatRange{from, to - from, s.format};
        } else if (!s.cursor.hasSelection() && s.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(s.cursor.position())) {
            const QTextLine line = block.layout()->lineForTextPosition(s.cursor.position() - start);
            QTextLayout::FormatRange r{line.textStart(), line.textLength(), s.format};
            if (r.start + r.length == length - 1)
                ++r.length;  // the line end too
            out << r;
        }
    }
    return out;
}

}  // namespace

namespace {
// How long one turn of laying out lines not shown yet lasts at most.
constexpr int kRestSliceMs = 2;
}  // namespace

SourceLayout::SourceLayout(QTextDocument* doc) : QPlainTextDocumentLayout(doc), rest_(new QTimer(this))
{
    // Tells a text edit without wrapping that the text needs no page width.
    setProperty("contentHasAlignment", false);
    rest_->setSingleShot(true);
    rest_->setInterval(0);
    connect(rest_, &QTimer::timeout, this, &SourceLayout::layOutSome);
}

qreal SourceLayout::lineHeight() const
{
    const QPaintDevice* device = paintDevice();
    const int dpi = device ? device->logicalDpiY() : 0;
    if (lineHeight_ > 0 && device == heightDevice_ && dpi == heightDpi_)
        return lineHeight_;
    // A line is laid out as the lines of the text are.
    QTextLayout probe(QStringLiteral("x"), document()->defaultFont(), const_cast<QPaintDevice*>(device));
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    probe.endLayout();
    lineHeight_ = std::max(1.0, line.height() + (line.leading() < 0 ? std::ceil(line.leading()) : 0.0));
    heightDevice_ = device;
    heightDpi_ = dpi;
    return lineHeight_;
}

qreal SourceLayout::margin() const
{
    const qreal m = document()->documentMargin();
    const QPaintDevice* device = paintDevice();
    if (!device)
        return m;
    // In whole pixels, as Qt's layout has it.
    return std::round(m * device->logicalDpiY() / 96.0);
}

QRectF SourceLayout::blockBoundingRect(const QTextBlock& block) const
{
    // The plain layout lays the block out when it has no lines yet.
    const QRectF plain = QPlainTextDocumentLayout::blockBoundingRect(block);
    if (!block.isValid() || !block.isVisible())
        return plain;
    const qreal h = lineHeight();
    const int lines = std::max(1, block.layout()->lineCount());
    // The plain layout puts the lines at the document's margin; the margin
    // grows with the resolution (the zoom), as in Qt's own layout.
    const qreal m = margin();
    return QRectF(m - document()->documentMargin(), m + block.firstLineNumber() * h, plain.width(), lines * h);
}

QSizeF SourceLayout::documentSize() const
{
    const QTextDocument* doc = document();
    const qreal m = margin();
    return QSizeF(QPlainTextDocumentLayout::documentSize().width() + 2 * (m - doc->documentMargin()),
                  doc->lineCount() * lineHeight() + 2 * m);
}

QRectF SourceLayout::frameBoundingRect(QTextFrame*) const
{
    return QRectF(QPointF(0, 0), documentSize());
}

void SourceLayout::documentChanged(int from, int removed, int added)
{
    // A change of more than one line may be a change of font or resolution.
    QTextDocument* doc = document();
    const QTextBlock first = doc->findBlock(from);
    const QTextBlock last = doc->findBlock(std::max(0, from + std::max(removed, added) - 1));
    if (first != last)
        lineHeight_ = -1;
    QPlainTextDocumentLayout::documentChanged(from, removed, added);
    if (first == last)
        return;
    // The lines of the change are laid out again when shown, the others soon.
    const int start = first.isValid() ? first.position() : 0;
    const int end = last.isValid() ? last.position() : doc->characterCount() - 1;
    if (restFrom_.isNull() || restFrom_.document() != doc) {
        restFrom_ = QTextCursor(doc);
        restTo_ = QTextCursor(doc);
        restFrom_.setPosition(start);
        restTo_.setPosition(end);
    } else {
        restFrom_.setPosition(std::min(restFrom_.position(), start));
        restTo_.setPosition(std::max(restTo_.position(), end));
    }
    rest_->start();
}

void SourceLayout::layOutSome()
{
    if (restFrom_.isNull())
        return;
    QElapsedTimer slice;
    slice.start();
    QTextBlock b = restFrom_.block();
    const int lastNumber = restTo_.block().blockNumber();
    int n = 0;
    for (; b.isValid() && b.blockNumber() <= lastNumber; b = b.next()) {
        if (b.layout()->lineCount() == 0)
            ensureBlockLayout(b);
        if (++n % 32 == 0 && slice.elapsed() >= kRestSliceMs)
            break;
    }
    if (!b.isValid() || b.blockNumber() > lastNumber) {
        restFrom_ = restTo_ = QTextCursor();
        return;
    }
    restFrom_.setPosition(b.position());
    rest_->start();
}

int SourceLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const
{
    const QTextDocument* doc = document();
    const int lineNumber = int(std::floor((point.y() - margin()) / lineHeight()));
    // Above the text: its start; below it: its end.
    if (lineNumber < 0)
        return accuracy == Qt::ExactHit ? -1 : 0;
    if (lineNumber >= doc->lineCount())
        return accuracy == Qt::ExactHit ? -1 : doc->characterCount() - 1;
    const QTextBlock block = doc->findBlockByLineNumber(lineNumber);
    if (!block.isValid())
        return -1;
    const QRectF r = blockBoundingRect(block);
    const QTextLayout* tl = block.layout();
    if (tl->lineCount() == 0)
        return accuracy == Qt::ExactHit ? -1 : block.position();
    const int inBlock = std::clamp(lineNumber - block.firstLineNumber(), 0, tl->lineCount() - 1);
    const QTextLine line = tl->lineAt(inBlock);
    const QPointF at = point - r.topLeft();
    const QRectF text = line.naturalTextRect();
    if (accuracy == Qt::ExactHit && (at.x() < text.left() || at.x() > text.right()))
        return -1;
    const int offset = line.xToCursor(
        at.x(), accuracy == Qt::ExactHit ? QTextLine::CursorOnCharacter : QTextLine::CursorBetweenCharacters);
    return std::clamp(block.position() + offset, 0, doc->characterCount() - 1);
}

void SourceLayout::draw(QPainter* painter, const PaintContext& context)
{
    const QTextDocument* doc = document();
    const QRectF clip = context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    const int first = std::max(0, int(std::floor((clip.top() - margin()) / lineHeight())));
    QTextBlock block = doc->findBlockByLineNumber(std::min(first, doc->lineCount() - 1));
    painter->save();
    painter->setPen(context.palette.color(QPalette::Text));
    for (; block.isValid(); block = block.next()) {
        if (!block.isVisible())
            continue;
        const QRectF r = blockBoundingRect(block);
        if (r.top() > clip.bottom())
            break;
        if (r.bottom() >= clip.top())
            drawBlock(painter, context, block, r, clip);
    }
    painter->restore();
}

void SourceLayout::drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                             const QRectF& rect, const QRectF& clip) const
{
    QTextLayout* tl = block.layout();
    const QBrush back = block.blockFormat().background();
    if (back != Qt::NoBrush)
        painter->fillRect(QRectF(rect.left(), rect.top(), std::max(rect.width(), clip.right()), rect.height()), back);
    const QPointF offset = rect.topLeft();
    tl->draw(painter, offset, selectionsIn(block, context), clip);
    const int start = block.position();
    int caret = context.cursorPosition;
    const bool preedit = caret < -1 && !tl->preeditAreaText().isEmpty();
    if (preedit)
        caret = tl->preeditAreaPosition() - (caret + 2);
    else if (caret >= start && caret < start + block.length())
        caret -= start;
    else
        return;
    tl->drawCursor(painter, offset, caret, cursorWidth());
}
