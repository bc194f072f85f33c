// SPDX-License-Identifier: GPL-3.0-or-later
// What is built and run, whatever describes it: the sources, the class path
// (folders and jars), the folder the classes go to, the test sources, and
// where the description came from. A single source without a project is a
// model too. Loaders fill it: a single source (here), a .jpr file
// (project/jprloader.h), a Maven pom.xml (toolchain/maven/mavenloader.h).
#pragma once
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Where a model came from.
enum class ProjectOrigin {
    SingleSource,  // one Java source, no project
    JprFile,       // a .jpr file: one source per line
    MavenPom,      // a Maven pom.xml
};

// One element of a class path.
struct ClassPathEntry {
    enum class Kind { Folder, Jar };
    Kind kind = Kind::Folder;
    QString path;  // absolute, or as written when it was relative to nothing
    bool operator==(const ClassPathEntry&) const = default;
};

// The class path and the class folder as the Compiler Options set them
// (Class Path, Destination Directory); absent and empty differ: an empty
// value still yields its option.
struct ModelSettings {
    std::optional<QString> classPath;
    std::optional<QString> destination;
};

struct ProjectModel {
    ProjectOrigin origin = ProjectOrigin::SingleSource;
    QString file;          // the source, or the project's file
    QString directory;     // the file's folder: the compiler runs there
    bool readable = true;  // false when the project's file could not be read
    // The sources as the description writes them (a single source: its full
    // path; a .jpr: each usable line as it stands).
    QStringList sources;
    // The sources the classification reads (a .jpr: its lines without their
    // leading blanks).
    QStringList scanPaths;
    QStringList testSources;
    // The class path as given, and split into its folders and jars.
    std::optional<QString> classPathText;
    std::vector<ClassPathEntry> classPath;
    // The folder the classes go to as given (relative to `directory`).
    std::optional<QString> outputFolder;
    // The jars of the lib/ folders beside the source or the project's file
    // (libraryFolders()), absolute, in name order; `classPath` holds them
    // too, after the entries of the Compiler Options' Class Path.
    QStringList libraryJars;
    // A single source whose folders match the package it declares: the
    // package ("com.acme") and the folder above the package's folders, the
    // root of its class path. Both empty when it declares no package or its
    // folders do not match (it then compiles and runs in its own folder).
    QString packageName;
    QString packageRoot;
    // Where a project keeps its sources and its tests apart (a Maven
    // project: src/main/java, src/test/java), absolute; empty when the
    // sources stand anywhere.
    QStringList sourceRoots;
    QStringList testSourceRoots;
    // The folder the test classes go to (absolute), and the class path the
    // tests compile and run with; unset and empty without separate tests.
    std::optional<QString> testOutputFolder;
    std::optional<QString> testClassPathText;
    std::vector<ClassPathEntry> testClassPath;

    // The base name of `file`: up to the first '.' of its name.
    QString baseName() const;
    // The folder that holds the compiled classes: `outputFolder` (relative to
    // `directory`) when it is set and not blank, else `directory`.
    QString classDirectory() const;
    // The folder of the class path the classes are found from: the class
    // folder as given, else the package's root, else `directory`.
    QString classRoot() const;
    // The folder of the compiled class of a source in a package: classRoot()
    // and the package's folders; classDirectory() without a package.
    QString packageClassDirectory() const;
    // The class name with its package ("com.acme.Shop" for "Shop").
    QString qualified(const QString& className) const;
};

// Splits a class path at the host's list separator; an element ending in
// ".jar" or ".zip" (any case) is a jar, any other a folder. Relative elements
// are taken relative to `baseDir`; empty elements are dropped.
std::vector<ClassPathEntry> splitClassPath(const QString& text, const QString& baseDir);

// Puts the Compiler Options' class path and class folder into `model`.
void applyModelSettings(ProjectModel& model, const ModelSettings& settings);

// The lib/ folders whose jars a model of `folder` uses: `folder`/lib, and
// `parent`/lib when `folder` is named "src" (a src/ folder beside lib/).
QStringList libraryFolders(const QString& folder);
// The jars ("*.jar", any case) of the lib/ folders of `folders`, each once,
// in name order within each folder; not those of sources or documentation
// ("-sources.jar", "-javadoc.jar"), which Go to Definition reads.
QStringList libraryJarsIn(const QStringList& folders);
// Adds `jars` to the model: to `libraryJars` and to the end of `classPath`.
void addLibraryJars(ProjectModel& model, const QStringList& jars);

// The model of one Java source `sourcePath` (a full path) without a project:
// its folder, itself as the one source, the settings' class path and folder,
// the package its text declares when its folders match it, and the jars of
// the lib/ folders of its folder and of its package's root.
ProjectModel singleSourceModel(const QString& sourcePath, const ModelSettings& settings);
