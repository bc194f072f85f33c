// SPDX-License-Identifier: GPL-3.0-or-later
// The compiler-message window of the workspace: showing a compilation's
// messages and their summary, walking them with Next and Previous Message,
// following a message to its place, and marking the places in the editor
// windows; with Stop Compiling and Compiler Messages.
#pragma once
#include "toolchain/messages/messages.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <vector>

class CommandTable;
class TBrowserWindow;
class TFileMDIChild;
class TFileMDIClient;

class MessageController : public QObject {
    Q_OBJECT
public:
    explicit MessageController(TFileMDIClient& workspace);

    // Stop Compiling, Compiler Messages, Next and Previous Message.
    void addCommands(CommandTable& table);

    // Shows the compiler messages of `fname` in the message window (opening
    // it when there is none) and their summary in the status bar, followed
    // by `statusNote`.
    void show(const QString& fname, const QString& statusNote = QString());
    // The messages of the last compilation that name a place, in order, their
    // paths absolute (read from its capture file again when that changed).
    const std::vector<CompilerMessage>& lastCompilationMessages();
    // The next (step 1) or previous (step -1) message of the last compilation
    // that names a place, after the one gone to last, round from the end to
    // the start: its file opened when no window shows it, the caret there with
    // the word selected, its row selected in the message window (shown when
    // it is not).
    void step(int step);
    // Ends the running compilation, if any.
    void stopCompiling();
    // Shows the messages of the last compilation again.
    void showLastCompilation();

    // A compilation started: the marks of the last one go.
    void compilationStarted();
    // A compilation ended: the places its messages name are marked. After a
    // success, an open message window shows its messages (the warnings, or
    // nothing), not those of the compilation before.
    void compilationEnded(bool succeeded);
    // Marks the places the last compilation's messages name in a window; a
    // window opened after the compilation only when its file is not newer.
    void markMessages(TFileMDIChild* window, bool openedLater);

private:
    // The list's request: the place of a message, its path as the compiler
    // wrote it.
    void openLocation(TBrowserWindow* list, const QString& path, int line, int column);
    // Puts the caret on a line and column of a file, with the word there
    // selected, opening the file when no window shows it; false when the file
    // is neither shown nor there.
    bool showPlace(const QString& absolutePath, int line, int column);
    // True when the message window shows the capture of the last compilation
    // as it is now, not an older text of it.
    bool listShowsLastCompilation();
    void showSummary(const QString& statusNote);
    // Loads `fname` into the message window, opening one when none is open.
    void load(const QString& fname);

    TFileMDIClient& ws_;
    // The directory each message list's compiler ran in: javac names the
    // sources as it was given them, relative ones in that directory.
    QHash<const TBrowserWindow*, QString> ranIn_;
    // lastCompilationMessages(), and the state of the capture it was read from.
    std::vector<CompilerMessage> messages_;
    QString messagesCapture_;
    QDateTime messagesModified_;
    qint64 messagesSize_ = -1;
    int messageIndex_ = -1;  // the message gone to last, -1 for none
    // The state of the capture file the message window was loaded from.
    QDateTime shownModified_;
    qint64 shownSize_ = -1;
};
