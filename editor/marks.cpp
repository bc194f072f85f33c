// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/marks.h"

#include "javatext/javaidentifiers.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

QColor markColour(MessageMark::Severity severity)
{
    return severity == MessageMark::Severity::Error ? QColor(0xd0, 0x20, 0x20) : QColor(0xe0, 0x8a, 0x00);
}

void MessageMarks::set(const QList<MessageMark>& marks)
{
    marks_.clear();
    marks_.reserve(std::size_t(marks.size()));
    const int lines = doc_->blockCount();
    for (MessageMark m : marks) {
        m.line = std::clamp(m.line, 1, lines);
        const QTextBlock b = doc_->findBlockByNumber(m.line - 1);
        QTextCursor at(doc_);
        if (m.column > 0) {
            m.column = std::min(m.column, b.length());  // the line end at most
            at.setPosition(b.position() + m.column - 1);
        } else {
            at.setPosition(b.position());
        }
        marks_.push_back(Mark{m, at});
    }
    std::stable_sort(marks_.begin(), marks_.end(),
                     [](const Mark& a, const Mark& b) { return a.at.position() < b.at.position(); });
}

bool MessageMarks::clear()
{
    if (marks_.empty())
        return false;
    marks_.clear();
    return true;
}

QList<MessageMark> MessageMarks::list() const
{
    QList<MessageMark> out;
    for (const Mark& m : marks_) {
        MessageMark now = m.message;
        now.line = m.at.blockNumber() + 1;
        if (now.column > 0)
            now.column = m.at.positionInBlock() + 1;
        out << now;
    }
    return out;
}

std::pair<std::size_t, std::size_t> MessageMarks::between(int from, int to) const
{
    const auto begin = std::partition_point(marks_.begin(), marks_.end(),
                                            [from](const Mark& m) { return m.at.position() < from; });
    const auto end = std::partition_point(begin, marks_.end(), [to](const Mark& m) { return m.at.position() < to; });
    return {std::size_t(begin - marks_.begin()), std::size_t(end - marks_.begin())};
}

std::pair<int, int> MessageMarks::underline(const QTextCursor& at, int column) const
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

QStringList MessageMarks::textsOnLine(int line) const
{
    QStringList out;
    const QTextBlock b = doc_->findBlockByNumber(line - 1);
    if (!b.isValid())
        return out;
    const auto [from, to] = between(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k)
        out << marks_[k].message.text;
    return out;
}

QStringList MessageMarks::textsAt(int position) const
{
    QStringList out;
    const QTextBlock b = doc_->findBlock(position);
    const auto [from, to] = between(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k) {
        const Mark& m = marks_[k];
        if (m.message.column <= 0)
            continue;
        const auto [start, end] = underline(m.at, m.message.column);
        if (position >= start && position < end)
            out << m.message.text;
    }
    return out;
}

QString MessageMarks::description() const
{
    int errors = 0, warnings = 0;
    for (const Mark& m : marks_)
        (m.message.severity == MessageMark::Severity::Error ? errors : warnings)++;
    if (errors == 0 && warnings == 0)
        return QStringLiteral("No messages");
    return QStringLiteral("%1 error(s), %2 warning(s) marked").arg(errors).arg(warnings);
}

std::map<int, MessageMarks::LineMark> MessageMarks::lineMarks(const QTextBlock& first, const QTextBlock& last) const
{
    std::map<int, LineMark> out;
    const auto [from, to] = between(first.position(), last.position() + last.length());
    for (std::size_t k = from; k < to; ++k) {
        const Mark& m = marks_[k];
        LineMark& lm = out[m.at.blockNumber()];
        lm.error = lm.error || m.message.severity == MessageMark::Severity::Error;
        lm.light = lm.light && m.message.light;
    }
    return out;
}

QList<QTextEdit::ExtraSelection> MessageMarks::underlines(const QTextBlock& first, const QTextBlock& last) const
{
    QList<QTextEdit::ExtraSelection> out;
    const auto [from, to] = between(first.position(), last.position() + last.length());
    for (std::size_t k = from; k < to; ++k) {
        const Mark& m = marks_[k];
        const auto [start, end] = underline(m.at, m.message.column);
        if (start == end)
            continue;
        QTextEdit::ExtraSelection s;
        s.cursor = QTextCursor(doc_);
        s.cursor.setPosition(start);
        s.cursor.setPosition(end, QTextCursor::KeepAnchor);
        s.format.setUnderlineStyle(m.message.light ? QTextCharFormat::DotLine : QTextCharFormat::WaveUnderline);
        s.format.setUnderlineColor(markColour(m.message.severity));
        out << s;
    }
    return out;
}
