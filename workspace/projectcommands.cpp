// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/projectcommands.h"

#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "workspace/client.h"

ProjectCommands::ProjectCommands(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

void ProjectCommands::addCommands(CommandTable& table)
{
    table.on(cmd::NewJavaProj, [this] { newProject(); });
    table.on(cmd::OpenJavaProj, [this] { chooseProject(); });
    table.on(cmd::ViewJavaProj, [this] { viewProject(); });
}

void ProjectCommands::newProject()
{
    ws_.FileData = &ws_.FileJprData;
    ws_.EditJAVACntl = nullptr;
    ws_.EditJAVACntl = ws_.openEditor(EditorKind::JavaProject, QString());
    ws_.EditJAVACntl->editor()->setLineEnd(TextFormat::LineEnd::CRLF);
}

void ProjectCommands::chooseProject()
{
    ws_.EditJAVACntl = nullptr;
    ws_.FileData = &ws_.FileJprData;
    if (!dialogs().openFile(&ws_, ws_.FileJprData))
        return;
    openProject(ws_.FileJprData.fileName);
}

void ProjectCommands::openProject(const QString& name)
{
    ws_.EditJAVACntl = nullptr;
    ws_.FileData = &ws_.FileJprData;
    ws_.FileJprData.fileName = name;
    TFileMDIChild* w = ws_.openEditor(EditorKind::JavaProject, name);
    if (!w)
        return;
    ws_.EditJAVACntl = w;
    ws_.fileUsed(name);
}

void ProjectCommands::viewProject()
{
    TFileMDIChild* w = ws_.EditJAVACntl;
    if (!w || !ws_.subWindowList().contains(w))
        return;
    if (w->isMinimized())
        w->showNormal();
    ws_.setActiveSubWindow(w);
    w->editor()->setFocus();
}
