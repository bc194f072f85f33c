// SPDX-License-Identifier: GPL-3.0-or-later
// The "Outline" window: the classes, fields and methods of a source, one row
// each, indented by their depth and led by their kind, with a note above them
// (the source's name, or why there is no outline yet). Choosing a row
// (double-click, Enter) signals its place.
#pragma once
#include "toolchain/compiling/servicenavigation.h"

#include <QList>
#include <QWidget>

class QLabel;
class QListWidget;
class QListWidgetItem;

class OutlineWindow : public QWidget {
    Q_OBJECT
public:
    explicit OutlineWindow(QWidget* parent = nullptr);

    // Shows `rows`, keeping the selected row's place in the list when it is
    // still there.
    void showRows(const QList<OutlineRow>& rows);
    void setNote(const QString& note);
    // Selects the row that holds `line` without signalling it.
    void selectLine(int line);

    const QList<OutlineRow>& rows() const { return rows_; }
    QListWidget* list() const { return list_; }
    QString note() const;

signals:
    void rowChosen(const OutlineRow& row);

private:
    void onChosen(QListWidgetItem* item);

    QLabel* note_;
    QListWidget* list_;
    QList<OutlineRow> rows_;
};
