// SPDX-License-Identifier: GPL-3.0-or-later
// The project window of a Maven project: its sources listed by package (a
// node for each package, its sources beneath), the tests apart under "Tests".
// Enter or a double-click on a source asks for it to be opened. The window
// carries the project's commands while it is active (see
// workspace/mavencommands.h, which fills its table).
#pragma once
#include "platform/routing.h"
#include "project/projectmodel.h"

#include <QMdiSubWindow>

class QTreeWidget;
class QTreeWidgetItem;

class MavenProjectWindow : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit MavenProjectWindow(const ProjectModel& model, QWidget* parent = nullptr);

    CommandTable& commands() override { return table_; }
    const ProjectModel& model() const { return model_; }
    // Shows `model` (the same pom, read again).
    void setModel(const ProjectModel& model);
    QTreeWidget* tree() const { return tree_; }
    // The sources the nodes show, in their order (tests last).
    QStringList shownSources() const;

    // "Maven - " and the pom's path.
    static QString captionFor(const QString& pomPath);

signals:
    void sourceChosen(const QString& path);

private:
    void fill();
    void addGroup(QTreeWidgetItem* parent, const QStringList& sources, const QStringList& roots);
    void choose(QTreeWidgetItem* item);

    ProjectModel model_;
    QTreeWidget* tree_;
    CommandTable table_;
};
