// SPDX-License-Identifier: GPL-3.0-or-later
// The edit control's comfort: the margin with line numbers and message marks,
// the highlighted caret line and matching bracket, indentation as the user
// types, and the view zoom. None of it changes the document's formats.
#include "editor/editcontrol.h"
#include "editor/highlighter.h"
#include "editor/javalines.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <map>

// The margin beside the text: message marks, then the line numbers.
class EditMargin : public QWidget {
public:
    explicit EditMargin(EditControl* edit) : QWidget(edit), edit_(edit)
    {
        setAccessibleName(QStringLiteral("Line Numbers"));
        setAccessibleDescription(QStringLiteral("No messages"));
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QPainter p(this);
        edit_->paintMargin(p, e->rect());
    }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip) {
            auto* h = static_cast<QHelpEvent*>(e);
            const QString tip = edit_->marginToolTip(h->pos().y());
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(h->globalPos(), tip, this);
            return true;
        }
        return QWidget::event(e);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        // A click on a line number puts the caret at the start of that line.
        const QTextBlock b = edit_->blockAtY(e->position().y() + edit_->verticalScrollBar()->value());
        if (b.isValid()) {
            QTextCursor c = edit_->textCursor();
            c.setPosition(b.position());
            edit_->setTextCursor(c);
            edit_->setFocus();
        }
    }

private:
    EditControl* edit_;
};

namespace {

// The document's lines for the bracket search, with the lexical states of the
// highlighter when the window has one.
class DocumentLines : public javalines::LineSource {
public:
    DocumentLines(const QTextDocument* doc, JavaHighlighter* colours) : doc_(doc), colours_(colours) {}
    int lineCount() const override { return doc_->blockCount(); }
    QString line(int n) const override { return block(n).text(); }
    javalines::LineState stateAt(int n) const override
    {
        return colours_ ? javalines::LineState(int(colours_->stateAtStart(block(n)))) : javalines::LineState::Normal;
    }

private:
    QTextBlock block(int n) const
    {
        // The search walks line by line: the neighbour of the last one is cheap.
        if (last_.isValid()) {
            if (lastNumber_ == n)
                return last_;
            if (lastNumber_ + 1 == n)
                return remember(last_.next(), n);
            if (lastNumber_ - 1 == n)
                return remember(last_.previous(), n);
        }
        return remember(doc_->findBlockByNumber(n), n);
    }
    QTextBlock remember(const QTextBlock& b, int n) const
    {
        last_ = b;
        lastNumber_ = n;
        return b;
    }
    const QTextDocument* doc_;
    JavaHighlighter* colours_;
    mutable QTextBlock last_;
    mutable int lastNumber_ = -1;
};

bool wordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

const QColor kErrorColour(0xd0, 0x20, 0x20);
const QColor kWarningColour(0xe0, 0x8a, 0x00);

constexpr int kMarginPad = 4;

}  // namespace

// ---------------------------------------------------------------- set-up

void EditControl::setUpComfort()
{
    margin_ = new EditMargin(this);
    setUpZoom();
    connect(document(), &QTextDocument::blockCountChanged, this, &EditControl::updateMarginWidth);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        refreshMargin();
        if (!marks_.empty())
            updateExtraSelections();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        // The caret line's highlight moves.
        const QRect caret = cursorRect();
        const QRect line(0, caret.top(), viewport()->width(), caret.height());
        if (line != caretLine_) {
            viewport()->update(caretLine_.adjusted(0, -2, 0, 2));
            viewport()->update(line.adjusted(0, -2, 0, 2));
            caretLine_ = line;
        }
        updateExtraSelections();
        refreshMargin();  // the caret line's number stands out
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        margin_->update();
        if (!marks_.empty())
            updateExtraSelections();
    });
    updateMarginWidth();
    updateExtraSelections();
}

QWidget* EditControl::margin() const
{
    return margin_;
}

