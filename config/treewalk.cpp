// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/treewalk.h"

#include "platform/dialogs.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Directories the walk never enters, compared exactly.
bool neverEntered(const char* n)
{
    return std::strcmp(n, "WINDOWS") == 0 || std::strcmp(n, "Program Files") == 0 || std::strcmp(n, "WINNT") == 0;
}

bool isDotOrDotDot(const char* n)
{
    return n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

unsigned char typeOf(mode_t m)
{
    if (S_ISDIR(m))
        return DT_DIR;
    if (S_ISREG(m))
        return DT_REG;
    if (S_ISLNK(m))
        return DT_LNK;
    return DT_UNKNOWN;
}

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Program names are compared as the host's file system compares names: with
// their case here, so that the check of brewpad.cfg at the next start (an
// entry named exactly javac) accepts what the search offered.
bool programNameMatches(const char* pat, const char* name)
{
#ifdef Q_OS_WIN
    return matchFileName(pat, name, true) == 1;
#else
    return matchFileName(pat, name, false) == 1;
#endif
}

// Opens the directory `path` for listing, with its identity in `st`; -1 when
// it cannot be opened. Below the root, a link is not followed.
int openDirectory(const char* path, bool root, struct stat& st)
{
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (root ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return -1;
    if (fstat(fd, &st) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

int matchFileName(const char* pat, const char* name, bool foldCase)
{
    for (;;) {
        if (*pat == '\0')
            return *name == '\0' ? 1 : 0;
        if (*pat == '*') {
            while (*pat != '\0' && *pat != '.')
                ++pat;
            while (*name != '\0' && *name != '.')
                ++name;
            continue;
        }
        if (*pat == '?') {
            if (*name == '\0')
                return 0;
            ++pat;
            ++name;
            // One character of the name, even when it takes several bytes.
            while ((static_cast<unsigned char>(*name) & 0xc0) == 0x80)
                ++name;
            continue;
        }
        if (foldCase ? lower(*pat) != lower(*name) : *pat != *name)
            return 0;
        ++pat;
        ++name;
    }
}

bool directoryEntryType(int dirfd, const dirent* e, unsigned char* type)
{
    *type = e->d_type;
    if (*type != DT_UNKNOWN)
        return true;
    struct stat s;
    if (fstatat(dirfd, e->d_name, &s, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    *type = typeOf(s.st_mode);
    return true;
}

TreeWalk::TreeWalk(const QByteArray& pattern, toolsfind::Wanted wanted, long& dirsSearched,
                   const toolsfind::Progress& progress)
    : pattern_(pattern), wanted_(wanted), dirsSearched_(dirsSearched), progress_(progress)
{
}

QString TreeWalk::run(const QString& root)
{
    path_ = QFile::encodeName(root).toStdString();
    if (path_.back() != '/')
        path_.push_back('/');
    return directory(true) ? found_ : QString();
}

void TreeWalk::tick()
{
    ++dirsSearched_;
    if (!progress_)
        return;
    if (!timer_.isValid())
        timer_.start();
    const qint64 now = timer_.elapsed();
    if (lastReport_ >= 0 && now - lastReport_ < 100)
        return;
    lastReport_ = now;
    std::string shown = path_;
    if (shown.size() > 1)
        shown.pop_back();
    progress_(dirsSearched_, QFile::decodeName(QByteArray(shown.data(), qsizetype(shown.size()))));
}

bool TreeWalk::offer(const char* name)
{
    const QString hit = QFile::decodeName(QByteArray(path_.data(), qsizetype(path_.size())) + name);
    const Answer a = dialogs().message(nullptr, QStringLiteral("Needed File found :%1 : Keep it ?").arg(hit),
                                       QString(), Buttons::YesNo);
    if (a != Answer::Yes)
        return false;
    found_ = hit;
    return true;
}

// Whether the entry `name` (not a directory) of the directory `dirfd` is a
// file to offer.
bool TreeWalk::wantedFile(int dirfd, const char* name, unsigned char type) const
{
    if (name[0] == '.' || (type != DT_REG && type != DT_LNK) || !matchFileName(pattern_.constData(), name, true))
        return false;
    if (wanted_ == toolsfind::Wanted::Program && !programNameMatches(pattern_.constData(), name))
        return false;
    if (type == DT_LNK || wanted_ == toolsfind::Wanted::Program) {
        struct stat s;
        if (fstatat(dirfd, name, &s, 0) != 0 || !S_ISREG(s.st_mode))
            return false;
        if (wanted_ == toolsfind::Wanted::Program && faccessat(dirfd, name, X_OK, AT_EACCESS) != 0)
            return false;
    }
    return true;
}

// Searches the directory `path_`; true once a hit is accepted.
bool TreeWalk::directory(bool root)
{
    struct stat st;
    const int fd = openDirectory(path_.c_str(), root, st);
    if (fd < 0)
        return false;
    if (root)
        dev_ = st.st_dev;
    const bool seen = std::any_of(ancestors_.begin(), ancestors_.end(),
                                  [&](const auto& a) { return a.first == st.st_dev && a.second == st.st_ino; });
    DIR* d = st.st_dev != dev_ || seen ? nullptr : fdopendir(fd);
    if (!d) {
        close(fd);
        return false;
    }
    tick();

    std::vector<std::string> subdirs;
    while (const dirent* e = readdir(d)) {
        const char* n = e->d_name;
        unsigned char t;
        if (isDotOrDotDot(n) || !directoryEntryType(fd, e, &t))
            continue;
        if (t == DT_DIR) {
            if (!neverEntered(n))
                subdirs.emplace_back(n);
        } else if (wantedFile(fd, n, t) && offer(n)) {
            closedir(d);
            return true;
        }
    }
    closedir(d);

    ancestors_.emplace_back(st.st_dev, st.st_ino);
    const size_t len = path_.size();
    bool hit = false;
    for (const std::string& s : subdirs) {
        path_.append(s).push_back('/');
        hit = directory(false);
        path_.resize(len);
        if (hit)
            break;
    }
    ancestors_.pop_back();
    return hit;
}
