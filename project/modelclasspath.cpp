// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/modelclasspath.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isSet(const std::optional<QString>& text)
{
    return text && !text->trimmed().isEmpty();
}

void addOnce(QStringList& list, const QString& entry)
{
    if (!entry.isEmpty() && !list.contains(entry))
        list << entry;
}

}  // namespace

QStringList addedClassPath(const ProjectModel& model)
{
    const size_t given = model.classPathText ? splitClassPath(*model.classPathText, model.directory).size() : 0;
    QStringList added;
    for (size_t i = given; i < model.classPath.size(); ++i)
        added << model.classPath[i].path;
    return added;
}

std::optional<QString> modelClassPath(const ProjectModel& model, ClassPathUse use)
{
    const QStringList added = addedClassPath(model);
    QStringList parts;
    if (use == ClassPathUse::Compile) {
        if (added.isEmpty() && model.packageName.isEmpty())
            return model.classPathText;
        if (isSet(model.classPathText)) {
            parts << *model.classPathText;
        } else {
            // javac's folder finds the sources beside; a package finds them
            // on its source path (the package's root) instead, so that its
            // classes are only those of the class root.
            if (model.packageRoot.isEmpty())
                addOnce(parts, model.directory);
            addOnce(parts, model.classRoot());
        }
    } else {
        if (use == ClassPathUse::Run && !isSet(model.outputFolder) && !isSet(model.classPathText) && added.isEmpty())
            return std::nullopt;
        parts << model.classRoot();
        if (isSet(model.classPathText))
            parts << *model.classPathText;
    }
    for (const QString& entry : added)
        addOnce(parts, entry);
    return parts.join(QDir::listSeparator());
}

QStringList shownLibraryJars(const ProjectModel& model)
{
    QStringList shown;
    for (const QString& jar : model.libraryJars) {
        const QFileInfo info(jar);
        shown << info.dir().dirName() + QLatin1Char('/') + info.fileName();
    }
    return shown;
}
