// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/messages.h"

#include "javatext/javaidentifiers.h"
#include "toolchain/messages/messagewindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace {

// The line without a trailing line end.
QStringView chomp(QStringView line)
{
    while (!line.isEmpty() && (line.back() == u'\n' || line.back() == u'\r'))
        line.chop(1);
    return line;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A candidate location: the path ends before `colon`, the line number lies
// between `colon` and `end` (the second colon).
struct Candidate {
    qsizetype colon;
    qsizetype end;
};

// After "PATH:LINE:" javac writes " kind:" (error:, warning:, or a translated
// word): a blank, then a word without blanks that ends in a colon.
bool followedByKind(QStringView line, qsizetype end)
{
    qsizetype i = end + 1;
    if (i >= line.size() || line[i] != u' ')
        return false;
    ++i;
    const qsizetype start = i;
    while (i < line.size() && !line[i].isSpace() && line[i] != u':')
        ++i;
    return i > start && i < line.size() && line[i] == u':';
}

int addCapped(int a, qint64 b)
{
    const qint64 sum = qint64(a) + b;
    if (sum > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (sum < 0)
        return 0;
    return int(sum);
}

// "N error", "N errors", "N warning", "N warnings"; returns the count and
// whether it counts errors (true) or warnings (false).
bool parseCountLine(QStringView line, qint64& count, bool& errors)
{
    qsizetype i = 0;
    while (i < line.size() && isAsciiDigit(line[i]))
        ++i;
    if (i == 0 || i > 9 || i >= line.size() || line[i] != u' ')
        return false;
    const QStringView word = line.mid(i + 1);
    if (word == u"error" || word == u"errors")
        errors = true;
    else if (word == u"warning" || word == u"warnings")
        errors = false;
    else
        return false;
    count = line.left(i).toLongLong();
    return true;
}

// "only showing the first N errors, of M total; use -Xmaxerrs ..." (or warnings):
// the number of messages javac left out, M - N.
bool parseTruncationLine(QStringView line, qint64& omitted, bool& errors)
{
    static const QString lead = QStringLiteral("only showing the first ");
    if (!line.startsWith(lead))
        return false;
    qsizetype i = lead.size();
    const qsizetype firstStart = i;
    while (i < line.size() && isAsciiDigit(line[i]))
        ++i;
    if (i == firstStart || i - firstStart > 9)
        return false;
    const qint64 shown = line.mid(firstStart, i - firstStart).toLongLong();
    QStringView rest = line.mid(i);
    if (rest.startsWith(u" errors, of "))
        errors = true, rest = rest.mid(12);
    else if (rest.startsWith(u" warnings, of "))
        errors = false, rest = rest.mid(14);
    else
        return false;
    qsizetype j = 0;
    while (j < rest.size() && isAsciiDigit(rest[j]))
        ++j;
    if (j == 0 || j > 9 || !rest.mid(j).startsWith(u" total"))
        return false;
    const qint64 total = rest.left(j).toLongLong();
    omitted = total > shown ? total - shown : 0;
    return true;
}

QString countText(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Where a message line's location lies: the path ends at `colon`, the line
// number runs to `end`; `javac` tells whether " KIND:" follows.
struct LocatedLine {
    Candidate at;
    bool javac = false;
    int number = 0;
};

std::optional<LocatedLine> locateMessageLine(QStringView line)
{
    // Continuation lines, the echoed source line and the caret line are indented.
    if (line.isEmpty() || line[0].isSpace())
        return std::nullopt;

    std::optional<Candidate> javacForm;
    std::optional<Candidate> longest;
    for (qsizetype colon = line.indexOf(u':', 1); colon >= 0; colon = line.indexOf(u':', colon + 1)) {
        qsizetype end = colon + 1;
        while (end < line.size() && isAsciiDigit(line[end]))
            ++end;
        if (end == colon + 1 || end >= line.size() || line[end] != u':')
            continue;
        const Candidate c{colon, end};
        if (!javacForm && followedByKind(line, end))
            javacForm = c;
        longest = c;
    }
    const std::optional<Candidate> chosen = javacForm ? javacForm : longest;
    if (!chosen)
        return std::nullopt;

    bool ok = false;
    const int number = line.mid(chosen->colon + 1, chosen->end - chosen->colon - 1).toInt(&ok);
    if (!ok || number < 1)
        return std::nullopt;
    return LocatedLine{*chosen, bool(javacForm), number};
}

// A caret line: blanks, then "^" and nothing after it but blanks. The column
// is the 1-based place of the "^".
int caretColumn(QStringView line)
{
    const qsizetype caret = line.indexOf(u'^');
    if (caret < 0)
        return 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (i != caret && !line[i].isSpace())
            return 0;
    }
    return int(caret) + 1;
}

}  // namespace

std::optional<MessageLocation> parseMessageLine(const QString& text)
{
    const QStringView line = chomp(text);
    const std::optional<LocatedLine> at = locateMessageLine(line);
    if (!at)
        return std::nullopt;
    return MessageLocation{line.left(at->at.colon).toString(), at->number};
}

namespace {

// The severity named by " KIND: " at the start of `rest`, which is left
// holding the text after it.
MessageSeverity takeKind(QStringView& rest)
{
    const qsizetype colon = rest.indexOf(u':');
    const QStringView kind = rest.left(colon);
    rest = rest.mid(colon + 1).trimmed();
    if (kind == u"warning")
        return MessageSeverity::Warning;
    if (kind == u"note")
        return MessageSeverity::Note;
    return MessageSeverity::Error;
}

// Where the lines of the message starting at `first` end, and its caret line.
struct MessageExtent {
    int end;         // the first line after the message
    int caret = -1;  // the caret line, -1 when none
    int column = 0;  // of the caret
};

// The message's own lines: indented lines (or empty ones) up to the next line
// that stands at the left margin, except for an echoed source line that does,
// which the caret line follows.
MessageExtent messageExtent(const QStringList& lines, int first)
{
    const int n = int(lines.size());
    MessageExtent x{first + 1};
    while (x.end < n) {
        const QStringView l = chomp(lines[x.end]);
        if (x.caret < 0) {
            if (const int column = caretColumn(l)) {
                x.caret = x.end;
                x.column = column;
                ++x.end;
                continue;
            }
        }
        if (!l.isEmpty() && !l[0].isSpace()) {
            const bool echoed = x.caret < 0 && x.end + 1 < n && caretColumn(chomp(lines[x.end + 1])) > 0;
            if (!echoed)
                break;
        }
        ++x.end;
    }
    return x;
}

// Lines [from, to) without their indentation, joined by '\n', trimmed.
QString joinedLines(const QStringList& lines, int from, int to, QStringList joined = {})
{
    for (int k = from; k < to; ++k)
        joined << chomp(lines[k]).trimmed().toString();
    return joined.join(QLatin1Char('\n')).trimmed();
}

}  // namespace

std::vector<CompilerMessage> parseCompilerMessages(const QStringList& lines)
{
    std::vector<CompilerMessage> out;
    const int n = int(lines.size());
    int i = 0;
    while (i < n) {
        const QStringView first = chomp(lines[i]);
        const std::optional<LocatedLine> at = locateMessageLine(first);
        if (!at) {
            ++i;
            continue;
        }
        CompilerMessage m;
        m.path = first.left(at->at.colon).toString();
        m.line = at->number;
        m.row = i;
        QStringView rest = first.mid(at->at.end + 1).trimmed();
        if (at->javac)
            m.severity = takeKind(rest);
        const MessageExtent x = messageExtent(lines, i);
        m.column = x.column;
        // Before the echoed source (the line above the caret) the text goes on;
        // without a caret line every following line belongs to the text.
        const int textEnd = x.caret >= 0 ? x.caret - 1 : x.end;
        m.text = joinedLines(lines, i + 1, textEnd, {rest.toString()});
        if (x.caret >= 0)
            m.details = joinedLines(lines, x.caret + 1, x.end);
        out.push_back(std::move(m));
        i = x.end;
    }
    return out;
}

std::vector<CompilerMessage> readCompilerMessages(const QString& captureFile, const QString& compilerDirectory)
{
    const CaptureLines capture = readCaptureLines(captureFile);
    std::vector<CompilerMessage> messages = parseCompilerMessages(capture.lines());
    for (CompilerMessage& m : messages)
        m.path = resolveMessagePath(m.path, compilerDirectory);
    return messages;
}

TextSpan wordAtColumn(QStringView lineText, int column)
{
    const int size = int(lineText.size());
    const int at = std::clamp(column - 1, 0, size);
    if (column < 1 || at >= size || lineText[at].isSpace())
        return TextSpan{at, at};
    if (!javatext::isIdentifierPart(lineText[at]))
        return TextSpan{at, at + 1};
    return TextSpan{int(javatext::identifierStart(lineText, at)), int(javatext::identifierEnd(lineText, at))};
}

MessageSummary summarizeMessages(const QStringList& lines)
{
    MessageSummary summary;
    for (const QString& text : lines) {
        const QStringView line = chomp(text);
        // Summary lines start with a digit or with "only"; skip everything else fast.
        if (line.isEmpty() || !(isAsciiDigit(line[0]) || line[0] == u'o'))
            continue;
        qint64 n = 0;
        bool errors = false;
        if (parseCountLine(line, n, errors) || parseTruncationLine(line, n, errors)) {
            int& target = errors ? summary.errors : summary.warnings;
            target = addCapped(target, n);
        }
    }
    return summary;
}

QString summaryText(const MessageSummary& summary)
{
    if (summary.errors == 0 && summary.warnings == 0)
        return QStringLiteral("Compiler messages: no errors or warnings counted");
    return QStringLiteral("Compiler messages: %1, %2")
        .arg(countText(summary.errors, "error", "errors"), countText(summary.warnings, "warning", "warnings"));
}

MessageSummary summarizeCaptureFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return MessageSummary{};
    constexpr qint64 tail = 64 * 1024;
    if (f.size() > tail)
        f.seek(f.size() - tail);
    QStringList lines = QString::fromUtf8(f.read(tail)).split(QLatin1Char('\n'));
    if (lines.size() > 20)
        lines = lines.mid(lines.size() - 20);
    return summarizeMessages(lines);
}

QString resolveMessagePath(const QString& path, const QString& compilerDirectory)
{
    if (QFileInfo(path).isAbsolute() || compilerDirectory.isEmpty())
        return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return QDir::cleanPath(QDir(compilerDirectory).absoluteFilePath(path));
}
