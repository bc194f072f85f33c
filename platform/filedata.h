// SPDX-License-Identifier: GPL-3.0-or-later
// What an open or save dialog needs and gives back.
#pragma once
#include <QString>

struct FileDialogRecord {
    enum Flags : unsigned {
        HideReadOnly = 1,
        OverwritePrompt = 2,
        FileMustExist = 4,
    };
    unsigned flags = 0;
    QString fileName;     // chosen file, empty until one is chosen
    QString filter;       // "Description|pat1;pat2|...|"
    int filterIndex = 0;  // selected filter, 0-based
    QString initialDir;
    QString defaultExt;  // appended when a typed name has none

    void clear() { *this = FileDialogRecord(); }
    // The filter in Qt's form: "Description (pat1 pat2);;..."
    QString qtFilter() const;
    // Appends the default extension to a name that has none.
    QString withDefaultExt(const QString& path) const;
};

// The filters of the string table.
extern const QString FilterJava;     // 32556
extern const QString FilterProject;  // 32558
extern const QString FilterErr;
