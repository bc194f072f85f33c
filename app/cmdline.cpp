#include "app/cmdline.h"

#include "platform/dialogs.h"
#include "workspace/client.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
                       "started: a .jpr file as a Java project, any other file as a Java source."));
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
    const QDir dir(startDir);
    for (const QString& n : names)
        out << QDir::cleanPath(dir.absoluteFilePath(n));
    return out;
}

StartFiles sortStartPaths(const QStringList& paths)
{
    StartFiles s;
    for (const QString& p : paths) {
        const QFileInfo fi(p);
        if (fi.isFile())
            s.files << p;
        else if (fi.isDir())
            s.unopened.push_back({p, UnopenedName::Why::Folder});
        else if (fi.exists())
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
        switch (n.why) {
        case UnopenedName::Why::Folder: lines << QStringLiteral("%1 (a folder)").arg(n.path); break;
        case UnopenedName::Why::Missing: lines << QStringLiteral("%1 (no such file)").arg(n.path); break;
        case UnopenedName::Why::NotAFile: lines << QStringLiteral("%1 (not a file)").arg(n.path); break;
        }
    }
    return QStringLiteral("Brewpad opens files only, so these were not opened:\n\n%1\n\n"
                          "Give the names of Java source files or .jpr project files, or open "
                          "them with File / Open Java File or Java Project / Open Project.")
        .arg(lines.join(QLatin1Char('\n')));
}

void openStartFiles(TFileMDIClient* client, QWidget* owner, const QStringList& paths)
{
    const StartFiles s = sortStartPaths(paths);
    for (const QString& f : s.files)
        client->openDropped(f);
    if (!s.unopened.isEmpty())
        dialogs().message(owner, unopenedMessage(s.unopened), QString(), Buttons::Ok, Icon::Warning);
}
