// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/building/filebuild.h"

#include "config/toolpaths.h"
#include "platform/dialogs.h"
#include "platform/host.h"
#include "javatext/javasource.h"
#include "project/modelclasspath.h"
#include "toolchain/building/buildsite.h"
#include "toolchain/building/runplan.h"
#include "toolchain/classify/classify.h"
#include "toolchain/classify/compactsource.h"
#include "toolchain/classify/projectscan.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/compiling/projectcompile.h"
#include "toolchain/messages/messages.h"
#include "toolchain/running/run.h"
#include "toolchain/settings/settings.h"
#include "toolchain/testing/junitjars.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <optional>

namespace {

// The text of a source as last saved, for what its imports bring to the
// class path; empty when it cannot be read.
QString savedSource(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Shows `r` when it says anything; true when it did.
bool say(QWidget* owner, const Refusal& r)
{
    if (r.text.isEmpty())
        return false;
    dialogs().message(owner, r.text, r.caption, Buttons::Ok, r.icon);
    return true;
}

// The status text of a successful compilation.
QString successText(const CompileOutcome& o, const QString& capture)
{
    const int warnings = summarizeCaptureFile(capture).warnings;
    QString text = QStringLiteral("Compilation success");
    if (warnings > 0)
        text += QStringLiteral(", %1 %2: Java Project / Compiler Messages shows them")
                    .arg(warnings)
                    .arg(warnings == 1 ? QStringLiteral("warning") : QStringLiteral("warnings"));
    if (o.sourcesChanged)
        text += QStringLiteral("; a file was saved while it compiled: compile again before running");
    return text;
}

}  // namespace

FileBuild::FileBuild(BuildSite* site) : site_(site) {}

FileBuild::~FileBuild()
{
    // A window closed while its compiler runs gives up that compilation.
    // Not while the workspace itself goes (it is no workspace then).
    const bool gaveUp = runner_ && runner_->isRunning() && site_->inWorkspace();
    delete runner_.data();  // ends the compiler's whole process group
    if (gaveUp)
        site_->clearLastingStatus();
}

QString FileBuild::sourceFile() const
{
    return site_->buildFile();
}

// ---------------------------------------------------------------- classification

void FileBuild::classify()
{
    // Whether the file is a package member is found too, and not needed.
    bool isPackage = false;
    if (site_->buildsProject())
        classifyProject(sourceFile(), IsJavaMain, IsJavaApplet, isPackage, classename);
    else if (classifySource(sourceFile(), IsJavaMain, IsJavaApplet, isPackage, classename) == PackageMember)
        classifyInPackage();
}

void FileBuild::classifyInPackage()
{
    // A source in the folders of its package runs by its name with the
    // package: what the rest of its text declares decides as for any source.
    const ProjectModel m = model();
    QFile f(m.file);
    if (m.packageName.isEmpty() || !f.open(QIODevice::ReadOnly))
        return;
    QString text = QString::fromUtf8(f.readAll());
    const qsizetype start = javatext::skipGaps(text, 0);
    const qsizetype end = text.indexOf(QLatin1Char(';'), start);
    if (end < 0)
        return;
    text.replace(start, end + 1 - start, QString(end + 1 - start, QLatin1Char(' ')));
    const ScanResult r = scanJavaText(text.toUtf8(), m.baseName());
    bool isPackage = false;
    applyVerdict(r.verdict, false, IsJavaMain, IsJavaApplet, isPackage);
    if (!r.className.isEmpty())
        classename = r.className;
}

QString FileBuild::libraryNote(const ProjectModel& model)
{
    // Said once for each set of jars, whichever window uses it.
    static QStringList told;
    if (model.libraryJars.isEmpty() || model.libraryJars == told)
        return {};
    told = model.libraryJars;
    return QStringLiteral("; Class path: %1 added").arg(shownLibraryJars(model).join(QStringLiteral(", ")));
}

// ---------------------------------------------------------------- compiling

bool FileBuild::mayCompile(const QString& file)
{
    if (file.isEmpty()) {
        dialogs().message(site_->dialogOwner(), QStringLiteral("Save the file before compiling it."), QString(),
                          Buttons::Ok, Icon::Information);
        return false;
    }
    QString what;
    if (host::fileKind(file, &what) == host::FileKind::NotRegular) {
        // javac would wait for ever on a named pipe, or read a device without end.
        dialogs().message(
            site_->dialogOwner(),
            QStringLiteral("The file %1 is %2, not a regular file, so it was not compiled.").arg(file, what),
            QString(), Buttons::Ok, Icon::Stop);
        return false;
    }
    if (say(site_->dialogOwner(), oddNameRefusal(file, QStringLiteral("compiled"))))
        return false;
    if (temp.isEmpty()) {
        dialogs().message(site_->dialogOwner(),
                          QStringLiteral("There is no directory for the compiler's messages, so nothing was "
                                         "compiled. Set TEMP to a directory of your own and restart Brewpad."),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

void FileBuild::compile()
{
    if (JavacRunner::active())
        return;  // one compilation at a time
    const QString file = sourceFile();
    if (!mayCompile(file))
        return;
    if (!site_->buildsProject() && site_->compileProjectHolding(file))
        return;
    if (!runner_) {
        runner_ = new JavacRunner(this);
        connect(runner_, &JavacRunner::finished, this, [this](const CompileOutcome& o) { compileFinished(o); });
    }
    setcurdir(file);
    const QString capture = captureFileName(file);
    QString shown;
    bool started;
    if (site_->buildsProject()) {
        started = startProject(model(), capture, &shown);
    } else {
        const ProjectModel m = model();
        const QStringList options = makeargsList(m);
        shown = javacProgram() + QLatin1Char(' ') + optionText(options) + QLatin1Char(' ') + file;
        started = runner_->start(javacProgram(), withJUnitClassPath(options, savedSource(file)) << file, m.directory,
                                 capture, {file});
    }
    libraryNote_ = started ? libraryNote(model()) : QString();
    if (started) {
        site_->compilationStarted();
        const QString text = QStringLiteral("Compiling: %1").arg(shown);
        site_->showStatus(text);
        site_->showLastingStatus(text);  // until the compilation ends
    }
}

bool FileBuild::startProject(const ProjectModel& model, const QString& capture, QString* shown)
{
    const ProjectCompilePlan plan = planProjectCompile(model);
    if (!plan.refused.isEmpty())
        dialogs().message(site_->dialogOwner(),
                          QStringLiteral("These entries of the project are not regular files, so they were "
                                         "not compiled:\n\n%1")
                              .arg(plan.refused.join(QLatin1Char('\n'))),
                          QString(), Buttons::Ok, Icon::Warning);
    if (plan.sources.isEmpty()) {
        IsCompiled = projectClassesCurrent(plan);
        site_->showStatus(nothingToCompileText(plan));
        return false;
    }
    const QString javac = javacProgram();
    *shown = javac + QLatin1Char(' ') + optionText(makeargsList(model)) + QLatin1Char(' ') +
             plan.sources.join(QLatin1Char(' ')) + QLatin1Char(' ');
    // A save of the project or of one of its sources while javac runs
    // leaves classes behind that are older than the text.
    QStringList watched{model.file};
    for (const QString& s : plan.sources)
        watched << plan.directory + QLatin1Char('/') + s;
    return runner_->start(javac, makeargsList(model) + plan.sources, plan.directory, capture, watched);
}

QString FileBuild::failureNote() const
{
    if (site_->buildsProject())
        return {};
    return newerJavaNote(sourceFile(), javabin);
}

void FileBuild::compileFinished(const CompileOutcome& o)
{
    const QString capture = runner_ ? runner_->captureFile() : QString();
    site_->clearLastingStatus();
    site_->compilationEnded(o.kind == CompileOutcome::Success);
    // F9 compiles the file as last saved: what the window shows may differ.
    const QString unsaved = site_->holdsUnsavedChanges()
                                ? QStringLiteral("; compiled as last saved: this window holds unsaved changes")
                                : QString();
    // Classes compiled from a text that has been saved over since are not current.
    IsCompiled = o.kind == CompileOutcome::Success && !o.sourcesChanged;
    switch (o.kind) {
    case CompileOutcome::Success:
        site_->showStatus(successText(o, capture) + unsaved + libraryNote_);
        dialogs().message(site_->dialogOwner(), QStringLiteral("Compilation success"), QStringLiteral("SUCCESS"));
        break;
    case CompileOutcome::Failed: site_->showCompilerMessages(capture, unsaved + failureNote() + libraryNote_); break;
    case CompileOutcome::Stopped: site_->showStatus(QStringLiteral("Compilation stopped")); break;
    case CompileOutcome::Crashed:
        site_->showStatus(QStringLiteral("Compilation failed: the compiler crashed"));
        dialogs().message(site_->dialogOwner(),
                          QStringLiteral("The Java compiler %1 did not finish: %2.\n\nNothing is known to be "
                                         "compiled. Compile again; if it happens again, check the Java "
                                         "installation. Java Project / Compiler Messages shows what the "
                                         "compiler wrote before it ended.")
                              .arg(javacProgram(), o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    case CompileOutcome::CaptureFailed:
        site_->showStatus(QStringLiteral("Compilation failed: its messages could not be written"));
        dialogs().message(site_->dialogOwner(),
                          QStringLiteral("Nothing is known to be compiled: %1.\n\nFree some space in that folder "
                                         "or make it writable (or set TEMP to a folder of your own and restart "
                                         "Brewpad), then compile again.")
                              .arg(o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    case CompileOutcome::NotStarted:
        site_->showStatus(QString());
        dialogs().message(site_->dialogOwner(),
                          QStringLiteral("The Java compiler %1 could not be started: %2.\n\nCheck the Java "
                                         "tools directory (delete brewpad.cfg and restart Brewpad to search "
                                         "for them again).")
                              .arg(javacProgram(), o.reason.isEmpty() ? libelle_erreur(o.failureIndex) : o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    }
}


// ---------------------------------------------------------------- running

ProjectModel FileBuild::model() const
{
    return buildModel(sourceFile(), site_->buildsProject());
}

RunState FileBuild::runState() const
{
    return RunState{site_->buildsProject(), IsJavaMain, IsJavaApplet, IsCompiled};
}

bool FileBuild::offers(RunKindId kind) const
{
    return runKind(kind).enabled(runState());
}

std::optional<RunPlan> FileBuild::plan(RunKindId kind, const QString& java)
{
    const QString file = sourceFile();
    if (file.isEmpty())
        return std::nullopt;
    RunPlan p = planRun(runKind(kind), model(), classename, RunTools{javabin, java, doscmd, EDITCMDLINE});
    if (!p.launch) {
        say(site_->dialogOwner(), p.refusal);
        return std::nullopt;
    }
    return p;
}

void FileBuild::run(RunKindId id)
{
    const RunKind& kind = runKind(id);
    if (kind.start != RunKind::Start::Detached)
        return;  // Debug Run is the debugger's
    const std::optional<RunPlan> p = plan(id);
    if (!p)
        return;
    QWidget* owner = site_->dialogOwner();
    QString error;
    if (id == RunKindId::AppletRun &&
        !writeAppletPage(curdir, appletPage(p->className, QDateTime::currentDateTime(), QLocale::system()), &error)) {
        dialogs().message(owner, error, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    int failure = 0;
    const StartCommand& c = p->launch->detached;
    if (!startDetached(c, &failure))
        dialogs().message(owner, QString::fromLatin1(kind.failureText).arg(c.display, libelle_erreur(failure)),
                          QStringLiteral("ERROR"));
}

std::optional<DebugTarget> FileBuild::debugTarget(const QString& java)
{
    const std::optional<RunPlan> p = plan(RunKindId::DebugRun, java);
    if (!p)
        return std::nullopt;
    return DebugTarget{p->launch->debugged, p->className, p->classDir, p->sourceDir};
}
