// SPDX-License-Identifier: GPL-3.0-or-later
// One walk of the tool search over one directory tree (toolsfind::DoADir):
// the matching files of a directory in listing order, each offered to the
// user with "Needed File found :%s : Keep it ?", then its subdirectories depth
// first. The walk stays on the root's file system, never follows a link below
// the root, never enters a directory twice on one path, and never enters
// "WINDOWS", "Program Files" or "WINNT". The path is kept as bytes; only hits
// and progress reports become QStrings.
#pragma once
#include "config/search.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

struct dirent;

class TreeWalk {
public:
    // Looks for files matching `pattern` (FnMatch) of the kind `wanted`; adds
    // one to `dirsSearched` for every directory searched and reports it to
    // `progress` (when set) at most every 100 ms.
    TreeWalk(const QByteArray& pattern, toolsfind::Wanted wanted, long& dirsSearched,
             const toolsfind::Progress& progress);

    // Walks the tree at `root`; returns the path the user accepted, or an empty string.
    QString run(const QString& root);

private:
    bool directory(bool root);
    bool wantedFile(int dirfd, const char* name, unsigned char type) const;
    void tick();
    bool offer(const char* name);

    QByteArray pattern_;
    toolsfind::Wanted wanted_;
    long& dirsSearched_;
    const toolsfind::Progress& progress_;
    std::string path_;  // the directory being searched, with a trailing separator
    dev_t dev_ = 0;
    std::vector<std::pair<dev_t, ino_t>> ancestors_;
    QElapsedTimer timer_;
    qint64 lastReport_ = -1;
    QString found_;
};

// The wildcard match of toolsfind::FnMatch; `foldCase` compares ASCII letters
// without regard to case. 1 for a match, 0 otherwise.
int matchFileName(const char* pat, const char* name, bool foldCase);

// The type (DT_DIR, DT_REG, DT_LNK...) of a directory entry of the directory
// open as `dirfd`; file systems that leave it unknown are asked with lstat.
// False when the entry has gone meanwhile.
bool directoryEntryType(int dirfd, const dirent* e, unsigned char* type);
