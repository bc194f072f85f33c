// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/inistore.h"

#include "platform/host.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString MruSection = QStringLiteral("MRU");

QByteArrayView content(const QByteArray& line)
{
    QByteArrayView v(line);
    if (v.endsWith('\n'))
        v.chop(1);
    if (v.endsWith('\r'))
        v.chop(1);
    return v;
}

QByteArrayView lineEnd(const QByteArray& line)
{
    return QByteArrayView(line).sliced(content(line).size());
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView v)
{
    while (!v.isEmpty() && isSpace(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isSpace(v.back()))
        v.chop(1);
    return v;
}

bool sameName(QByteArrayView raw, const QString& name)
{
    return QString::fromUtf8(trimmed(raw)).compare(name, Qt::CaseInsensitive) == 0;
}

// The section name of a header line "[name]", or nothing.
std::optional<QByteArrayView> sectionOf(const QByteArray& line)
{
    const QByteArrayView t = trimmed(content(line));
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return t.sliced(1, close - 1);
}

// Position of "=" in a key line, or -1 for comments, blank lines and others.
qsizetype equalsOf(const QByteArray& line)
{
    const QByteArrayView c = content(line);
    const QByteArrayView t = trimmed(c);
    if (t.isEmpty() || t.front() == ';' || t.front() == '#' || t.front() == '[')
        return -1;
    return c.indexOf('=');
}

bool isKeyLine(const QByteArray& line, const QString& key)
{
    const qsizetype eq = equalsOf(line);
    return eq > 0 && sameName(content(line).first(eq), key);
}

// Lines [begin, end) of the first section called `section`, begin being its
// header; begin == end == size when there is none.
std::pair<std::size_t, std::size_t> findSection(const std::vector<QByteArray>& lines, const QString& section)
{
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const auto s = sectionOf(lines[i]);
        if (s && sameName(*s, section))
            break;
    }
    if (i == lines.size())
        return {i, i};
    std::size_t end = i + 1;
    while (end < lines.size() && !sectionOf(lines[end]))
        ++end;
    return {i, end};
}

QByteArray newLineEnd(const std::vector<QByteArray>& lines)
{
    // Lines are split at LF only: a bare CR never serves as a line end.
    for (const QByteArray& l : lines) {
        if (l.endsWith("\r\n"))
            return QByteArrayLiteral("\r\n");
        if (l.endsWith('\n'))
            return QByteArrayLiteral("\n");
    }
    return QByteArrayLiteral("\r\n");
}

}  // namespace

IniStore::IniStore(QString path) : path_(std::move(path))
{
    readLines(path_, &lines_);
}

bool IniStore::readLines(const QString& path, Lines* lines)
{
    lines->clear();
    // A link that another user could redirect, or that leads to a file others
    // may change, is neither read nor written through.
    if (host::linkStanding(path) == host::LinkStanding::Refused)
        return false;
    // Only a regular file is read: a directory, FIFO or device of that name
    // counts as a file that cannot be read, so it never blocks the start and
    // is never written over.
    QFile f;
    switch (host::openRegular(path, f)) {
    case host::FileKind::Missing: return true;
    case host::FileKind::Regular: break;
    case host::FileKind::NotRegular:
    case host::FileKind::Unreadable: return false;
    }
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype nl = all.indexOf('\n', start);
        const qsizetype end = nl < 0 ? all.size() : nl + 1;
        lines->push_back(all.sliced(start, end - start));
        start = end;
    }
    return true;
}

std::optional<QString> IniStore::value(const QString& section, const QString& key) const
{
    const auto [begin, end] = findSection(lines_, section);
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (isKeyLine(lines_[i], key)) {
            const QByteArrayView c = content(lines_[i]);
            QByteArrayView v = trimmed(c.sliced(equalsOf(lines_[i]) + 1));
            // A value in a pair of quotes keeps its blanks; the quotes go.
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
                v = v.sliced(1, v.size() - 2);
            return QString::fromUtf8(v);
        }
    }
    return std::nullopt;
}

void IniStore::apply(Lines& lines, const Change& c)
{
    auto [begin, end] = findSection(lines, c.section);
    if (c.remove) {
        for (std::size_t i = end; i-- > begin + 1;) {
            if (i < lines.size() && isKeyLine(lines[i], c.key))
                lines.erase(lines.begin() + std::ptrdiff_t(i));
        }
        return;
    }
    const QByteArray value = c.value.toUtf8();
    // An existing key: only what follows "=" and its spaces changes.
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (isKeyLine(lines[i], c.key)) {
            const QByteArrayView cont = content(lines[i]);
            qsizetype v = equalsOf(lines[i]) + 1;
            while (v < cont.size() && isSpace(cont[v]))
                ++v;
            if (trimmed(cont.sliced(v)) == value)
                return;
            lines[i] = cont.first(v).toByteArray() + value + lineEnd(lines[i]).toByteArray();
            return;
        }
    }
    const QByteArray eol = newLineEnd(lines);
    const QByteArray keyLine = c.key.toUtf8() + '=' + value + eol;
    // A line is ended only by LF; one that ends in a bare CR gets the LF it
    // lacks, so that its text reads the same as before.
    auto terminate = [&](std::size_t i) {
        if (lines[i].endsWith('\r'))
            lines[i] += '\n';
        else if (!lines[i].endsWith('\n'))
            lines[i] += eol;
    };
    if (begin == lines.size()) {
        if (!lines.empty())
            terminate(lines.size() - 1);
        lines.push_back('[' + c.section.toUtf8() + ']' + eol);
        lines.push_back(keyLine);
        return;
    }
    // A new key goes after the section's last key (or right after its header).
    std::size_t at = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (equalsOf(lines[i]) > 0)
            at = i;
    }
    terminate(at);
    lines.insert(lines.begin() + std::ptrdiff_t(at + 1), keyLine);
}

