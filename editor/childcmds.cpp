// SPDX-License-Identifier: GPL-3.0-or-later
// Commands of the editor window that hand over to other parts of the program:
// classification, printing, line-end conversion, compiling and running.
#include "config/toolpaths.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/editorhost.h"
#include "editor/unix2dos.h"
#include "platform/dialogs.h"
#include "platform/host.h"
#include "platform/nativename.h"
#include "print/printing.h"
#include "project/projfile.h"
#include "toolchain/classify.h"
#include "toolchain/compile.h"
#include "toolchain/messages.h"
#include "toolchain/projectscan.h"
#include "toolchain/run.h"
#include "toolchain/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMainWindow>
#include <QStatusBar>

QString TFileMDIChild::sourceFile() const
{
    return FileData && !FileData->fileName.isEmpty() ? FileData->fileName : te->fileName();
}

// ---------------------------------------------------------------- classification

Verdict TFileMDIChild::scan(const QString& fname)
{
    const ScanResult r = scanJavaFile(fname);
    if (!r.className.isEmpty())
        classename = r.className;
    return r.verdict;
}

void TFileMDIChild::SetFileType()
{
    if (IsNewFile || !FileData)
        return;
    if (IsJava) {
        applyVerdict(scan(FileData->fileName), false, IsJavaMain, IsJavaApplet, IsPackage);
    } else if (IsJpr && Project) {
        classifyProject(FileData->fileName, IsJavaMain, IsJavaApplet, IsPackage, classename);
    }
}

// ---------------------------------------------------------------- printing

void TFileMDIChild::CmFilePageSetup()
{
    if (TRulerWin* host = papa->printHost())
        host->CmFilePageSetup(this);
}

void TFileMDIChild::CmFilePrint()
{
    TRulerWin* host = papa->printHost();
    if (!host)
        return;
    const QString name = sourceFile();
    host->CmFilePrint(name.isEmpty() ? QStringLiteral("Untitled") : name, *te->document(), this);
}

// ---------------------------------------------------------------- line ends

void TFileMDIChild::CmUnix2Dos()
{
    const QString name = te->fileName();
    if (name.isEmpty())
        return;
    // A file whose text the window could not hold as it is, or could not read,
    // is not converted either.
    QString refusal;
    switch (te->readOnlyReason()) {
    case EditControl::ReadOnlyReason::NotText:
        refusal = QStringLiteral("The file %1 is not a text file: it holds NUL bytes. Unix2Dos converts only "
                                 "text files, so the file was not changed.");
        break;
    case EditControl::ReadOnlyReason::BrokenUtf16:
    case EditControl::ReadOnlyReason::Unreadable:
        refusal = QStringLiteral("The file %1 is shown read-only because Brewpad could not read it as text. "
                                 "Unix2Dos converts only text files, so the file was not changed.");
        break;
    case EditControl::ReadOnlyReason::None:
        if (te->textFormat().isUtf16())
            refusal = QStringLiteral("The file %1 holds UTF-16 text, whose line ends Unix2Dos cannot convert "
                                     "byte by byte, so the file was not changed.");
        break;
    }
    if (!refusal.isEmpty()) {
        dialogs().message(this, refusal.arg(name), QString(), Buttons::Ok, Icon::Information);
        return;
    }
    // The conversion reloads the file: changes not saved would be lost.
    if (te->document()->isModified()) {
        switch (te->askToSave()) {
        case Answer::Yes:
            if (!saveWindow(false))
                return;
            break;
        case Answer::No:
            break;  // the user drops the changes
        default:
            return;
        }
    }
    QString error;
    switch (convertFileToDos(name, &error)) {
    case Unix2DosResult::NotReadable:
        return;
    case Unix2DosResult::Failed:
        dialogs().message(this, error, QString(), Buttons::Ok, Icon::Stop);
        break;
    case Unix2DosResult::Converted:
        break;
    }
    // What is no regular file was not read and is not read now: the message
    // said so, and the window keeps its text.
    if (host::fileKind(name) != host::FileKind::NotRegular)
        te->loadFile(name);
}

// ---------------------------------------------------------------- compiling

