// SPDX-License-Identifier: GPL-3.0-or-later
// Rename (Shift+F6): the local, parameter, field, method or type at the
// caret of a Java window renamed across the open Java windows and the other
// sources of its project, through the compile service (Rename.java). The new
// name is asked, the places the service finds are listed in a preview, and
// applying them edits each source in its editor window, one undo step each;
// a source not open is opened and edited there, never written behind the
// user's back: the user saves it. Whatever prevents the rename is said in a
// message box.
#pragma once
#include "workspace/servicelink.h"
#include "toolchain/compiling/serviceprotocol.h"
#include "workspace/renameplan.h"

#include <QHash>
#include <QObject>
#include <QPointer>

class CommandTable;
class CompileService;
class TFileMDIChild;
class TFileMDIClient;

class RenameController : public QObject {
    Q_OBJECT
public:
    // Carries Rename in `table`.
    RenameController(TFileMDIClient& workspace, CommandTable& table);

    // Asks for the new name of what the caret of `window` names, then for
    // its places.
    void rename(TFileMDIChild* window);

private:
    void onAnswered(quint64 id, const ServiceReply& reply);
    void onQueryFailed(quint64 id, const QString& reason);
    void preview(const RenamedReply& reply);
    // The sources of the project of `file`: those of the project window
    // when it lists `file`, else renameProjectSources().
    QStringList otherSources(const QString& file) const;
    // The text a source had for the service: its window's as sent, else its file's.
    QString textSought(const QString& path) const;
    bool changedSinceAsked() const;
    // Edits one source in its window (opened when none shows it); false when
    // its text is no longer the one the places were found in.
    bool applyTo(const RenameFileEdits& file, const QString& oldName);
    void refuse(const QString& text);

    TFileMDIClient& ws_;
    ServiceLink service_;  // the service whose answers come here
    quint64 id_ = 0;
    QPointer<TFileMDIChild> from_;
    QString newName_;
    QHash<QString, QString> sent_;                     // the windows' texts sent, by path
    QHash<QString, QPointer<TFileMDIChild>> windows_;  // and their windows
};
