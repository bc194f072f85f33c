// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/openprojects.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

std::vector<ProjectModel>& projects()
{
    static std::vector<ProjectModel> open;
    return open;
}

bool below(const QString& path, const QString& root)
{
    const QString r = QDir::cleanPath(root);
    return path.size() > r.size() && path.startsWith(r) && path.at(r.size()) == u'/';
}

}  // namespace

namespace openprojects {

void keep(const ProjectModel& project)
{
    forget(project.file);
    projects().push_back(project);
}

void forget(const QString& projectFile)
{
    std::erase_if(projects(), [&](const ProjectModel& p) { return p.file == projectFile; });
}

std::optional<HeldSource> holding(const QString& source)
{
    if (source.isEmpty() || projects().empty())
        return std::nullopt;
    const QString path = QDir::cleanPath(QFileInfo(source).absoluteFilePath());
    std::optional<HeldSource> found;
    qsizetype deepest = -1;
    for (const ProjectModel& p : projects()) {
        for (bool test : {false, true}) {
            for (const QString& root : test ? p.testSourceRoots : p.sourceRoots) {
                if (below(path, root) && root.size() > deepest) {
                    deepest = root.size();
                    found = HeldSource{p, test};
                }
            }
        }
    }
    return found;
}

}  // namespace openprojects
