// SPDX-License-Identifier: GPL-3.0-or-later
// The margin at the left of an edit control: the marks of the messages, the
// debugger's signs (a red dot for a breakpoint, an arrow at the paused line),
// then the line numbers (shown by default), the caret's in bold. A click on a
// line puts the caret at its start and toggles its breakpoint, a right-click
// asks for its breakpoint's menu; the tool tip
// shows the line's messages.
#pragma once

#include <QWidget>

#include <functional>

class DebugMarks;
class MarkList;
class QPainter;
class QTextBlock;
class QTextEdit;
class ShownBlocks;
class ViewZoom;

class EditMargin : public QWidget {
public:
    // The margin of `edit` (its parent) with these marks, in view as `shown`
    // says, at the zoom `zoom`.
    EditMargin(QTextEdit* edit, const MarkList& marks, const DebugMarks& debug, const ShownBlocks& shown,
               const ViewZoom& zoom);
    // What a click on a line (from 1) does besides moving the caret.
    void onLineClicked(std::function<void(int)> clicked) { clicked_ = std::move(clicked); }
    // What a right-click (or the menu key) on a line (from 1) does, at the
    // global place given, after the caret moved to the line.
    void onLineMenu(std::function<void(int, QPoint)> menu) { menu_ = std::move(menu); }

    void setLineNumbersVisible(bool on) { lineNumbers_ = on; }
    bool lineNumbersVisible() const { return lineNumbers_; }
    // The width the margin needs for what it shows.
    int wantedWidth() const;
    // Repaints when what the margin shows may have changed: the number of
    // lines or the caret's line.
    void refresh();

protected:
    void paintEvent(QPaintEvent* e) override;
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void paintNumber(QPainter& p, QFont f, int number, int caretLine, const QColor& shade, qreal baseline);
    void paintMark(QPainter& p, const QRectF& box, bool error, bool light);
    // The texts of the messages of the line at y in the margin.
    QString toolTipAt(int y) const;

    QTextEdit* edit_;
    const MarkList& marks_;
    const DebugMarks& debug_;
    const ShownBlocks& shown_;
    const ViewZoom& zoom_;
    bool lineNumbers_ = true;
    int shownBlocks_ = -1;  // the block count and caret line the margin last showed
    int shownCaretLine_ = -1;
    std::function<void(int)> clicked_;
    std::function<void(int, QPoint)> menu_;
};
