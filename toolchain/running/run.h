// SPDX-License-Identifier: GPL-3.0-or-later
// Running what javac produced: the class to start, Java Run in a terminal,
// the applet page and the applet viewer, and the texts of failed starts.
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <optional>

// Text of a failed start by its index 0..31: 0 "Out of Memory",
// 2 "Programe not found", the others "? 01 ?", "? 03 ?" ... "? 31 ?".
QString libelle_erreur(int index);

// Index of libelle_erreur for an errno value of a failed start: not found
// (program or directory) 2, out of memory 0, permission denied 5, not an
// executable 11, anything else 31.
int startFailureIndex(int errnoValue);

// Resolves `program` (a path, or a bare name looked up on PATH) to the file
// that would be executed. Returns 0 and sets *resolved when it exists and may
// be executed, else the errno a start would meet (ENOENT, EACCES...).
int probeProgram(const QString& program, QString* resolved);

// The class to start for the window's file of base name `baseName`, with the
// class name found by the classification (absent: nullopt), looking for
// class files in `dir`:
// - `classename` absent or equal to the base name: the base name, nothing tested;
// - else `classename`.class exists: `classename`;
// - else `baseName`.class exists: the base name;
// - else nullopt, and *missingFile = baseName + ".class" (the "class not
//   found" box shows it).
std::optional<QString> chooseClass(const QString& baseName, const std::optional<QString>& classename,
                                   const QString& dir, QString* missingFile);

// Splits program arguments as a POSIX shell splits words, expanding nothing:
// blanks separate words; '...' is literal; "..." takes \" \\ \$ \` and
// backslash-newline as escapes; a backslash outside quotes takes the next
// character literally. Unbalanced quotes (or a trailing backslash) set
// *ok false and give the words read so far.
QStringList splitArguments(const QString& cmdline, bool* ok);

// The text shown when the program arguments cannot be split.
QString unbalancedQuotesText();

// A program to start with its arguments, never through a shell string.
struct StartCommand {
    QString program;
    QStringList args;
    QString workDir;
    QString display;  // the command as the "Exec : %s : %s" box shows it
};

// The fixed script that the terminal's /bin/sh runs: it runs its positional
// parameters as the command, prints the exit code and stays open in an
// interactive shell in the working directory.
QString terminalScript();

// The folder that holds the classes javac wrote for sources of `sourceDir`:
// the Destination Directory (`destination`, relative to `sourceDir`, where
// javac ran) when it is set and not blank, else `sourceDir`.
QString classFolder(const std::optional<QString>& destination, const QString& sourceDir);

// The options that let java find the classes of a compilation made with the
// Compiler Options: "-classpath" and classFolder() followed by the Class
// Path, exactly when a Destination Directory or a Class Path is set (and not
// blank); none otherwise, java then finds the class in its working folder.
QStringList javaClassPathOptions(const std::optional<QString>& destination, const std::optional<QString>& classPath,
                                 const QString& sourceDir);

// The reason a class name cannot be given to java, or an empty text: a name
// beginning with "-" or "@" would be taken for an option or an argument file.
QString refusedClassName(const QString& className);

// Java Run. With $COMSPEC set and equal to `terminal`:
//   terminal /k java Class args...
// otherwise (x-terminal-emulator, xterm):
//   terminal -e /bin/sh -c <terminalScript()> brewpad-run java Class args...
// `cmdline` is the Program Arguments text (absent: none), split with
// splitArguments; when it cannot be split, *ok is false and only `display`
// is meaningful. An empty `terminal` gives an empty program (its start fails
// with index 2). `javaOptions` (javaClassPathOptions()) stand between java
// and the class.
StartCommand javaRunCommand(const QString& terminal, const QString& javaPath, const QString& className,
                            const std::optional<QString>& cmdline, const QString& workDir, bool* ok = nullptr,
                            const QStringList& javaOptions = {});

// Applet Run: `viewerPath` started on the page `pageName` (as it was
// written) in `workDir`.
StartCommand appletCommand(const QString& viewerPath, const QString& workDir,
                           const QString& pageName = QStringLiteral("brewpad.html"));

// Starts the command without waiting for it (the program runs on its own,
// not a child of ours). On failure returns false with *failureIndex set to
// the index of libelle_erreur.
bool startDetached(const StartCommand& cmd, int* failureIndex);

// The applet page: seven lines joined by CR LF (none after the last), in
// Windows-1252 (characters outside it as HTML character references), with
// the class name, the short date of `locale` and its time format forced to
// 24 hours, each at most 29 characters.
QByteArray appletPage(const QString& className, const QDateTime& when, const QLocale& locale);

// The 24-hour time format derived from a locale's time format: 'h' -> 'H',
// AM/PM markers and time-zone fields dropped.
QString time24Format(const QLocale& locale);

// Writes the page atomically as `dir`/brewpad.html.
bool writeAppletPage(const QString& dir, const QByteArray& bytes, QString* error);
