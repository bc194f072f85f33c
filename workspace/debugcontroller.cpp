// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/debugcontroller.h"

#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/running/breakpointstore.h"
#include "toolchain/running/callstackwindow.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/debugclasses.h"
#include "toolchain/running/inlinevalues.h"
#include "toolchain/running/variableswindow.h"
#include "workspace/breakpointsync.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"
#include "workspace/panearea.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBlock>

DebugController::DebugController(TFileMDIClient& workspace)
    : QObject(&workspace),
      ws_(workspace),
      jar_(DebugSession::defaultJar()),
      breakpoints_(new BreakpointSync(workspace, this)),
      classes_(new DebugClasses(this))
{
}

void DebugController::prepareAhead()
{
    if (const QString java = configuredJava(); !java.isEmpty())
        DebugSession::prepareHelper(java, jar_);
}

void DebugController::editorOpened(TFileMDIChild* window)
{
    breakpoints_->watch(window);
}

void DebugController::toggleBreakpoint()
{
    TFileMDIChild* c = ws_.currentEditor();
    if (c && !c->isProject())
        c->editor()->source()->marks().toggleBreakpoint(c->editor()->textCursor().blockNumber() + 1);
}

DebugController::~DebugController()
{
    delete session_;
}

void DebugController::addCommands(CommandTable& table)
{
    table.on(cmd::DebugRun, [this] { debugRun(); });
    table.enabler(cmd::DebugRun, [this](CommandState& s) {
        if (live() || preparing_) {
            s.enabled = !preparing_ && session_->settled();
            return;
        }
        TFileMDIChild* c = ws_.currentEditor();
        s.enabled = c && c->build().offers(RunKindId::DebugRun);
        if (s.enabled)
            prepareAhead();
    });
    table.on(cmd::StepOver, [this] { motion(&DebugSession::stepOver); });
    table.on(cmd::StepInto, [this] { motion(&DebugSession::stepInto); });
    table.on(cmd::StepOut, [this] { motion(&DebugSession::stepOut); });
    table.on(cmd::RunToCursor, [this] { runToCursor(); });
    for (int id : {cmd::StepOver, cmd::StepInto, cmd::StepOut})
        enableWhilePaused(table, id);
    table.enabler(cmd::RunToCursor, [this](CommandState& s) {
        s.enabled = live() && session_->settled() && ws_.currentEditor() && !ws_.currentEditor()->isProject();
    });
    table.on(cmd::StopDebugging, [this] { stop(); });
    table.enabler(cmd::StopDebugging, [this](CommandState& s) {
        s.enabled = live() || preparing_ || (session_ && session_->program()->processesRemain());
    });
    table.on(cmd::EndInput, [this] {
        if (live() && console_)
            console_->endInput();
    });
    table.enabler(cmd::EndInput,
                  [this](CommandState& s) { s.enabled = live() && console_ && console_->inputOpen(); });
    table.on(cmd::ToggleBreakpoint, [this] { toggleBreakpoint(); });
    table.enabler(cmd::ToggleBreakpoint,
                  [this](CommandState& s) { s.enabled = ws_.currentEditor() && !ws_.currentEditor()->isProject(); });
    table.on(cmd::ShowConsole, [this] { showConsole(true); });
    table.on(cmd::ShowVariables, [this] { showVariables(true); });
    table.on(cmd::ShowCallStack, [this] { showCallStack(true); });
    for (int id : {cmd::ShowConsole, cmd::ShowVariables, cmd::ShowCallStack})
        table.enabler(id, [](CommandState& s) { s.enabled = true; });
}

void DebugController::enableWhilePaused(CommandTable& table, int id)
{
    table.enabler(id, [this](CommandState& s) { s.enabled = live() && session_->settled(); });
}

bool DebugController::live() const
{
    return session_ && !ended_;
}

void DebugController::stateChanged()
{
    emit ws_.commandStatesChanged();
}

// ---------------------------------------------------------------- running

