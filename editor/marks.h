// SPDX-License-Identifier: GPL-3.0-or-later
// The marks of a document, in one list of one type: the compiler's messages
// and a check's while typing (a sign in the margin, a wavy underline where
// the message has a column), the breakpoints (red dots), the line where the
// program is paused (an arrow, the line highlighted) and the values shown
// after the ends of lines. Each stays on its place as the text is edited:
// a message on its line and column; a breakpoint, the paused line and a value
// on their line, going with it when it is deleted (a breakpoint comes back
// when the deletion is undone). None of them is part of the text: the
// document, its undo stack and its modified flag stay as they are.
#pragma once
#include "editor/trackedlines.h"
#include "toolchain/running/breakpoint.h"

#include <QHash>
#include <QList>

#include <optional>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QTextEdit>

#include <cstddef>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class QColor;
class QTextBlock;
class QTextDocument;

// A mark in the text.
struct TextMark {
    enum class Kind {
        Error,       // a message of the compiler or of a check while typing
        Warning,     // the same, less severe
        Breakpoint,  // the debugger stops there
        Paused,      // the program is paused there
        Value,       // `text` is shown dimmed after the end of the line
    };
    int line = 1;    // from 1
    int column = 0;  // from 1 (characters into the line); 0 for none (messages only)
    Kind kind = Kind::Error;
    QString text;        // a message's tool tip; a value's text
    bool light = false;  // the lighter style of a check while typing
    // A breakpoint's.
    bool enabled = true;
    QString condition;  // a Java boolean expression; empty for none
    int hitCount = 0;   // stops at this hit and after; 0 for every hit
    bool isMessage() const { return kind == Kind::Error || kind == Kind::Warning; }
    friend bool operator==(const TextMark&, const TextMark&) = default;
};

// The colour of the marks of a kind.
QColor markColour(TextMark::Kind kind);

class MarkList : public QObject {
    Q_OBJECT
public:
    explicit MarkList(QTextDocument* doc);

    // Every mark where it now stands, in the order of the lines (a line's
    // messages in the order of their places, then its breakpoint, the paused
    // line, its value).
    QList<TextMark> all() const;

    // ---- Messages (Error and Warning). Lines and columns are clamped to the
    // text; a mark then moves with its line (and column) as the text is edited.
    bool hasMessages() const { return !messages_.empty(); }
    // Replaces the messages; marks of other kinds in `marks` are left out.
    void setMessageMarks(const QList<TextMark>& marks);
    void clearMessageMarks();
    // In the order of their places in the text.
    QList<TextMark> messageMarks() const;
    // The texts of the messages on a line (from 1), and of those whose
    // underline covers a document position: what the tool tips show.
    QStringList messageTextsOnLine(int line) const;
    QStringList messageTextsAt(int position) const;
    // For screen readers: how many errors and warnings.
    QString description() const;
    // The heaviest message of a line.
    struct LineMark {
        bool error = false;
        bool light = true;
    };
    // The lines (block numbers) from `first` to `last` that have messages.
    std::map<int, LineMark> lineMarks(const QTextBlock& first, const QTextBlock& last) const;
    // The underlines of the messages with a column from `first` to `last`.
    QList<QTextEdit::ExtraSelection> underlines(const QTextBlock& first, const QTextBlock& last) const;

    // ---- Breakpoints, by line (from 1, ascending; their file empty).
    Breakpoints breakpoints() const;
    bool hasBreakpoint(int line) const { return breakpoints_.lines().contains(line); }
    // The breakpoint of a line; nothing when it has none.
    std::optional<Breakpoint> breakpointAt(int line) const;
    // Replaces the breakpoints (lines beyond the text are left out); no
    // breakpointsChanged.
    void setBreakpoints(const Breakpoints& breakpoints);
    // Sets an enabled breakpoint without condition on a line without one,
    // else clears the line's: breakpointsChanged. False for a line beyond
    // the text.
    bool toggleBreakpoint(int line);
    // Sets the breakpoint of its line, replacing the one there (enabled,
    // condition, hit count): breakpointsChanged. False for a line beyond the
    // text, or one that has that breakpoint already.
    bool setBreakpoint(const Breakpoint& breakpoint);

    // ---- The paused line (from 1), 0 for none: executionLineSet.
    int executionLine() const { return paused_.empty() ? 0 : paused_.lines().firstKey(); }
    void setExecutionLine(int line);

    // ---- Values after the ends of lines (from 1); an empty map clears them.
    QMap<int, QString> inlineValues() const { return values_.lines(); }
    void setInlineValues(const QMap<int, QString>& textByLine);

    // Runs `replace`, which replaces the whole text (a reload), and puts the
    // marks back: the messages on their lines and columns, the others on the
    // same line numbers (breakpoints on lines now gone are left out).
    void keepWhile(const std::function<void()>& replace);

signals:
    // Any mark was set, cleared or moved to another line.
    void changed();
    // The breakpoints after a toggle, a change of one, or an edit or a reload
    // that moved or removed them.
    void breakpointsChanged(const Breakpoints& breakpoints);
    // setExecutionLine() put the paused line on `line` (0: none).
    void executionLineSet(int line);

private:
    struct Held {
        TextMark mark;
        QTextCursor at;  // at the column, or at the start of the line
    };
    void textChanged();
    // The messages that stand in [from, to), as a range of indexes into
    // messages_ (which the text keeps in the order of their positions).
    std::pair<std::size_t, std::size_t> between(int from, int to) const;
    // The underlined range of a message (start, end), or an empty range.
    std::pair<int, int> underline(const QTextCursor& at, int column) const;
    // The breakpoint held on a line, by the key TrackedLines keeps for it.
    TextMark breakpointOf(int line, const QString& key) const;

    QTextDocument* doc_;
    std::vector<Held> messages_;
    TrackedLines breakpoints_;  // each line's text: the key of its values in breakpointData_
    TrackedLines paused_;
    TrackedLines values_;
    QHash<QString, TextMark> breakpointData_;
    int nextKey_ = 0;
    bool replacing_ = false;
};
