// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/classify/projectscan.h"

#include "project/projfile.h"
#include "toolchain/classify/classify.h"

#include <QDir>
#include <QFileInfo>

bool scanProject(const QString& projectPath, ProjectClassification* result)
{
    ProjectClassification found;
    QByteArray contents;
    if (!readProjectFile(projectPath, &contents)) {
        if (result)
            *result = found;
        return false;
    }
    const QDir projectDir = QFileInfo(projectPath).absoluteDir();
    for (const QString& entry : projectScanPaths(contents)) {
        const ScanResult r = scanJavaFile(projectDir.filePath(entry));
        applyVerdict(r.verdict, true, found.main, found.applet, found.package);
        if (!r.className.isEmpty())
            found.className = r.className;
    }
    if (result)
        *result = found;
    return true;
}

void classifyProject(const QString& projectPath, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage,
                     QString& classename)
{
    ProjectClassification found;
    if (!scanProject(projectPath, &found))
        return;
    IsJavaMain = IsJavaMain || found.main;
    IsJavaApplet = IsJavaApplet || found.applet;
    IsPackage = IsPackage || found.package;
    if (!found.className.isEmpty())
        classename = found.className;
}
