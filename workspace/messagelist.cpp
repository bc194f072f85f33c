// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's compiler-message window (showing it, following a message to
// its line) and its option windows.
#include "config/toolpaths.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "resources/commands.h"
#include "toolchain/browser.h"
#include "toolchain/compileservice.h"
#include "toolchain/javacrunner.h"
#include "toolchain/mdidlg.h"
#include "toolchain/messages.h"
#include "toolchain/settings.h"
#include "workspace/client.h"

#include <QFileInfo>
#include <QIcon>
#include <QMdiSubWindow>
#include <QTextBlock>

// An option window: the dialog's OK or Cancel closes the window that holds it.
QMdiSubWindow* holdOptionDialog(TFileMDIClient* client, QDialog* dlg)
{
    auto* sub = new QMdiSubWindow;
    sub->setWidget(dlg);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(dlg->windowTitle());
    sub->setAccessibleName(dlg->windowTitle());
    sub->setWindowIcon(QIcon(QStringLiteral(":/icons/world.png")));
    QObject::connect(dlg, &QDialog::finished, sub, &QMdiSubWindow::close);
    client->addSubWindow(sub);
    client->placeNewWindow(sub);
    sub->show();
    client->setActiveSubWindow(sub);
    dlg->setFocus();
    return sub;
}

void TFileMDIClient::CmJavaOptions()
{
    auto* dlg = new TCompDialog(nullptr, 700);
    // Java Options are the compile service's JVM options: a service that runs
    // starts again with the new ones.
    connect(dlg, &QDialog::accepted, this, [] {
        CompileService* s = sharedCompileService();
        if (s && s->state() != CompileService::State::Stopped)
            startCompileService(s->parent(), s->setup().workDir);
    });
    holdOptionDialog(this, dlg);
}

void TFileMDIClient::CmJavaArgs()
{
    holdOptionDialog(this, new TProgDialog(nullptr, 701));
}

bool TFileMDIClient::closeOther(QMdiSubWindow* w)
{
    if (auto* list = qobject_cast<TBrowserWindow*>(w->widget()))
        return list->CanClose();
    return true;
}

void TFileMDIClient::CmFileErr(const QString& fname, const QString& statusNote)
{
    FileData = &FileErrData;
    // What the list shows: the capture as it is now.
    const QFileInfo shown(fname);
    shownModified_ = shown.lastModified();
    shownSize_ = shown.exists() ? shown.size() : -1;
    if (tracebrowser == 1 && BrowserErr) {
        BrowserErr->InsFile(fname);
    } else {
        auto* list = new TBrowserWindow(this, fname);
        auto* frame = new TBrowserFrame(list);
        connect(list, &TBrowserWindow::openLocation, this, &TFileMDIClient::openLocation);
        showMessageWindow(frame);
        BrowserErr = list;
        BrowserFrame = frame;
        tracebrowser = 1;
    }
    // The messages of a compilation keep the directory its compiler ran in.
    const CompilationRecord& last = lastCompilation();
    BrowserErr->setProperty(CompilerDirectoryProperty, last.capture == fname ? last.directory : curdir);
    if (onStatus) {
        // The compiler's own summary lines stand at the end of its output.
        QStringList tail;
        const int n = BrowserErr->GetCount();
        for (int i = std::max(0, n - 20); i < n; ++i)
            tail << BrowserErr->GetString(i);
        const MessageSummary s = summarizeMessages(tail);
        onStatus(summaryText(s) + statusNote);
    }
}

void TFileMDIClient::buildCompileCommands()
{
    table_.on(cmd::StopCompiling, [this] { CmStopCompiling(); });
    table_.enabler(cmd::StopCompiling, [](CommandState& s) { s.enabled = JavacRunner::active() != nullptr; });
    table_.on(cmd::CompilerMessages, [this] { CmCompilerMessages(); });
    table_.enabler(cmd::CompilerMessages,
                   [](CommandState& s) { s.enabled = !lastCompilation().capture.isEmpty(); });
    auto anyMessage = [this](CommandState& s) { s.enabled = !lastCompilationMessages().empty(); };
    table_.on(cmd::NextMessage, [this] { CmNextMessage(); });
    table_.enabler(cmd::NextMessage, anyMessage);
    table_.on(cmd::PreviousMessage, [this] { CmPreviousMessage(); });
    table_.enabler(cmd::PreviousMessage, anyMessage);
}

const std::vector<CompilerMessage>& TFileMDIClient::lastCompilationMessages()
{
    const CompilationRecord& last = lastCompilation();
    const QFileInfo capture(last.capture);
    const QDateTime modified = last.capture.isEmpty() ? QDateTime() : capture.lastModified();
    const qint64 size = last.capture.isEmpty() ? -1 : capture.size();
    if (last.capture != messagesCapture_ || modified != messagesModified_ || size != messagesSize_) {
        messagesCapture_ = last.capture;
        messagesModified_ = modified;
        messagesSize_ = size;
        messages_.clear();
        if (!last.capture.isEmpty())
            messages_ = readCompilerMessages(last.capture, last.directory);
        messageIndex_ = -1;
    }
    return messages_;
}

void TFileMDIClient::CmNextMessage()
{
    stepMessage(1);
}

void TFileMDIClient::CmPreviousMessage()
{
    stepMessage(-1);
}

