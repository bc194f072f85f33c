// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/filebuild.h"

#include "config/toolpaths.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/dialogs.h"
#include "platform/host.h"
#include "platform/nativename.h"
#include "toolchain/classify/classify.h"
#include "toolchain/classify/compactsource.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/messages/messages.h"
#include "toolchain/compiling/projectcompile.h"
#include "toolchain/classify/projectscan.h"
#include "toolchain/running/run.h"
#include "toolchain/settings/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <optional>

namespace {

// A name whose bytes are not UTF-8 ("caf\xE9.java"): the Java tools on this
// host cannot open it, and no program gets it as an argument. Says so (`done`:
// "compiled", "run") instead of letting them fail with a misleading message.
bool refusedOddName(QWidget* owner, const QString& file, const QString& done)
{
    if (!nativename::hasOddBytes(file))
        return false;
    dialogs().message(owner,
                      QStringLiteral("The name %1 holds bytes that are not UTF-8 (shown as \\x and two digits), "
                                     "so it was not %2: the Java tools cannot open a file of such a name on "
                                     "this system. Rename the file or its folder to a UTF-8 name, for example "
                                     "with convmv -f latin1 -t utf8 --notest, and open it again.")
                          .arg(nativename::shown(file), done),
                      QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
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

FileBuild::FileBuild(TFileMDIChild* window) : window_(window) {}

FileBuild::~FileBuild()
{
    // A window closed while its compiler runs gives up that compilation.
    // Not while the workspace itself goes (it is no workspace then).
    if (runner_ && runner_->isRunning() && window_->mdiArea())
        emit window_->lastingStatusCleared();
    delete runner_.data();  // ends the compiler's whole process group
}

QString FileBuild::sourceFile() const
{
    return window_->editor()->source()->fileName();
}

// ---------------------------------------------------------------- classification

void FileBuild::classify()
{
    // Whether the file is a package member is found too, and not needed.
    bool isPackage = false;
    if (window_->isProject())
        classifyProject(sourceFile(), IsJavaMain, IsJavaApplet, isPackage, classename);
    else
        classifySource(sourceFile(), IsJavaMain, IsJavaApplet, isPackage, classename);
}

// ---------------------------------------------------------------- compiling

bool FileBuild::mayCompile(const QString& file)
{
    if (file.isEmpty()) {
        dialogs().message(window_, QStringLiteral("Save the file before compiling it."), QString(), Buttons::Ok,
                          Icon::Information);
        return false;
    }
    QString what;
    if (host::fileKind(file, &what) == host::FileKind::NotRegular) {
        // javac would wait for ever on a named pipe, or read a device without end.
        dialogs().message(
            window_, QStringLiteral("The file %1 is %2, not a regular file, so it was not compiled.").arg(file, what),
            QString(), Buttons::Ok, Icon::Stop);
        return false;
    }
    if (refusedOddName(window_, file, QStringLiteral("compiled")))
        return false;
    if (temp.isEmpty()) {
        dialogs().message(window_,
                          QStringLiteral("There is no directory for the compiler's messages, so nothing was "
                                         "compiled. Set TEMP to a directory of your own and restart Brewpad."),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return false;
    }
    return true;
}

void FileBuild::compile()
{
    if (window_->compiling())
        return;
    const QString file = sourceFile();
    if (!mayCompile(file))
        return;
    if (!runner_) {
        runner_ = new JavacRunner(this);
        connect(runner_, &JavacRunner::finished, this, [this](const CompileOutcome& o) { compileFinished(o); });
    }
    setcurdir(file);
    const QString capture = captureFileName(file);
    QString shown;
    bool started;
    if (window_->isProject()) {
        started = startProject(file, capture, &shown);
    } else {
        shown = javacCommandText(javacProgram(), file);
        started = runner_->start(javacProgram(), makeargsList() << file, QFileInfo(file).absolutePath(), capture,
                                 {file});
    }
    if (started) {
        emit window_->compilationStarted();
        const QString text = QStringLiteral("Compiling: %1").arg(shown);
        emit window_->statusShown(text);
        emit window_->lastingStatusShown(text);  // until the compilation ends
    }
}

bool FileBuild::startProject(const QString& file, const QString& capture, QString* shown)
{
    const ProjectCompilePlan plan = planProjectCompile(file);
    if (!plan.refused.isEmpty())
        dialogs().message(window_,
                          QStringLiteral("These entries of the project are not regular files, so they were "
                                         "not compiled:\n\n%1")
                              .arg(plan.refused.join(QLatin1Char('\n'))),
                          QString(), Buttons::Ok, Icon::Warning);
    if (plan.sources.isEmpty()) {
        IsCompiled = projectClassesCurrent(plan);
        emit window_->statusShown(nothingToCompileText(plan));
        return false;
    }
    const QString javac = javacProgram();
    *shown = javacCommandText(javac, plan.sources);
    // A save of the project or of one of its sources while javac runs
    // leaves classes behind that are older than the text.
    QStringList watched{file};
    for (const QString& s : plan.sources)
        watched << plan.directory + QLatin1Char('/') + s;
    return runner_->start(javac, makeargsList() + plan.sources, plan.directory, capture, watched);
}

QString FileBuild::failureNote() const
{
    if (window_->isProject())
        return {};
    return newerJavaNote(sourceFile(), javabin);
}

void FileBuild::compileFinished(const CompileOutcome& o)
{
    const QString capture = runner_ ? runner_->captureFile() : QString();
    emit window_->lastingStatusCleared();
    emit window_->compilationEnded(o.kind == CompileOutcome::Success);
    // F9 compiles the file as last saved: what the window shows may differ.
    const QString unsaved = window_->editor()->document()->isModified()
                                ? QStringLiteral("; compiled as last saved: this window holds unsaved changes")
                                : QString();
    // Classes compiled from a text that has been saved over since are not current.
    IsCompiled = o.kind == CompileOutcome::Success && !o.sourcesChanged;
    switch (o.kind) {
    case CompileOutcome::Success:
        emit window_->statusShown(successText(o, capture) + unsaved);
        dialogs().message(window_, QStringLiteral("Compilation success"), QStringLiteral("SUCCESS"));
        break;
    case CompileOutcome::Failed: emit window_->compilerMessagesShown(capture, unsaved + failureNote()); break;
    case CompileOutcome::Stopped: emit window_->statusShown(QStringLiteral("Compilation stopped")); break;
    case CompileOutcome::Crashed:
        emit window_->statusShown(QStringLiteral("Compilation failed: the compiler crashed"));
        dialogs().message(window_,
                          QStringLiteral("The Java compiler %1 did not finish: %2.\n\nNothing is known to be "
                                         "compiled. Compile again; if it happens again, check the Java "
                                         "installation. Java Project / Compiler Messages shows what the "
                                         "compiler wrote before it ended.")
                              .arg(javacProgram(), o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    case CompileOutcome::CaptureFailed:
        emit window_->statusShown(QStringLiteral("Compilation failed: its messages could not be written"));
        dialogs().message(window_,
                          QStringLiteral("Nothing is known to be compiled: %1.\n\nFree some space in that folder "
                                         "or make it writable (or set TEMP to a folder of your own and restart "
                                         "Brewpad), then compile again.")
                              .arg(o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    case CompileOutcome::NotStarted:
        emit window_->statusShown(QString());
        dialogs().message(window_,
                          QStringLiteral("The Java compiler %1 could not be started: %2.\n\nCheck the Java "
                                         "tools directory (delete brewpad.cfg and restart Brewpad to search "
                                         "for them again).")
                              .arg(javacProgram(), o.reason.isEmpty() ? libelle_erreur(o.failureIndex) : o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    }
}

// ---------------------------------------------------------------- running

namespace {

// The class to run: the window's base name, or the class the classification
// found, its class file looked for in `classDir`.
std::optional<QString> pickClass(QWidget* owner, const QString& file, const QString& classename,
                                 const QString& classDir)
{
    QString base, ext;
    filename(file, base, ext);
    QString missing;
    std::optional<QString> found = chooseClass(
        base, classename.isEmpty() ? std::nullopt : std::optional<QString>(classename), classDir, &missing);
    if (!found)
        dialogs().message(owner, missing, QStringLiteral("class not found"));
    return found;
}

// Both run commands start in the source's directory with the class chosen
// there (Java Run in the Destination Directory, when one is set); nothing
// starts when that directory is gone.
std::optional<QString> prepareRun(QWidget* owner, const QString& file, const QString& classename,
                                  const QString& classDirSetting = QString())
{
    if (file.isEmpty() || refusedOddName(owner, file, QStringLiteral("run")))
        return std::nullopt;
    if (!setcurdir(file)) {
        const QString text = QFileInfo::exists(curdir)
                                 ? QStringLiteral("The folder %1 of %2 cannot be entered, so nothing was started.")
                                 : QStringLiteral(
                                       "The folder %1 of %2 is gone, so nothing was started. Save the source "
                                       "into a folder that exists and compile it again.");
        dialogs().message(owner, text.arg(curdir, QFileInfo(file).fileName()), QStringLiteral("ERROR"), Buttons::Ok,
                          Icon::Stop);
        return std::nullopt;
    }
    return pickClass(owner, file, classename, classDirSetting.isEmpty() ? QDir::currentPath() : classDirSetting);
}

}  // namespace

void FileBuild::run()
{
    const QString file = sourceFile();
    const QString sourceDir = QFileInfo(file).absolutePath();
    const std::optional<QString> cls = prepareRun(window_, file, classename, classFolder(EDITDESTINATION, sourceDir));
    if (!cls)
        return;
    const QString refusal = refusedClassName(*cls);
    if (!refusal.isEmpty()) {
        dialogs().message(window_, refusal, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    const QString java = javabin + QLatin1Char('/') + host::toolName(QStringLiteral("java"));
    bool ok = true;
    const StartCommand c = javaRunCommand(doscmd, java, *cls, EDITCMDLINE, curdir, &ok,
                                          javaClassPathOptions(EDITDESTINATION, EDITCLASSPATH, curdir));
    if (!ok) {
        dialogs().message(window_, QStringLiteral("Exec : %1 : %2").arg(c.display, unbalancedQuotesText()),
                          QStringLiteral("ERROR"));
        return;
    }
    int failure = 0;
    if (!startDetached(c, &failure))
        dialogs().message(window_, QStringLiteral("Exec : %1 : %2").arg(c.display, libelle_erreur(failure)),
                          QStringLiteral("ERROR"));
}

std::optional<DebugTarget> FileBuild::debugTarget(const QString& java)
{
    const QString file = sourceFile();
    const QString sourceDir = QFileInfo(file).absolutePath();
    const QString classDir = classFolder(EDITDESTINATION, sourceDir);
    const std::optional<QString> cls = prepareRun(window_, file, classename, classDir);
    if (!cls)
        return std::nullopt;
    const QString refusal = refusedClassName(*cls);
    if (!refusal.isEmpty()) {
        dialogs().message(window_, refusal, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return std::nullopt;
    }
    bool ok = true;
    DebugTarget t{javaProgramCommand(java, *cls, curdir, EDITDESTINATION, EDITCLASSPATH, EDITCMDLINE, {}, &ok), *cls,
                  QFileInfo(classDir).absoluteFilePath(), sourceDir};
    if (!ok) {
        dialogs().message(window_, QStringLiteral("Exec : %1 : %2").arg(*cls, unbalancedQuotesText()),
                          QStringLiteral("ERROR"));
        return std::nullopt;
    }
    return t;
}

void FileBuild::runApplet()
{
    const std::optional<QString> cls = prepareRun(window_, sourceFile(), classename);
    if (!cls)
        return;
    QString error;
    if (!writeAppletPage(curdir, appletPage(*cls, QDateTime::currentDateTime(), QLocale::system()), &error)) {
        dialogs().message(window_, error, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    const QString viewer = javabin + QLatin1Char('/') + host::toolName(QStringLiteral("appletviewer"));
    const StartCommand c = appletCommand(viewer, curdir);
    int failure = 0;
    if (!startDetached(c, &failure))
        dialogs().message(window_, QStringLiteral("Win Exec : %1 : %2").arg(c.display, libelle_erreur(failure)),
                          QStringLiteral("ERROR"));
}
