// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's project commands: a project is a text file listing one source
// per line, shown and edited in an editor window of the project kind.
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "platform/dialogs.h"
#include "workspace/client.h"

void TFileMDIClient::CmNewJavaProj()
{
    FileData = &FileJprData;
    EditJAVACntl = nullptr;
    EditJAVACntl = openEditor(EditorKind::JavaProject, QString());
    EditJAVACntl->editor()->setLineEnd(TextFormat::LineEnd::CRLF);
}

void TFileMDIClient::CmOpenJavaProj()
{
    EditJAVACntl = nullptr;
    FileData = &FileJprData;
    if (!dialogs().openFile(this, FileJprData))
        return;
    CmOpenJavaProjFile(FileJprData.fileName);
}

void TFileMDIClient::CmOpenJavaProjFile(const QString& name)
{
    EditJAVACntl = nullptr;
    FileData = &FileJprData;
    FileJprData.fileName = name;
    TFileMDIChild* w = openEditor(EditorKind::JavaProject, name);
    if (!w)
        return;
    EditJAVACntl = w;
    fileUsed(name);
}

void TFileMDIClient::CmViewJavaProj()
{
    if (!EditJAVACntl || !subWindowList().contains(EditJAVACntl.data()))
        return;
    if (EditJAVACntl->isMinimized())
        EditJAVACntl->showNormal();
    setActiveSubWindow(EditJAVACntl);
    EditJAVACntl->editor()->setFocus();
}

