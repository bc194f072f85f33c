// SPDX-License-Identifier: GPL-3.0-or-later
// The "Find in Files" dialog: the folder to search with its subfolders, the
// text to find, the names of the files to search in, and "Match case". The
// application's dialog interface (platform/dialogs.h) shows it modally.
#pragma once
#include "platform/dialogs.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TFindInFilesDialog : public QDialog {
    Q_OBJECT
public:
    // The fields filled from `proposed`; "Find" is enabled while there is a
    // folder and a text to find.
    explicit TFindInFilesDialog(const FindInFilesQuery& proposed, QWidget* parent = nullptr);

    FindInFilesQuery query() const;

    QLineEdit* patternEdit() const { return pattern_; }
    QLineEdit* folderEdit() const { return folder_; }
    QLineEdit* fileNamesEdit() const { return fileNames_; }
    QCheckBox* matchCaseBox() const { return matchCase_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* browseButton() const { return browse_; }

private:
    void updateButtons();
    void browse();

    QLineEdit* pattern_;
    QLineEdit* folder_;
    QLineEdit* fileNames_;
    QCheckBox* matchCase_;
    QPushButton* find_;
    QPushButton* browse_;
};
