// SPDX-License-Identifier: GPL-3.0-or-later
// A line of a Java stack trace, as the console shows it with a link to the
// source line it names.
#pragma once
#include <QString>

#include <optional>

struct StackTraceLocation {
    QString className;  // binary name: pkg.Outer$Inner
    QString method;     // "<init>", "lambda$main$0"...
    QString file;       // "Cls.java"
    int line = 0;       // 1-based
    int start = 0;      // where "at" begins in the line
    int length = 0;     // up to and including ")"
};

// Recognises "\tat pkg.Cls.method(Cls.java:12)" (also with a module prefix,
// "at java.base/java.lang.Integer.parseInt(Integer.java:652)", and with
// "~[...]" after it); nullopt for anything else, and for frames without a
// line ("Native Method", "Unknown Source").
std::optional<StackTraceLocation> parseStackTraceLine(const QString& line);

// The top-level class of a binary class name: "pkg.A$B$1" gives "pkg.A".
QString topLevelClass(const QString& className);
