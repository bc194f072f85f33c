// SPDX-License-Identifier: GPL-3.0-or-later
// What a text edit shows over its text without changing the document's
// formats: the caret's line in a light colour under the text, the bracket
// that matches the one beside the caret, and the underlines of the message
// marks near the lines in view, with their tool tips.
#pragma once

#include <QColor>
#include <QRect>

#include <utility>

class MarkList;
class QHelpEvent;
class QPainter;
class QTextEdit;
class ShownBlocks;

// The colour `t` of the way from `a` to `b`.
QColor blendColours(const QColor& a, const QColor& b, double t);

class TextHighlights {
public:
    TextHighlights(QTextEdit* edit, const MarkList& marks, const ShownBlocks& shown)
        : edit_(edit), marks_(marks), shown_(shown)
    {
    }

    // The bracket that matches the one beside the caret (after it, else before
    // it), as two document positions; {-1, -1} when there is none.
    std::pair<int, int> matchedBrackets() const;
    // While the text is being replaced nothing is updated.
    void setPaused(bool on) { paused_ = on; }
    // Sets the edit's extra selections: the underlines and the matched brackets.
    void update();
    // The caret moved: the old and the new caret line are repainted.
    void caretMoved();
    // The tool tip of the viewport at a help event: the texts of the marks
    // whose underlines are there.
    void showToolTip(const QHelpEvent* h) const;
    // Paints the caret line where it meets `area` of the viewport.
    void paintCaretLine(QPainter& p, const QRect& area) const;

private:
    QTextEdit* edit_;
    const MarkList& marks_;
    const ShownBlocks& shown_;
    bool paused_ = false;
    QRect caretLine_;  // where the caret line was highlighted last
};
