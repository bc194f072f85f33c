// SPDX-License-Identifier: GPL-3.0-or-later
// The expressions the Watches pane shows, and what each gave at the last
// pause: a value, or the error that the expression gave in that frame. The
// list outlives a debug run; its results are forgotten when the program runs
// on or ends, and replaced at the next pause. Plain data: the pane shows it,
// the workspace fills it from the debug session.
#pragma once
#include "toolchain/running/debugwire.h"

#include <QList>
#include <QString>
#include <QStringList>

struct Watch {
    QString expression;
    DebugValue value;  // of the last pause; empty text while none
    QString error;     // what the expression gave instead of a value
    bool evaluated = false;
    friend bool operator==(const Watch&, const Watch&) = default;
};

class WatchList {
public:
    const QList<Watch>& watches() const { return watches_; }
    QStringList expressions() const;
    int size() const { return int(watches_.size()); }

    // Adds `expression` (trimmed) at the end; false when it is empty or
    // already watched.
    bool add(const QString& expression);
    // Replaces the expression of watch `index`, its result forgotten; an
    // empty one removes the watch. False when `index` is out of range or the
    // new expression is watched already.
    bool replace(int index, const QString& expression);
    bool remove(int index);

    // The result of `expression` at this pause; false when no watch has it.
    bool setResult(const QString& expression, const DebugValue& value, const QString& error);
    // The program runs on or has ended: no watch has a result.
    void forgetResults();

private:
    int indexOf(const QString& expression) const;

    QList<Watch> watches_;
};

// The Java expression that names the value at `path` in the Variables pane
// ("local:count", "this:this/items/[3]", "static:total", ...) so that it can be
// assigned: "count", "this.items[3]", "total". Empty for what cannot be
// assigned: the exception that paused the program, a string's text, the row
// that shows more elements.
QString assignableExpression(const QString& path);