void DebugController::debugRun()
{
    if (preparing_)
        return;
    if (live()) {
        if (session_->settled())
            session_->continue_();
        return;
    }
    TFileMDIChild* c = ws_.currentEditor();
    if (!c)
        return;
    const QString java = configuredJava();
    if (java.isEmpty()) {
        dialogs().message(&ws_,
                          QStringLiteral("No java was found beside the configured compiler, so the program "
                                         "cannot be run under the debugger."),
                          QStringLiteral("ERROR"), Buttons::Ok, Icon::Stop);
        return;
    }
    const std::optional<DebugTarget> target = c->build().debugTarget(java);
    if (target)
        debugRun(*target, c->editor()->source()->fileName());
}

void DebugController::debugRun(const DebugTarget& target, const QString& source)
{
    if (preparing_ || live())
        return;
    if (!startWithLocals(target, source))
        startTarget(target);
}

bool DebugController::startWithLocals(const DebugTarget& target, const QString& source)
{
    if (!DebugClasses::needsCompile(target.classDir, target.className))
        return false;
    const QString name = QFileInfo(source).fileName();
    const QString without = QStringLiteral("Debug Run without local variables: compiling %1 with them failed: %2");
    connect(
        classes_, &DebugClasses::ready, this,
        [this, target, name, without](bool ok, const QString& why) {
            if (!std::exchange(preparing_, false))
                return;  // stopped meanwhile
            startTarget(ok ? DebugTarget{withClassesFirst(target.command, classes_->folder(), target.className),
                                         target.className, target.classDir, target.sourceDir}
                           : target);
            if (!ok)
                ws_.showStatus(without.arg(name, why));
        },
        Qt::SingleShotConnection);
    classes_->compile(javacProgram(), source, target.command);
    preparing_ = true;
    showConsole(false);
    ws_.showStatus(QStringLiteral("Compiling %1 with local variables for Debug Run").arg(name));
    stateChanged();
    return true;
}

void DebugController::startTarget(const DebugTarget& target)
{
    delete session_;
    target_ = target;
    session_ = new DebugSession(this);
    session_->setJar(jar_);
    ended_ = false;
    connectSession();
    breakpoints_->attach(session_);
    emit sessionStarted(session_);
    showConsole(false);
    console_->begin(QStringLiteral("%1 %2").arg(target.command.program, target.command.args.join(QLatin1Char(' '))));
    session_->start(target.command.program, target.command);
    ws_.showStatus(QStringLiteral("Debug Run of %1").arg(target.className));
    stateChanged();
}

void DebugController::connectSession()
{
    DebugSession* s = session_;
    ProgramProcess* p = s->program();
    connect(p, &ProgramProcess::standardOutput, this, [this](const QByteArray& b) {
        if (console_)
            console_->appendOutput(b);
    });
    connect(p, &ProgramProcess::standardError, this, [this](const QByteArray& b) {
        if (console_)
            console_->appendError(b);
    });
    connect(p, &ProgramProcess::ended, this, [this](const QString& text) { onEnded(text); });
    connect(p, &ProgramProcess::processesLeft, this, [this](qint64 group) {
        if (console_)
            console_->note(QStringLiteral("Processes the program started are still running (process group %1): "
                                          "Stop Debugging (Shift+F5) ends them.")
                               .arg(group));
        stateChanged();
    });
    connect(p, &ProgramProcess::processesGone, this, [this] {
        if (console_)
            console_->note(QStringLiteral("The processes the program started have ended."));
        stateChanged();
    });
    connect(s, &DebugSession::paused, this, &DebugController::onPaused);
    connect(s, &DebugSession::resumed, this, &DebugController::onResumed);
    connect(s, &DebugSession::error, this, &DebugController::onError);
    connect(s, &DebugSession::ended, this, [this] { onEnded(QString()); });
    connect(s, &DebugSession::frames, this, [this](qint64 thread, const QList<DebugFrame>& list) {
        if (callStack_) {
            callStack_->showFrames(thread, list);
            callStack_->setCurrentFrame(frameShown_);
        }
    });
    connect(s, &DebugSession::threads, this, [this](const QList<DebugThread>& list) {
        if (callStack_)
            callStack_->showThreads(list);
    });
    connect(s, &DebugSession::variables, this,
            [this](qint64, int frame, const QString& note, const QList<DebugValue>& list) {
                if (variables_)
                    variables_->showVariables(note, list);
                if (frame == frameShown_ && marked_ && marked_->source()->fileName() == pausedSource_)
                    showInlineValues(list);
            });
    connect(s, &DebugSession::children, this, [this](qint64 id, int start, int total, const QList<DebugValue>& l) {
        if (variables_)
            variables_->showChildren(id, start, total, l);
    });
}

