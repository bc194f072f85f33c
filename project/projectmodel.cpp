// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/projectmodel.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isBlank(const std::optional<QString>& value)
{
    return !value || value->trimmed().isEmpty();
}

}  // namespace

QString ProjectModel::baseName() const
{
    const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString ProjectModel::classDirectory() const
{
    if (isBlank(outputFolder))
        return directory;
    return QDir::cleanPath(QDir(directory).absoluteFilePath(*outputFolder));
}

std::vector<ClassPathEntry> splitClassPath(const QString& text, const QString& baseDir)
{
    std::vector<ClassPathEntry> entries;
    for (const QString& element : text.split(QDir::listSeparator(), Qt::SkipEmptyParts)) {
        ClassPathEntry e;
        const QString lower = element.toLower();
        e.kind = lower.endsWith(QLatin1String(".jar")) || lower.endsWith(QLatin1String(".zip"))
                     ? ClassPathEntry::Kind::Jar
                     : ClassPathEntry::Kind::Folder;
        e.path = baseDir.isEmpty() ? element : QDir::cleanPath(QDir(baseDir).absoluteFilePath(element));
        entries.push_back(e);
    }
    return entries;
}

void applyModelSettings(ProjectModel& model, const ModelSettings& settings)
{
    model.classPathText = settings.classPath;
    model.classPath = settings.classPath ? splitClassPath(*settings.classPath, model.directory)
                                         : std::vector<ClassPathEntry>{};
    model.outputFolder = settings.destination;
}

ProjectModel singleSourceModel(const QString& sourcePath, const ModelSettings& settings)
{
    ProjectModel m;
    m.origin = ProjectOrigin::SingleSource;
    m.file = sourcePath;
    m.directory = sourcePath.isEmpty() ? QString() : QFileInfo(sourcePath).absolutePath();
    if (!sourcePath.isEmpty())
        m.sources = m.scanPaths = QStringList{sourcePath};
    applyModelSettings(m, settings);
    return m;
}
