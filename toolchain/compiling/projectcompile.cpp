// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/projectcompile.h"

#include "javatext/javasource.h"
#include "platform/host.h"
#include "project/jprloader.h"
#include "toolchain/classify/classify.h"
#include "toolchain/compiling/outofdate.h"

ProjectCompilePlan planProjectCompile(const QString& projectPath)
{
    return planProjectCompile(loadJprProject(projectPath, ModelSettings{}));
}

ProjectCompilePlan planProjectCompile(const ProjectModel& model)
{
    ProjectCompilePlan plan;
    plan.directory = model.directory;
    const QString prefix = plan.directory + host::separator();
    for (const QString& entry : model.sources) {
        ProjectEntry e;
        e.line = entry;
        filename(entry, e.base, e.ext);
        e.needComp = need_comp(prefix + e.base + QStringLiteral(".class"),
                               prefix + e.base + QLatin1Char('.') + e.ext);
        // The file javac reads: it would wait for ever on a named pipe, or
        // read a device without end.
        QString what;
        const QString read = prefix + javatext::sourceFileName(e.base);
        if (e.needComp == 1 && isjava(e.ext) && host::fileKind(read, &what) == host::FileKind::NotRegular) {
            plan.refused << QStringLiteral("%1 (%2)").arg(read, what);
            e.notRegular = what;
        } else if (e.needComp == 1 && isjava(e.ext)) {
            QString listed = javatext::sourceFileName(e.base);
            if (listed.startsWith(QLatin1Char('-')) || listed.startsWith(QLatin1Char('@')))
                listed.prepend(QStringLiteral("./"));
            plan.sources << listed;
        }
        plan.items.push_back(std::move(e));
    }
    plan.entries = int(plan.items.size());
    return plan;
}

bool projectClassesCurrent(const ProjectCompilePlan& plan)
{
    bool anySource = false;
    for (const ProjectEntry& e : plan.items) {
        if (!isjava(e.ext))
            continue;
        if (e.needComp != 0)
            return false;
        anySource = true;
    }
    return anySource;
}

namespace {
// "this entry is not X: a" or "these entries are not Xs: a, b", five at most named.
QString entriesText(QStringList names, const QString& one, const QString& many)
{
    constexpr int shown = 5;
    const qsizetype more = names.size() - shown;
    const bool single = names.size() == 1;
    if (more > 0)
        names = names.mid(0, shown) << QStringLiteral("and %1 more").arg(more);
    return (single ? one : many) + names.join(QStringLiteral(", "));
}
}  // namespace

QString nothingToCompileText(const ProjectCompilePlan& plan)
{
    const QString lead = QStringLiteral("nothing to compile: ");
    if (plan.items.empty())
        return lead + QStringLiteral("the project lists no sources");
    QStringList others, irregular;
    for (const ProjectEntry& e : plan.items) {
        const QString quoted = QLatin1Char('"') + e.line + QLatin1Char('"');
        if (!isjava(e.ext))
            others << quoted;
        else if (!e.notRegular.isEmpty())
            irregular << quoted + QStringLiteral(" (") + e.notRegular + QLatin1Char(')');
    }
    const QString current = QStringLiteral("every class is newer than its source");
    QStringList parts;
    if (!others.isEmpty())
        parts << entriesText(others, QStringLiteral("this entry is not a Java source: "),
                             QStringLiteral("these entries are not Java sources: "));
    if (!irregular.isEmpty())
        parts << entriesText(irregular, QStringLiteral("this entry is not a regular file: "),
                             QStringLiteral("these entries are not regular files: "));
    if (parts.isEmpty() || projectClassesCurrent(plan))
        parts << current;
    return lead + parts.join(QStringLiteral("; "));
}
