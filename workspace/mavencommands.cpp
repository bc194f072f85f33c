// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/mavencommands.h"

#include "config/toolpaths.h"
#include "platform/dialogs.h"
#include "platform/host.h"
#include "project/openprojects.h"
#include "resources/commands.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/maven/mavencall.h"
#include "toolchain/maven/mavenloader.h"
#include "toolchain/maven/mavenmessages.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/settings/settings.h"
#include "toolchain/testing/testrun.h"
#include "editor/editcontrol.h"
#include "editor/editorwindow.h"
#include "editor/textdoc.h"
#include "workspace/debugcontroller.h"
#include "workspace/fileplaces.h"
#include "workspace/mavenwindow.h"
#include "workspace/testcommands.h"
#include "workspace/windowplacement.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTreeWidget>

namespace {

// The project's model with its sources as they are on disk now.
ProjectModel rescanned(const ProjectModel& m)
{
    ProjectModel n = m;
    n.sources = n.scanPaths = javaSourcesUnder(m.sourceRoots);
    n.testSources = javaSourcesUnder(m.testSourceRoots);
    return n;
}

// The model the tests compile with: the test class path, the test classes' folder.
ProjectModel testModel(const ProjectModel& m)
{
    ProjectModel t = m;
    t.classPathText = m.testClassPathText;
    t.classPath = m.testClassPath;
    t.outputFolder = m.testOutputFolder;
    return t;
}

bool loaded(const MavenProjectWindow* w)
{
    return w && w->model().outputFolder.has_value();
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

}  // namespace

MavenCommands::MavenCommands(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

MavenCommands::~MavenCommands()
{
    delete call_.data();  // ends Maven's whole process group
}

bool MavenCommands::isPom(const QString& path)
{
    return QFileInfo(path).fileName() == QLatin1String("pom.xml");
}

MavenProjectWindow* MavenCommands::window(const QString& pomPath) const
{
    const QString file = QFileInfo(pomPath).absoluteFilePath();
    for (QMdiSubWindow* s : ws_.subWindowList()) {
        auto* w = qobject_cast<MavenProjectWindow*>(s);
        if (w && w->model().file == file)
            return w;
    }
    return nullptr;
}

bool MavenCommands::compiledWarm() const
{
    return javac_ && javac_->usedService();
}

bool MavenCommands::mavenRunning() const
{
    return call_ && call_->running();
}

void MavenCommands::openPom(const QString& pomPath)
{
    const QString file = QFileInfo(pomPath).absoluteFilePath();
    MavenProjectWindow* w = window(file);
    if (!w) {
        ProjectModel m;
        m.origin = ProjectOrigin::MavenPom;
        m.file = file;
        m.directory = QFileInfo(file).absolutePath();
        w = new MavenProjectWindow(m);
        addCommands(w);
        connect(w, &QObject::destroyed, this, [pom = m.file] { openprojects::forget(pom); });
        connect(w, &MavenProjectWindow::sourceChosen, this, [this](const QString& path) {
            if (!ws_.places().open(path, PlaceTarget{}))
                ws_.showStatus(QStringLiteral("%1 was not found").arg(path));
        });
        ws_.placement().showNew(w, false, false);
    }
    ws_.bringToFront(w);
    w->tree()->setFocus();
    ws_.fileUsed(file);
    ask(w);
}

void MavenCommands::addCommands(MavenProjectWindow* w)
{
    CommandTable& t = w->commands();
    auto idle = [this, w](CommandState& s) { s.enabled = loaded(w) && !mavenRunning() && !JavacRunner::active(); };
    t.on(cmd::JavaCompile, [this, w] { compile(w); });
    t.enabler(cmd::JavaCompile, idle);
    t.on(cmd::JavaRun, [this, w] { run(w, false); });
    t.enabler(cmd::JavaRun, idle);
    t.on(cmd::DebugRun, [this, w] {
        if (ws_.debugger().live())
            ws_.debugger().debugRun();  // continues the paused program
        else
            run(w, true);
    });
    t.on(cmd::RunTests, [this, w] { runTests(w); });
    t.enabler(cmd::RunTests, [this, idle](CommandState& s) {
        idle(s);
        s.enabled = s.enabled && !ws_.tests().testRun().running();
    });
    t.on(cmd::BuildWithMaven, [this, w] { build(w); });
    t.enabler(cmd::BuildWithMaven, idle);
    t.on(cmd::StopCompiling, [this] { stop(); });
    t.enabler(cmd::StopCompiling, [this](CommandState& s) { s.enabled = mavenRunning() || JavacRunner::active(); });
}

// ---------------------------------------------------------------- asking Maven

MavenCall* MavenCommands::newCall()
{
    delete call_.data();
    call_ = new MavenCall(this);
    return call_;
}

void MavenCommands::ask(MavenProjectWindow* w)
{
    const QString pom = w->model().file;
    if (probe_.hasAnswer(pom)) {
        showAnswer(w, probe_.keptAnswer(pom));
        return;
    }
    if (mavenRunning()) {
        ws_.showStatus(QStringLiteral("Maven is busy: ask again when it has ended (Stop Compiling ends it)"));
        return;
    }
    const QString text = QStringLiteral("Asking Maven about %1...").arg(pom);
    ws_.showStatus(text);
    ws_.showLastingStatus(text);
    w->tree()->clear();
    new QTreeWidgetItem(w->tree(), {text});
    MavenCall* call = newCall();
    QPointer<MavenProjectWindow> window(w);
    connect(call, &MavenCall::finished, this, [this, window](const QString& output, int code, bool stopped) {
        probeFinished(window, output, code, stopped);
    });
    // Closing the window gives the question up.
    connect(w, &QObject::destroyed, call, &MavenCall::stop);
    call->start(probe_.program(), mavenProbeArgs(pom), w->model().directory);
    emit ws_.commandStatesChanged();
}

void MavenCommands::probeFinished(MavenProjectWindow* w, const QString& output, int exitCode, bool stopped)
{
    ws_.clearLastingStatus();
    emit ws_.commandStatesChanged();
    if (stopped || !w) {
        ws_.showStatus(QStringLiteral("Maven was stopped: the project was not read"));
        if (w) {
            w->tree()->clear();
            new QTreeWidgetItem(w->tree(), {QStringLiteral("Maven was stopped: open the project again")});
        }
        return;
    }
    const MavenAnswer a = exitCode < 0 && !output.contains(QLatin1String("[INFO]"))
                              ? MavenAnswer{false, {}, output.trimmed(), {}}
                              : readMavenAnswer(output, exitCode);
    if (a.ok)
        probe_.keep(w->model().file, a);
    showAnswer(w, a);
}

void MavenCommands::showAnswer(MavenProjectWindow* w, const MavenAnswer& a)
{
    if (!a.ok) {
        w->tree()->clear();
        new QTreeWidgetItem(w->tree(), {QStringLiteral("Maven could not read the project")});
        QString text = QStringLiteral("Maven could not read the project %1.\n\n%2").arg(w->model().file, a.error);
        if (!a.unresolved.isEmpty())
            text += QStringLiteral(
                        "\n\nOr run Maven online once in %1 (mvn dependency:resolve) to download "
                        "it; Brewpad downloads nothing itself.")
                        .arg(w->model().directory);
        ws_.showStatus(QStringLiteral("Maven could not read the project"));
        dialogs().message(w, text, QStringLiteral("Maven"), Buttons::Ok, Icon::Stop);
        emit answered(w->model().file, false);
        return;
    }
    w->setModel(mavenProjectModel(w->model().file, a.layout));
    openprojects::keep(w->model());
    warmUp(w->model());
    ws_.showStatus(QStringLiteral("Maven project %1: %2 sources, %3 tests")
                       .arg(w->model().file)
                       .arg(w->model().sources.size())
                       .arg(w->model().testSources.size()));
    emit answered(w->model().file, true);
}

void MavenCommands::warmUp(const ProjectModel& m)
{
    // The warm compiler serves a project's compilations exactly only in its
    // folder (its jars may name modules): it moves there, in the background.
    CompileService* s = sharedCompileService();
    if (!s || compileServiceHeldUntilCompile() || s->state() == CompileService::State::Stopped)
        return;
    const QString javac = javacProgram();
    s->start(
        ServiceSetup{CompileService::javaBinFor(javac), CompileService::jvmOptionsFor(makeargsList(m)), m.directory});
}

bool MavenCommands::compileHolding(const QString& file)
{
    const std::optional<HeldSource> held = openprojects::holding(file);
    MavenProjectWindow* w = held ? window(held->project.file) : nullptr;
    if (!w)
        return false;
    compile(w);
    return true;
}

void MavenCommands::stop()
{
    if (mavenRunning())
        call_->stop();
    else if (javac_)
        javac_->stop();
}

// ---------------------------------------------------------------- compiling

void MavenCommands::compile(MavenProjectWindow* w, std::function<void()> then)
{
    if (!loaded(w) || mavenRunning() || JavacRunner::active())
        return;
    if (temp.isEmpty()) {
        refuse(QStringLiteral("There is no directory for the compiler's messages, so nothing was compiled. Set "
                              "TEMP to a directory of your own and restart Brewpad."),
               QStringLiteral("ERROR"));
        return;
    }
    w->setModel(rescanned(w->model()));
    compiling_ = w->model();
    compiledAny_ = false;
    afterCompile_ = std::move(then);
    if (compileStage(false) || compileStage(true))
        return;
    ws_.showStatus(QStringLiteral("Nothing to compile: every class is newer than its source"));
    if (auto next = std::exchange(afterCompile_, {}))
        next();
}

bool MavenCommands::compileStage(bool tests)
{
    const ProjectModel m = tests ? testModel(compiling_) : compiling_;
    const QStringList sources = tests ? m.testSources : m.sources;
    const QStringList roots = tests ? m.testSourceRoots : m.sourceRoots;
    const QString output = m.outputFolder.value_or(QString());
    const QStringList stale = outOfDateSources(sources, roots, output);
    if (stale.isEmpty() || output.isEmpty())
        return false;
    QDir().mkpath(output);
    compilingTests_ = tests;
    if (!javac_) {
        javac_ = new JavacRunner(this);
        connect(javac_, &JavacRunner::finished, this, &MavenCommands::compileFinished);
    }
    const QString capture = captureFileName(m.file);
    if (!javac_->start(javacProgram(), makeargsList(m) + stale, m.directory, capture, stale))
        return false;
    compiledAny_ = true;
    ws_.compilationStarted();
    const QString text = QStringLiteral("Compiling: %1").arg(javacCommandText(javacProgram(), stale));
    ws_.showStatus(text);
    ws_.showLastingStatus(text);
    return true;
}

void MavenCommands::compileFinished(const CompileOutcome& o)
{
    const QString capture = javac_ ? javac_->captureFile() : QString();
    ws_.clearLastingStatus();
    ws_.compilationEnded(o.kind == CompileOutcome::Success);
    if (o.kind == CompileOutcome::Success && !compilingTests_ && compileStage(true))
        return;
    auto next = std::exchange(afterCompile_, {});
    switch (o.kind) {
    case CompileOutcome::Success:
        ws_.showStatus(QStringLiteral("Compilation success"));
        if (next)
            next();
        else
            dialogs().message(&ws_, QStringLiteral("Compilation success"), QStringLiteral("SUCCESS"));
        break;
    case CompileOutcome::Failed: ws_.showCompilerMessages(capture, QString()); break;
    case CompileOutcome::Stopped: ws_.showStatus(QStringLiteral("Compilation stopped")); break;
    default:
        ws_.showStatus(QStringLiteral("Compilation failed"));
        refuse(QStringLiteral("The Java compiler %1 did not compile the project: %2.\n\nCheck the Java "
                              "installation, then compile again.")
                   .arg(javacProgram(), o.reason),
               QStringLiteral("ERROR"));
        break;
    }
}

// ---------------------------------------------------------------- running

QString MavenCommands::chooseMain(MavenProjectWindow* w)
{
    const ProjectModel& m = w->model();
    const QStringList mains = mainClasses(m);
    // The source last active in an editor window, when it is one of them.
    const QList<QMdiSubWindow*> order = ws_.subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        auto* c = qobject_cast<TFileMDIChild*>(*it);
        if (!c || c->isProject())
            continue;
        const QString file = c->editor()->source()->fileName();
        if (m.sources.contains(file) && mains.contains(classNameOf(file, m.sourceRoots)))
            return classNameOf(file, m.sourceRoots);
    }
    if (mains.isEmpty()) {
        refuse(QStringLiteral("No class of %1 has a main method to run.").arg(m.file), QStringLiteral("Run"));
        return {};
    }
    if (mains.size() == 1)
        return mains.front();
    const std::optional<int> i = dialogs().chooseItem(w, QStringLiteral("Run"),
                                                      QStringLiteral("Which class do you want to run?"), mains, 0);
    return i && *i >= 0 && *i < mains.size() ? mains.at(*i) : QString();
}

void MavenCommands::run(MavenProjectWindow* w, bool debug)
{
    if (!loaded(w))
        return;
    const QString className = chooseMain(w);
    if (className.isEmpty())
        return;
    const ProjectModel& m = w->model();
    const QString classDir = m.classDirectory();
    const QString rel = QString(className).replace(QLatin1Char('.'), QLatin1Char('/'));
    if (!QFileInfo::exists(classDir + QLatin1Char('/') + rel + QLatin1String(".class"))) {
        refuse(QStringLiteral("%1 is not compiled: compile the project (Java Compile, F9) first.").arg(className),
               QStringLiteral("class not found"));
        return;
    }
    RunRequest r{m, className, m.directory, QString(), doscmd, EDITCMDLINE};
    const RunKind& kind = runKind(debug ? RunKindId::DebugRun : RunKindId::JavaRun);
    r.program = debug ? configuredJava() : javabin + QLatin1Char('/') + host::toolName(QStringLiteral("java"));
    const RunLaunch l = kind.commandLine(r);
    if (!l.ok) {
        refuse(QStringLiteral("The Program Arguments cannot be split into words: check their quotes."),
               QStringLiteral("Run"));
        return;
    }
    const QString source = m.sourceRoots.value(0) + QLatin1Char('/') + rel + QLatin1String(".java");
    if (debug) {
        ws_.debugger().debugRun(DebugTarget{l.debugged, className, classDir, QFileInfo(source).absolutePath()},
                                source);
        return;
    }
    int failure = 0;
    if (!startDetached(l.detached, &failure))
        refuse(QString::fromLatin1(kind.failureText).arg(l.detached.display, libelle_erreur(failure)),
               QStringLiteral("ERROR"));
}

void MavenCommands::runTests(MavenProjectWindow* w)
{
    if (!loaded(w))
        return;
    compile(w, [this, w = QPointer<MavenProjectWindow>(w)] {
        if (!w)
            return;
        const ProjectModel& m = w->model();
        TestSelection selection;
        for (const QString& s : m.testSources) {
            if (readText(s).contains(QLatin1String("@Test")))
                selection.classes << classNameOf(s, m.testSourceRoots);
        }
        if (selection.isEmpty()) {
            refuse(QStringLiteral("The project has no test classes (no @Test under %1).")
                       .arg(m.testSourceRoots.join(QStringLiteral(", "))),
                   QStringLiteral("Run Tests"));
            return;
        }
        QStringList classPath;
        for (const ClassPathEntry& e : m.testClassPath)
            classPath << e.path;
        ws_.tests().runSelection(selection, classPath, m.directory, m.testSourceRoots.value(0),
                                 QStringLiteral("the tests of %1").arg(m.file));
    });
}

// ---------------------------------------------------------------- Build with Maven

void MavenCommands::build(MavenProjectWindow* w)
{
    if (!loaded(w) || mavenRunning())
        return;
    if (ws_.debugger().live()) {
        refuse(QStringLiteral("The Console shows the program under the debugger: stop it before building with "
                              "Maven."),
               QStringLiteral("Build with Maven"));
        return;
    }
    building_ = w;
    ws_.debugger().showConsole(true);
    const QStringList args = mavenBuildArgs();
    const QString shown = QStringLiteral("mvn %1").arg(args.join(QLatin1Char(' ')));
    if (ConsoleWindow* c = ws_.debugger().console())
        c->begin(QStringLiteral("%1 in %2").arg(shown, w->model().directory));
    MavenCall* call = newCall();
    connect(call, &MavenCall::outputArrived, this, [this](const QByteArray& chunk) {
        if (ConsoleWindow* c = ws_.debugger().console())
            c->appendOutput(chunk);
    });
    connect(call, &MavenCall::finished, this, &MavenCommands::buildFinished);
    const QString text = QStringLiteral("Building with Maven: %1").arg(shown);
    ws_.showStatus(text);
    ws_.showLastingStatus(text);
    call->start(probe_.program(), args, w->model().directory);
    emit ws_.commandStatesChanged();
}

void MavenCommands::buildFinished(const QString& output, int exitCode, bool stopped)
{
    ws_.clearLastingStatus();
    emit ws_.commandStatesChanged();
    if (ConsoleWindow* c = ws_.debugger().console())
        c->end(stopped ? QStringLiteral("Maven was stopped")
                       : QStringLiteral("Maven ended with exit code %1").arg(exitCode));
    const QStringList lines = mavenMessageLines(output, building_ ? building_->model().testSources : QStringList{});
    const QString capture = QDir(temp).filePath(QStringLiteral("maven.err"));
    QSaveFile f(capture);
    const bool written = !temp.isEmpty() && f.open(QIODevice::WriteOnly) &&
                         f.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) >= 0 && f.commit();
    if (!lines.isEmpty() && written)
        ws_.CmFileErr(capture, stopped ? QStringLiteral("; Maven was stopped") : QString());
    else if (stopped)
        ws_.showStatus(QStringLiteral("Build with Maven stopped"));
    else
        ws_.showStatus(exitCode == 0 ? QStringLiteral("Build with Maven: BUILD SUCCESS")
                                     : QStringLiteral("Build with Maven failed: the Console shows why"));
    emit built(stopped ? -1 : exitCode);
}

void MavenCommands::refuse(const QString& text, const QString& caption)
{
    dialogs().message(&ws_, text, caption, Buttons::Ok, Icon::Stop);
}
