// SPDX-License-Identifier: GPL-3.0-or-later
// What the console has still to show of a program's output: the bytes of its
// standard output and error as they arrive, decoded as UTF-8 (a character cut
// between two reads is kept whole), the lines the user typed, and the notes
// Brewpad adds. The console takes what is pending at its own pace; a program
// that writes faster than the console shows costs no more than the last
// `limit` lines, and the lines passed over are counted.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringDecoder>

#include <deque>

enum class ConsoleStream { Output, Error, Input, Note };

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
    // (the newest); empty when nothing is pending.
    std::deque<ConsoleSegment> take();

    // Lines written since the start (a last line without its line end counts).
    qint64 lines() const { return completeLines_ + (atLineStart_ ? 0 : 1); }
    // Lines no longer shown: all but the last `limit`.
    qint64 dropped() const { return lines() > limit_ ? lines() - limit_ : 0; }

    // Forgets everything, for the next program.
    void clear();

private:
    void push(ConsoleStream stream, const QString& text);
    void trim();

    int limit_;
    QStringDecoder outDecoder_{QStringDecoder::Utf8};
    QStringDecoder errDecoder_{QStringDecoder::Utf8};
    std::deque<ConsoleSegment> pending_;
    qint64 pendingBreaks_ = 0;  // '\n' in pending_
    qint64 completeLines_ = 0;
    bool atLineStart_ = true;       // of what was written
    bool takenAtLineStart_ = true;  // of what was taken
    bool trimmedSinceTake_ = false;
};
