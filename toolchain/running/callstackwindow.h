// SPDX-License-Identifier: GPL-3.0-or-later
// The "Call Stack" window of a paused program: the frames of the paused
// thread, the newest first, each as "method (File.java:12)" with its class,
// and below them the program's other threads with their states. Choosing a
// frame (click, Enter) signals it, so that its line and variables are shown.
#pragma once
#include "toolchain/running/debugsession.h"

#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;

class CallStackWindow : public QWidget {
    Q_OBJECT
public:
    explicit CallStackWindow(QWidget* parent = nullptr);

    void showFrames(qint64 thread, const QList<DebugFrame>& frames);
    void showThreads(const QList<DebugThread>& threads);
    // Marks frame `index` as the one shown.
    void setCurrentFrame(int index);
    void clear();

    QTreeWidget* tree() const { return tree_; }
    // The text of a frame's row.
    static QString frameText(const DebugFrame& frame);

signals:
    void frameChosen(int index, const DebugFrame& frame);

private:
    void onChosen(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    QTreeWidgetItem* framesRoot_ = nullptr;
    QTreeWidgetItem* threadsRoot_ = nullptr;
    qint64 thread_ = 0;
    QList<DebugFrame> frames_;
    int current_ = -1;
};
