// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of a source text: every line of the text on a line of its own
// (no wrapping), all lines one height (the document's default font), so that
// where a line stands follows from how many lines are above it, which the
// document counts as it is edited. An edit lays out again only the lines it
// touches, whatever the length of the text; a line is laid out when it is
// first shown or asked about, and the others a few at a time while nothing
// else happens (so that the width of the text is known, as the widest line
// says). The text is drawn as a text edit draws it: the selections
// (full-width ones too), the caret, the blocks' backgrounds.
#pragma once

#include <QPlainTextDocumentLayout>
#include <QTextCursor>

class QTimer;

class SourceLayout : public QPlainTextDocumentLayout {
public:
    explicit SourceLayout(QTextDocument* doc);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    // The block's rectangle in the document, its lines laid out.
    QRectF blockBoundingRect(const QTextBlock& block) const override;
    // The height of a line.
    qreal lineHeight() const;
    // The margin around the text, for the resolution laid out for.
    qreal margin() const;

protected:
    void documentChanged(int from, int removed, int added) override;

private:
    // Lays out some of the lines an edit of several lines left without lines.
    void layOutSome();
    void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block, const QRectF& rect,
                   const QRectF& clip) const;

    mutable qreal lineHeight_ = -1;  // for the paint device and resolution below
    mutable const QPaintDevice* heightDevice_ = nullptr;
    mutable int heightDpi_ = 0;
    QTimer* rest_;  // runs layOutSome()
    // The lines still to lay out, from the block of the first to that of the
    // second (cursors, so that they move with the text).
    QTextCursor restFrom_, restTo_;
};
