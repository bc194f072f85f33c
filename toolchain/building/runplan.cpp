// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/building/runplan.h"

#include "config/toolpaths.h"
#include "platform/host.h"
#include "platform/nativename.h"
#include "project/jprloader.h"
#include "toolchain/classify/classify.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/settings/settings.h"

#include <QDir>
#include <QFileInfo>

ProjectModel buildModel(const QString& file, bool isProject)
{
    return isProject ? loadJprProject(file, modelSettings()) : singleSourceModel(file, modelSettings());
}

Refusal oddNameRefusal(const QString& file, const QString& done)
{
    if (!nativename::hasOddBytes(file))
        return {};
    return {QStringLiteral("The name %1 holds bytes that are not UTF-8 (shown as \\x and two digits), "
                           "so it was not %2: the Java tools cannot open a file of such a name on "
                           "this system. Rename the file or its folder to a UTF-8 name, for example "
                           "with convmv -f latin1 -t utf8 --notest, and open it again.")
                .arg(nativename::shown(file), done),
            QStringLiteral("ERROR"), Icon::Stop};
}

namespace {

// Enters the source's folder; the refusal when it cannot be entered.
Refusal enterSourceFolder(const QString& file)
{
    if (setcurdir(file))
        return {};
    const QString text = QFileInfo::exists(curdir)
                             ? QStringLiteral("The folder %1 of %2 cannot be entered, so nothing was started.")
                             : QStringLiteral(
                                   "The folder %1 of %2 is gone, so nothing was started. Save the source "
                                   "into a folder that exists and compile it again.");
    return {text.arg(curdir, QFileInfo(file).fileName()), QStringLiteral("ERROR"), Icon::Stop};
}

// The class to run: the file's base name, or the class the classification
// found, its class file looked for in `classDir`.
std::optional<QString> pickClass(const QString& file, const QString& classename, const QString& classDir,
                                 Refusal* refusal)
{
    QString base, ext;
    filename(file, base, ext);
    QString missing;
    std::optional<QString> found = chooseClass(
        base, classename.isEmpty() ? std::nullopt : std::optional<QString>(classename), classDir, &missing);
    if (!found)
        *refusal = {missing, QStringLiteral("class not found"), Icon::None};
    return found;
}

QString toolProgram(const RunKind& kind, const RunTools& tools)
{
    if (kind.start == RunKind::Start::UnderDebugger && !tools.java.isEmpty())
        return tools.java;
    const char* tool = kind.id == RunKindId::AppletRun ? "appletviewer" : "java";
    return tools.javabin + QLatin1Char('/') + host::toolName(QString::fromLatin1(tool));
}

}  // namespace

RunPlan planRun(const RunKind& kind, const ProjectModel& model, const QString& classename, const RunTools& tools)
{
    RunPlan plan;
    const QString& file = model.file;
    if (file.isEmpty())
        return plan;
    plan.refusal = oddNameRefusal(file, QStringLiteral("run"));
    if (plan.refusal.text.isEmpty())
        plan.refusal = enterSourceFolder(file);
    if (!plan.refusal.text.isEmpty())
        return plan;
    plan.sourceDir = model.directory;
    // A class of a package is looked for in its package's folders and run
    // by its qualified name from the class root.
    const QString classDir = kind.classInClassFolder ? model.packageClassDirectory() : QDir::currentPath();
    plan.classDir = QFileInfo(kind.classInClassFolder ? model.classRoot() : classDir).absoluteFilePath();
    const std::optional<QString> simple = pickClass(file, classename, classDir, &plan.refusal);
    if (!simple)
        return plan;
    const std::optional<QString> cls = kind.classInClassFolder ? model.qualified(*simple) : *simple;
    plan.className = *cls;
    if (kind.classOnCommandLine) {
        const QString refused = refusedClassName(*cls);
        if (!refused.isEmpty()) {
            plan.refusal = {refused, QStringLiteral("ERROR"), Icon::Stop};
            return plan;
        }
    }
    const RunLaunch launch = kind.commandLine(
        RunRequest{model, *cls, model.packageRoot.isEmpty() || !kind.classInClassFolder ? curdir : model.packageRoot,
                   toolProgram(kind, tools), tools.terminal, tools.arguments});
    if (!launch.ok) {
        const QString shown = kind.start == RunKind::Start::Detached ? launch.detached.display : *cls;
        plan.refusal = {QString::fromLatin1(kind.failureText).arg(shown, unbalancedQuotesText()),
                        QStringLiteral("ERROR"), Icon::None};
        return plan;
    }
    plan.launch = launch;
    return plan;
}
