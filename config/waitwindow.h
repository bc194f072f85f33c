// SPDX-License-Identifier: GPL-3.0-or-later
// The "Config" window shown while the tool paths are settled at start-up.
//
// Use:
//     TConfigWindow w;
//     w.show();
//     tf.setProgress(w.progress());
//     tf.setfiles();
//     w.close();
#pragma once
#include "config/search.h"

#include <QDialog>

class QLabel;

class TConfigWindow : public QDialog {
    Q_OBJECT
public:
    explicit TConfigWindow(QWidget* parent = nullptr);

    // A progress callback for toolsfind::setProgress that updates this window.
    toolsfind::Progress progress();

    QString countText() const;
    QString directoryText() const;

public slots:
    // Shows how far the walk has got and lets the window repaint.
    void showProgress(long dirsSearched, const QString& currentDir);

private:
    void showGlobe();

    QLabel* globe = nullptr;
    bool globeShown = false;
    QLabel* count = nullptr;
    QLabel* current = nullptr;
    QString currentFull;
};
