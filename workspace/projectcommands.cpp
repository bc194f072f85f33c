// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/projectcommands.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "workspace/mavencommands.h"
#include "workspace/workspace.h"

#include <QFileInfo>

ProjectCommands::ProjectCommands(TFileMDIClient& workspace)
    : QObject(&workspace), ws_(workspace), maven_(new MavenCommands(workspace))
{
}

bool ProjectCommands::compileHolding(const QString& file)
{
    return maven_->compileHolding(file);
}

void ProjectCommands::addCommands(CommandTable& table)
{
    table.on(cmd::NewJavaProj, [this] { newProject(); });
    table.on(cmd::OpenJavaProj, [this] { chooseProject(); });
    table.on(cmd::ViewJavaProj, [this] { viewProject(); });
}

void ProjectCommands::newProject()
{
    ws_.useDialogRecord(TFileMDIClient::DialogKind::JavaProject);
    ws_.setProjectWindow(nullptr);
    ws_.setProjectWindow(ws_.openEditor(EditorKind::JavaProject, QString()));
    ws_.projectWindow()->editor()->source()->setLineEnd(TextFormat::LineEnd::CRLF);
    follow(ws_.projectWindow());
}

void ProjectCommands::chooseProject()
{
    ws_.setProjectWindow(nullptr);
    ws_.useDialogRecord(TFileMDIClient::DialogKind::JavaProject);
    if (!dialogs().openFile(&ws_, ws_.dialogRecord(TFileMDIClient::DialogKind::JavaProject)))
        return;
    openProject(ws_.dialogRecord(TFileMDIClient::DialogKind::JavaProject).fileName);
}

void ProjectCommands::openProject(const QString& name)
{
    if (MavenCommands::isPom(name)) {
        maven_->openPom(name);
        return;
    }
    ws_.setProjectWindow(nullptr);
    ws_.useDialogRecord(TFileMDIClient::DialogKind::JavaProject);
    ws_.dialogRecord(TFileMDIClient::DialogKind::JavaProject).fileName = name;
    TFileMDIChild* w = ws_.openEditor(EditorKind::JavaProject, name);
    if (!w)
        return;
    ws_.setProjectWindow(w);
    follow(w);
    ws_.fileUsed(name);
}

void ProjectCommands::follow(TFileMDIChild* window)
{
    connect(window, &TFileMDIChild::projectEntryChosen, this, &ProjectCommands::openEntry);
}

void ProjectCommands::openEntry(const QString& path)
{
    for (TFileMDIChild* c : ws_.editors()) {
        if (!c->isProject() && c->editor()->source()->fileName() == path) {
            ws_.bringToFront(c);
            return;
        }
    }
    if (!QFileInfo(path).isFile()) {
        ws_.showStatus(QStringLiteral("The file %1 of this project entry does not exist").arg(path));
        return;
    }
    ws_.CmMRUFileOpenJava(path);
}

void ProjectCommands::viewProject()
{
    TFileMDIChild* w = ws_.projectWindow();
    if (!w || !ws_.subWindowList().contains(w))
        return;
    if (w->isMinimized())
        w->showNormal();
    ws_.setActiveSubWindow(w);
    w->editor()->setFocus();
}