bool IniStore::setValue(const QString& section, const QString& key, const QString& value)
{
    const QString k = key.trimmed();
    if (k.isEmpty() || k.contains('=') || k.startsWith('[') || k.startsWith(';') || k.startsWith('#') ||
        k.contains('\n') || k.contains('\r') || section.contains(']') || section.contains('\n') ||
        section.contains('\r'))
        return false;
    QString v = value;
    v.replace('\r', ' ').replace('\n', ' ');
    // Blanks at either end, or quotes around, would be lost on reading: such
    // a value is written in a pair of quotes, which reading takes off again
    // (as the Windows profile functions do).
    const auto blank = [](QChar c) { return c == ' ' || c == '\t'; };
    if (!v.isEmpty() &&
        (blank(v.front()) || blank(v.back()) || (v.size() >= 2 && v.front() == '"' && v.back() == '"')))
        v = '"' + v + '"';
    const Change c{false, section.trimmed(), k, v};
    apply(lines_, c);
    pending_.push_back(c);
    return true;
}

bool IniStore::remove(const QString& section, const QString& key)
{
    if (!value(section, key))
        return false;
    const Change c{true, section, key, {}};
    apply(lines_, c);
    pending_.push_back(c);
    return true;
}

bool IniStore::reload()
{
    if (!pending_.empty())
        return false;
    Lines fresh;
    if (!readLines(path_, &fresh))
        return false;
    lines_ = std::move(fresh);
    return true;
}

bool IniStore::flush()
{
    if (pending_.empty())
        return true;
    Lines onDisk;
    if (!readLines(path_, &onDisk))
        return false;  // never overwrite a file whose content we cannot see
    Lines updated = onDisk;
    for (const Change& c : pending_)
        apply(updated, c);
    if (updated == onDisk) {
        lines_ = std::move(updated);
        pending_.clear();
        return true;
    }
    QByteArray data;
    for (const QByteArray& l : updated)
        data += l;
    QSaveFile out(path_);
    // QSaveFile::commit() does not notice a failed flush of its buffer, so the
    // bytes are flushed and checked first.
    if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.flush() || !out.commit())
        return false;
    lines_ = std::move(updated);
    pending_.clear();
    return true;
}

// --- RecentFiles ---

namespace {

QString mruKey(int i)
{
    return QStringLiteral("MRU%1").arg(i);
}

}  // namespace

RecentFiles::RecentFiles(IniStore& store, int capacity)
    : store_(store), capacity_(std::clamp(capacity, 1, MaxCapacity))
{
    store_.setValue(MruSection, QStringLiteral("Count"), QString::number(capacity_));
    store_.flush();
}

QStringList RecentFiles::entries() const
{
    QStringList list;
    for (int i = 0; i < capacity_; ++i) {
        const auto v = store_.value(MruSection, mruKey(i));
        if (!v || v->isEmpty() || *v == QLatin1String("Default"))
            continue;
        const QString name = nativename::fromText(*v);
        if (!list.contains(name))
            list << name;
    }
    return list;
}

void RecentFiles::store(const QStringList& list, bool flushNow)
{
    for (int i = 0; i < list.size(); ++i)
        store_.setValue(MruSection, mruKey(i), nativename::toText(list[i]));
    for (int i = int(list.size()); i < MaxCapacity; ++i)
        store_.remove(MruSection, mruKey(i));
    if (flushNow)
        store_.flush();
}

void RecentFiles::add(const QString& path, bool flushNow)
{
    if (path.isEmpty() || path.contains('\n') || path.contains('\r'))
        return;
    const QString full = nativepath::absolute(path);
    store_.reload();
    QStringList list = entries();
    list.removeAll(full);
    list.prepend(full);
    while (list.size() > capacity_)
        list.removeLast();
    store(list, flushNow);
}

void RecentFiles::remove(const QString& path)
{
    const QString full = nativepath::absolute(path);
    store_.reload();
    QStringList list = entries();
    if (list.removeAll(full) > 0 || list.removeAll(path) > 0)
        store(list);
}

QString mruCaption(int index, const QString& path, int maxLength)
{
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > maxLength) {
        const QChar sep = QDir::separator();
        const qsizetype cut = shown.lastIndexOf(sep);
        const QString name = cut < 0 ? shown : shown.mid(cut);  // with its separator
        const qsizetype room = maxLength - 3 - name.size();
        if (room > 0)
            shown = shown.left(room) + QStringLiteral("...") + name;
        else
            shown = QStringLiteral("...") + shown.right(std::max(1, maxLength - 3));
    }
    shown.replace('&', QStringLiteral("&&"));
    const QString number = QString::number(index + 1);
    // The last digit is the mnemonic: "&1" ... "&9", "1&0".
    return number.left(number.size() - 1) + '&' + number.right(1) + ' ' + shown;
}
