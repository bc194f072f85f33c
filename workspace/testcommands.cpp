// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/testcommands.h"

#include "platform/dialogs.h"
#include "platform/routing.h"
#include "project/modelclasspath.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/settings/settings.h"
#include "editor/editcontrol.h"
#include "editor/sourcedocument.h"
#include "editor/editorwindow.h"
#include "workspace/fileplaces.h"
#include "workspace/panearea.h"
#include "workspace/testatcaret.h"
#include "workspace/testresultswindow.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFileInfo>

TestCommands::TestCommands(TFileMDIClient& workspace, CommandTable& table)
    : QObject(&workspace), ws_(workspace), run_(new TestRun(this))
{
    run_->setCommandLine(runTestsCommand);
    connect(run_, &TestRun::finished, this,
            [this](const TestRunResult& r, const QString& error, bool) { finished(r, error); });
    connect(run_, &TestRun::failed, this, [this](const QString& why) {
        if (window_)
            window_->showResult({}, why);
        refuse(why);
    });
    auto editorTestable = [this](CommandState& s) {
        const TFileMDIChild* c = ws_.currentEditor();
        s.enabled = c && c->build().offers(RunKindId::RunTests) && !run_->running() && !javac_;
    };
    table.on(cmd::RunTests, [this] { runTests(false); });
    table.enabler(cmd::RunTests, editorTestable);
    table.on(cmd::RunTestAtCaret, [this] { runTests(true); });
    table.enabler(cmd::RunTestAtCaret, editorTestable);
    table.on(cmd::ShowTestResults, [this] { showResults(true); });
    table.enabler(cmd::ShowTestResults, [](CommandState& s) { s.enabled = true; });
}

TestResultsWindow* TestCommands::showResults(bool activate)
{
    ws_.panes().show(
        Pane::TestResults,
        [this] {
            window_ = new TestResultsWindow;
            connect(window_, &TestResultsWindow::placeChosen, this, &TestCommands::goTo);
            connect(window_, &TestResultsWindow::runFailedWanted, this, &TestCommands::runFailedAgain);
            connect(window_, &TestResultsWindow::stopWanted, run_, &TestRun::stop);
            return window_.data();
        },
        activate);
    return window_;
}

void TestCommands::refuse(const QString& text)
{
    dialogs().message(&ws_, text, QStringLiteral("Run Tests"), Buttons::Ok, Icon::Stop);
}

bool TestCommands::mayTest(TFileMDIChild* c, QString* className)
{
    const QString file = c->editor()->source()->fileName();
    const QString text = c->editor()->source()->savedText();
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        refuse(QStringLiteral("Save the test class first: Run Tests compiles and runs its file."));
        return false;
    }
    if (!importsJUnit(text)) {
        refuse(QStringLiteral("%1 is not a JUnit test class: it imports nothing of org.junit.")
                   .arg(QFileInfo(file).fileName()));
        return false;
    }
    *className = qualifiedClassName(text, QFileInfo(file).completeBaseName());
    // The folder the package's folders start in: the class path's root.
    QDir root = QFileInfo(file).absoluteDir();
    for (int i = 0; i < className->count(QLatin1Char('.')); ++i)
        root.cdUp();
    sourceFile_ = file;
    model_ = singleSourceModel(file, modelSettings());
    sourceRoot_ = model_.packageRoot.isEmpty() ? root.path() : model_.packageRoot;
    classPath_ = modelClassPath(model_, ClassPathUse::Test)->split(QDir::listSeparator(), Qt::SkipEmptyParts);
    if (model_.packageRoot.isEmpty() && !(EDITDESTINATION && !EDITDESTINATION->isEmpty()))
        classPath_[0] = sourceRoot_;  // the package's root when its folders do not match it
    workDir_ = sourceRoot_;
    return true;
}

void TestCommands::runTests(bool atCaret)
{
    TFileMDIChild* c = ws_.currentEditor();
    QString className;
    if (!c || c->isProject() || run_->running() || javac_ || !mayTest(c, &className))
        return;
    pending_ = {};
    if (atCaret) {
        const QString method = testMethodAt(c->editor()->toPlainText(), c->editor()->textCursor().position());
        if (method.isEmpty()) {
            refuse(QStringLiteral("The caret stands in no @Test method: place it in the test to run."));
            return;
        }
        pending_.methods << className + QLatin1Char('#') + method;
    } else {
        pending_.classes << className;
    }
    javac_ = new JavacRunner(this);
    connect(javac_, &JavacRunner::finished, this, &TestCommands::compiled);
    const QString capture = captureFileName(sourceFile_);
    const QStringList options = makeargsList(model_);
    QStringList args = withJUnitClassPath(options, c->editor()->source()->savedText()) << sourceFile_;
    ws_.showStatus(QStringLiteral("Compiling: %1 %2 %3").arg(javacProgram(), optionText(options), sourceFile_));
    if (!javac_->start(javacProgram(), args, QFileInfo(sourceFile_).absolutePath(), capture, {sourceFile_})) {
        javac_->deleteLater();
        javac_ = nullptr;
        refuse(QStringLiteral("The Java compiler %1 could not be started.").arg(javacProgram()));
    }
}

void TestCommands::compiled(const CompileOutcome& outcome)
{
    const QString capture = javac_ ? javac_->captureFile() : QString();
    if (javac_)
        javac_->deleteLater();
    javac_ = nullptr;
    if (outcome.kind != CompileOutcome::Success) {
        ws_.showCompilerMessages(capture, QStringLiteral("; the tests were not run"));
        return;
    }
    start(pending_, pending_.methods.isEmpty() ? pending_.classes.join(QStringLiteral(", "))
                                               : pending_.methods.join(QStringLiteral(", ")));
}

void TestCommands::start(const TestSelection& selection, const QString& what)
{
    showResults(false)->showRunning(what);
    ws_.showStatus(QStringLiteral("Running tests: %1").arg(what));
    run_->start(selection, classPath_, workDir_);
}

void TestCommands::runSelection(const TestSelection& selection, const QStringList& classPath, const QString& workDir,
                                const QString& sourceRoot, const QString& what)
{
    if (run_->running() || javac_)
        return;
    classPath_ = classPath;
    workDir_ = workDir;
    sourceRoot_ = sourceRoot;
    start(selection, what);
}

void TestCommands::runFailedAgain()
{
    if (run_->running() || !window_)
        return;
    const QStringList failed = window_->result().failedSelectors();
    if (!failed.isEmpty())
        start({{}, failed}, QStringLiteral("the failed tests"));
}

void TestCommands::finished(const TestRunResult& result, const QString& error)
{
    showResults(false)->showResult(result, error);
    ws_.showStatus(error.isEmpty() ? QStringLiteral("Tests: %1").arg(result.summary()) : error);
}

void TestCommands::goTo(const QString& className, const QString& fileName, int line)
{
    // The source beside the tested one, in the folder of the class's package.
    QString dir = sourceRoot_;
    const qsizetype dot = className.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        dir += QLatin1Char('/') + className.left(dot).replace(QLatin1Char('.'), QLatin1Char('/'));
    const QString path = dir + QLatin1Char('/') + fileName;
    PlaceTarget at;
    at.line = line;
    if (!ws_.places().open(path, at))
        ws_.showStatus(QStringLiteral("%1 was not found").arg(path));
}
