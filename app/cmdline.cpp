// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/cmdline.h"

#include "app/brewpad.h"
#include "app/sessionkeeper.h"
#include "editor/editorwindow.h"
#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"
#include "workspace/workspace.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#ifndef BREWPAD_VERSION
#error "BREWPAD_VERSION is set by the build (the project's version)"
#endif

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Brewpad"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BREWPAD_VERSION));
}

void describeCommandLine(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A small IDE for Java. Each FILE opens in its own window once Brewpad has\n"
                       "started: a .jpr file or a pom.xml as a Java project, any other file as a Java source."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A Java source or a .jpr project to open."),
                                 QStringLiteral("[FILE...]"));
}

void printHelpOrVersionAndExit(const QStringList& arguments)
{
    QCommandLineParser parser;
    describeCommandLine(parser);
    // The options of Qt's windowing part (-platform, -style, ...) are unknown
    // here and count as errors; the full check comes with the window's start.
    parser.parse(arguments);
    QStringList asked{arguments.value(0, QStringLiteral("brewpad"))};
    for (const char* option : {"version", "help", "help-all"}) {
        if (parser.isSet(QLatin1String(option)))
            asked << QStringLiteral("--") + QLatin1String(option);
    }
    if (asked.size() > 1)
        parser.process(asked);  // prints and ends the process
}

QStringList absoluteStartPaths(const QStringList& names, const QString& startDir)
{
    QStringList out;
    for (const QString& n : names)
        out << nativepath::absolute(n, startDir);
    return out;
}

QStringList nativeStartNames(const QStringList& positional, const QList<QByteArray>& arguments)
{
    QStringList out;
    qsizetype next = 0;
    for (const QString& name : positional) {
        qsizetype at = next;
        // Qt's own decoding of the arguments.
        while (at < arguments.size() && QString::fromLocal8Bit(arguments[at]) != name)
            ++at;
        if (at == arguments.size()) {
            out << name;
            continue;
        }
        out << nativename::decode(arguments[at]);
        next = at + 1;
    }
    return out;
}

StartFiles sortStartPaths(const QStringList& paths)
{
    StartFiles s;
    for (const QString& p : paths) {
        // By the name's bytes: Qt's file functions lose those that are not UTF-8.
        const nativepath::Info fi = nativepath::info(p);
        if (fi.isFile)
            s.files << p;
        else if (fi.isDir)
            s.unopened.push_back({p, UnopenedName::Why::Folder});
        else if (fi.exists)
            s.unopened.push_back({p, UnopenedName::Why::NotAFile});
        else
            s.unopened.push_back({p, UnopenedName::Why::Missing});
    }
    return s;
}

QString unopenedMessage(const QList<UnopenedName>& names)
{
    if (names.isEmpty())
        return QString();
    QStringList lines;
    for (const UnopenedName& n : names) {
        const QString path = nativename::shown(n.path);
        switch (n.why) {
        case UnopenedName::Why::Folder: lines << QStringLiteral("%1 (a folder)").arg(path); break;
        case UnopenedName::Why::Missing: lines << QStringLiteral("%1 (no such file)").arg(path); break;
        case UnopenedName::Why::NotAFile: lines << QStringLiteral("%1 (not a file)").arg(path); break;
        }
    }
    return QStringLiteral(
               "Brewpad opens files only, so these were not opened:\n\n%1\n\n"
               "Give the names of Java source files or .jpr project files, or open "
               "them with File / Open Java File or Java Project / Open Project.")
        .arg(lines.join(QLatin1Char('\n')));
}

StartFileOpener::StartFileOpener(TMDIFileApp& app, const QStringList& paths)
    : QObject(app.Client), app_(app), files_(sortStartPaths(paths))
{
    app_.holdRecentFiles(true);
    app_.Client->openingMany(true);
    QTimer::singleShot(0, this, &StartFileOpener::openSome);
}

StartFileOpener::~StartFileOpener()
{
    // Also when the workspace goes first (this object is its child).
    app_.holdRecentFiles(false);
}

void StartFileOpener::openSome()
{
    // Opening for a while, then the window's turn: at least two frames' time,
    // and as long as the window took on its turn, which grows with the number
    // of windows it draws. So drawing takes at most half the time, and opening
    // N files stays linear in N, while the window is drawn and answers.
    const qint64 budget = std::max<qint64>(30, windowsTurn_.isValid() ? windowsTurn_.elapsed() : 0);
    QElapsedTimer slice;
    slice.start();
    while (next_ < files_.files.size() && slice.elapsed() < budget) {
        const QString& path = files_.files[next_++];
        // A window of the last session shows it already: that one serves,
        // and is the active one when the file is the last named.
        lastRestored_ = app_.session() ? app_.session()->restoredWindowOf(path) : nullptr;
        if (!lastRestored_)
            app_.Client->openDropped(path);
    }
    windowsTurn_.start();
    if (next_ < files_.files.size()) {
        QTimer::singleShot(0, this, &StartFileOpener::openSome);
        return;
    }
    finished_ = true;
    app_.Client->openingMany(false);
    if (lastRestored_)
        app_.Client->bringToFront(lastRestored_);
    app_.holdRecentFiles(false);
    if (!files_.unopened.isEmpty())
        dialogs().message(app_.Frame, unopenedMessage(files_.unopened), QString(), Buttons::Ok, Icon::Warning);
    emit finished();
    deleteLater();
}

StartFileOpener* openStartFiles(TMDIFileApp& app, const QStringList& paths)
{
    return new StartFileOpener(app, paths);
}
