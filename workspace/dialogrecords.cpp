// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/dialogrecords.h"

namespace {

void prepare(FileDialogRecord& record, const char* extension, const QString& filter)
{
    record.clear();
    record.flags = FileDialogRecord::HideReadOnly | FileDialogRecord::OverwritePrompt |
                   FileDialogRecord::FileMustExist;
    record.defaultExt = QString::fromLatin1(extension);
    record.filter = filter;
}

}  // namespace

DialogRecords::DialogRecords()
{
    prepare(FileErrData, "err", FilterErr);
    prepare(FileJavaData, "java", FilterJava);
    prepare(FileJprData, "jpr", FilterProject);
}

FileDialogRecord& DialogRecords::record(Kind kind)
{
    switch (kind) {
    case Kind::CompilerMessages: return FileErrData;
    case Kind::JavaSource: return FileJavaData;
    case Kind::JavaProject: break;
    }
    return FileJprData;
}
