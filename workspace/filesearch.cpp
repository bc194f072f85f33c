// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/filesearch.h"

#include "editor/textfile.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"

#include <QDir>

#include <algorithm>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool asciiOnly(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// An entry of a folder, by its name's bytes (Qt's listing loses those that are not UTF-8).
struct Entry {
    QString name;
    bool dir = false;   // a folder, not a link to one
    bool file = false;  // a regular file, or a link to one
};

// The entries of `dir`: its files in name order, then its folders in name order.
std::vector<Entry> entriesOf(const QString& dir)
{
    std::vector<Entry> out;
    const QByteArray native = nativename::encode(dir);
    DIR* d = ::opendir(native.constData());
    if (!d)
        return out;
    while (const dirent* de = ::readdir(d)) {
        const QByteArrayView n(de->d_name);
        if (n == "." || n == "..")
            continue;
        Entry e{nativename::decode(n)};
        const QByteArray full = native + '/' + n.toByteArray();
        struct stat st {};
        if (::lstat(full.constData(), &st) == 0 && S_ISDIR(st.st_mode))
            e.dir = true;
        else if (::stat(full.constData(), &st) == 0 && S_ISREG(st.st_mode))
            e.file = true;
        out.push_back(std::move(e));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(),
              [](const Entry& a, const Entry& b) { return a.dir != b.dir ? b.dir : a.name < b.name; });
    return out;
}

// At most `limit` bytes of a file, opened by its name's bytes; false when it cannot be read.
bool readUpTo(const QString& path, qint64 limit, QByteArray* bytes)
{
    const int fd = ::open(nativename::encode(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes->clear();
    char buf[65536];
    ssize_t n = 0;
    while (bytes->size() < limit && (n = ::read(fd, buf, sizeof buf)) > 0)
        bytes->append(buf, std::min<qint64>(n, limit - bytes->size()));
    ::close(fd);
    return n >= 0;
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
    if (!query_.pattern.isEmpty() && nativepath::info(query_.folder).isDir)
        walk(nativepath::absolute(query_.folder));
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
    const QString prefix = dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
    for (const Entry& e : entriesOf(dir)) {
        if (cancelled_ && cancelled_->load())
            return;
        if (e.dir)
            walk(prefix + e.name);                                  // links to folders are not followed
        else if (e.file && nameMatches(nativename::shown(e.name)))  // a pattern cannot match lone surrogates
            searchFile(prefix + e.name);
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
    const nativepath::Info info = nativepath::info(path);
    QByteArray bytes;
    // No more than the file holds: a buffer for the largest file each time costs more than the search.
    if (info.size > MaxSearchBytes || !readUpTo(path, std::min(info.size, MaxSearchBytes) + 1, &bytes) ||
        bytes.size() > MaxSearchBytes)
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
    return QStringLiteral("%1(%2): %3")
        .arg(nativename::shown(QDir::toNativeSeparators(m.path)))
        .arg(m.line)
        .arg(text);
}

QString searchSummaryText(const FileSearchTotals& t)
{
    return QStringLiteral("%1 %2 in %3 %4")
        .arg(t.matches)
        .arg(t.matches == 1 ? QStringLiteral("match") : QStringLiteral("matches"))
        .arg(t.files)
        .arg(t.files == 1 ? QStringLiteral("file") : QStringLiteral("files"));
}
