// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of a document, each with a text, that move with their lines as the
// text is edited (typing, new lines above, deleted lines, paste, undo): each
// is held by cursors of the document, not by its number. A line whose text
// and line break are deleted goes; lines joined into one keep one. Made with
// `comeBackOnUndo`, a line that went comes back when the edit that deleted it
// is undone.
#pragma once

#include <QMap>
#include <QSet>
#include <QString>
#include <QTextCursor>

#include <vector>

class QTextBlock;
class QTextDocument;

class TrackedLines {
public:
    explicit TrackedLines(QTextDocument* doc, bool comeBackOnUndo = false)
        : doc_(doc), comeBackOnUndo_(comeBackOnUndo)
    {
    }

    // Replaces the lines (from 1); lines beyond the text are left out. Lines
    // that went before are forgotten.
    void set(const QMap<int, QString>& textByLine);
    // Adds the line when it is not held, else removes it. False for a line
    // beyond the text.
    bool toggle(int line, const QString& text = QString());
    // The lines held (from 1) and their texts, as they stand now.
    const QMap<int, QString>& lines() const { return lines_; }
    bool empty() const { return lines_.isEmpty(); }
    // Takes the edits since the last call into account; true when the lines
    // held (their numbers or how many) changed.
    bool update();

private:
    struct Held {
        QTextCursor before;  // the end of the line above (null on the first line)
        QTextCursor start;   // the start of the line
        QTextCursor end;     // the end of the line's text
        QTextCursor after;   // the start of the line below (null on the last line)
        QString text;
        QString lineText;  // what the line said when last looked at
    };
    // A line that went, while the edit that deleted it can be undone.
    struct Gone {
        // Where it was: an undo puts the deleted text back between the two.
        QTextCursor from, to;
        QString text, lineText;
        int undoSteps;  // the document's undo steps just after the edit
    };
    Held hold(const QTextBlock& b, const QString& text) const;
    // True when the line's text and a line break beside it were deleted.
    static bool gone(const Held& h);
    // The lines whose deleting edit has been undone, back in `kept`.
    void bringBack(std::vector<Held>& kept, QSet<int>& blocks);
    void remember();

    QTextDocument* doc_;
    bool comeBackOnUndo_;
    std::vector<Held> held_;
    std::vector<Gone> gone_;
    QMap<int, QString> lines_;
};
