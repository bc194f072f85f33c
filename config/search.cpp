// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/search.h"

#include "platform/dialogs.h"
#include "config/cfgfile.h"
#include "config/toolpaths.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <ftw.h>
#include <string>
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const CorruptedText = " Brewpad.cfg corrupted , recreating...";
const char* const NoCompilerText = "sorry javac.exe not found : unable to compile java files";
const char* const NoHelpText = "sorry java help file not found";
// The help file: the element-list at the root of a Javadoc API tree.
const char* const HelpFileName = "element-list";

// Directories the walk never enters, compared exactly.
bool neverEntered(const char* n)
{
    return std::strcmp(n, "WINDOWS") == 0 || std::strcmp(n, "Program Files") == 0
           || std::strcmp(n, "WINNT") == 0;
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

// The type of a directory entry; file systems that leave it unknown are asked
// with lstat. False when the entry has gone meanwhile.
bool entryType(int dirfd, const dirent* e, unsigned char* type)
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

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A fresh private directory for this run when the usual capture directory is refused.
QString fallbackCaptureDir()
{
    QByteArray tmpl = QFile::encodeName(host::tempRoot() + QStringLiteral("/brewpad-")
                                        + QString::number(getuid()) + QStringLiteral("-XXXXXX"));
    if (mkdtemp(tmpl.data()))
        return QFile::decodeName(tmpl);
    return QString();
}

// Removes a directory made by this run and what it holds, never following links.
void removeTree(const QString& dir)
{
    if (dir.isEmpty())
        return;
    nftw(
        QFile::encodeName(dir).constData(),
        [](const char* path, const struct stat*, int type, FTW*) {
            if (type == FTW_DP)
                rmdir(path);
            else
                unlink(path);
            return 0;
        },
        16, FTW_DEPTH | FTW_PHYS | FTW_MOUNT);
}

// The directory of a found tool, without a trailing separator (the root stays "/").
QString directoryOf(const QString& path)
{
    const qsizetype cut = path.lastIndexOf(host::separator());
    if (cut <= 0)
        return QString(host::separator());
    return path.left(cut);
}

bool programNameMatches(const char* pat, const char* name);

}  // namespace

// One walk over one directory tree. The path is kept as bytes with a trailing
// separator; only hits and progress reports become QStrings.
struct toolsfind::Walk {
    Walk(toolsfind& owner, const QByteArray& include, Wanted what) : tf(owner), pattern(include), wanted(what) {}

    toolsfind& tf;
    QByteArray pattern;
    Wanted wanted;
    std::string path;
    dev_t dev = 0;
    std::vector<std::pair<dev_t, ino_t>> ancestors;
    QElapsedTimer timer;
    qint64 lastReport = -1;
    QString found;

    void tick()
    {
        ++tf.file_count;
        if (!tf.progress)
            return;
        if (!timer.isValid())
            timer.start();
        const qint64 now = timer.elapsed();
        if (lastReport >= 0 && now - lastReport < 100)
            return;
        lastReport = now;
        std::string shown = path;
        if (shown.size() > 1)
            shown.pop_back();
        tf.progress(tf.file_count, QFile::decodeName(QByteArray(shown.data(), qsizetype(shown.size()))));
    }

    bool offer(const char* name)
    {
        const QString hit = QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())) + name);
        const Answer a = dialogs().message(
            nullptr, QStringLiteral("Needed File found :%1 : Keep it ?").arg(hit), QString(),
            Buttons::YesNo);
        if (a != Answer::Yes)
            return false;
        found = hit;
        return true;
    }

    // Searches the directory `path`; true once a hit is accepted.
    bool directory(bool root)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (root ? 0 : O_NOFOLLOW));
        if (fd < 0)
            return false;
        struct stat st;
        if (fstat(fd, &st) != 0) {
            close(fd);
            return false;
        }
        if (root)
            dev = st.st_dev;
        const bool seen = std::any_of(ancestors.begin(), ancestors.end(), [&](const auto& a) {
            return a.first == st.st_dev && a.second == st.st_ino;
        });
        if (st.st_dev != dev || seen) {
            close(fd);
            return false;
        }
        DIR* d = fdopendir(fd);
        if (!d) {
            close(fd);
            return false;
        }
        tick();

        std::vector<std::string> subdirs;
        while (const dirent* e = readdir(d)) {
            const char* n = e->d_name;
            if (isDotOrDotDot(n))
                continue;
            unsigned char t;
            if (!entryType(fd, e, &t))
                continue;
            if (t == DT_DIR) {
                if (!neverEntered(n))
                    subdirs.emplace_back(n);
                continue;
            }
            if (n[0] == '.' || (t != DT_REG && t != DT_LNK) || !FnMatch(pattern.constData(), n))
                continue;
            if (wanted == Wanted::Program && !programNameMatches(pattern.constData(), n))
                continue;
            if (t == DT_LNK || wanted == Wanted::Program) {
                struct stat s;
                if (fstatat(fd, n, &s, 0) != 0 || !S_ISREG(s.st_mode))
                    continue;
                if (wanted == Wanted::Program && faccessat(fd, n, X_OK, AT_EACCESS) != 0)
                    continue;
            }
            if (offer(n)) {
                closedir(d);
                return true;
            }
        }
        closedir(d);

        ancestors.emplace_back(st.st_dev, st.st_ino);
        const size_t len = path.size();
        bool hit = false;
        for (const std::string& s : subdirs) {
            path.append(s).push_back('/');
            hit = directory(false);
            path.resize(len);
            if (hit)
                break;
        }
        ancestors.pop_back();
        return hit;
    }
};

