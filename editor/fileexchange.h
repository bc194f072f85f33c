// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange of a document's text with its file, as the user sees it:
// loading (with a message when the file is refused, unreadable or shown
// read-only), writing, Save, Save As, the close question and the reload of a
// file changed on disk. The file's own state is an EditedFile; the document
// holds the text.
#pragma once
#include "editor/sourcedocument.h"
#include "editor/editedfile.h"
#include "platform/filedata.h"

class FileExchange {
public:
    explicit FileExchange(SourceDocument& doc) : doc_(doc) {}

    EditedFile& file() { return file_; }
    const EditedFile& file() const { return file_; }
    FileDialogRecord& saveData() { return saveData_; }
    SourceDocument::ReadOnlyReason readOnlyReason() const { return readOnlyReason_; }

    // What the document's functions of the same names do (editor/sourcedocument.h).
    bool load(const QString& name);
    bool write(const QString& name);
    bool save();
    bool saveAs();
    Answer askToSave();
    bool canClose();
    SourceDocument::DiskChange checkDiskChange();

private:
    void setReadOnlyFor(SourceDocument::ReadOnlyReason why);
    // True, after saying so, when the document is read-only.
    bool refuseReadOnlySave();
    // False when the file was changed on disk since it was read and the user
    // does not want it overwritten.
    bool confirmOverwrite(const QString& name);
    // Says why the file was not read (see reasonNotToEdit, or unreadable); a
    // document that shows no file yet becomes read-only, any other keeps its text.
    void refuseLoad(const QString& name, const EditedFile::Reading& r);
    // Says why a file read is shown read-only, when it is.
    void tellReadOnly();

    SourceDocument& doc_;
    EditedFile file_;
    FileDialogRecord saveData_;
    SourceDocument::ReadOnlyReason readOnlyReason_ = SourceDocument::ReadOnlyReason::None;
};
