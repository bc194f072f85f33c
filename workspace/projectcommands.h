// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's project commands: a project is a text file listing one source
// per line, shown and edited in an editor window of the project kind. The
// window last opened or created is the workspace's projectWindow(). A
// pom.xml opens as a Maven project (workspace/mavencommands.h).
#pragma once

#include <QObject>
#include <QString>

class CommandTable;
class MavenCommands;
class TFileMDIChild;
class TFileMDIClient;

class ProjectCommands : public QObject {
    Q_OBJECT
public:
    explicit ProjectCommands(TFileMDIClient& workspace);

    // New Project, Open Project and View Project.
    void addCommands(CommandTable& table);
    // A new, empty project window (its lines end in CR LF).
    void newProject();
    // The open dialog for projects, then openProject() of the chosen file.
    void chooseProject();
    // Opens `name` as a project, as Open Project does after its dialog: a
    // .jpr in its editor window, a pom.xml as a Maven project.
    void openProject(const QString& name);
    // Brings the project window to the front with the focus.
    void viewProject();
    // Brings the window of the source `path` to the front, opening it when
    // none shows it; says so in the status bar when there is no such file.
    void openEntry(const QString& path);
    // Java Compile in a source window of an open Maven project compiles the project.
    bool compileHolding(const QString& file);

private:
    // A project window of the workspace: its entries open on a double-click.
    void follow(TFileMDIChild* window);

    TFileMDIClient& ws_;
    MavenCommands* maven_;
};
