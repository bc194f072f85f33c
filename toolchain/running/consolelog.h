// SPDX-License-Identifier: GPL-3.0-or-later
// What the console has still to show of a program's output: the bytes of its
// standard output and error as they arrive, decoded as UTF-8 (a character cut
// between two reads is kept whole), the lines the user typed, and the notes
// Brewpad adds. The console takes what is pending at its own pace; a program
// that writes faster than the console shows costs no more than the last
// `limit` lines, and the lines passed over are counted. A line longer than
// `kRowChars` is cut into rows of that length for display (laying out one
// enormous line would hold the window for minutes): a cut is the character
// `kRowBreak` in a segment's text, and the rows count as lines. The console
// holds the last `limit` rows, and of them no more than `kMostChars`
// characters. What is shown is every character written, the cuts aside.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <deque>

enum class ConsoleStream { Output, Error, Input, Note };

// The longest row shown, and the mark of a cut between two rows of one line
// (a noncharacter: one a program writes shows as U+FFFD).
constexpr qsizetype kRowChars = 1000;
constexpr QChar kRowBreak = QChar(0xFFFF);
constexpr qsizetype kMostChars = 32 << 20;

struct ConsoleSegment {
    ConsoleStream stream = ConsoleStream::Output;
    QString text;  // may hold several lines, each ended by '\n' but the last
};

class ConsoleLog {
public:
    explicit ConsoleLog(int limit = 100000);

    int limit() const { return limit_; }

    void append(ConsoleStream stream, const QByteArray& bytes);
    // Text of Brewpad's own (input echo, notes): starts on a line of its own
    // and ends its line.
    void appendLine(ConsoleStream stream, const QString& text);

    // The segments written since the last take, at most `limit` lines of them
    // (the newest), and at most about `mostChars` characters (the oldest; the
    // rest stays pending); empty when nothing is pending.
    std::deque<ConsoleSegment> take(qsizetype mostChars = -1);
    bool pending() const { return !pending_.empty(); }

    // Rows written since the start (a last row without its line end counts).
    qint64 lines() const { return completeLines_ + (atLineStart_ ? 0 : 1); }
    // Rows no longer shown: all but the last `limit`, fewer when they hold
    // more than kMostChars characters.
    qint64 dropped() const { return lines() - qint64(rows_.size()); }
    // The rows the console keeps, the last one perhaps without its line end.
    qint64 keptRows() const { return qint64(rows_.size()); }

    // Forgets everything, for the next program.
    void clear();

private:
    void push(ConsoleStream stream, const QString& text);
    // Counts the rows of `text` among those kept, dropping the oldest beyond the bounds.
    void keep(const QString& text);
    // `text` with a row break wherever a line would grow beyond kRowChars.
    QString cutRows(QString text);
    void trim();

    int limit_;
    QStringDecoder outDecoder_{QStringDecoder::Utf8};
    QStringDecoder errDecoder_{QStringDecoder::Utf8};
    std::deque<ConsoleSegment> pending_;
    qint64 pendingBreaks_ = 0;  // '\n' and row breaks in pending_
    qsizetype pendingChars_ = 0;
    qsizetype column_ = 0;        // characters since the last line end or row break
    std::deque<qsizetype> rows_;  // the lengths of the rows kept, the newest last
    qsizetype rowChars_ = 0;      // their sum
    bool openRow_ = false;        // the newest kept row has no end yet
    qint64 completeLines_ = 0;
    bool atLineStart_ = true;       // of what was written
    bool takenAtLineStart_ = true;  // of what was taken
    bool trimmedSinceTake_ = false;
};
