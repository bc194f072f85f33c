// SPDX-License-Identifier: GPL-3.0-or-later
// The "Brewpad.ini" store and the recent-file list kept in it.
//
// IniStore reads and writes `key=value` lines in `[section]`s of an INI file
// and keeps every other byte of the file as it is: comments, blank lines, other
// sections and keys, the spelling and spacing of the lines it changes (only the
// value after "=" is replaced), and the file's line ends (CR LF or LF). New
// lines take the line end of the file's first line; a new file is written with
// CR LF, the format of the Windows original. Section and key names compare
// without regard to case; where a name appears twice, the first one counts.
// Values are UTF-8. A value with blanks at either end (a file named
// "Foo.java ") is written in a pair of quotes, which reading takes off, so
// that it reads back as it was; the Windows profile functions do the same.
//
// Changes are kept until flush(), which reads the file again, applies them to
// what is on disk now (so that an edit made meanwhile by another program
// survives) and replaces the file atomically. Nothing is written when the
// changes leave the file as it is. A file that exists but cannot be read is
// never overwritten; only a regular file (or a link to one) is read, so a
// directory, FIFO or device of that name is such a file and never blocks. A
// symbolic link counts only when host::linkStanding trusts it (the links and
// the file they lead to the user's own, that file not writable by group or
// others); any other link is such a file too: not read, never written through.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class IniStore {
public:
    explicit IniStore(QString path);

    const QString& path() const { return path_; }

    std::optional<QString> value(const QString& section, const QString& key) const;
    // False when the key cannot be stored (empty, or holding "=", "[" at its
    // start, or a line end); line ends in the value become spaces.
    bool setValue(const QString& section, const QString& key, const QString& value);
    // True when the key was there; every line of the key in the section goes.
    bool remove(const QString& section, const QString& key);

    // Writes the pending changes. False when they could not be written (for
    // example a read-only folder); they stay pending then.
    bool flush();
    bool hasPendingChanges() const { return !pending_.empty(); }
    // Reads the file again; does nothing (false) while changes are pending.
    bool reload();

private:
    struct Change {
        bool remove;
        QString section, key, value;
    };
    using Lines = std::vector<QByteArray>;  // each with its own line end, if any

    static bool readLines(const QString& path, Lines* lines);
    static void apply(Lines& lines, const Change& c);

    QString path_;
    Lines lines_;
    std::vector<Change> pending_;
};

// The recent-file list in section "MRU": keys "MRU0" (most recent) to
// "MRU<capacity-1>"; a missing, empty or "Default" value is no entry. A name
// whose bytes are not UTF-8 is written as nativename::toText gives it (a file
// URL, "file:///home/ann/caf%E9.java"), so that its bytes come back; every
// other name as it is.
class RecentFiles {
public:
    static constexpr int MaxCapacity = 10;

    // Writes "Count" (the capacity, at most 10) to section "MRU" and flushes; a
    // failed write is ignored.
    explicit RecentFiles(IniStore& store, int capacity = 8);

    int capacity() const { return capacity_; }
    // Most recent first, without duplicates, at most capacity().
    QStringList entries() const;
    // Puts the file (made absolute) at the front; an existing entry moves there.
    // Written at once, or with the store's next flush when `flushNow` is false.
    void add(const QString& path, bool flushNow = true);
    void remove(const QString& path);

private:
    void store(const QStringList& list, bool flushNow = true);

    IniStore& store_;
    int capacity_;
};

// Caption of the recent-file menu item at `index` (0 is the most recent):
// "&1 /home/ann/src/Hello.java". A path longer than maxLength characters is
// shortened in the middle, keeping its start and the file name:
// "&2 /home/ann/.../Hello.java". "&" in the path is doubled.
QString mruCaption(int index, const QString& path, int maxLength = 60);
