// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/consolelog.h"

#include <algorithm>

namespace {

// A pending segment grows to about this many characters; then another begins.
constexpr qsizetype kSegmentChars = 64 * 1024;

// The first line end or row break in `text` at or after `from`; -1 when none.
qsizetype nextBreak(const QString& text, qsizetype from)
{
    const QChar* d = text.constData();
    for (qsizetype i = from; i < text.size(); ++i) {
        if (d[i] == QLatin1Char('\n') || d[i] == kRowBreak)
            return i;
    }
    return -1;
}

qint64 breaksIn(const QString& text)
{
    return text.count(QLatin1Char('\n')) + text.count(kRowBreak);
}

}  // namespace

ConsoleLog::ConsoleLog(int limit) : limit_(std::max(1, limit)) {}

void ConsoleLog::append(ConsoleStream stream, const QByteArray& bytes)
{
    QStringDecoder& decoder = stream == ConsoleStream::Error ? errDecoder_ : outDecoder_;
    QString text = decoder.decode(bytes);
    text.remove(QLatin1Char('\r'));  // a CR LF program's lines show as lines
    text.replace(kRowBreak, QChar::ReplacementCharacter);
    push(stream, cutRows(std::move(text)));
}

void ConsoleLog::appendLine(ConsoleStream stream, const QString& text)
{
    QString line = atLineStart_ ? text : QLatin1Char('\n') + text;
    line.replace(kRowBreak, QChar::ReplacementCharacter);
    line += QLatin1Char('\n');
    push(stream, cutRows(std::move(line)));
}

QString ConsoleLog::cutRows(QString text)
{
    QString out;
    qsizetype done = 0;  // copied to `out` up to here
    qsizetype col = column_;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype nl = text.indexOf(QLatin1Char('\n'), i);
        const qsizetype end = nl < 0 ? text.size() : nl;
        // [i, end) continues a row of `col` characters.
        while (end - i > kRowChars - col) {
            qsizetype at = i + std::max<qsizetype>(0, kRowChars - col);
            if (at > 0 && text[at].isLowSurrogate())  // a character stays whole
                ++at;
            if (at >= end)
                break;
            out += QStringView(text).mid(done, at - done);
            out += kRowBreak;
            done = at;
            i = at;
            col = 0;
        }
        col += end - i;
        if (nl < 0)
            break;
        col = 0;
        i = nl + 1;
    }
    column_ = col;
    if (done == 0 && out.isEmpty())
        return text;
    out += QStringView(text).mid(done);
    return out;
}

void ConsoleLog::push(ConsoleStream stream, const QString& text)
{
    if (text.isEmpty())
        return;
    const qint64 breaks = breaksIn(text);
    completeLines_ += breaks;
    pendingBreaks_ += breaks;
    pendingChars_ += text.size();
    keep(text);
    atLineStart_ = text.endsWith(QLatin1Char('\n'));
    // Segments stay small enough to be taken a slice at a time cheaply.
    if (!pending_.empty() && pending_.back().stream == stream && pending_.back().text.size() < kSegmentChars)
        pending_.back().text += text;
    else
        pending_.push_back({stream, text});
    if (pendingBreaks_ > keptRows() + limit_ || pendingChars_ > 2 * kMostChars)
        trim();
}

void ConsoleLog::keep(const QString& text)
{
    for (qsizetype from = 0;;) {
        const qsizetype b = nextBreak(text, from);
        const qsizetype len = (b < 0 ? text.size() : b) - from;
        if (openRow_)
            rows_.back() += len;
        else if (len > 0 || b >= 0)
            rows_.push_back(len);
        rowChars_ += len;
        if (b < 0) {
            openRow_ = openRow_ || len > 0;
            break;
        }
        openRow_ = false;
        from = b + 1;
    }
    while (qint64(rows_.size()) > limit_ || (rowChars_ > kMostChars && rows_.size() > 1)) {
        rowChars_ -= rows_.front();
        rows_.pop_front();
    }
}

// Drops the oldest pending rows until no more row ends are left than the
// console keeps rows (the row begun is shown beyond them, as the window does).
void ConsoleLog::trim()
{
    const qint64 complete = keptRows();
    while (pendingBreaks_ > complete && !pending_.empty()) {
        ConsoleSegment& first = pending_.front();
        const qint64 excess = pendingBreaks_ - complete;
        qsizetype cut = 0;
        qint64 seen = 0;
        while (seen < excess) {
            const qsizetype nl = nextBreak(first.text, cut);
            if (nl < 0)
                break;
            cut = nl + 1;
            ++seen;
        }
        pendingBreaks_ -= seen;
        trimmedSinceTake_ = true;
        // A segment that ends in a piece of a row loses the piece too.
        if (cut >= first.text.size() || seen < excess) {
            pendingBreaks_ -= breaksIn(first.text.mid(cut));
            pendingChars_ -= first.text.size();
            pending_.pop_front();
        } else {
            pendingChars_ -= cut;
            first.text.remove(0, cut);
        }
    }
}

std::deque<ConsoleSegment> ConsoleLog::take(qsizetype mostChars)
{
    trim();
    std::deque<ConsoleSegment> out;
    if (mostChars < 0 || pendingChars_ <= mostChars) {
        out.swap(pending_);
        pendingBreaks_ = 0;
        pendingChars_ = 0;
    } else {
        for (qsizetype budget = mostChars; budget > 0 && !pending_.empty();) {
            ConsoleSegment& first = pending_.front();
            qsizetype at = std::min(budget, first.text.size());
            if (at < first.text.size() && first.text[at].isLowSurrogate())
                ++at;
            budget -= at;
            if (at >= first.text.size()) {
                out.push_back(std::move(first));
                pending_.pop_front();
            } else {
                out.push_back({first.stream, first.text.left(at)});
                first.text.remove(0, at);
            }
            pendingBreaks_ -= breaksIn(out.back().text);
            pendingChars_ -= out.back().text.size();
        }
    }
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
    pendingChars_ = 0;
    completeLines_ = 0;
    column_ = 0;
    rows_.clear();
    rowChars_ = 0;
    openRow_ = false;
    atLineStart_ = true;
    takenAtLineStart_ = true;
    trimmedSinceTake_ = false;
}
