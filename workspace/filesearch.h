// SPDX-License-Identifier: GPL-3.0-or-later
// The search of Find in Files, without a window: walks a folder and its
// subfolders for the files whose names match, and finds the lines of each that
// hold the text. Folders are listed in name order, the files of a folder before
// its subfolders. Links to folders are not followed (links to files are);
// files that cannot be read, that hold more than MaxSearchBytes, and binary
// files (a NUL character, editor/textfile.h) are left out. A file's lines are
// those the editor shows for it: decoded and split as it decodes them.
#pragma once
#include "platform/dialogs.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

// One line that holds the text.
struct FileMatch {
    QString path;    // absolute, with '/' separators
    int line = 0;    // from 1
    int column = 0;  // of the first match in the line, from 0
    int length = 0;  // of the match
    QString text;    // the whole line
};

// What a search found.
struct FileSearchTotals {
    int matches = 0;   // matching lines
    int files = 0;     // files with at least one
    int searched = 0;  // files read
};

// Files larger than this are not searched (the editor does not open them either).
inline constexpr qint64 MaxSearchBytes = qint64(16) * 1024 * 1024;

class FileSearch {
public:
    explicit FileSearch(const FindInFilesQuery& query);

    // Walks the query's folder, giving every matching line to `found` as it is
    // found, in order. Stops early when `cancelled` (when given) becomes true.
    FileSearchTotals run(const std::function<void(const FileMatch&)>& found,
                         const std::atomic<bool>* cancelled = nullptr);

    // True when a file name matches one of the query's name patterns (every
    // name when it has none).
    bool nameMatches(const QString& name) const;
    // The matching lines of one text ('\n' between lines), `path` put into each.
    std::vector<FileMatch> matchesIn(const QString& text, const QString& path) const;

private:
    void walk(const QString& dir);
    void searchFile(const QString& path);
    // False when the bytes of a file (not UTF-16) cannot hold the text.
    bool mayHold(const QByteArray& bytes) const;

    FindInFilesQuery query_;
    bool asciiPattern_ = false;
    QByteArray patternBytes_;  // an ASCII text, lower case unless the case must match
    std::vector<QRegularExpression> names_;
    const std::function<void(const FileMatch&)>* found_ = nullptr;
    const std::atomic<bool>* cancelled_ = nullptr;
    FileSearchTotals totals_;
};

// The row of a match in the results: "path(line): text", the path in the
// host's form and the line without its leading blanks.
QString matchRowText(const FileMatch& m);
// The last row: "3 matches in 2 files" ("1 match in 1 file").
QString searchSummaryText(const FileSearchTotals& t);
