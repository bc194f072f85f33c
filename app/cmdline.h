// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's command line: `brewpad [FILE...]`, `brewpad --help`, `brewpad --version`.
//
// --help (-h, -?, --help-all) and --version (-v) print to standard output and
// end the program with status 0 before anything else happens: no window, no
// display needed, no search for the Java tools, no Brewpad.ini written. Any
// other option is refused with a message on standard error and status 1, also
// before any window.
//
// Each FILE opens once the start-up is over (the tool configuration settled and
// its "ENV:" report shown), exactly as a file dropped on the main window opens:
// a name ending in ".jpr" (any case) as a Java project, any other file as a Java
// source, in the order given. Names are taken relative to the directory Brewpad
// was started in. Names that are not files (a folder, a missing file, a device
// or pipe) are not opened; they are all named together in one message box after
// the files that could be opened have opened.
#pragma once
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class TFileMDIChild;

class QCommandLineParser;
class QWidget;
class TFileMDIClient;
class TMDIFileApp;

// The program's name and version as --version prints them and Qt reports them.
void setApplicationIdentity();

// Tells a parser the options and arguments above, with the texts --help prints.
void describeCommandLine(QCommandLineParser& parser);

// The text-only part of a start: when `arguments` (the program's name first)
// ask for --help or --version, prints what they ask for and ends the process
// with status 0. Returns when they do not. Needs a QCoreApplication (no GUI).
void printHelpOrVersionAndExit(const QStringList& arguments);

// The names as absolute, clean paths, resolved against `startDir`, in order.
QStringList absoluteStartPaths(const QStringList& names, const QString& startDir);

// The file names of the command line with their bytes kept (platform/
// nativename.h), so that a name that is not UTF-8, such as a Latin-1
// "caf\xE9.java", names its file: `positional`, the names as the parser gives
// them (each byte that is not UTF-8 lost to U+FFFD), are found in order among
// `arguments` (the bytes of the arguments after the program's name, as
// QApplication left them) and decoded from those bytes. A name not found
// there stays as it is.
QStringList nativeStartNames(const QStringList& positional, const QList<QByteArray>& arguments);

// A name from the command line that is not opened, and why.
struct UnopenedName {
    enum class Why { Folder, Missing, NotAFile };
    QString path;
    Why why;
};

// The paths split into files to open (in order) and names that are no files.
struct StartFiles {
    QStringList files;
    QList<UnopenedName> unopened;
};
StartFiles sortStartPaths(const QStringList& paths);

// The one message that names every unopened path, each with its reason; empty
// when the list is.
QString unopenedMessage(const QList<UnopenedName>& names);

// Opens the files among `paths` in the application's workspace as dropped
// files open, a few at a time from the event loop, so that the window is drawn
// and answers while thousands of them open, each in constant time; the recent
// files are written once at the end. Then shows the message about the rest
// (owned by the main window), if any, and emits finished(). Nothing is opened
// before the call returns. Goes with the workspace.
class StartFileOpener : public QObject {
    Q_OBJECT
public:
    StartFileOpener(TMDIFileApp& app, const QStringList& paths);
    ~StartFileOpener() override;
    bool isFinished() const { return finished_; }

signals:
    void finished();

private:
    void openSome();

    TMDIFileApp& app_;
    StartFiles files_;
    qsizetype next_ = 0;
    bool finished_ = false;
    QElapsedTimer windowsTurn_;             // since the last batch: the window's turn
    QPointer<TFileMDIChild> lastRestored_;  // the last file named, when the session showed it
};
StartFileOpener* openStartFiles(TMDIFileApp& app, const QStringList& paths);
