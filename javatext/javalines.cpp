// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javalines.h"

#include <algorithm>
#include <map>

namespace javalines {

namespace {

bool isBracket(QChar c)
{
    switch (c.unicode()) {
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}': return true;
    default: return false;
    }
}

bool isOpening(QChar c)
{
    return c == u'(' || c == u'[' || c == u'{';
}

QChar partner(QChar c)
{
    switch (c.unicode()) {
    case '(': return u')';
    case ')': return u'(';
    case '[': return u']';
    case ']': return u'[';
    case '{': return u'}';
    case '}': return u'{';
    default: return QChar();
    }
}

// Walks one line, calling code(i) for every character that is code. Returns
// the state at the end of the line.
template <typename F>
LineState walk(QStringView s, LineState st, F&& code)
{
    return javalex::forEachCode(s, st, [&](qsizetype start, qsizetype end) {
        for (qsizetype i = start; i < end; ++i)
            code(i);
    });
}

bool blank(QChar c)
{
    return c == u' ' || c == u'\t';
}

int unitWidth(QStringView unit)
{
    return unit == u"\t" ? 4 : int(std::max<qsizetype>(1, unit.size()));
}

}  // namespace

LineState codeBrackets(QStringView line, LineState in, QList<int>* brackets)
{
    return walk(line, in, [&](qsizetype i) {
        if (isBracket(line[i]))
            brackets->append(int(i));
    });
}

int codeEnd(QStringView line, LineState in)
{
    int end = 0;
    walk(line, in, [&](qsizetype i) {
        if (!line[i].isSpace())
            end = int(i) + 1;
    });
    return end;
}

TextLines::TextLines(QStringView text)
{
    for (QStringView l : text.split(u'\n'))
        lines_.append(l.toString());
    LineState st = LineState::Normal;
    QList<int> ignored;
    for (const QString& l : lines_) {
        states_.append(st);
        ignored.clear();
        st = codeBrackets(l, st, &ignored);
    }
}

std::optional<LinePos> matchingBracket(const LineSource& text, LinePos at, int maxLines)
{
    if (at.line < 0 || at.line >= text.lineCount())
        return std::nullopt;
    const QString first = text.line(at.line);
    if (at.column < 0 || at.column >= first.size() || !isBracket(first[at.column]))
        return std::nullopt;
    QList<int> brackets;
    LineState st = codeBrackets(first, text.stateAt(at.line), &brackets);
    const qsizetype self = brackets.indexOf(at.column);
    if (self < 0)
        return std::nullopt;  // in a literal or a comment
    const QChar c = first[at.column];
    const QChar other = partner(c);
    int depth = 0;
    auto visit = [&](const QString& l, int index) {
        const QChar b = l[index];
        if (b == c)
            ++depth;
        else if (b == other)
            --depth;
        return depth == 0;
    };
    if (isOpening(c)) {
        for (qsizetype k = self; k < brackets.size(); ++k) {
            if (visit(first, brackets[k]))
                return LinePos{at.line, brackets[k]};
        }
        const int last = std::min(text.lineCount() - 1, at.line + maxLines);
        for (int n = at.line + 1; n <= last; ++n) {
            const QString l = text.line(n);
            brackets.clear();
            st = codeBrackets(l, st, &brackets);
            for (int b : brackets) {
                if (visit(l, b))
                    return LinePos{n, b};
            }
        }
        return std::nullopt;
    }
    for (qsizetype k = self; k >= 0; --k) {
        if (visit(first, brackets[k]))
            return LinePos{at.line, brackets[k]};
    }
    const int last = std::max(0, at.line - maxLines);
    for (int n = at.line - 1; n >= last; --n) {
        const QString l = text.line(n);
        brackets.clear();
        codeBrackets(l, text.stateAt(n), &brackets);
        for (qsizetype k = brackets.size() - 1; k >= 0; --k) {
            if (visit(l, brackets[k]))
                return LinePos{n, brackets[k]};
        }
    }
    return std::nullopt;
}

int matchingBracket(QStringView text, int position)
{
    if (position < 0 || position >= text.size())
        return -1;
    const TextLines lines(text);
    // The line and column of the position, and the line starts.
    QList<int> starts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            starts.append(int(i) + 1);
    }
    const int line = int(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin()) - 1;
    const std::optional<LinePos> m = matchingBracket(lines, LinePos{line, position - starts[line]});
    return m ? starts[m->line] + m->column : -1;
}

