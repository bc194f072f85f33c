// SPDX-License-Identifier: GPL-3.0-or-later
// Brewpad's entry point: `brewpad [FILE...]`, `--help`, `--version` (app/cmdline.h).
#include "app/brewpad.h"
#include "app/cmdline.h"
#include "app/session.h"
#include "config/lookfile.h"
#include "platform/nativepath.h"
#include "platform/startuptrace.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstring>

#include "resources/resources.h"
#include "toolchain/compiling/compile.h"
#include "workspace/workspace.h"

namespace {

// --help and --version are answered by a core application alone, so that they
// need no display and start nothing else. Without an option on the command
// line there is nothing to answer, and no core application is made (it would
// delay the start).
void answerTextOnlyOptions(int argc, char** argv)
{
    bool anOption = false;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        anOption = anOption || argv[i][0] == '-';
    if (!anOption)
        return;
    QCoreApplication core(argc, argv);
    setApplicationIdentity();
    printHelpOrVersionAndExit(QCoreApplication::arguments());
}

}  // namespace

int OwlMain(int argc, char** argv)
{
    startuptrace::mark("main");
    answerTextOnlyOptions(argc, argv);

    QApplication qapp(argc, argv);
    startuptrace::mark("application");
    startuptrace::watchFirstBox();
    setApplicationIdentity();
    QCommandLineParser parser;
    describeCommandLine(parser);
    parser.process(qapp);  // an unknown option: a message and status 1, no window
    // The names with their bytes, also those that are not UTF-8 (QApplication
    // took its own options out of argv).
    QList<QByteArray> raw;
    for (int i = 1; i < argc; ++i)
        raw << QByteArray(argv[i]);
    const QStringList files = absoluteStartPaths(nativeStartNames(parser.positionalArguments(), raw),
                                                 nativepath::currentDir());

    startuptrace::mark("command-line");
    initBrewpadResources();
    startuptrace::mark("resources");
    TMDIFileApp::Options options;
    options.sessionFile = SessionFile::defaultPath();
    options.lookFile = lookfile::defaultPath();
    TMDIFileApp app(options);
    startuptrace::mark("application-object");
    app.InitMainWindow();
    openStartFiles(app, files);
    // The warm compiler for F9, in the background once the window is up (or
    // at the first F9, when brewpad.cfg is not the user's own).
    app.Client->prepareCompileService(
        &app, files.isEmpty() ? nativepath::currentDir() : QFileInfo(files.first()).absolutePath());
    return qapp.exec();
}

int main(int argc, char** argv)
{
    return OwlMain(argc, argv);
}
