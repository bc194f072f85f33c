// SPDX-License-Identifier: GPL-3.0-or-later
// A line of a Java stack trace, as the console shows it with a link to the
// source line it names.
#pragma once
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

struct StackTraceLocation {
    QString className;  // binary name: pkg.Outer$Inner
    QString method;     // "<init>", "lambda$main$0"...
    QString file;       // "Cls.java"
    int line = 0;       // 1-based
    int start = 0;      // where "at" begins in the line
    int length = 0;     // up to and including ")"
};
Q_DECLARE_METATYPE(StackTraceLocation)

// Recognises "\tat pkg.Cls.method(Cls.java:12)" (also with a module prefix,
// "at java.base/java.lang.Integer.parseInt(Integer.java:652)", and with
// "~[...]" after it); nullopt for anything else, and for frames without a
// line ("Native Method", "Unknown Source").
std::optional<StackTraceLocation> parseStackTraceLine(const QString& line);

// The top-level class of a binary class name: "pkg.A$B$1" gives "pkg.A".
QString topLevelClass(const QString& className);

// The source of `location`: the file it names in `classDir` or in the folder of
// its package below `classDir`, else among `projectSources` the file of that
// name whose folder ends with its package's folders, else the only one of that
// name. Empty when none exists.
QString findStackTraceSource(const StackTraceLocation& location, const QString& classDir,
                             const QStringList& projectSources);
