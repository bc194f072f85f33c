// SPDX-License-Identifier: GPL-3.0-or-later
// Add Node and Del Node of a project window: the entries of a project, one
// source a line, inserted from the open dialog or removed at the caret; and a
// double-click on an entry, which asks for its source to be opened.
#pragma once
#include "platform/filedata.h"

#include <QObject>
#include <QStringList>

class EditControl;
class QWidget;

class ProjectNodes : public QObject {
    Q_OBJECT
public:
    // The entries of the project shown by `edit`.
    explicit ProjectNodes(EditControl* edit);

    // Add Node: asks for Java sources (several at once, or a folder, which
    // stands for its ".java" files in the order of their names), starting in
    // the project's folder, and puts their full paths, each with a CR LF line
    // end, in place of the selection, or at the caret. `owner` (the project's
    // window) owns the messages, its top-level window the dialog. False when
    // nothing was added.
    bool add(QWidget* owner);
    // Del Node: removes the entry on the caret's line, its line end included.
    void remove();
    // From now on a double-click on an entry sends entryChosen() instead of
    // selecting a word.
    void watchEntries();

    // The entries `chosen` stands for: each file as it is, each folder as its
    // ".java" files in the order of their names.
    static QStringList entriesFor(const QStringList& chosen);
    // The source an entry line names: its text without the blanks around it,
    // taken from the project's folder `projectDir` when it is relative; empty
    // for a comment or an empty line.
    static QString entrySource(const QString& line, const QString& projectDir);

signals:
    // A double-click on the entry naming `path` (absolute).
    void entryChosen(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // False, after saying why, when `path` cannot be a project line.
    bool mayAdd(QWidget* owner, const QString& path);

    EditControl* edit_;
    FileDialogRecord ProjJavaData;  // Add Node's dialog record
};
