// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/marks.h"

#include "javatext/javaidentifiers.h"
#include "resources/colours.h"

#include <QColor>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

QColor markColour(TextMark::Kind kind)
{
    const colours::ColourSet& c = colours::current();
    switch (kind) {
    case TextMark::Kind::Warning: return c.warning;
    case TextMark::Kind::Paused: return c.paused;
    case TextMark::Kind::Value: return c.value;
    case TextMark::Kind::Breakpoint: return c.breakpoint;
    case TextMark::Kind::Error: break;
    }
    return c.error;
}

MarkList::MarkList(QTextDocument* doc) : doc_(doc), breakpoints_(doc, true), paused_(doc), values_(doc)
{
    connect(doc, &QTextDocument::contentsChanged, this, &MarkList::textChanged);
}

void MarkList::setMessageMarks(const QList<TextMark>& marks)
{
    messages_.clear();
    messages_.reserve(std::size_t(marks.size()));
    const int lines = doc_->blockCount();
    for (TextMark m : marks) {
        if (!m.isMessage())
            continue;
        m.line = std::clamp(m.line, 1, lines);
        const QTextBlock b = doc_->findBlockByNumber(m.line - 1);
        QTextCursor at(doc_);
        if (m.column > 0) {
            m.column = std::min(m.column, b.length());  // the line end at most
            at.setPosition(b.position() + m.column - 1);
        } else {
            at.setPosition(b.position());
        }
        messages_.push_back(Held{m, at});
    }
    std::stable_sort(messages_.begin(), messages_.end(),
                     [](const Held& a, const Held& b) { return a.at.position() < b.at.position(); });
    emit changed();
}

void MarkList::clearMessageMarks()
{
    if (messages_.empty())
        return;
    messages_.clear();
    emit changed();
}

QList<TextMark> MarkList::messageMarks() const
{
    QList<TextMark> out;
    for (const Held& m : messages_) {
        TextMark now = m.mark;
        now.line = m.at.blockNumber() + 1;
        if (now.column > 0)
            now.column = m.at.positionInBlock() + 1;
        out << now;
    }
    return out;
}

std::pair<std::size_t, std::size_t> MarkList::between(int from, int to) const
{
    const auto begin = std::partition_point(messages_.begin(), messages_.end(),
                                            [from](const Held& m) { return m.at.position() < from; });
    const auto end = std::partition_point(begin, messages_.end(),
                                          [to](const Held& m) { return m.at.position() < to; });
    return {std::size_t(begin - messages_.begin()), std::size_t(end - messages_.begin())};
}

std::pair<int, int> MarkList::underline(const QTextCursor& at, int column) const
{
    if (column <= 0)
        return {0, 0};
    const QTextBlock b = at.block();
    const QString text = b.text();
    if (text.isEmpty())
        return {0, 0};
    int i = std::min<int>(at.positionInBlock(), int(text.size()) - 1);
    int start = i, end = i + 1;
    if (javatext::isIdentifierPart(text[i])) {
        start = int(javatext::identifierStart(text, i));
        end = int(javatext::identifierEnd(text, i));
    }
    return {b.position() + start, b.position() + end};
}

QStringList MarkList::messageTextsOnLine(int line) const
{
    QStringList out;
    const QTextBlock b = doc_->findBlockByNumber(line - 1);
    if (!b.isValid())
        return out;
    const auto [from, to] = between(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k)
        out << messages_[k].mark.text;
    return out;
}

QStringList MarkList::messageTextsAt(int position) const
{
    QStringList out;
    const QTextBlock b = doc_->findBlock(position);
    const auto [from, to] = between(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k) {
        const Held& m = messages_[k];
        if (m.mark.column <= 0)
            continue;
        const auto [start, end] = underline(m.at, m.mark.column);
        if (position >= start && position < end)
            out << m.mark.text;
    }
    return out;
}

QString MarkList::description() const
{
    int errors = 0, warnings = 0;
    for (const Held& m : messages_)
        (m.mark.kind == TextMark::Kind::Error ? errors : warnings)++;
    if (errors == 0 && warnings == 0)
        return QStringLiteral("No messages");
    return QStringLiteral("%1 error(s), %2 warning(s) marked").arg(errors).arg(warnings);
}

std::map<int, MarkList::LineMark> MarkList::lineMarks(const QTextBlock& first, const QTextBlock& last) const
{
    std::map<int, LineMark> out;
    const auto [from, to] = between(first.position(), last.position() + last.length());
    for (std::size_t k = from; k < to; ++k) {
        const Held& m = messages_[k];
        LineMark& lm = out[m.at.blockNumber()];
        lm.error = lm.error || m.mark.kind == TextMark::Kind::Error;
        lm.light = lm.light && m.mark.light;
    }
    return out;
}

