// SPDX-License-Identifier: GPL-3.0-or-later
// The javac command: the option text from the build settings, the compiler's
// path, the capture file that receives its messages, the command as the
// status bar shows it, and the test of a capture for errors.
#pragma once
#include <QString>
#include <QStringList>

struct ProjectModel;

// The compiler options as javac arguments, built from the build settings in
// this order: "-classpath" and its text, "-d" and its text, the Java Options,
// "-Xprefer:newer", "-verbose", "-O", "-nowarn", "-g", "-deprecation".
// A text setting that is present adds its option even when its text is empty.
// The Java Options text becomes one "-J<word>" per space-separated word
// ("-J-Xmx256m"), as javac takes no "-J" followed by a separate word; an empty
// Java Options text adds nothing. Compilation Dependencies asks javac to
// compile a referenced source that is newer than its class ("-Xprefer:newer";
// javac no longer knows "-depend").
QStringList makeargsList();
// The same with the class path and the class folder of `model` in place of
// the Compiler Options' Class Path and Destination Directory (equal for a
// model made from the settings).
// A source in a package whose folders match it compiles into its class root
// ("-d" the package's root unless a Destination Directory is set) and finds
// the package's other sources there ("-sourcepath" the root, after "-d").
QStringList makeargsList(const ProjectModel& model);
// The same over the model of the single source `sourcePath` (its package,
// the jars of its lib/ folders), or of the open project that holds it (its
// class path, or its test class path for a test source): what the check
// while typing, completion and Go to Definition give the compile service.
QStringList makeargsList(const QString& sourcePath);
// Every argument of `args` preceded by a space.
QString optionText(const QStringList& args);

// The option text shown while the compiler runs: every argument of
// makeargsList() preceded by a space, so that it shows exactly what is passed
// (" -classpath .:/lib -J-Xmx256m -g"; " -d " for an empty destination).
QString makeargs();

// Sets `curdir` to the directory of the full path `nameext` (without a
// trailing separator) and makes it the process's current directory.
// Returns false when the directory could not be entered.
bool setcurdir(const QString& nameext);

// True when the capture file `erf` exists, is not empty and contains "error"
// (lower case) anywhere. The file is read in pieces, never whole.
bool erreur(const QString& erf);

// The capture file of a source or project: `temp` + "/" + base name + ".err".
QString captureFileName(const QString& sourcePath);

// The full path of the compiler: `javabin` + "/" + "javac" (host's tool name).
QString javacProgram();

// The command as the status bar shows it: program, a space, the option text,
// a space, then the sources: for a single file its full path, for a project
// each out-of-date source (as listed in ProjectCompilePlan::sources) followed
// by a space.
QString javacCommandText(const QString& javacPath, const QString& singleSource);
QString javacCommandText(const QString& javacPath, const QStringList& projectSources);