QStringView leadingBlanks(QStringView line)
{
    qsizetype n = 0;
    while (n < line.size() && blank(line[n]))
        ++n;
    return line.first(n);
}

QString indentUnit(const QStringList& lines)
{
    int tabLines = 0, spaceLines = 0;
    std::map<int, int> steps;  // indentation step in spaces -> how often
    int previous = -1;         // indentation of the last code line (spaces), -1 for none
    LineState st = LineState::Normal;
    for (const QString& l : lines) {
        const LineState in = st;
        st = javalex::scanLine(l, st);
        const QStringView lead = leadingBlanks(l);
        if (lead.size() == l.size() || in != LineState::Normal)
            continue;  // blank lines and the inside of comments and text blocks tell nothing
        if (lead.startsWith(u'\t')) {
            ++tabLines;
            previous = -1;
            continue;
        }
        const int spaces = lead.contains(u'\t') ? -1 : int(lead.size());
        if (spaces > 0)
            ++spaceLines;
        if (spaces >= 0 && previous >= 0 && spaces > previous)
            ++steps[spaces - previous];
        previous = spaces;
    }
    if (tabLines > spaceLines)
        return QStringLiteral("\t");
    int best = 0, bestCount = 0;
    for (const auto& [step, count] : steps) {
        if (step >= 2 && step <= 8 && count > bestCount) {
            best = step;
            bestCount = count;
        }
    }
    return QString(best ? best : 4, u' ');
}

QString newLineIndent(QStringView before, QStringView unit, LineState in, QStringView opener)
{
    const bool closesBlock = in == LineState::TextBlock && javalex::scanLine(before, in) != LineState::TextBlock;
    QString indent = leadingBlanks(closesBlock ? opener : before).toString();
    const int end = codeEnd(before, in);
    if (end > 0 && before[end - 1] == u'{')
        indent += unit;
    return indent;
}

int closeBraceUnindent(QStringView before, QStringView unit)
{
    if (before.isEmpty() || leadingBlanks(before).size() != before.size())
        return 0;
    if (before.endsWith(unit))
        return int(unit.size());
    if (before.endsWith(u'\t'))
        return 1;
    int n = 0;
    while (n < unitWidth(unit) && n < before.size() && before[before.size() - 1 - n] == u' ')
        ++n;
    return n;
}

int unindentCount(QStringView line, QStringView unit)
{
    if (!unit.isEmpty() && line.startsWith(unit))
        return int(unit.size());
    if (line.startsWith(u'\t'))
        return 1;
    int n = 0;
    while (n < unitWidth(unit) && n < line.size() && line[n] == u' ')
        ++n;
    return n;
}

QStringList indentLines(const QStringList& lines, QStringView unit)
{
    QStringList out;
    for (const QString& l : lines)
        out.append(l.isEmpty() ? l : unit.toString() + l);
    return out;
}

QStringList unindentLines(const QStringList& lines, QStringView unit)
{
    QStringList out;
    for (const QString& l : lines)
        out.append(l.mid(unindentCount(l, unit)));
    return out;
}

QStringList toggleLineComments(const QStringList& lines)
{
    auto blankLine = [](const QString& l) { return leadingBlanks(l).size() == l.size(); };
    bool allCommented = true;
    qsizetype column = -1;
    for (const QString& l : lines) {
        if (blankLine(l))
            continue;
        const qsizetype n = leadingBlanks(l).size();
        column = column < 0 ? n : std::min(column, n);
        allCommented = allCommented && QStringView(l).mid(n).startsWith(u"//");
    }
    QStringList out;
    for (const QString& l : lines) {
        if (column < 0 || blankLine(l)) {
            out.append(l);
        } else if (allCommented) {
            const qsizetype n = leadingBlanks(l).size();
            const qsizetype taken = l.size() > n + 2 && l[n + 2] == u' ' ? 3 : 2;
            out.append(l.left(n) + l.mid(n + taken));
        } else {
            out.append(l.left(column) + QStringLiteral("// ") + l.mid(column));
        }
    }
    return out;
}

}  // namespace javalines