void EditControl::setLineNumbersVisible(bool on)
{
    if (lineNumbers_ == on)
        return;
    lineNumbers_ = on;
    updateMarginWidth();
    margin_->update();
}

void EditControl::refreshMargin()
{
    // Typing within a line changes nothing that the margin shows: its lines
    // (and so the lines of the marks) and the caret's line stay.
    const int blocks = document()->blockCount();
    const int caretLine = textCursor().blockNumber();
    if (blocks == marginBlocks_ && caretLine == marginCaretLine_)
        return;
    marginBlocks_ = blocks;
    marginCaretLine_ = caretLine;
    margin_->update();
}

std::pair<std::size_t, std::size_t> EditControl::marksBetween(int from, int to) const
{
    const auto begin = std::partition_point(marks_.begin(), marks_.end(),
                                            [from](const Mark& m) { return m.at.position() < from; });
    const auto end =
        std::partition_point(begin, marks_.end(), [to](const Mark& m) { return m.at.position() < to; });
    return {std::size_t(begin - marks_.begin()), std::size_t(end - marks_.begin())};
}

void EditControl::updateMarginWidth()
{

    const QFontMetrics fm(shownFont());
    int w = fm.height() + kMarginPad;  // the marks
    if (lineNumbers_) {
        const int digits = std::max(3, int(QString::number(document()->blockCount()).size()));
        w += digits * fm.horizontalAdvance(QLatin1Char('9')) + kMarginPad;
    }
    if (viewportMargins().left() != w) {
        setViewportMargins(w, 0, 0, 0);
        placeMargin();
    }
}

void EditControl::placeMargin()
{
    const QRect v = viewport()->geometry();
    margin_->setGeometry(QRect(contentsRect().left(), v.top(), viewportMargins().left(), v.height()));
}

void EditControl::resizeEvent(QResizeEvent* e)
{
    QTextEdit::resizeEvent(e);
    placeMargin();
}

// ---------------------------------------------------------------- shown blocks

QTextBlock walkToBlockAt(const QAbstractTextDocumentLayout* layout, QTextBlock b, qreal y)
{
    QRectF r = layout->blockBoundingRect(b);
    // A block the layout has not reached yet has no rectangle.
    while ((r.isNull() || r.top() > y) && b.previous().isValid()) {
        b = b.previous();
        r = layout->blockBoundingRect(b);
    }
    while (r.bottom() <= y && b.next().isValid()) {
        const QRectF next = layout->blockBoundingRect(b.next());
        if (next.isNull())
            break;
        b = b.next();
        r = next;
    }
    return b;
}

QTextBlock EditControl::blockAtY(qreal y) const
{
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    QTextBlock b = document()->findBlockByNumber(shownGuess_);
    if (!b.isValid())
        b = document()->firstBlock();
    QRectF r = layout->blockBoundingRect(b);
    // Far from the last place: let the layout find it.
    if (r.isNull() || std::abs(r.top() - y) > 4.0 * std::max(1, viewport()->height())) {
        const int pos = layout->hitTest(QPointF(0, y), Qt::FuzzyHit);
        if (pos >= 0)
            b = document()->findBlock(pos);
    }
    b = walkToBlockAt(layout, b, y);
    shownGuess_ = b.blockNumber();
    return b;
}

std::pair<QTextBlock, QTextBlock> EditControl::shownBlocks(int extra) const
{
    const int top = verticalScrollBar()->value();
    const qreal bottom = top + viewport()->height();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    QTextBlock first = blockAtY(top);
    QTextBlock last = first;
    while (last.next().isValid()) {
        const QRectF r = layout->blockBoundingRect(last.next());
        if (r.isNull() || r.top() >= bottom)
            break;
        last = last.next();
    }
    for (int k = 0; k < extra && first.previous().isValid(); ++k)
        first = first.previous();
    for (int k = 0; k < extra && last.next().isValid(); ++k)
        last = last.next();
    return {first, last};
}

