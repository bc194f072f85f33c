// SPDX-License-Identifier: GPL-3.0-or-later
// The layout of a source text: every line of the text on a line of its own
// (no wrapping), all lines one height (the document's default font), so that
// where a line stands follows from how many lines are above it, which the
// document counts as it is edited. An edit lays out again only the lines it
// touches, whatever the length of the text; a line is laid out when it is
// first shown or asked about. The text is drawn as a text edit draws it: the
// selections (full-width ones too), the caret, the blocks' backgrounds.
#pragma once

#include <QPlainTextDocumentLayout>

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

protected:
    void documentChanged(int from, int removed, int added) override;

private:
    void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block, const QRectF& rect,
                   const QRectF& clip) const;

    mutable qreal lineHeight_ = -1;  // for the paint device and resolution below
    mutable const QPaintDevice* heightDevice_ = nullptr;
    mutable int heightDpi_ = 0;
};
