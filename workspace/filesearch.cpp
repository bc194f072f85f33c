// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/filesearch.h"

#include "editor/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
bool asciiOnly(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}
}  // namespace

FileSearch::FileSearch(const FindInFilesQuery& query) : query_(query)
{
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    for (const QString& p : query_.fileNames.split(separators, Qt::SkipEmptyParts)) {
        names_.emplace_back(QRegularExpression::wildcardToRegularExpression(p));
    }
    asciiPattern_ = asciiOnly(query_.pattern);
    patternBytes_ = query_.matchCase ? query_.pattern.toLatin1() : query_.pattern.toLatin1().toLower();
}

FileSearchTotals FileSearch::run(const std::function<void(const FileMatch&)>& found,
                                 const std::atomic<bool>* cancelled)
{
    totals_ = {};
    found_ = &found;
    cancelled_ = cancelled;
    const QFileInfo root(query_.folder);
    if (!query_.pattern.isEmpty() && root.isDir())
        walk(root.absoluteFilePath());
    found_ = nullptr;
    cancelled_ = nullptr;
    return totals_;
}

bool FileSearch::nameMatches(const QString& name) const
{
    if (names_.empty())
        return true;
    for (const QRegularExpression& re : names_) {
        if (re.match(name).hasMatch())
            return true;
    }
    return false;
}

void FileSearch::walk(const QString& dir)
{
    const QFileInfoList entries = QDir(dir).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name | QDir::DirsLast);
    for (const QFileInfo& e : entries) {
        if (cancelled_ && cancelled_->load())
            return;
        if (e.isDir()) {
            if (!e.isSymLink())
                walk(e.absoluteFilePath());
        } else if (e.isFile() && nameMatches(e.fileName())) {
            searchFile(e.absoluteFilePath());
        }
    }
}

bool FileSearch::mayHold(const QByteArray& bytes) const
{
    // An ASCII text is the same bytes in UTF-8 and in Windows-1252, the
    // encodings of a file without a UTF-16 byte-order mark.
    if (!asciiPattern_)
        return true;
    if (query_.matchCase)
        return bytes.contains(patternBytes_);
    // Case folding takes two characters that are not ASCII to ASCII letters:
    // the Kelvin sign to 'k' and the long s to 's'.
    if ((patternBytes_.contains('k') && bytes.contains("\xE2\x84\xAA")) ||
        (patternBytes_.contains('s') && bytes.contains("\xC5\xBF")))
        return true;
    return std::search(bytes.begin(), bytes.end(), patternBytes_.begin(), patternBytes_.end(),
                       [](char a, char b) { return lowerAscii(a) == b; }) != bytes.end();
}

void FileSearch::searchFile(const QString& path)
{
    QFile f(path);
    if (f.size() > MaxSearchBytes || !f.open(QIODevice::ReadOnly))
        return;
    // No more than the file holds: a buffer for the largest file each time costs more than the search.
    const QByteArray bytes = f.read(std::min(f.size(), MaxSearchBytes) + 1);
    if (bytes.size() > MaxSearchBytes)
        return;
    // Most files do not hold the text: those are not decoded.
    const bool utf16 = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (!utf16 && isBinaryText(bytes))
        return;
    if (!utf16 && !mayHold(bytes)) {
        ++totals_.searched;
        return;
    }
    const DecodedText text = decodeText(bytes);
    if (text.obstacle == DecodedText::Obstacle::NulBytes)
        return;
    ++totals_.searched;
    const std::vector<FileMatch> found = matchesIn(text.text, path);
    if (found.empty())
        return;
    ++totals_.files;
    for (const FileMatch& m : found) {
        ++totals_.matches;
        (*found_)(m);
    }
}

std::vector<FileMatch> FileSearch::matchesIn(const QString& text, const QString& path) const
{
    std::vector<FileMatch> out;
    const Qt::CaseSensitivity cs = query_.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype start = 0;
    int line = 1;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QStringView l = QStringView(text).mid(start, end - start);
        const qsizetype at = query_.pattern.isEmpty() ? -1 : l.indexOf(query_.pattern, 0, cs);
        if (at >= 0)
            out.push_back(FileMatch{path, line, int(at), int(query_.pattern.size()), l.toString()});
        start = end + 1;
        ++line;
    }
    return out;
}

QString matchRowText(const FileMatch& m)
{
    QStringView text(m.text);
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.mid(1);
    return QStringLiteral("%1(%2): %3").arg(QDir::toNativeSeparators(m.path)).arg(m.line).arg(text);
}

QString searchSummaryText(const FileSearchTotals& t)
{
    return QStringLiteral("%1 %2 in %3 %4")
        .arg(t.matches)
        .arg(t.matches == 1 ? QStringLiteral("match") : QStringLiteral("matches"))
        .arg(t.files)
        .arg(t.files == 1 ? QStringLiteral("file") : QStringLiteral("files"));
}
