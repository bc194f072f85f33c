// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/messagecontroller.h"

#include "config/toolpaths.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "platform/routing.h"
#include "resources/commands.h"
#include "toolchain/messages/messagewindow.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/settings/optiondialogs.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/messages/messages.h"
#include "toolchain/settings/settings.h"
#include "workspace/workspace.h"
#include "workspace/fileplaces.h"
#include "workspace/panearea.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QTextBlock>

MessageController::MessageController(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

void MessageController::addCommands(CommandTable& table)
{
    table.on(cmd::StopCompiling, [this] { stopCompiling(); });
    table.enabler(cmd::StopCompiling, [](CommandState& s) { s.enabled = JavacRunner::active() != nullptr; });
    table.on(cmd::CompilerMessages, [this] { showLastCompilation(); });
    table.enabler(cmd::CompilerMessages, [](CommandState& s) { s.enabled = !lastCompilation().capture.isEmpty(); });
    auto anyMessage = [this](CommandState& s) { s.enabled = !lastCompilationMessages().empty(); };
    table.on(cmd::NextMessage, [this] { step(1); });
    table.enabler(cmd::NextMessage, anyMessage);
    table.on(cmd::PreviousMessage, [this] { step(-1); });
    table.enabler(cmd::PreviousMessage, anyMessage);
}

void MessageController::show(const QString& fname, const QString& statusNote)
{
    ws_.useDialogRecord(TFileMDIClient::DialogKind::CompilerMessages);
    load(fname);
    showSummary(statusNote);
    emit ws_.commandStatesChanged();
}

void MessageController::load(const QString& fname)
{
    // What the list shows: the capture as it is now.
    const QFileInfo shown(fname);
    shownModified_ = shown.lastModified();
    shownSize_ = shown.exists() ? shown.size() : -1;
    if (tracebrowser == 1 && ws_.messageList()) {
        ws_.messageList()->InsFile(fname);
        // Brought forward, whatever pane was shown.
        ws_.panes().bringForward(ws_.messageListFrame(), false);
    } else {
        auto* list = new TBrowserWindow(&ws_, fname);
        // javac's "^" stands under the column it points at.
        list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        connect(list, &TBrowserWindow::openLocation, this,
                [this, list](const QString& path, int line, int column) { openLocation(list, path, line, column); });
        connect(list, &QObject::destroyed, this, [this, list] { ranIn_.remove(list); });
        ws_.setMessageList(list, ws_.panes().add(Pane::CompilerMessages, list, false));
        tracebrowser = 1;
    }
    // The messages of a compilation keep the directory its compiler ran in.
    const CompilationRecord& last = lastCompilation();
    ranIn_.insert(ws_.messageList(), last.capture == fname ? last.directory : curdir);
}

void MessageController::showSummary(const QString& statusNote)
{
    // The compiler's own summary lines stand at the end of its output.
    QStringList tail;
    const int n = ws_.messageList()->GetCount();
    for (int i = std::max(0, n - 20); i < n; ++i)
        tail << ws_.messageList()->GetString(i);
    const MessageSummary s = summarizeMessages(tail);
    ws_.showStatus(summaryText(s) + statusNote);
}

const std::vector<CompilerMessage>& MessageController::lastCompilationMessages()
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

void MessageController::step(int step)
{
    const std::vector<CompilerMessage>& all = lastCompilationMessages();
    if (all.empty())
        return;
    const int n = int(all.size());
    messageIndex_ = messageIndex_ < 0 ? (step > 0 ? 0 : n - 1) : (messageIndex_ + step + n) % n;
    const CompilerMessage m = all[size_t(messageIndex_)];
    const QString capture = lastCompilation().capture;
    if (!listShowsLastCompilation())
        show(capture);
    if (ws_.messageList())
        ws_.messageList()->SetSelIndex(m.row);
    showPlace(m.path, m.line, m.column);
}

bool MessageController::listShowsLastCompilation()
{
    const QString capture = lastCompilation().capture;
    if (!ws_.messageList() || capture.isEmpty() || ws_.messageList()->filename != capture)
        return false;
    const QFileInfo now(capture);
    return now.lastModified() == shownModified_ && (now.exists() ? now.size() : -1) == shownSize_;
}

void MessageController::stopCompiling()
{
    if (JavacRunner* r = JavacRunner::active())
        r->stop();
}

void MessageController::showLastCompilation()
{
    const QString capture = lastCompilation().capture;
    if (!capture.isEmpty())
        show(capture);
}

void MessageController::openLocation(TBrowserWindow* list, const QString& path, int line, int column)
{
    // javac names the sources as it was given them: relative ones lie in the
    // directory it ran in, which the message window keeps.
    const QString ranIn = ranIn_.value(list);
    const QString abs = resolveMessagePath(path, ranIn.isEmpty() ? curdir : ranIn);
    // Next Message goes on from the message chosen in the list.
    if (ws_.messageList() && list == ws_.messageList() && listShowsLastCompilation()) {
        const int row = ws_.messageList()->currentIndex().row();
        const std::vector<CompilerMessage>& all = lastCompilationMessages();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].row == row)
                messageIndex_ = int(i);
        }
    }
    showPlace(abs, line, column);
}