namespace {

// One compilation at a time in the whole program: the compiler runs in the
// source's directory, which is the process's current directory.
int g_compilations = 0;

// While a compilation runs the status bar says so: a message of the frame's
// status bar that stays until the compilation ends.
void showCompiling(QWidget* w, const QString& text)
{
    if (auto* frame = qobject_cast<QMainWindow*>(w->window()))
        frame->statusBar()->showMessage(text);
}

void clearCompiling(QWidget* w)
{
    if (auto* frame = qobject_cast<QMainWindow*>(w->window()))
        frame->statusBar()->clearMessage();
}

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

// A source that F9 does not give to javac, with the message that says why.
bool refusedToCompile(QWidget* owner, const QString& file)
{
    QString what;
    if (host::fileKind(file, &what) == host::FileKind::NotRegular) {
        // javac would wait for ever on a named pipe, or read a device without end.
        dialogs().message(owner, QStringLiteral("The file %1 is %2, not a regular file, so it was not compiled.")
                                     .arg(file, what),
                          QString(), Buttons::Ok, Icon::Stop);
        return true;
    }
    return refusedOddName(owner, file, QStringLiteral("compiled"));
}

}  // namespace

TFileMDIChild::~TFileMDIChild()
{
    // A window closed while its compiler runs gives up that compilation.
    if (runner_ && runner_->isRunning()) {
        g_compilations = std::max(0, g_compilations - 1);
        clearCompiling(this);
    }
    delete runner_.data();  // ends the compiler's whole process group
}

bool TFileMDIChild::compiling() const
{
    return g_compilations > 0;
}