QList<QTextEdit::ExtraSelection> MarkList::underlines(const QTextBlock& first, const QTextBlock& last) const
{
    QList<QTextEdit::ExtraSelection> out;
    const auto [from, to] = between(first.position(), last.position() + last.length());
    for (std::size_t k = from; k < to; ++k) {
        const Held& m = messages_[k];
        const auto [start, end] = underline(m.at, m.mark.column);
        if (start == end)
            continue;
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(doc_);
        s.cursor.setPosition(start);
        s.cursor.setPosition(end, QTextCursor::KeepAnchor);
        s.format.setUnderlineStyle(m.mark.light ? QTextCharFormat::DotLine : QTextCharFormat::WaveUnderline);
        s.format.setUnderlineColor(markColour(m.mark.kind));
        out << s;
    }
    return out;
}

namespace {

// The mark that shows a breakpoint.
TextMark breakpointMark(const Breakpoint& b)
{
    return TextMark{.line = b.line,
                    .kind = TextMark::Kind::Breakpoint,
                    .enabled = b.enabled,
                    .condition = b.condition,
                    .hitCount = b.hitCount};
}

}  // namespace

void MarkList::setBreakpoints(const Breakpoints& breakpoints)
{
    QMap<int, QString> byLine;
    breakpointData_.clear();
    for (const Breakpoint& b : breakpoints) {
        const QString key = QString::number(nextKey_++);
        byLine.insert(b.line, key);
        breakpointData_.insert(key, breakpointMark(b));
    }
    breakpoints_.set(byLine);
    emit changed();
}

TextMark MarkList::breakpointOf(int line, const QString& key) const
{
    TextMark m = breakpointData_.value(key, TextMark{.kind = TextMark::Kind::Breakpoint});
    m.line = line;
    return m;
}

Breakpoints MarkList::breakpoints() const
{
    Breakpoints out;
    const QMap<int, QString>& lines = breakpoints_.lines();
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        const TextMark m = breakpointOf(it.key(), it.value());
        out << Breakpoint{.line = m.line, .enabled = m.enabled, .condition = m.condition, .hitCount = m.hitCount};
    }
    return out;
}

bool MarkList::toggleBreakpoint(int line)
{
    // A breakpoint of its own, with the values of a new one; the key stays
    // with the line while an undo can bring it back.
    const QString key = QString::number(nextKey_);
    if (!breakpoints_.toggle(line, key))
        return false;
    if (hasBreakpoint(line)) {
        ++nextKey_;
        breakpointData_.insert(key, TextMark{.line = line, .kind = TextMark::Kind::Breakpoint});
    }
    emit changed();
    emit breakpointsChanged(breakpoints());
    return true;
}

std::optional<Breakpoint> MarkList::breakpointAt(int line) const
{
    for (const Breakpoint& b : breakpoints())
        if (b.line == line)
            return b;
    return std::nullopt;
}

bool MarkList::setBreakpoint(const Breakpoint& breakpoint)
{
    if (breakpoint.line < 1 || breakpoint.line > doc_->blockCount() || breakpointAt(breakpoint.line) == breakpoint)
        return false;
    const QString key = QString::number(nextKey_++);
    QMap<int, QString> byLine = breakpoints_.lines();
    byLine.insert(breakpoint.line, key);
    breakpointData_.insert(key, breakpointMark(breakpoint));
    breakpoints_.set(byLine);
    emit changed();
    emit breakpointsChanged(breakpoints());
    return true;
}

void MarkList::setExecutionLine(int line)
{
    QMap<int, QString> byLine;
    if (line > 0)
        byLine.insert(line, QString());
    paused_.set(byLine);
    emit executionLineSet(executionLine());
    emit changed();
}

void MarkList::setInlineValues(const QMap<int, QString>& textByLine)
{
    values_.set(textByLine);
    emit changed();
}

void MarkList::keepWhile(const std::function<void()>& replace)
{
    const QList<TextMark> messages = messageMarks();
    const Breakpoints kept = breakpoints();
    const int paused = executionLine();
    const QMap<int, QString> values = inlineValues();
    replacing_ = true;
    replace();
    replacing_ = false;
    QSignalBlocker quiet(this);
    setBreakpoints(kept);
    QMap<int, QString> pausedLine;
    if (paused > 0)
        pausedLine.insert(paused, QString());
    paused_.set(pausedLine);
    values_.set(values);
    if (!messages.isEmpty())
        setMessageMarks(messages);
    quiet.unblock();
    if (breakpoints() != kept)
        emit breakpointsChanged(breakpoints());
    emit changed();
}

void MarkList::textChanged()
{
    if (replacing_)
        return;
    paused_.update();
    values_.update();
    if (breakpoints_.update()) {
        emit changed();
        emit breakpointsChanged(breakpoints());
    }
}

QList<TextMark> MarkList::all() const
{
    QList<TextMark> out = messageMarks();
    const QMap<int, QString>& lines = breakpoints_.lines();
    for (auto it = lines.begin(); it != lines.end(); ++it)
        out << breakpointOf(it.key(), it.value());
    if (executionLine() > 0)
        out << TextMark{.line = executionLine(), .kind = TextMark::Kind::Paused};
    const QMap<int, QString>& values = values_.lines();
    for (auto it = values.begin(); it != values.end(); ++it)
        out << TextMark{.line = it.key(), .kind = TextMark::Kind::Value, .text = it.value()};
    std::stable_sort(out.begin(), out.end(), [](const TextMark& a, const TextMark& b) { return a.line < b.line; });
    return out;
}
