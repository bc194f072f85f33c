// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping another JDK in brewpad.cfg: the Java tool directory record
// replaced, the help-file record kept as the file held it.
#pragma once

#include <QString>

struct JdkChoiceWritten {
    bool written = false;
    QString configFile;  // the file written, or the one that could not be
};

// Writes brewpad.cfg with `bin` (the folder holding javac) as its first
// record, in the file that Brewpad reads at start, or where a new one would
// be made when there is none. The help-file record stays as the file held
// it; a file without one takes `helpFile` when it is not empty.
JdkChoiceWritten writeJdkChoice(const QString& bin, const QString& helpFile);
