// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/projectmodel.h"

#include "javatext/javasource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool isBlank(const std::optional<QString>& value)
{
    return !value || value->trimmed().isEmpty();
}

// The package `sourcePath` declares (its first 64 KiB read), when the
// folders of `directory` end in the package's folders; sets the root too.
void findPackage(ProjectModel& m, const QString& sourcePath)
{
    QFile f(sourcePath);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString package = javatext::declaredPackage(QString::fromUtf8(f.read(1 << 16)));
    if (package.isEmpty())
        return;
    const QString dir = QDir::cleanPath(m.directory);
    const QString folders = QLatin1Char('/') + QString(package).replace(QLatin1Char('.'), QLatin1Char('/'));
    if (!dir.endsWith(folders))
        return;
    m.packageName = package;
    m.packageRoot = dir.size() == folders.size() ? QStringLiteral("/") : dir.left(dir.size() - folders.size());
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

QString ProjectModel::classRoot() const
{
    if (!isBlank(outputFolder) || packageRoot.isEmpty())
        return classDirectory();
    return packageRoot;
}

QString ProjectModel::packageClassDirectory() const
{
    if (packageName.isEmpty())
        return classDirectory();
    return classRoot() + QLatin1Char('/') + QString(packageName).replace(QLatin1Char('.'), QLatin1Char('/'));
}

QString ProjectModel::qualified(const QString& className) const
{
    return packageName.isEmpty() ? className : packageName + QLatin1Char('.') + className;
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

QStringList libraryFolders(const QString& folder)
{
    QStringList folders{QDir(folder).filePath(QStringLiteral("lib"))};
    QDir dir(folder);
    if (dir.dirName() == QLatin1String("src") && dir.cdUp())
        folders << dir.filePath(QStringLiteral("lib"));
    return folders;
}

QStringList libraryJarsIn(const QStringList& folders)
{
    QStringList jars;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList names = dir.entryList({QStringLiteral("*.jar")}, QDir::Files | QDir::Readable,
                                                QDir::Name | QDir::IgnoreCase);
        for (const QString& name : names) {
            // A jar of sources or of documentation is no class path entry.
            if (name.endsWith(QLatin1String("-sources.jar")) || name.endsWith(QLatin1String("-javadoc.jar")))
                continue;
            const QString jar = QDir::cleanPath(dir.absoluteFilePath(name));
            if (!jars.contains(jar))
                jars << jar;
        }
    }
    return jars;
}

void addLibraryJars(ProjectModel& model, const QStringList& jars)
{
    for (const QString& jar : jars) {
        model.libraryJars << jar;
        model.classPath.push_back({ClassPathEntry::Kind::Jar, jar});
    }
}

ProjectModel singleSourceModel(const QString& sourcePath, const ModelSettings& settings)
{
    ProjectModel m;
    m.origin = ProjectOrigin::SingleSource;
    m.file = sourcePath;
    m.directory = sourcePath.isEmpty() ? QString() : QFileInfo(sourcePath).absolutePath();
    if (sourcePath.isEmpty()) {
        applyModelSettings(m, settings);
        return m;
    }
    m.sources = m.scanPaths = QStringList{sourcePath};
    applyModelSettings(m, settings);
    findPackage(m, sourcePath);
    QStringList folders = libraryFolders(m.directory);
    if (!m.packageRoot.isEmpty())
        folders << libraryFolders(m.packageRoot);
    addLibraryJars(m, libraryJarsIn(folders));
    return m;
}
