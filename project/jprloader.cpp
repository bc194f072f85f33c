// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/jprloader.h"

#include "project/projfile.h"

#include <QFileInfo>

ProjectModel jprProjectModel(const QString& path, const QByteArray& contents, const ModelSettings& settings)
{
    ProjectModel m;
    m.origin = ProjectOrigin::JprFile;
    m.file = path;
    m.directory = QFileInfo(path).absolutePath();
    m.sources = projectCompileEntries(contents);
    m.scanPaths = projectScanPaths(contents);
    applyModelSettings(m, settings);
    addLibraryJars(m, libraryJarsIn(libraryFolders(m.directory)));
    return m;
}

ProjectModel loadJprProject(const QString& path, const ModelSettings& settings)
{
    QByteArray contents;
    const bool readable = readProjectFile(path, &contents);
    ProjectModel m = jprProjectModel(path, readable ? contents : QByteArray(), settings);
    m.readable = readable;
    return m;
}
