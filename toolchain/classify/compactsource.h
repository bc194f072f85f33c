// SPDX-License-Identifier: GPL-3.0-or-later
// The applications of newer Java (JDK 25) that the textual classification
// does not know: compact source files, whose top level holds methods and
// fields without a class around them, and classes whose `main` takes no
// arguments. Like the classification, it reads the prepared text (comments
// removed, white space collapsed) and does not parse Java.
#pragma once

#include <QString>

#include <optional>
#include <string_view>

struct ScanResult;

// The class to run of a source that declares `void main()`, from its
// prepared text: the file's base name for a compact source file (the
// method stands outside every class), or the top-level class that holds it;
// nothing when the text declares no such main.
struct NewerMain {
    bool compact = false;  // a compact source file
    QString className;
};
std::optional<NewerMain> findNewerMain(std::string_view prepared, const QString& baseName);

// Whether a source file declares a compact source file or a `main` without
// arguments (read from disk, as the classification reads it).
bool usesNewerMain(const QString& path);

// What the status bar adds when a compilation with the JDK of `javabin`
// failed: when the source is a compact source file or has a main without
// arguments and that JDK is older than 25, that these need JDK 25 or later,
// naming the newest such JDK of this machine (findJdks), or saying there is
// none. Empty otherwise. Starts with "; ".
QString newerJavaNote(const QString& source, const QString& javabin);
