// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/mavenwindow.h"

#include "toolchain/maven/mavenloader.h"

#include <QFileInfo>
#include <QIcon>
#include <QTreeWidget>

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

}  // namespace

MavenProjectWindow::MavenProjectWindow(const ProjectModel& model, QWidget* parent)
    : QMdiSubWindow(parent), tree_(new QTreeWidget)
{
    setAttribute(Qt::WA_DeleteOnClose);
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->setAccessibleName(QStringLiteral("Project sources"));
    setWidget(tree_);
    setWindowIcon(QIcon(QStringLiteral(":/icons/world.png")));
    connect(tree_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item, int) { choose(item); });
    setModel(model);
}

QString MavenProjectWindow::captionFor(const QString& pomPath)
{
    return QStringLiteral("Maven - %1").arg(pomPath);
}

void MavenProjectWindow::setModel(const ProjectModel& model)
{
    model_ = model;
    setWindowTitle(captionFor(model_.file));
    setAccessibleName(windowTitle());
    fill();
}

void MavenProjectWindow::fill()
{
    tree_->clear();
    addGroup(tree_->invisibleRootItem(), model_.sources, model_.sourceRoots);
    auto* tests = new QTreeWidgetItem(tree_, {QStringLiteral("Tests")});
    addGroup(tests, model_.testSources, model_.testSourceRoots);
    tree_->expandAll();
}

void MavenProjectWindow::addGroup(QTreeWidgetItem* parent, const QStringList& sources, const QStringList& roots)
{
    for (const PackageGroup& g : sourcesByPackage(sources, roots)) {
        auto* node = new QTreeWidgetItem(parent, {g.name.isEmpty() ? QStringLiteral("(default package)") : g.name});
        for (const QString& s : g.sources) {
            auto* leaf = new QTreeWidgetItem(node, {QFileInfo(s).fileName()});
            leaf->setData(0, kPathRole, s);
            leaf->setToolTip(0, s);
        }
    }
}

QStringList MavenProjectWindow::shownSources() const
{
    QStringList out;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        const QString path = (*it)->data(0, kPathRole).toString();
        if (!path.isEmpty())
            out << path;
    }
    return out;
}

void MavenProjectWindow::choose(QTreeWidgetItem* item)
{
    const QString path = item ? item->data(0, kPathRole).toString() : QString();
    if (!path.isEmpty())
        emit sourceChosen(path);
}
