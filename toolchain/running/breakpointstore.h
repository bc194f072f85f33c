// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints of a debugging session, by source file: kept while the
// file's window is closed, handed to its edit control when it opens again.
// Plain data (QtCore only).
#pragma once

#include <QList>
#include <QMap>
#include <QString>

class BreakpointStore {
public:
    // The key of a file: its canonical path, or its clean absolute path when
    // it does not exist (yet).
    static QString key(const QString& path);

    // Replaces the breakpoints of a file (lines from 1; sorted, each once);
    // an empty list forgets the file.
    void set(const QString& path, const QList<int>& lines);
    // Sets the breakpoint of a line when it has none, else clears it. True
    // when the line has one afterwards.
    bool toggle(const QString& path, int line);
    // The lines of a file with breakpoints, ascending.
    QList<int> lines(const QString& path) const;
    // Every file with breakpoints (by key) and its lines.
    const QMap<QString, QList<int>>& all() const { return lines_; }
    void clear() { lines_.clear(); }

private:
    QMap<QString, QList<int>> lines_;
};

// The name by which the debugger knows the class of a source file: the
// qualified class name of javatext/javasource.h, "Hello" for Hello.java
// without a package, "org.demo.Hello" with `package org.demo;`.
QString debugClassName(const QString& sourceText, const QString& path);
