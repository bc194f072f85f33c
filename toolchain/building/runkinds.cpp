// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/building/runkinds.h"

#include "project/modelclasspath.h"
#include "resources/commands.h"

namespace {

bool applicationReady(const RunState& s)
{
    return s.IsJavaMain && s.IsCompiled;  // a project runs its class too
}

bool appletReady(const RunState& s)
{
    return s.IsJavaApplet && s.IsCompiled;
}

// Run Tests compiles its source itself: any source's window offers it, and
// one that holds no JUnit test class is told so.
bool sourceWindow(const RunState& s)
{
    return !s.isProject;
}

// java's class path option for the model; none when java finds the class
// in the folder it starts in.
QStringList classPathOptions(const ProjectModel& model)
{
    const std::optional<QString> path = modelClassPath(model, ClassPathUse::Run);
    return path ? QStringList{QStringLiteral("-classpath"), *path} : QStringList{};
}

RunLaunch javaRunLine(const RunRequest& r)
{
    RunLaunch l;
    l.detached = javaRunCommand(r.terminal, r.program, r.className, r.arguments, r.workDir, &l.ok,
                                classPathOptions(r.model));
    return l;
}

RunLaunch appletRunLine(const RunRequest& r)
{
    RunLaunch l;
    l.detached = appletCommand(r.program, r.workDir);
    return l;
}

RunLaunch debugRunLine(const RunRequest& r)
{
    RunLaunch l;
    l.debugged = javaProgramCommand(r.program, r.className, r.workDir, {}, {}, r.arguments, {}, &l.ok);
    // The model's class path in place of the folder the program starts in.
    const QStringList options = classPathOptions(r.model);
    const qsizetype at = l.debugged.args.indexOf(QStringLiteral("-classpath"));
    if (!options.isEmpty() && at >= 0 && at + 1 < l.debugged.args.size())
        l.debugged.args[at + 1] = options[1];
    return l;
}

RunLaunch testsLine(const RunRequest& r)
{
    RunLaunch l;
    l.tests = junitCommand(r.program, r.testClassPath, r.tests, r.reportsDir, r.workDir);
    return l;
}

}  // namespace

const std::vector<RunKind>& runKinds()
{
    using S = RunKind::Start;
    static const std::vector<RunKind> kinds = {
        {RunKindId::JavaRun, cmd::JavaRun, S::Detached, true, true, "Exec : %1 : %2", applicationReady, javaRunLine},
        {RunKindId::AppletRun, cmd::AppletRun, S::Detached, false, false, "Win Exec : %1 : %2", appletReady,
         appletRunLine},
        {RunKindId::DebugRun, cmd::DebugRun, S::UnderDebugger, true, true, "Exec : %1 : %2", applicationReady,
         debugRunLine},
        {RunKindId::RunTests, cmd::RunTests, S::UnderJUnit, true, true, "Exec : %1 : %2", sourceWindow, testsLine},
    };
    return kinds;
}

const RunKind& runKind(RunKindId id)
{
    for (const RunKind& k : runKinds()) {
        if (k.id == id)
            return k;
    }
    return runKinds().front();
}

const RunKind* runKindOfCommand(int command)
{
    for (const RunKind& k : runKinds()) {
        if (k.command == command)
            return &k;
    }
    return nullptr;
}

ProgramCommand runTestsCommand(const QString& java, const QStringList& classPath, const TestSelection& selection,
                               const QString& reportsDir, const QString& workDir)
{
    RunRequest r{{}, {}, workDir, java, {}, std::nullopt};
    r.tests = selection;
    r.testClassPath = classPath;
    r.reportsDir = reportsDir;
    return runKind(RunKindId::RunTests).commandLine(r).tests;
}

QString runCaption(const RunKind& kind)
{
    const CommandInfo* info = commandInfo(kind.command);
    if (!info)
        return QString();
    QString caption = info->menuCaption();
    caption = caption.left(caption.indexOf(QLatin1Char('\t')));
    return caption.remove(QLatin1Char('&'));
}
