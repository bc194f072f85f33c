// SPDX-License-Identifier: GPL-3.0-or-later
// The inputs given to an interactive pane, walked with Up and Down as a shell
// walks its history: Up from the line being written shows the newest input
// (and keeps the line being written, which Down past the newest brings back);
// an input is added once, not again when it repeats the newest.
#pragma once
#include <QString>
#include <QStringList>

#include <optional>

class InputHistory {
public:
    // Adds `input` (unless blank or the same as the newest) and ends a walk.
    void add(const QString& input);
    // The input older than the one shown, `shown` being the line as it is now;
    // nothing at the oldest.
    std::optional<QString> older(const QString& shown);
    // The input newer than the one shown, then the line being written when the
    // walk began; nothing when no walk is under way.
    std::optional<QString> newer();
    const QStringList& entries() const { return entries_; }

private:
    QStringList entries_;
    qsizetype at_ = -1;  // the entry shown; -1: the line being written
    QString draft_;      // the line being written when the walk began
};