bool MessageController::showPlace(const QString& abs, int line, int column)
{
    if (!QFileInfo(abs).isFile())
        ws_.showStatus(QStringLiteral("The file %1 named by this message no longer exists").arg(abs));
    // The word selected, the caret at its start, where the column points
    // when it points at a word's first character.
    return ws_.places().open(abs,
                             PlaceTarget{.line = line,
                                         .span = [column](const QString& text) { return wordAtColumn(text, column); },
                                         .caretAtStart = true}) != nullptr;
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
QList<TextMark> checkMarks(const QList<TextMark>& marks)
{
    QList<TextMark> out;
    for (const TextMark& m : marks) {
        if (m.light)
            out << m;
    }
    return out;
}

}  // namespace

void MessageController::compilationStarted()
{
    emit ws_.commandStatesChanged();
    // Only the marks of the last compilation go.
    for (TFileMDIChild* w : ws_.editors()) {
        const QList<TextMark> marks = w->editor()->source()->marks().messageMarks();
        const QList<TextMark> kept = checkMarks(marks);
        if (kept.size() != marks.size())
            w->editor()->source()->marks().setMessageMarks(kept);
    }
}

void MessageController::compilationEnded(bool succeeded)
{
    emit ws_.commandStatesChanged();
    const QString capture = lastCompilation().capture;
    if (succeeded && tracebrowser == 1 && ws_.messageList() && !capture.isEmpty())
        load(capture);
    for (TFileMDIChild* w : ws_.editors())
        markMessages(w, false);
}

void MessageController::markMessages(TFileMDIChild* window, bool openedLater)
{
    EditControl* edit = window->editor();
    if (edit->source()->fileName().isEmpty())
        return;
    const std::vector<CompilerMessage>& all = lastCompilationMessages();
    if (all.empty())
        return;
    const QString file = samePlace(edit->source()->fileName());
    // A file saved since the compilation may no longer have its lines where
    // the messages put them.
    if (openedLater && QFileInfo(file).lastModified() > QFileInfo(lastCompilation().capture).lastModified())
        return;
    QList<TextMark> marks;
    for (const CompilerMessage& m : all) {
        if (m.severity == MessageSeverity::Note || samePlace(m.path) != file)
            continue;
        const bool warning = m.severity == MessageSeverity::Warning;
        marks << TextMark{.line = m.line,
                          .column = m.column,
                          .kind = warning ? TextMark::Kind::Warning : TextMark::Kind::Error,
                          .text = m.details.isEmpty() ? m.text : m.text + QLatin1Char('\n') + m.details};
    }
    if (!marks.isEmpty())
        edit->source()->marks().setMessageMarks(marks + checkMarks(edit->source()->marks().messageMarks()));
}
