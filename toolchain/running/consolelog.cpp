// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/consolelog.h"

#include <algorithm>

ConsoleLog::ConsoleLog(int limit) : limit_(std::max(1, limit)) {}

void ConsoleLog::append(ConsoleStream stream, const QByteArray& bytes)
{
    QStringDecoder& decoder = stream == ConsoleStream::Error ? errDecoder_ : outDecoder_;
    QString text = decoder.decode(bytes);
    text.remove(QLatin1Char('\r'));  // a CR LF program's lines show as lines
    push(stream, text);
}

void ConsoleLog::appendLine(ConsoleStream stream, const QString& text)
{
    QString line = atLineStart_ ? text : QLatin1Char('\n') + text;
    line += QLatin1Char('\n');
    push(stream, line);
}

void ConsoleLog::push(ConsoleStream stream, const QString& text)
{
    if (text.isEmpty())
        return;
    const qint64 breaks = text.count(QLatin1Char('\n'));
    completeLines_ += breaks;
    pendingBreaks_ += breaks;
    atLineStart_ = text.endsWith(QLatin1Char('\n'));
    if (!pending_.empty() && pending_.back().stream == stream)
        pending_.back().text += text;
    else
        pending_.push_back({stream, text});
    if (pendingBreaks_ > 2 * qint64(limit_))
        trim();
}

// Drops the oldest pending lines until at most `limit` line ends are left.
void ConsoleLog::trim()
{
    while (pendingBreaks_ > limit_ && !pending_.empty()) {
        ConsoleSegment& first = pending_.front();
        const qint64 excess = pendingBreaks_ - limit_;
        qsizetype cut = 0;
        qint64 seen = 0;
        while (seen < excess) {
            const qsizetype nl = first.text.indexOf(QLatin1Char('\n'), cut);
            if (nl < 0)
                break;
            cut = nl + 1;
            ++seen;
        }
        pendingBreaks_ -= seen;
        trimmedSinceTake_ = true;
        if (cut >= first.text.size())
            pending_.pop_front();
        else if (seen < excess)  // the segment ends in a piece of a line: the line goes too
            pending_.pop_front();
        else
            first.text.remove(0, cut);
    }
}

std::deque<ConsoleSegment> ConsoleLog::take()
{
    trim();
    std::deque<ConsoleSegment> out;
    out.swap(pending_);
    pendingBreaks_ = 0;
    if (out.empty())
        return out;
    // The line begun in the last take lost its end: what is kept starts on a line of its own.
    if (trimmedSinceTake_ && !takenAtLineStart_)
        out.front().text.prepend(QLatin1Char('\n'));
    trimmedSinceTake_ = false;
    takenAtLineStart_ = out.back().text.endsWith(QLatin1Char('\n'));
    return out;
}

void ConsoleLog::clear()
{
    outDecoder_ = QStringDecoder(QStringDecoder::Utf8);
    errDecoder_ = QStringDecoder(QStringDecoder::Utf8);
    pending_.clear();
    pendingBreaks_ = 0;
    completeLines_ = 0;
    atLineStart_ = true;
    takenAtLineStart_ = true;
    trimmedSinceTake_ = false;
}
