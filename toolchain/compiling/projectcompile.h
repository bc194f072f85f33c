// SPDX-License-Identifier: GPL-3.0-or-later
// What a project compilation has to do: the project's out-of-date Java
// sources, and the text that says why nothing is compiled.
#pragma once
#include <QString>
#include <QStringList>
#include <vector>

struct ProjectModel;

// One usable line of a project file.
struct ProjectEntry {
    QString line;      // the entry as the project file writes it
    QString base;      // file name after the last separator, up to its first '.'
    QString ext;       // text after that first '.' (may be empty)
    int needComp = 0;  // need_comp of base.class against base.ext in the project's directory
    // For an out-of-date Java entry whose source is no regular file: what it is ("a folder").
    QString notRegular;
};

// What a project compilation has to do.
struct ProjectCompilePlan {
    QString directory;    // the project file's directory: javac runs there
    QStringList sources;  // out-of-date Java sources, each "Base.java" (or "./Base.java")
    int entries = 0;      // usable lines of the project file
    QStringList refused;  // out-of-date Java entries that are no regular files, "path (a named pipe)"
    std::vector<ProjectEntry> items;
};

// Reads the project file: its entries are those of projectCompileEntries
// (project/projfile.h), every line that is not empty and does not begin with
// '#' (a CR before the LF is dropped; lines of any length and any number of
// entries). Directories written in the lines are dropped:
// Base.class and Base.ext are compared in the project's directory, and an
// out-of-date entry whose extension is a Java one ("java", "JAVA", "jav",
// "JAV") is listed as "Base.java". A name beginning with "-" or "@" is listed
// as "./Base.java", so that javac never takes an entry for an option or an
// argument file. An out-of-date entry whose source is no regular file (a named
// pipe, a device, a folder) is not listed but named in `refused`. An unreadable
// project gives 0 entries.
ProjectCompilePlan planProjectCompile(const QString& projectPath);
// The same over a project's model (its sources as the file writes them,
// compiled in its folder).
ProjectCompilePlan planProjectCompile(const ProjectModel& model);

// For a plan that lists no source: whether the project counts as compiled
// (it has Java sources, and each has its class, newer than the source), and
// the status text that says why nothing is compiled: "nothing to compile: "
// followed by "every class is newer than its source", or by the entries
// that are not Java sources and those that are no regular files, or by "the
// project lists no sources".
bool projectClassesCurrent(const ProjectCompilePlan& plan);
QString nothingToCompileText(const ProjectCompilePlan& plan);
