// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a file in the edit control's document, with every line break as
// the file had it.
//
// The document holds one block per line. A line break that is not the file's
// usual line end (TextFormat::lineEnd) is marked, in the block formats, on
// both lines it separates: as the break after the line above and as the break
// before the line below, with its kind and a number of its own. A break is the
// file's own when both marks agree; any other break is the usual line end.
//
// Edits move and copy block formats in ways that depend on where they start
// (removing lines from the start of a line keeps the format of the line
// below; splitting a line gives both parts its format), so a LineBreakKeeper
// puts the marks right after every change, as part of the change's undo step:
//   - the lines around the change were not touched: their marks hold, and the
//     changed lines take the breaks before and after them from those lines;
//   - within the change, a break whose two marks differ is a new one: it gets
//     the usual line end.
// Undo and Redo bring back the marks with the text. Lines added at the end of
// a line that has text (Enter, pasting lines there) leave that line its own
// line end (keepLineEndAbove).
#pragma once
#include "editor/textfile.h"

#include <QObject>
#include <QString>
#include <vector>

class QTextBlock;
class QTextDocument;

// Marks the blocks of a document that was just given `d.text` (one block per
// line) with the breaks of `d` that differ from the usual line end, and keeps
// the marks right as the document is edited from now on (LineBreakKeeper).
// Neither the undo history nor the modified flag learns of it.
void markLineBreaks(QTextDocument* doc, const DecodedText& d);

// Keeps the line-break marks of a document right after every edit (see
// above). Made by markLineBreaks, or by the edit control for its document; a
// child of the document.
class LineBreakKeeper : public QObject {
    Q_OBJECT
public:
    // The keeper of `doc`, made when it has none.
    static LineBreakKeeper* of(QTextDocument* doc);

private:
    explicit LineBreakKeeper(QTextDocument* doc);
    void noteChange(int position, int removed, int added);
    void repair();

    QTextDocument* doc_;
    int from_ = -1;  // the changed range of the document since the last repair
    int to_ = -1;
    bool repairing_ = false;
};

// After lines were added at the end of the line `line` (which has text), up to
// the block `last`: gives the break that now follows `last` back to `line`, so
// that the line keeps its line end and the added lines get the usual one. Part
// of the undo step that added them.
void keepLineEndAbove(QTextDocument* doc, const QTextBlock& line, const QTextBlock& last);

// Gives the line break that ends just before `block` the kind `kind`, whatever
// the file's usual line end is, as a break of its own. Part of the undo step
// that made the block.
void markLineBreak(QTextDocument* doc, const QTextBlock& block, LineBreak kind);

struct DocumentText {
    QString text;                   // the lines joined by '\n'
    std::vector<LineBreak> breaks;  // the break of each '\n'
};
// The document's text and breaks for encodeText; unmarked and new breaks are
// `usual`. Every character of the lines is kept (U+2028 included).
DocumentText documentText(const QTextDocument& doc, TextFormat::LineEnd usual);
