// SPDX-License-Identifier: GPL-3.0-or-later
// The compiler's messages (or a check's while typing) marked in the text of
// an edit control's document: each kept on its place as the text is edited,
// listed for the margin and the tool tips, and underlined where it has a column.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QTextEdit>

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

class QColor;
class QTextBlock;
class QTextDocument;

// A message of the compiler (or of a check while typing) shown in the text:
// a mark in the margin beside its line and, with a column, a wavy underline.
struct MessageMark {
    enum class Severity { Error, Warning };
    int line = 1;    // from 1
    int column = 0;  // from 1 (characters into the line); 0 for none
    Severity severity = Severity::Error;
    QString text;        // shown by the tool tip
    bool light = false;  // the lighter style of a check while typing
    friend bool operator==(const MessageMark&, const MessageMark&) = default;
};

// The colour of the marks of a severity.
QColor markColour(MessageMark::Severity severity);

class MessageMarks {
public:
    explicit MessageMarks(QTextDocument* doc) : doc_(doc) {}

    bool empty() const { return marks_.empty(); }
    // Replaces the marks. Lines and columns are clamped to the text; a mark
    // then moves with its line (and column) as the text is edited.
    void set(const QList<MessageMark>& marks);
    // False when there was none.
    bool clear();
    // The marks with the lines and columns where they now stand, in the order
    // of their places in the text.
    QList<MessageMark> list() const;
    // The texts of the marks on a line (from 1), and of the marks whose
    // underline covers a document position.
    QStringList textsOnLine(int line) const;
    QStringList textsAt(int position) const;
    // The description for screen readers: how many errors and warnings.
    QString description() const;

    // The heaviest mark of a line.
    struct LineMark {
        bool error = false;
        bool light = true;
    };
    // The lines (block numbers) from `first` to `last` that have marks.
    std::map<int, LineMark> lineMarks(const QTextBlock& first, const QTextBlock& last) const;
    // The underlines of the marks with a column from `first` to `last`.
    QList<QTextEdit::ExtraSelection> underlines(const QTextBlock& first, const QTextBlock& last) const;

private:
    struct Mark {
        MessageMark message;
        QTextCursor at;  // at the column, or at the start of the line
    };
    // The marks that stand in [from, to), as a range of indexes into marks_
    // (which the text keeps in the order of their positions).
    std::pair<std::size_t, std::size_t> between(int from, int to) const;
    // The underlined range of a mark (start, end), or an empty range.
    std::pair<int, int> underline(const QTextCursor& at, int column) const;

    QTextDocument* doc_;
    std::vector<Mark> marks_;
};
