// SPDX-License-Identifier: GPL-3.0-or-later
// The list of the "Find in Files" window: one row per matching line,
// "path(line): text", and a last row saying how many matches were found in how
// many files. A double-click or Enter on a match's row asks for its place.
#pragma once
#include "workspace/filesearch.h"

#include <QWidget>

#include <vector>

class QListWidget;

class FindResultsWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindResultsWindow(QWidget* parent = nullptr);

    // Empties the list.
    void clear();
    // Adds the rows of matches found, after those shown.
    void addMatches(const std::vector<FileMatch>& matches);
    // Ends the list with its summary row.
    void setSummary(const QString& text);

    QListWidget* list() const { return list_; }
    const std::vector<FileMatch>& matches() const { return matches_; }

signals:
    void matchChosen(const FileMatch& match);

private:
    QListWidget* list_;
    std::vector<FileMatch> matches_;  // the rows' matches, in order
};
