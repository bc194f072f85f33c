// SPDX-License-Identifier: GPL-3.0-or-later
// The option windows of the workspace: Java Options and Program Arguments,
// each a dialog held in a window of the workspace that its OK or Cancel closes.
#pragma once

#include <QObject>

class QDialog;
class TFileMDIClient;

class OptionWindows : public QObject {
    Q_OBJECT
public:
    explicit OptionWindows(TFileMDIClient& workspace);

    // Java Options: the compile service's JVM options; a service that runs
    // starts again with the new ones.
    void javaOptions();
    // Program Arguments.
    void programArguments();

private:
    void hold(QDialog* dlg);

    TFileMDIClient& ws_;
};