void DebugController::stop()
{
    if (std::exchange(preparing_, false)) {
        classes_->stop();
        ws_.showStatus(QStringLiteral("Debug Run stopped"));
        stateChanged();
    }
    if (session_)
        session_->stop();
}

void DebugController::motion(void (DebugSession::*step)())
{
    if (live() && session_->settled())
        (session_->*step)();
    stateChanged();
}

void DebugController::runToCursor()
{
    TFileMDIChild* c = ws_.currentEditor();
    if (!live() || !session_->settled() || !c)
        return;
    const int line = c->editor()->textCursor().blockNumber() + 1;
    session_->runToCursor(classOf(c->editor()), line);
    stateChanged();
}

// ---------------------------------------------------------------- events

void DebugController::onPaused(const DebugPause& pause)
{
    // The keyboard stays in the console when the user types there.
    QWidget* focus = QApplication::focusWidget();
    const QPointer<QWidget> typing = console_ && focus && console_->isAncestorOf(focus) ? focus : nullptr;
    frameShown_ = pause.frame;
    const QString place = QStringLiteral("%1:%2").arg(pause.file).arg(pause.line);
    // The line first: opening its window and moving the caret there says the
    // caret's place, which the pause's text then replaces.
    markLine(pause.className, pause.file, pause.line);
    if (pause.reason == QLatin1String("exception")) {
        QString what = pause.exceptionClass;
        if (!pause.exceptionMessage.isEmpty())
            what += QStringLiteral(": ") + pause.exceptionMessage;
        ws_.showStatus(QStringLiteral("Paused: %1 at %2").arg(what, place));
    } else {
        ws_.showStatus(QStringLiteral("Paused at %1").arg(place));
    }
    // Both panes made, the variables in front.
    showCallStack(false);
    showVariables(false);
    session_->requestVariables(pause.frame);
    session_->requestFrames();
    session_->requestThreads();
    emit frameShown(pause.frame);
    if (typing) {
        // The console stays in front, with the keys the user was typing.
        ws_.panes().bringForward(ws_.panes().pane(Pane::Console), true);
        typing->setFocus();
    }
    stateChanged();
}

void DebugController::onResumed()
{
    clearMarks();
    if (variables_)
        variables_->clear();
    stateChanged();
}

void DebugController::onEnded(const QString& text)
{
    if (!text.isEmpty()) {
        if (console_)
            console_->end(text);
        ws_.showStatus(text);
    }
    if (ended_)
        return;
    ended_ = true;
    clearMarks();
    if (variables_)
        variables_->clear();
    if (callStack_)
        callStack_->clear();
    stateChanged();
}

void DebugController::onError(const QString& text)
{
    dialogs().message(&ws_, text, QStringLiteral("Debug Run"), Buttons::Ok, Icon::Stop);
    stateChanged();
}

void DebugController::onFrameChosen(int index, const DebugFrame& frame)
{
    if (!live() || !session_->settled())
        return;
    frameShown_ = index;
    markLine(frame.className, frame.file, frame.line);
    session_->requestVariables(index);
    emit frameShown(index);
}

// ---------------------------------------------------------------- sources

