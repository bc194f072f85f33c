// SPDX-License-Identifier: GPL-3.0-or-later
// The main window around the workspace. It handles Exit, asks the workspace's
// windows before it closes and opens the files dropped on it.
#pragma once
#include "platform/routing.h"

#include <QMainWindow>

class TFileMDIClient;

class TMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    explicit TMainFrame(TFileMDIClient* client);
    CommandTable& commands() override { return table_; }
    TFileMDIClient* client() const { return client_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    CommandTable table_;
    TFileMDIClient* client_;
};
