// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the Java tools: the start-up sequence that settles the tool paths
// (setfiles) and the walk of the mounted volumes that looks for a file and
// offers each hit to the user.
#pragma once
#include "config/cfgfile.h"
#include "platform/host.h"

#include <QString>
#include <functional>
#include <vector>

// The "ENV:" report shown after start-up: the Java tool directory and help
// file, then the brewpad.cfg files passed over, if any, and what to do.
QString envReport(const QString& bin, const QString& help, const std::vector<cfgfile::Skipped>& skipped);
class toolsfind;
// The report after `tf`'s setfiles: the tool paths in use, where they were
// read from (or written to), the files passed over, and, for a brewpad.cfg
// outside the user's configuration folder, that nothing runs before F9.
QString envReport(const toolsfind& tf);

class toolsfind {
public:
    toolsfind() = default;
    // Removes the capture directory made for this run when the usual one was
    // refused (see setfiles), with the capture files in it.
    ~toolsfind();
    toolsfind(const toolsfind&) = delete;
    toolsfind& operator=(const toolsfind&) = delete;

    // Called while a walk runs, at most a few times a second, with the number
    // of directories searched so far and the directory being searched; also
    // called once, with 0 and an empty directory, when setfiles starts, so that
    // a waiting window gets painted.
    using Progress = std::function<void(long dirsSearched, const QString& currentDir)>;
    void setProgress(Progress p) { progress = std::move(p); }

    // The whole start-up sequence: fills javabin, javahlp, temp, doscmd (and
    // homedir when the current directory is used), removes old capture files,
    // reads brewpad.cfg or searches for the tools and writes it again. A
    // relative TEMP, TMP or TMPDIR is made absolute first. When
    // the private capture directory is refused, temp is a fresh directory of
    // this run instead, which this object removes when it goes (Brewpad ends).
    void setfiles();

    // What a hit must be to be offered: any regular file (the help file), or a
    // program, a regular file that the user may execute (the compiler; the
    // ".exe" of other hosts). A link to such a file counts; other files of
    // the name are passed over silently. A program's name must match with
    // its case (as the check at the next start compares it) where file names
    // have case; the help file's name is matched without regard to case.
    enum class Wanted { File, Program };

    // Searches every searchable volume for `file`; returns the path the user
    // accepted, or an empty string.
    QString ffind(const QString& file, Wanted wanted = Wanted::File);
    // Fills `fdrives` with the roots never searched (removable media, virtual
    // file systems) and `hdrives` with those to search, in ascending order.
    // The volumes are asked for once per run; later calls reuse the list and
    // leave `fdrives` alone.
    void FindDrives(std::vector<QString>& fdrives, std::vector<QString>& hdrives);
    // Walks each root in turn; returns the first accepted path or an empty string.
    QString FindFile(const std::vector<QString>& drives, const QString& pattern, Wanted wanted = Wanted::File);
    // Walks one directory tree: the matching files of a directory in listing
    // order, then its subdirectories depth first. `patternn` is the listing
    // query of other hosts ("*.*"); every entry is listed here.
    QString DoADir(const QString& patternp, const QString& patternn, const QString& include,
                   Wanted wanted = Wanted::File);
    // Wildcard match of a file name: letters compared without regard to case,
    // "?" one character, "*" skips pattern and name each to their next ".".
    static int FnMatch(const char* pat, const char* name);
    static int FnMatch(const QString& pat, const QString& name);

    // Looks for an existing brewpad.cfg; true with its path in `file`, false
    // with `file` empty. Candidates that cfgfile::standing refuses are passed
    // over as if absent and added to `skipped`.
    static bool getfile(QString& file, std::vector<cfgfile::Skipped>* skipped = nullptr);
    // Removes the *.err files directly inside `tempdir`.
    static void clean(const QString& tempdir);
    // With `f`: `dir` can be listed and holds an entry named exactly `f`.
    // Without: `dir` names an existing file (not a directory).
    static bool verify(const QString& dir, const QString& f = QString());

    // The drive list of this run (the first FindDrives fills it).
    static inline int located = 0;
    static inline std::vector<QString> runDrives;
    // Forgets the drive list, so that the next search asks for the volumes again.
    static void forgetDrives();

    // Where the volumes come from; tests put temporary trees here.
    std::function<std::vector<host::Volume>()> volumes = host::mountedVolumes;

    // The brewpad.cfg candidates that the last setfiles passed over, for the
    // report at start (envReport).
    std::vector<cfgfile::Skipped> skippedConfigs;

    // Where the tool paths of the last setfiles come from. Only those of the
    // user's own configuration folder, or accepted by the user in this start's
    // search, may run anything before the user asks: a brewpad.cfg found in the
    // start directory (or TEMP, TMP) may have come with an unpacked project.
    enum class Source {
        None,        // setfiles has not run
        UserFolder,  // brewpad.cfg in the user's configuration folder (host::configDir)
        OtherPlace,  // brewpad.cfg in TEMP, TMP or the start directory
        Search,      // the search of this start, answered by the user
    };
    Source source = Source::None;
    QString configFile;          // the brewpad.cfg read, or the one the search wrote to
    bool configWritten = false;  // after a search: whether configFile could be written
    bool mayRunAtStart() const { return source == Source::UserFolder || source == Source::Search; }

    int ndrives = 0;
    std::vector<QString> fdrives;
    std::vector<QString> hdrives;
    QString file_name_pattern;
    long file_count = 0;

private:
    // Sets temp to the capture directory; when the usual one is refused, to
    // a fresh one of this run (telling the user so).
    void settleCaptureDir();
    // Reads the tool paths from `configfile`; false (with the paths possibly
    // half set) when it is absent, unreadable or names tools that fail their check.
    bool readConfig(const QString& configfile);
    // Searches the volumes for the tools and writes `configfile` again.
    void searchTools(const QString& configfile);

    Progress progress;
    QString runCaptureDir;  // made by setfiles for this run only
};
