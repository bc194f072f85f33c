// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's file-dialog records, one per kind of file, and the one the
// last New or Open command used, which a new editor window copies.
#pragma once
#include "platform/filedata.h"

class DialogRecords {
public:
    enum class Kind { CompilerMessages, JavaSource, JavaProject };
    // Each record with its kind's filter and default extension.
    DialogRecords();

    FileDialogRecord& record(Kind kind);
    // Makes the record of a kind the current one and returns it.
    FileDialogRecord& use(Kind kind) { return *(FileData = &record(kind)); }
    // Null until the first New or Open command.
    const FileDialogRecord* current() const { return FileData; }

private:
    FileDialogRecord FileErrData;   // compiler message files
    FileDialogRecord FileJavaData;  // Java sources
    FileDialogRecord FileJprData;   // Java projects
    FileDialogRecord* FileData = nullptr;
};