// ---------------------------------------------------------------- margin

void EditControl::paintMargin(QPainter& p, const QRect& area)
{

    const QPalette pal = palette();
    const QColor back = mix(pal.color(QPalette::Base), pal.color(QPalette::Window), 0.7);
    p.fillRect(area, back);
    p.setPen(mix(back, pal.color(QPalette::Text), 0.25));
    p.drawLine(margin_->width() - 1, area.top(), margin_->width() - 1, area.bottom());

    const QFont font = shownFont();
    const QFontMetrics fm(font);
    const int markSize = fm.height();
    const int scroll = verticalScrollBar()->value();
    auto [first, last] = shownBlocks(0);
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();

    // The marks of the shown lines: the heaviest of each line.
    struct LineMark {
        bool error = false;
        bool light = true;
    };
    std::map<int, LineMark> lineMarks;
    const auto [markFrom, markTo] = marksBetween(first.position(), last.position() + last.length());
    for (std::size_t k = markFrom; k < markTo; ++k) {
        const Mark& m = marks_[k];
        const int n = m.at.blockNumber();
        LineMark& lm = lineMarks[n];
        lm.error = lm.error || m.message.severity == MessageMark::Severity::Error;
        lm.light = lm.light && m.message.light;
    }

    const int caretLine = textCursor().blockNumber();
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    p.setFont(font);
    p.setRenderHint(QPainter::Antialiasing);
    int number = firstNumber;
    for (QTextBlock b = first; b.isValid() && number <= lastNumber; b = b.next(), ++number) {
        const QRectF r = layout->blockBoundingRect(b);
        if (r.isNull())
            break;
        const qreal top = r.top() - scroll;
        if (top > area.bottom())
            break;
        // The first line of the block, so that the number stands on its baseline.
        qreal lineTop = top, lineHeight = fm.height(), ascent = fm.ascent();
        if (QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
            const QTextLine line = tl->lineAt(0);
            lineTop = top + line.y();
            lineHeight = line.height();
            ascent = line.ascent();
        }
        if (lineTop + lineHeight < area.top())
            continue;
        if (lineNumbers_) {
            QFont f = font;
            f.setBold(number == caretLine);
            p.setFont(f);
            p.setPen(number == caretLine ? pal.color(QPalette::Text) : mix(back, pal.color(QPalette::Text), 0.55));
            const QString label = QString::number(number + 1);
            const int x = margin_->width() - kMarginPad - QFontMetrics(f).horizontalAdvance(label) - 1;
            p.drawText(QPointF(x, lineTop + ascent), label);
        }
        const auto it = lineMarks.find(number);
        if (it == lineMarks.end())
            continue;
        // Errors: a circle with a cross; warnings: a triangle with "!". Light
        // marks (a check while typing) are drawn in outline.
        const qreal s = markSize * 0.8;
        const QRectF box(kMarginPad / 2.0 + (markSize - s) / 2, lineTop + (lineHeight - s) / 2, s, s);
        const QColor colour = it->second.error ? kErrorColour : kWarningColour;
        const bool light = it->second.light;
        p.setPen(QPen(colour, std::max(1.0, s / 10)));
        p.setBrush(light ? QBrush(Qt::NoBrush) : QBrush(colour));
        const QColor sign = light ? colour : QColor(Qt::white);
        if (it->second.error) {
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
        p.setFont(font);
    }
}

QString EditControl::marginToolTip(int y) const
{
    const QTextBlock b = blockAtY(y + verticalScrollBar()->value());
    if (!b.isValid())
        return QString();
    return messageTextsOnLine(b.blockNumber() + 1).join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------- extra selections

std::pair<int, int> EditControl::matchedBrackets() const
{
    const QTextCursor c = textCursor();
    if (c.hasSelection())
        return {-1, -1};
    auto bracketAt = [this](int pos) {
        const QChar ch = document()->characterAt(pos);
        return ch == u'(' || ch == u')' || ch == u'[' || ch == u']' || ch == u'{' || ch == u'}';
    };
    const int pos = c.position();
    const DocumentLines lines(document(), findChild<JavaHighlighter*>(QString(), Qt::FindDirectChildrenOnly));
    // The bracket after the caret first, then the one before it.
    for (const int at : {pos, pos - 1}) {
        if (at < c.block().position() || !bracketAt(at))
            continue;
        const QTextBlock block = document()->findBlock(at);
        const std::optional<javalines::LinePos> m =
            javalines::matchingBracket(lines, javalines::LinePos{block.blockNumber(), at - block.position()});
        if (m)
            return {at, document()->findBlockByNumber(m->line).position() + m->column};
    }
    return {-1, -1};
}

std::pair<int, int> EditControl::underline(const QTextCursor& at, int column) const
{
    if (column <= 0)
        return {0, 0};
    const QTextBlock b = at.block();
    const QString text = b.text();
    if (text.isEmpty())
        return {0, 0};
    int i = std::min<int>(at.positionInBlock(), int(text.size()) - 1);
    int start = i, end = i + 1;
    if (wordChar(text[i])) {
        while (start > 0 && wordChar(text[start - 1]))
            --start;
        while (end < text.size() && wordChar(text[end]))
            ++end;
    }
    return {b.position() + start, b.position() + end};
}

void EditControl::updateExtraSelections()
{
    if (loading_)
        return;
    QList<QTextEdit::ExtraSelection> out;

    if (!marks_.empty()) {
        // Only the marks near the shown lines: the others are set when they come into view.
        auto [first, last] = shownBlocks(50);
        const auto [from, to] = marksBetween(first.position(), last.position() + last.length());
        for (std::size_t k = from; k < to; ++k) {
            const Mark& m = marks_[k];
            const auto [start, end] = underline(m.at, m.message.column);
            if (start == end)
                continue;
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(document());
            s.cursor.setPosition(start);
            s.cursor.setPosition(end, QTextCursor::KeepAnchor);
            const QColor colour = m.message.severity == MessageMark::Severity::Error ? kErrorColour : kWarningColour;
            s.format.setUnderlineStyle(m.message.light ? QTextCharFormat::DotLine : QTextCharFormat::WaveUnderline);
            s.format.setUnderlineColor(colour);
            out << s;
        }
    }

    const auto [a, b] = matchedBrackets();
    if (a >= 0) {
        for (int pos : {a, b}) {
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(document());
            s.cursor.setPosition(pos);
            s.cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
            s.format.setBackground(QColor(0xb4, 0xee, 0xb4));
            s.format.setForeground(QColor(Qt::black));
            out << s;
        }
    }
    // Setting even an empty list right after a long text was loaded makes
    // the widget lay out the whole text at once: not when nothing changes.
    if (out.isEmpty() && extraSelections().isEmpty())
        return;
    setExtraSelections(out);
}

void EditControl::paintEvent(QPaintEvent* e)
{
    // The caret line, under the text.
    {
        QPainter p(viewport());
        const QRect r = cursorRect();
        const QTextBlock b = textCursor().block();
        QRect line(0, r.top(), viewport()->width(), r.height());
        if (QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
            const QTextLine l = tl->lineForTextPosition(textCursor().positionInBlock());
            if (l.isValid()) {
                const qreal top = document()->documentLayout()->blockBoundingRect(b).top() + l.y() -
                                  verticalScrollBar()->value();
                line = QRect(0, qRound(top), viewport()->width(), qRound(l.height()));
            }
        }
        const QPalette pal = palette();
        p.fillRect(line & e->rect(), mix(pal.color(QPalette::Base), pal.color(QPalette::Highlight), 0.10));
    }
    QTextEdit::paintEvent(e);
}
