// SPDX-License-Identifier: GPL-3.0-or-later
// A breakpoint as one value, from the editor's margin through the store to the
// debugger helper's wire. Plain data (QtCore only).
#pragma once

#include <QList>
#include <QString>

struct Breakpoint {
    QString file;  // the source file (the store's key); empty within one file's marks
    int line = 1;  // from 1
    bool enabled = true;
    QString condition;  // a Java boolean expression; empty for none
    int hitCount = 0;   // stops at this hit and after; 0 for every hit
    friend bool operator==(const Breakpoint&, const Breakpoint&) = default;
};

using Breakpoints = QList<Breakpoint>;
