// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/callstackwindow.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum StackColumn { FrameColumn, ClassColumn };
enum StackRole { FrameIndexRole = Qt::UserRole };

}  // namespace

CallStackWindow::CallStackWindow(QWidget* parent) : QWidget(parent), tree_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Call Stack"));
    setAccessibleName(QStringLiteral("Call Stack"));
    tree_->setColumnCount(2);
    tree_->setHeaderLabels({QStringLiteral("Frame"), QStringLiteral("Class")});
    tree_->setAccessibleName(QStringLiteral("Call stack"));
    tree_->setRootIsDecorated(true);
    tree_->header()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    connect(tree_, &QTreeWidget::itemActivated, this, &CallStackWindow::onChosen);
    connect(tree_, &QTreeWidget::itemClicked, this, &CallStackWindow::onChosen);
    clear();
}

QString CallStackWindow::frameText(const DebugFrame& frame)
{
    if (frame.line > 0 && !frame.file.isEmpty())
        return QStringLiteral("%1 (%2:%3)").arg(frame.method, frame.file).arg(frame.line);
    return QStringLiteral("%1 (no source line)").arg(frame.method);
}

void CallStackWindow::clear()
{
    tree_->clear();
    frames_.clear();
    current_ = -1;
    framesRoot_ = new QTreeWidgetItem(tree_, {QStringLiteral("Paused thread")});
    threadsRoot_ = new QTreeWidgetItem(tree_, {QStringLiteral("Threads")});
    framesRoot_->setExpanded(true);
    threadsRoot_->setExpanded(true);
}

void CallStackWindow::showFrames(qint64 thread, const QList<DebugFrame>& frames)
{
    thread_ = thread;
    frames_ = frames;
    qDeleteAll(framesRoot_->takeChildren());
    for (int i = 0; i < frames.size(); ++i) {
        auto* item = new QTreeWidgetItem(framesRoot_, {frameText(frames[i]), frames[i].className});
        item->setData(FrameColumn, FrameIndexRole, i);
    }
    setCurrentFrame(0);
}

void CallStackWindow::showThreads(const QList<DebugThread>& threads)
{
    qDeleteAll(threadsRoot_->takeChildren());
    for (const DebugThread& t : threads) {
        auto* item = new QTreeWidgetItem(threadsRoot_, {t.name, t.status});
        if (t.id == thread_) {
            QFont bold = item->font(FrameColumn);
            bold.setBold(true);
            item->setFont(FrameColumn, bold);
            item->setText(ClassColumn, t.status + QStringLiteral(", paused here"));
        }
    }
}

void CallStackWindow::setCurrentFrame(int index)
{
    current_ = index;
    for (int i = 0; i < framesRoot_->childCount(); ++i) {
        QTreeWidgetItem* item = framesRoot_->child(i);
        QFont f = item->font(FrameColumn);
        f.setBold(i == index);
        item->setFont(FrameColumn, f);
        if (i == index)
            tree_->setCurrentItem(item);
    }
}

void CallStackWindow::onChosen(QTreeWidgetItem* item)
{
    const QVariant index = item->data(FrameColumn, FrameIndexRole);
    if (!index.isValid() || index.toInt() >= frames_.size())
        return;
    if (index.toInt() == current_)
        return;
    setCurrentFrame(index.toInt());
    emit frameChosen(index.toInt(), frames_[index.toInt()]);
}
