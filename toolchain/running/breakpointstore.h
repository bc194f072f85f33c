// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of a debugging session, by source file: kept while the
// file's window is closed, handed to its edit control when it opens again.
// Plain data (QtCore only).
#pragma once

#include "toolchain/running/breakpoint.h"

#include <QMap>
#include <QString>

class BreakpointStore {
public:
    // The key of a file: its canonical path, or its clean absolute path when
    // it does not exist (yet).
    static QString key(const QString& path);

    // Replaces the breakpoints of a file (lines from 1; by line, one a
    // line: the first given of a line is kept); an empty list forgets the
    // file. Each keeps its file's key as its file.
    void set(const QString& path, const Breakpoints& breakpoints);
    // Sets an enabled breakpoint without condition on a line that has none,
    // else clears the line's. True when the line has one afterwards.
    bool toggle(const QString& path, int line);
    // The breakpoints of a file, by line.
    Breakpoints breakpoints(const QString& path) const;
    // Every file with breakpoints (by key) and its breakpoints.
    const QMap<QString, Breakpoints>& all() const { return files_; }
    void clear() { files_.clear(); }

private:
    QMap<QString, Breakpoints> files_;
};

// The name by which the debugger knows the class of a source file: the
// qualified class name of javatext/javasource.h, "Hello" for Hello.java
// without a package, "org.demo.Hello" with `package org.demo;`.
QString debugClassName(const QString& sourceText, const QString& path);