void TFileMDIClient::stepMessage(int step)
{
    const std::vector<CompilerMessage>& all = lastCompilationMessages();
    if (all.empty())
        return;
    const int n = int(all.size());
    messageIndex_ = messageIndex_ < 0 ? (step > 0 ? 0 : n - 1) : (messageIndex_ + step + n) % n;
    const CompilerMessage m = all[size_t(messageIndex_)];
    const QString capture = lastCompilation().capture;
    if (!listShowsLastCompilation())
        CmFileErr(capture);
    if (BrowserErr)
        BrowserErr->SetSelIndex(m.row);
    showPlace(m.path, m.line, m.column);
}

bool TFileMDIClient::listShowsLastCompilation()
{
    const QString capture = lastCompilation().capture;
    if (!BrowserErr || capture.isEmpty() || BrowserErr->filename != capture)
        return false;
    const QFileInfo now(capture);
    return now.lastModified() == shownModified_ && (now.exists() ? now.size() : -1) == shownSize_;
}

void TFileMDIClient::CmStopCompiling()
{
    if (JavacRunner* r = JavacRunner::active())
        r->stop();
}

void TFileMDIClient::CmCompilerMessages()
{
    const QString capture = lastCompilation().capture;
    if (!capture.isEmpty())
        CmFileErr(capture);
}

void TFileMDIClient::openLocation(const QString& path, int line, int column)
{
    // javac names the sources as it was given them: relative ones lie in the
    // directory it ran in, which the message window keeps.
    const QString ranIn = sender() ? sender()->property(CompilerDirectoryProperty).toString() : QString();
    const QString abs = resolveMessagePath(path, ranIn.isEmpty() ? curdir : ranIn);
    // Next Message goes on from the message chosen in the list.
    if (BrowserErr && sender() == BrowserErr && listShowsLastCompilation()) {
        const int row = BrowserErr->currentIndex().row();
        const std::vector<CompilerMessage>& all = lastCompilationMessages();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].row == row)
                messageIndex_ = int(i);
        }
    }
    showPlace(abs, line, column);
}

bool TFileMDIClient::showPlace(const QString& abs, int line, int column)
{
    if (!QFileInfo(abs).isFile())
        showStatus(QStringLiteral("The file %1 named by this message no longer exists").arg(abs));
    TFileMDIChild* target = nullptr;
    for (TFileMDIChild* c : editors()) {
        if (c->editor()->fileName() == abs)
            target = c;
    }
    if (!target) {
        if (!QFileInfo(abs).isFile())
            return false;
        CmMRUFileOpenJava(abs);
        target = currentEditor();
        if (!target || target->editor()->fileName() != abs)
            return false;
    }
    EditControl* e = target->editor();
    const QTextBlock b = e->document()->findBlockByNumber(std::max(0, line - 1));
    if (b.isValid()) {
        // The word selected, the caret at its start, where the column points
        // when it points at a word's first character.
        const TextSpan word = wordAtColumn(b.text(), column);
        QTextCursor cur(b);
        cur.setPosition(b.position() + word.end);
        cur.setPosition(b.position() + word.start, QTextCursor::KeepAnchor);
        e->setTextCursor(cur);
    }
    e->ensureCursorVisible();
    setActiveSubWindow(target);
    e->setFocus();
    return true;
}

// ---------------------------------------------------------------- marks in the text

namespace {

QString samePlace(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

// The marks of Check While Typing in `marks`: they belong to the window's
// own check of its text, not to a compilation.
QList<MessageMark> checkMarks(const QList<MessageMark>& marks)
{
    QList<MessageMark> out;
    for (const MessageMark& m : marks) {
        if (m.light)
            out << m;
    }
    return out;
}

}  // namespace

void TFileMDIClient::compilationStarted()
{
    // Only the marks of the last compilation go.
    for (TFileMDIChild* w : editors()) {
        const QList<MessageMark> marks = w->editor()->messageMarks();
        const QList<MessageMark> kept = checkMarks(marks);
        if (kept.size() != marks.size())
            w->editor()->setMessageMarks(kept);
    }
}

void TFileMDIClient::compilationEnded()
{
    for (TFileMDIChild* w : editors())
        markMessages(w, false);
}

void TFileMDIClient::markMessages(TFileMDIChild* window, bool openedLater)
{
    EditControl* edit = window->editor();
    if (edit->fileName().isEmpty())
        return;
    const std::vector<CompilerMessage>& all = lastCompilationMessages();
    if (all.empty())
        return;
    const QString file = samePlace(edit->fileName());
    // A file saved since the compilation may no longer have its lines where
    // the messages put them.
    if (openedLater && QFileInfo(file).lastModified() > QFileInfo(lastCompilation().capture).lastModified())
        return;
    QList<MessageMark> marks;
    for (const CompilerMessage& m : all) {
        if (m.severity == MessageSeverity::Note || samePlace(m.path) != file)
            continue;
        MessageMark mark;
        mark.line = m.line;
        mark.column = m.column;
        mark.severity =
            m.severity == MessageSeverity::Warning ? MessageMark::Severity::Warning : MessageMark::Severity::Error;
        mark.text = m.details.isEmpty() ? m.text : m.text + QLatin1Char('\n') + m.details;
        marks << mark;
    }
    if (!marks.isEmpty())
        edit->setMessageMarks(marks + checkMarks(edit->messageMarks()));
}

void TFileMDIClient::CmLineNumbers()
{
    lineNumbers_ = !lineNumbers_;
    for (TFileMDIChild* w : editors())
        w->editor()->setLineNumbersVisible(lineNumbers_);
}

void TFileMDIClient::CmCheckWhileTyping()
{
    checkWhileTyping_ = !checkWhileTyping_;
    if (!checkWhileTyping_) {
        for (TFileMDIChild* w : editors())
            w->clearCheckMarks();
    }
}
