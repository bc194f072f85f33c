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
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QCommandLineParser;
class QWidget;
class TFileMDIClient;

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

// Opens the files among `paths` in the workspace as dropped files open, then
// shows the message about the rest (owned by `owner`), if any.
void openStartFiles(TFileMDIClient* client, QWidget* owner, const QStringList& paths);