namespace {

// The report's paragraph on the brewpad.cfg files passed over; empty for none.
QString skippedText(const std::vector<cfgfile::Skipped>& skipped)
{
    if (skipped.empty())
        return QString();
    QString text = QStringLiteral("\n\nNot used, as if absent:");
    for (const cfgfile::Skipped& s : skipped)
        text += QStringLiteral("\n%1 (%2)").arg(s.path, s.reason);
    text += QStringLiteral("\nA brewpad.cfg chooses the compiler that Brewpad runs, so it must be yours and "
                           "writable by you alone. Remove that file, or make it yours (chown) and not "
                           "writable by others (chmod go-w).");
    return text;
}

}  // namespace

QString envReport(const QString& bin, const QString& help, const std::vector<cfgfile::Skipped>& skipped)
{
    return QStringLiteral("ENV:\nJAVA BIN :\t%1\nJAVA HELP:\t%2").arg(bin, help) + skippedText(skipped);
}

namespace {

// FnMatch's walk; `foldCase` compares ASCII letters without regard to case.
int matchName(const char* pat, const char* name, bool foldCase)
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

// Program names are compared as the host's file system compares names: with
// their case here, so that the check of brewpad.cfg at the next start (an
// entry named exactly javac) accepts what the search offered.
bool programNameMatches(const char* pat, const char* name)
{
#ifdef Q_OS_WIN
    return matchName(pat, name, true) == 1;
#else
    return matchName(pat, name, false) == 1;
#endif
}

}  // namespace

QString envReport(const toolsfind& tf)
{
    QString text = envReport(javabin, javahlp, {});
    if (tf.source == toolsfind::Source::None)
        return text;
    QString where = tf.configFile;
    if (tf.source == toolsfind::Source::Search) {
        if (tf.configFile.isEmpty())
            where = QStringLiteral("none: no place may hold brewpad.cfg");
        else
            where += tf.configWritten ? QStringLiteral(" (written now)") : QStringLiteral(" (could not be written)");
    }
    text += QStringLiteral("\nCONFIG   :\t") + where;
    text += skippedText(tf.skippedConfigs);
    if (tf.source == toolsfind::Source::OtherPlace) {
        const QString folder = host::configDir();
        text += QStringLiteral("\n\nThis brewpad.cfg is not in your configuration folder%1, so nothing is run "
                               "with it before you ask: the compile service starts with the first Java "
                               "Compile (F9).")
                    .arg(folder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(folder));
    }
    return text;
}

int toolsfind::FnMatch(const char* pat, const char* name)
{
    return matchName(pat, name, true);
}

int toolsfind::FnMatch(const QString& pat, const QString& name)
{
    return FnMatch(QFile::encodeName(pat).constData(), QFile::encodeName(name).constData());
}

QString toolsfind::DoADir(const QString& patternp, const QString& /*patternn*/, const QString& include,
                          Wanted wanted)
{
    if (patternp.isEmpty())
        return QString();
    Walk w(*this, QFile::encodeName(include), wanted);
    w.path = QFile::encodeName(patternp).toStdString();
    if (w.path.back() != '/')
        w.path.push_back('/');
    return w.directory(true) ? w.found : QString();
}

QString toolsfind::FindFile(const std::vector<QString>& drives, const QString& pattern, Wanted wanted)
{
    for (const QString& root : drives) {
        QString hit = DoADir(root, QStringLiteral("*.*"), pattern, wanted);
        if (!hit.isEmpty())
            return hit;
    }
    return QString();
}

void toolsfind::FindDrives(std::vector<QString>& fdrives, std::vector<QString>& hdrives)
{
    if (located == 1) {
        hdrives = runDrives;
        return;
    }
    std::vector<host::Volume> vols = volumes ? volumes() : std::vector<host::Volume>();
    std::stable_sort(vols.begin(), vols.end(),
                     [](const host::Volume& a, const host::Volume& b) { return a.root < b.root; });
    fdrives.clear();
    hdrives.clear();
    for (const host::Volume& v : vols) {
        if (host::isSkippedVolume(v))
            fdrives.push_back(v.root);
        else
            hdrives.push_back(v.root);
    }
    runDrives = hdrives;
    located = 1;
}

void toolsfind::forgetDrives()
{
    located = 0;
    runDrives.clear();
}

QString toolsfind::ffind(const QString& file, Wanted wanted)
{
    FindDrives(fdrives, hdrives);
    ndrives = static_cast<int>(hdrives.size());
    file_name_pattern = file;
    file_count = 0;
    return FindFile(hdrives, file_name_pattern, wanted);
}

