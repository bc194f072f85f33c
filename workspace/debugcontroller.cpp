// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/debugcontroller.h"

#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/filebuild.h"
#include "platform/dialogs.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/running/breakpointstore.h"
#include "toolchain/messages/browser.h"
#include "toolchain/running/callstackwindow.h"
#include "toolchain/running/consolewindow.h"
#include "toolchain/running/inlinevalues.h"
#include "toolchain/running/variableswindow.h"
#include "workspace/breakpointsync.h"
#include "workspace/client.h"
#include "workspace/messagewindows.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBlock>

namespace {

// The height of the debugger's windows in the strip along the bottom.
constexpr int StripHeight = 160;

}  // namespace

DebugController::DebugController(TFileMDIClient& workspace)
    : QObject(&workspace),
      ws_(workspace),
      jar_(DebugSession::defaultJar()),
      breakpoints_(new BreakpointSync(workspace, this))
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
        c->editor()->toggleBreakpoint(c->editor()->textCursor().blockNumber() + 1);
}

DebugController::~DebugController()
{
    delete session_;
}

void DebugController::addCommands(CommandTable& table)
{
    table.on(cmd::DebugRun, [this] { debugRun(); });
    table.enabler(cmd::DebugRun, [this](CommandState& s) {
        if (live()) {
            s.enabled = session_->settled();
            return;
        }
        TFileMDIChild* c = ws_.currentEditor();
        s.enabled = c && !c->isProject() && c->build().IsJavaMain && c->build().IsCompiled;
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
        s.enabled = live() || (session_ && session_->program()->processesRemain());
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
    if (live()) {
        if (session_->settled())
            session_->continue_();
        return;
    }
    TFileMDIChild* c = ws_.currentEditor();
    if (!c || c->isProject())
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
        startTarget(*target);
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
                if (frame == frameShown_ && marked_ && marked_->fileName() == pausedSource_)
                    showInlineValues(list);
            });
    connect(s, &DebugSession::children, this, [this](qint64 id, int start, int total, const QList<DebugValue>& l) {
        if (variables_)
            variables_->showChildren(id, start, total, l);
    });
}

void DebugController::stop()
{
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
    showVariables(false);
    showCallStack(false);
    session_->requestVariables(pause.frame);
    session_->requestFrames();
    session_->requestThreads();
    if (typing) {
        raiseMessageWindowOf(ws_, console_, true);
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
}

// ---------------------------------------------------------------- sources

QStringList DebugController::projectSources() const
{
    QStringList out;
    TFileMDIChild* project = ws_.EditJAVACntl;
    if (!project)
        return out;
    const QDir dir = QFileInfo(project->editor()->fileName()).absoluteDir();
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

TFileMDIChild* DebugController::showSource(const QString& path, int line)
{
    const QString wanted = QFileInfo(path).canonicalFilePath();
    TFileMDIChild* target = nullptr;
    for (TFileMDIChild* c : ws_.editors()) {
        if (QFileInfo(c->editor()->fileName()).canonicalFilePath() == wanted)
            target = c;
    }
    if (!target) {
        ws_.CmMRUFileOpenJava(path);
        target = ws_.currentEditor();
        if (!target || QFileInfo(target->editor()->fileName()).canonicalFilePath() != wanted)
            return nullptr;
    } else if (ws_.currentEditor() != target || ws_.messageWindowActive()) {
        // Another window is in front: the source comes before it. A source
        // window already active keeps its focus where it is.
        ws_.bringToFront(target);
    }
    EditControl* e = target->editor();
    const QTextBlock b = e->document()->findBlockByNumber(std::max(0, line - 1));
    if (b.isValid()) {
        QTextCursor cur(b);
        e->setTextCursor(cur);
        e->ensureCursorVisible();
    }
    return target;
}

void DebugController::markLine(const QString& className, const QString& file, int line)
{
    clearMarks();
    const QString path = sourceOf(className, file, line);
    if (path.isEmpty())
        return;
    TFileMDIChild* w = showSource(path, line);
    if (!w)
        return;
    marked_ = w->editor();
    pausedSource_ = marked_->fileName();
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
    editor->setExecutionLine(line);
    if (line == 0)
        editor->setInlineValues({});
}

void DebugController::showInlineValues(const QList<DebugValue>& values)
{
    marked_->setInlineValues(inlineValueLines(marked_->toPlainText(), pausedLine_, values));
}

QString DebugController::classOf(EditControl* editor)
{
    return debugClassName(editor->toPlainText(), editor->fileName());
}

void DebugController::openStackTrace(const StackTraceLocation& location)
{
    const QString path = sourceOf(location.className, location.file, location.line);
    if (path.isEmpty()) {
        ws_.showStatus(QStringLiteral("The source %1 was not found").arg(location.file));
        return;
    }
    if (TFileMDIChild* w = showSource(path, location.line))
        ws_.bringToFront(w);
}

// ---------------------------------------------------------------- windows

TBrowserFrame* DebugController::showInStrip(QWidget* content, const QString& caption, bool activate)
{
    auto* frame = new TBrowserFrame(content, caption);
    ws_.showMessageWindow(frame);
    // Side by side in the strip: the console on the left half, the variables
    // and the call stack each on a quarter to its right.
    const int width = ws_.contentsRect().width();
    const int left = content == console_ ? 0 : content == variables_ ? width / 2 : width * 3 / 4;
    const int span = content == console_ ? width / 2 : width / 4;
    frame->setGeometry(left, frame->y() + frame->height() - StripHeight, std::max(80, span), StripHeight);
    emit frame->resizedByUser();
    if (activate)
        frame->activate();
    return frame;
}

void DebugController::showConsole(bool activate)
{
    if (console_) {
        raiseMessageWindowOf(ws_, console_, activate);
        return;
    }
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
    TBrowserFrame* frame = showInStrip(console_, QStringLiteral("Console"), activate);
    // Closing the console ends the program.
    connect(frame, &TBrowserFrame::goingAway, this, [this] { stop(); });
}

void DebugController::showVariables(bool activate)
{
    if (variables_) {
        raiseMessageWindowOf(ws_, variables_, activate);
        return;
    }
    variables_ = new VariablesWindow;
    connect(variables_, &VariablesWindow::expandRequested, this, [this](qint64 id, int start) {
        if (live())
            session_->expand(id, start);
    });
    showInStrip(variables_, QStringLiteral("Variables"), activate);
    if (live() && session_->settled())
        session_->requestVariables(frameShown_);
}

void DebugController::showCallStack(bool activate)
{
    if (callStack_) {
        raiseMessageWindowOf(ws_, callStack_, activate);
        return;
    }
    callStack_ = new CallStackWindow;
    connect(callStack_, &CallStackWindow::frameChosen, this, &DebugController::onFrameChosen);
    showInStrip(callStack_, QStringLiteral("Call Stack"), activate);
    if (live() && session_->settled()) {
        session_->requestFrames();
        session_->requestThreads();
    }
}
