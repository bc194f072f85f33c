// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/texthighlights.h"

#include "editor/highlighter.h"
#include "javatext/javalines.h"
#include "editor/marks.h"
#include "editor/shownblocks.h"
#include "resources/colours.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QToolTip>

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
        return colours_ ? colours_->stateAtStart(block(n)) : javalines::LineState::Normal;
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

}  // namespace

QColor blendColours(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

std::pair<int, int> TextHighlights::matchedBrackets() const
{
    const QTextCursor c = edit_->textCursor();
    if (c.hasSelection())
        return {-1, -1};
    const QTextDocument* doc = edit_->document();
    auto bracketAt = [doc](int pos) {
        const QChar ch = doc->characterAt(pos);
        return ch == u'(' || ch == u')' || ch == u'[' || ch == u']' || ch == u'{' || ch == u'}';
    };
    const int pos = c.position();
    const DocumentLines lines(doc, edit_->findChild<JavaHighlighter*>(QString(), Qt::FindDirectChildrenOnly));
    // The bracket after the caret first, then the one before it.
    for (const int at : {pos, pos - 1}) {
        if (at < c.block().position() || !bracketAt(at))
            continue;
        const QTextBlock block = doc->findBlock(at);
        const std::optional<javalines::LinePos> m = javalines::matchingBracket(
            lines, javalines::LinePos{block.blockNumber(), at - block.position()});
        if (m)
            return {at, doc->findBlockByNumber(m->line).position() + m->column};
    }
    return {-1, -1};
}

void TextHighlights::update()
{
    if (paused_)
        return;
    QList<QTextEdit::ExtraSelection> out;
    if (marks_.hasMessages()) {
        // Only the marks near the shown lines: the others are set when they come into view.
        auto [first, last] = shown_.shown(50);
        out = marks_.underlines(first, last);
    }
    const auto [a, b] = matchedBrackets();
    if (a >= 0) {
        for (int pos : {a, b}) {
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(edit_->document());
            s.cursor.setPosition(pos);
            s.cursor.setPosition(pos + 1, QTextCursor::KeepAnchor);
            s.format.setBackground(colours::current().bracketBack);
            s.format.setForeground(colours::current().bracketText);
            out << s;
        }
    }
    // Setting even an empty list right after a long text was loaded makes
    // the widget lay out the whole text at once: not when nothing changes.
    if (out.isEmpty() && edit_->extraSelections().isEmpty())
        return;
    edit_->setExtraSelections(out);
}

void TextHighlights::caretMoved()
{
    const QRect caret = edit_->cursorRect();
    const QRect line(0, caret.top(), edit_->viewport()->width(), caret.height());
    if (line != caretLine_) {
        edit_->viewport()->update(caretLine_.adjusted(0, -2, 0, 2));
        edit_->viewport()->update(line.adjusted(0, -2, 0, 2));
        caretLine_ = line;
    }
}

void TextHighlights::paintCaretLine(QPainter& p, const QRect& area) const
{
    const QTextCursor caret = edit_->textCursor();
    const QRect r = edit_->cursorRect();
    const QTextBlock b = caret.block();
    const int width = edit_->viewport()->width();
    QRect line(0, r.top(), width, r.height());
    if (QTextLayout* tl = b.layout(); tl && tl->lineCount() > 0) {
        const QTextLine l = tl->lineForTextPosition(caret.positionInBlock());
        if (l.isValid()) {
            const qreal top = edit_->document()->documentLayout()->blockBoundingRect(b).top() + l.y() -
                              edit_->verticalScrollBar()->value();
            line = QRect(0, qRound(top), width, qRound(l.height()));
        }
    }
    const QPalette pal = edit_->palette();
    p.fillRect(line & area, blendColours(pal.color(QPalette::Base), pal.color(QPalette::Highlight), 0.10));
}

void TextHighlights::showToolTip(const QHelpEvent* h) const
{
    const QPointF scrolled(edit_->horizontalScrollBar()->value(), edit_->verticalScrollBar()->value());
    const int pos = edit_->document()->documentLayout()->hitTest(QPointF(h->pos()) + scrolled, Qt::ExactHit);
    const QStringList texts = pos >= 0 ? marks_.messageTextsAt(pos) : QStringList();
    if (texts.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(h->globalPos(), texts.join(QLatin1Char('\n')), edit_->viewport());
}
