// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/search.h"

#include "config/cfgfile.h"
#include "config/toolpaths.h"
#include "config/treewalk.h"
#include "platform/dialogs.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <ftw.h>
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

// A fresh private directory for this run when the usual capture directory is refused.
QString fallbackCaptureDir()
{
    QByteArray tmpl = QFile::encodeName(host::tempRoot() + QStringLiteral("/brewpad-") + QString::number(getuid()) +
                                        QStringLiteral("-XXXXXX"));
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

// The report's paragraph on the brewpad.cfg files passed over; empty for none.
QString skippedText(const std::vector<cfgfile::Skipped>& skipped)
{
    if (skipped.empty())
        return QString();
    QString text = QStringLiteral("\n\nNot used, as if absent:");
    for (const cfgfile::Skipped& s : skipped)
        text += QStringLiteral("\n%1 (%2)").arg(s.path, s.reason);
    text += QStringLiteral(
        "\nA brewpad.cfg chooses the compiler that Brewpad runs, so it must be yours and "
        "writable by you alone. Remove that file, or make it yours (chown) and not "
        "writable by others (chmod go-w).");
    return text;
}

}  // namespace

QString envReport(const QString& bin, const QString& help, const std::vector<cfgfile::Skipped>& skipped)
{
    return QStringLiteral("ENV:\nJAVA BIN :\t%1\nJAVA HELP:\t%2").arg(bin, help) + skippedText(skipped);
}

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
        text += QStringLiteral(
                    "\n\nThis brewpad.cfg is not in your configuration folder%1, so nothing is run "
                    "with it before you ask: the compile service starts with the first Java "
                    "Compile (F9).")
                    .arg(folder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(folder));
    }
    return text;
}

int toolsfind::FnMatch(const char* pat, const char* name)
{
    return matchFileName(pat, name, true);
}

int toolsfind::FnMatch(const QString& pat, const QString& name)
{
    return FnMatch(QFile::encodeName(pat).constData(), QFile::encodeName(name).constData());
}

QString toolsfind::DoADir(const QString& patternp, const QString& /*patternn*/, const QString& include, Wanted wanted)
{
    if (patternp.isEmpty())
        return QString();
    TreeWalk walk(QFile::encodeName(include), wanted, file_count, progress);
    return walk.run(patternp);
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
        case cfgfile::Standing::Absent: continue;
        case cfgfile::Standing::Refused:
            if (skipped)
                skipped->push_back({c, reason});
            continue;
        case cfgfile::Standing::Usable: file = c; return true;
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
        if (!directoryEntryType(fd, e, &t))
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
    settleCaptureDir();
    clean(temp);

    if (progress)
        progress(0, QString());

    skippedConfigs.clear();
    configWritten = false;
    if (getfile(configfile, &skippedConfigs)) {
        const QString folder = host::configDir();
        const bool own = !folder.isEmpty() &&
                         configfile == folder + host::separator() + QLatin1String(cfgfile::FileName);
        source = own ? Source::UserFolder : Source::OtherPlace;
    } else {
        configfile = cfgfile::newLocation(&homedir);
    }
    configFile = configfile;
    if (readConfig(configfile))
        return;
    searchTools(configfile);
}

void toolsfind::settleCaptureDir()
{
    QString refused;
    temp = host::captureDir(&refused);
    if (!temp.isEmpty())
        return;
    temp = fallbackCaptureDir();
    if (!runCaptureDir.isEmpty() && runCaptureDir != temp)
        removeTree(runCaptureDir);  // from an earlier setfiles of this object
    runCaptureDir = temp;
    const QString then = temp.isEmpty()
                             ? QStringLiteral("Compiler messages cannot be kept in this session.")
                             : QStringLiteral("Compiler messages are kept in %1 for this session.").arg(temp);
    dialogs().message(nullptr, refused + QLatin1Char('\n') + then, QString(), Buttons::Ok, Icon::Warning);
}

bool toolsfind::readConfig(const QString& configfile)
{
    QByteArray data;
    if (cfgfile::load(configfile, data) != cfgfile::Load::Data)
        return false;
    qsizetype pos = 0;
    const auto bin = cfgfile::readRecord(data, pos);
    if (bin)
        javabin = *bin;
    if (!bin || !verify(javabin, host::toolName(QStringLiteral("javac")))) {
        dialogs().message(nullptr, QString::fromLatin1(CorruptedText));
        return false;
    }
    const auto hlp = cfgfile::readRecord(data, pos);
    if (hlp)
        javahlp = *hlp;
    if (hlp && verify(javahlp))
        return true;
    dialogs().message(nullptr, QString::fromLatin1(CorruptedText));
    return false;
}

void toolsfind::searchTools(const QString& configfile)
{
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