QStringList DebugController::projectSources() const
{
    QStringList out;
    TFileMDIChild* project = ws_.projectWindow();
    if (!project)
        return out;
    const QDir dir = QFileInfo(project->editor()->source()->fileName()).absoluteDir();
    for (const QString& line : project->editor()->toPlainText().split(QLatin1Char('\n'))) {
        const QString name = line.trimmed();
        if (!name.isEmpty())
            out << QDir::cleanPath(dir.absoluteFilePath(name));
    }
    return out;
}

QString DebugController::sourceOf(const QString& className, const QString& file, int line) const
{
    StackTraceLocation at;
    at.className = className;
    at.file = file;
    at.line = line;
    QString found = findStackTraceSource(at, target_.classDir, projectSources());
    if (found.isEmpty() && target_.sourceDir != target_.classDir)
        found = findStackTraceSource(at, target_.sourceDir, projectSources());
    return found;
}

void DebugController::markLine(const QString& className, const QString& file, int line)
{
    clearMarks();
    const QString path = sourceOf(className, file, line);
    if (path.isEmpty())
        return;
    // The source comes forward unless it is the active window; a pause is no jump to go back from.
    TFileMDIChild* w = ws_.places().open(path, PlaceTarget{.line = line, .focus = false, .remember = false});
    if (!w)
        return;
    marked_ = w->editor();
    pausedSource_ = marked_->source()->fileName();
    pausedLine_ = line;
    markExecution(marked_, line);
}

void DebugController::clearMarks()
{
    if (marked_)
        markExecution(marked_, 0);
    marked_ = nullptr;
    pausedSource_.clear();
    pausedLine_ = 0;
}

// ---------------------------------------------------------------- editor marks

void DebugController::markExecution(EditControl* editor, int line)
{
    editor->source()->marks().setExecutionLine(line);
    if (line == 0)
        editor->source()->marks().setInlineValues({});
}

void DebugController::showInlineValues(const QList<DebugValue>& values)
{
    marked_->source()->marks().setInlineValues(inlineValueLines(marked_->toPlainText(), pausedLine_, values));
}

QString DebugController::classOf(EditControl* editor)
{
    return debugClassName(editor->toPlainText(), editor->source()->fileName());
}

void DebugController::openStackTrace(const StackTraceLocation& location)
{
    const QString path = sourceOf(location.className, location.file, location.line);
    if (path.isEmpty()) {
        ws_.showStatus(QStringLiteral("The source %1 was not found").arg(location.file));
        return;
    }
    ws_.places().open(path, PlaceTarget{.line = location.line});
}

// ---------------------------------------------------------------- windows

void DebugController::showConsole(bool activate)
{
    ws_.panes().show(
        Pane::Console,
        [this] {
            console_ = new ConsoleWindow;
            connect(console_, &ConsoleWindow::input, this, [this](const QByteArray& line) {
                if (live())
                    session_->program()->writeInput(line);
            });
            connect(console_, &ConsoleWindow::inputEnded, this, [this] {
                if (live())
                    session_->program()->closeInput();
                stateChanged();
            });
            connect(console_, &ConsoleWindow::openSource, this, &DebugController::openStackTrace);
            // Closing the console ends the program.
            connect(console_, &QObject::destroyed, this, [this] { stop(); });
            return console_.data();
        },
        activate);
}

void DebugController::showVariables(bool activate)
{
    bool made = false;
    ws_.panes().show(
        Pane::Variables,
        [this, &made] {
            made = true;
            variables_ = new VariablesWindow;
            connect(variables_, &VariablesWindow::expandRequested, this, [this](qint64 id, int start) {
                if (live())
                    session_->expand(id, start);
            });
            return variables_.data();
        },
        activate);
    if (made && live() && session_->settled())
        session_->requestVariables(frameShown_);
}

void DebugController::showCallStack(bool activate)
{
    bool made = false;
    ws_.panes().show(
        Pane::CallStack,
        [this, &made] {
            made = true;
            callStack_ = new CallStackWindow;
            connect(callStack_, &CallStackWindow::frameChosen, this, &DebugController::onFrameChosen);
            return callStack_.data();
        },
        activate);
    if (made && live() && session_->settled()) {
        session_->requestFrames();
        session_->requestThreads();
    }
}