void TFileMDIChild::CmJavaC()
{
    if (compiling())
        return;
    const QString file = sourceFile();
    if (file.isEmpty()) {
        dialogs().message(this, QStringLiteral("Save the file before compiling it."), QString(), Buttons::Ok,
                          Icon::Information);
        return;
    }
    if (refusedToCompile(this, file))
        return;
    if (temp.isEmpty()) {
        dialogs().message(this,
                          QStringLiteral("There is no directory for the compiler's messages, so nothing was "
                                         "compiled. Set TEMP to a directory of your own and restart Brewpad."),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    if (!runner_) {
        runner_ = new JavacRunner(this);
        connect(runner_, &JavacRunner::finished, this,
                [this](const CompileOutcome& o) { compileFinished(o); });
    }
    setcurdir(file);
    const QString capture = captureFileName(file);
    const QString javac = javacProgram();
    QString shown;
    bool started;
    if (IsJpr) {
        const ProjectCompilePlan plan = planProjectCompile(file);
        if (!plan.refused.isEmpty())
            dialogs().message(this,
                              QStringLiteral("These entries of the project are not regular files, so they were "
                                             "not compiled:\n\n%1")
                                  .arg(plan.refused.join(QLatin1Char('\n'))),
                              QString(), Buttons::Ok, Icon::Warning);
        if (plan.sources.isEmpty()) {
            IsCompiled = projectClassesCurrent(plan);
            papa->showStatus(nothingToCompileText(plan));
            return;
        }
        shown = javacCommandText(javac, plan.sources);
        // A save of the project or of one of its sources while javac runs
        // leaves classes behind that are older than the text.
        QStringList watched{file};
        for (const QString& s : plan.sources)
            watched << plan.directory + QLatin1Char('/') + s;
        started = runner_->start(javac, makeargsList() + plan.sources, plan.directory, capture, watched);
    } else {
        shown = javacCommandText(javac, file);
        started = runner_->start(javac, makeargsList() << file, QFileInfo(file).absolutePath(), capture, {file});
    }
    if (started) {
        ++g_compilations;
        papa->compilationStarted();
        const QString text = QStringLiteral("Compiling: %1").arg(shown);
        papa->showStatus(text);
        showCompiling(this, text);
    }
}

void TFileMDIChild::compileFinished(const CompileOutcome& o)
{
    const QString capture = runner_ ? runner_->captureFile() : QString();
    g_compilations = std::max(0, g_compilations - 1);
    clearCompiling(this);
    papa->compilationEnded();
    auto status = [this](const QString& text) {
        papa->showStatus(text);
    };
    // F9 compiles the file as last saved: what the window shows may differ.
    const QString unsaved = te->document()->isModified()
                                ? QStringLiteral("; compiled as last saved: this window holds unsaved changes")
                                : QString();
    switch (o.kind) {
    case CompileOutcome::Success: {
        // Classes compiled from a text that has been saved over since are not current.
        IsCompiled = !o.sourcesChanged;
        const int warnings = summarizeCaptureFile(capture).warnings;
        QString text = QStringLiteral("Compilation success");
        if (warnings > 0)
            text += QStringLiteral(", %1 %2: Java Project / Compiler Messages shows them")
                        .arg(warnings)
                        .arg(warnings == 1 ? QStringLiteral("warning") : QStringLiteral("warnings"));
        if (o.sourcesChanged)
            text += QStringLiteral("; a file was saved while it compiled: compile again before running");
        status(text + unsaved);
        dialogs().message(this, QStringLiteral("Compilation success"), QStringLiteral("SUCCESS"));
        break;
    }
    case CompileOutcome::Failed:
        IsCompiled = false;
        papa->showCompilerMessages(capture, unsaved);
        break;
    case CompileOutcome::Stopped:
        IsCompiled = false;
        status(QStringLiteral("Compilation stopped"));
        break;
    case CompileOutcome::Crashed:
        IsCompiled = false;
        status(QStringLiteral("Compilation failed: the compiler crashed"));
        dialogs().message(this,
                          QStringLiteral("The Java compiler %1 did not finish: %2.\n\nNothing is known to be "
                                         "compiled. Compile again; if it happens again, check the Java "
                                         "installation. Java Project / Compiler Messages shows what the "
                                         "compiler wrote before it ended.")
                              .arg(javacProgram(), o.reason),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        break;
    case CompileOutcome::NotStarted:
        IsCompiled = false;
        status(QString());
        dialogs().message(this,
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
        const QString text =
            QFileInfo::exists(curdir)
                ? QStringLiteral("The folder %1 of %2 cannot be entered, so nothing was started.")
                : QStringLiteral("The folder %1 of %2 is gone, so nothing was started. Save the source "
                                 "into a folder that exists and compile it again.");
        dialogs().message(owner, text.arg(curdir, QFileInfo(file).fileName()), QStringLiteral("ERROR"),
                          Buttons::Ok, Icon::Stop);
        return std::nullopt;
    }
    return pickClass(owner, file, classename, classDirSetting.isEmpty() ? QDir::currentPath() : classDirSetting);
}

}  // namespace

void TFileMDIChild::CmJavaRun()
{
    const QString file = sourceFile();
    const QString sourceDir = QFileInfo(file).absolutePath();
    const std::optional<QString> cls = prepareRun(this, file, classename, classFolder(EDITDESTINATION, sourceDir));
    if (!cls)
        return;
    const QString refusal = refusedClassName(*cls);
    if (!refusal.isEmpty()) {
        dialogs().message(this, refusal, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    const QString java = javabin + QLatin1Char('/') + host::toolName(QStringLiteral("java"));
    bool ok = true;
    const StartCommand c = javaRunCommand(doscmd, java, *cls, EDITCMDLINE, curdir, &ok,
                                          javaClassPathOptions(EDITDESTINATION, EDITCLASSPATH, curdir));
    if (!ok) {
        dialogs().message(this, QStringLiteral("Exec : %1 : %2").arg(c.display, unbalancedQuotesText()),
                          QStringLiteral("ERROR"));
        return;
    }
    int failure = 0;
    if (!startDetached(c, &failure))
        dialogs().message(this, QStringLiteral("Exec : %1 : %2").arg(c.display, libelle_erreur(failure)),
                          QStringLiteral("ERROR"));
}

void TFileMDIChild::CmJavaApplet()
{
    const std::optional<QString> cls = prepareRun(this, sourceFile(), classename);
    if (!cls)
        return;
    QString error;
    if (!writeAppletPage(curdir, appletPage(*cls, QDateTime::currentDateTime(), QLocale::system()), &error)) {
        dialogs().message(this, error, QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    const QString viewer = javabin + QLatin1Char('/') + host::toolName(QStringLiteral("appletviewer"));
    const StartCommand c = appletCommand(viewer, curdir);
    int failure = 0;
    if (!startDetached(c, &failure))
        dialogs().message(this, QStringLiteral("Win Exec : %1 : %2").arg(c.display, libelle_erreur(failure)),
                          QStringLiteral("ERROR"));
}
