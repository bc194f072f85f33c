// SPDX-License-Identifier: GPL-3.0-or-later
// JShell, Send to JShell and Reset JShell: the "JShell" pane of the pane area
// and the JShell session behind it, started with the configured JDK's java
// and the class path of the active source or project (its class folder and
// class-path entries) when the pane is first shown, and again on Reset.
#pragma once
#include "toolchain/running/jshellsession.h"
#include "toolchain/running/jshellwindow.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CommandTable;
class TFileMDIClient;

class JShellCommands : public QObject {
    Q_OBJECT
public:
    JShellCommands(TFileMDIClient& workspace, CommandTable& table);

    // The pane, made (and JShell started) when first needed.
    JShellWindow* showPane(bool activate);
    // Evaluates `source` in the pane, as if typed there.
    void evaluate(const QString& source);
    // Sends the active editor's selection, or the line of its caret.
    void sendFromEditor();
    // Starts JShell afresh with the active source's class path.
    void reset();
    JShellSession& session() { return *session_; }
    JShellWindow* pane() const { return window_; }

private:
    void start(const QStringList& classPath);
    QStringList activeClassPath() const;

    TFileMDIClient& ws_;
    JShellSession* session_;
    QPointer<JShellWindow> window_;
    QHash<qint64, QString> asked_;  // completion requests: the input they were asked for
};
