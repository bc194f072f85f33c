// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a compiled class can show its local variables under the debugger:
// javac writes a method's local-variable table (the LocalVariableTable
// attribute of its Code) only when it compiles with -g.
#pragma once
#include <QByteArray>
#include <QString>

enum class ClassDebugInfo {
    Present,     // a method's code has a local-variable table
    Absent,      // the class has code, none of it with a local-variable table
    Unreadable,  // no class file, or not one this reader understands; or no code at all
};

// The debug information of the class file's bytes.
ClassDebugInfo classDebugInfo(const QByteArray& classFile);
// The same for the class file at `path`.
ClassDebugInfo classFileDebugInfo(const QString& path);