bool toolsfind::getfile(QString& file, std::vector<cfgfile::Skipped>* skipped)
{
    for (const QString& c : cfgfile::candidates()) {
        QString reason;
        switch (cfgfile::standing(c, &reason)) {
        case cfgfile::Standing::Absent:
            continue;
        case cfgfile::Standing::Refused:
            if (skipped)
                skipped->push_back({c, reason});
            continue;
        case cfgfile::Standing::Usable:
            file = c;
            return true;
        }
    }
    file.clear();
    return false;
}

void toolsfind::clean(const QString& tempdir)
{
    if (tempdir.isEmpty())
        return;
    const int fd = open(QFile::encodeName(tempdir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* d = fdopendir(fd);
    if (!d) {
        close(fd);
        return;
    }
    while (const dirent* e = readdir(d)) {
        const char* n = e->d_name;
        const size_t len = std::strlen(n);
        if (len < 4 || std::strcmp(n + len - 4, ".err") != 0)
            continue;
        unsigned char t;
        if (!entryType(fd, e, &t))
            continue;
        if (t != DT_DIR)
            unlinkat(fd, n, 0);
    }
    closedir(d);
}

bool toolsfind::verify(const QString& dir, const QString& f)
{
    if (dir.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(dir);
    if (f.isNull()) {
        struct stat st;
        return stat(native.constData(), &st) == 0 && !S_ISDIR(st.st_mode);
    }
    DIR* d = opendir(native.constData());
    if (!d)
        return false;
    const QByteArray wanted = QFile::encodeName(f);
    bool found = false;
    while (const dirent* e = readdir(d)) {
        if (wanted == e->d_name) {
            found = true;
            break;
        }
    }
    closedir(d);
    return found;
}

toolsfind::~toolsfind()
{
    if (runCaptureDir.isEmpty())
        return;
    removeTree(runCaptureDir);
    if (temp == runCaptureDir)
        temp.clear();
}

void toolsfind::setfiles()
{
    javabin.clear();
    javahlp.clear();
    QString configfile;

    doscmd = host::findTerminal();
    host::makeTempVariablesAbsolute();

    QString refused;
    temp = host::captureDir(&refused);
    if (temp.isEmpty()) {
        temp = fallbackCaptureDir();
        if (!runCaptureDir.isEmpty() && runCaptureDir != temp)
            removeTree(runCaptureDir);  // from an earlier setfiles of this object
        runCaptureDir = temp;
        const QString then = temp.isEmpty()
                                 ? QStringLiteral("Compiler messages cannot be kept in this session.")
                                 : QStringLiteral("Compiler messages are kept in %1 for this session.").arg(temp);
        dialogs().message(nullptr, refused + QLatin1Char('\n') + then, QString(), Buttons::Ok,
                          Icon::Warning);
    }
    clean(temp);

    if (progress)
        progress(0, QString());

    skippedConfigs.clear();
    configWritten = false;
    if (getfile(configfile, &skippedConfigs)) {
        const QString folder = host::configDir();
        const bool own = !folder.isEmpty() && configfile == folder + host::separator() + QLatin1String(cfgfile::FileName);
        source = own ? Source::UserFolder : Source::OtherPlace;
    } else {
        configfile = cfgfile::newLocation(&homedir);
    }
    configFile = configfile;

    QByteArray data;
    if (cfgfile::load(configfile, data) == cfgfile::Load::Data) {
        qsizetype pos = 0;
        const auto bin = cfgfile::readRecord(data, pos);
        if (bin)
            javabin = *bin;
        if (!bin || !verify(javabin, host::toolName(QStringLiteral("javac")))) {
            dialogs().message(nullptr, QString::fromLatin1(CorruptedText));
        } else {
            const auto hlp = cfgfile::readRecord(data, pos);
            if (hlp)
                javahlp = *hlp;
            if (hlp && verify(javahlp))
                return;
            dialogs().message(nullptr, QString::fromLatin1(CorruptedText));
        }
    }

    source = Source::Search;
    // Recreate the file from a new search. A value that failed its check is
    // not kept: a tool that is not found leaves its path empty.
    javabin.clear();
    javahlp.clear();
    QByteArray out;
    const QString compiler = ffind(host::toolName(QStringLiteral("javac")), Wanted::Program);
    if (!compiler.isEmpty()) {
        javabin = directoryOf(compiler);
        out += cfgfile::encodeRecord(javabin);
    } else {
        dialogs().message(nullptr, QString::fromLatin1(NoCompilerText));
    }
    const QString help = ffind(QString::fromLatin1(HelpFileName));
    if (!help.isEmpty()) {
        javahlp = help;
        out += cfgfile::encodeRecord(javahlp);
    } else {
        dialogs().message(nullptr, QString::fromLatin1(NoHelpText));
    }
    // When the file cannot be written the paths still serve this run.
    configWritten = cfgfile::save(configfile, out);
}
