// The text of a file in the edit control's document, with every line break as
// the file had it.
//
// The document holds one block per line. A line break that is not the file's
// usual line end (TextFormat::lineEnd) is marked on the block that follows it,
// in the block's format, with its kind and a number of its own. Edits keep the
// marks where they belong:
//   - joining two lines removes the second block, and with it the mark of the
//     break that was removed; undo brings the block and its mark back;
//   - a line break the user adds (typing Enter, pasting lines) makes a new block
//     that inherits the format of the block it was made in, so its number is
//     one that an earlier block already has: such a break is new, and it gets
//     the file's usual line end;
//   - Enter at the end of a line adds a line below it: the line keeps its own
//     line end, and the added one gets the usual one (keepLineEndAbove).
#pragma once
#include "editor/textfile.h"

#include <QString>
#include <vector>

class QTextBlock;
class QTextDocument;

// Marks the blocks of a document that was just given `d.text` (one block per
// line) with the breaks of `d` that differ from the usual line end. Neither
// the undo history nor the modified flag learns of it.
void markLineBreaks(QTextDocument* doc, const DecodedText& d);

// After Enter at the end of a line made the empty block `added` below it:
// gives the break that now follows `added` back to the line above, so that
// the line keeps its line end, and the added line the usual one. Part of the
// same undo step as the Enter.
void keepLineEndAbove(QTextDocument* doc, const QTextBlock& added);

// Gives the line break that ends just before `block` the kind `kind`, whatever
// the file's usual line end is, as a break of its own. Part of the undo step
// that made the block.
void markLineBreak(QTextDocument* doc, const QTextBlock& block, LineBreak kind);

struct DocumentText {
    QString text;                  // the lines joined by '\n'
    std::vector<LineBreak> breaks;  // the break of each '\n'
};
// The document's text and breaks for encodeText; unmarked and new breaks are
// `usual`. Every character of the lines is kept (U+2028 included).
DocumentText documentText(const QTextDocument& doc, TextFormat::LineEnd usual);
