// The modeless option windows "Compiler Options" and "Program Arguments".
//
// Each is a content widget for one workspace sub-window: the dialog is made with
// plain widget flags, and the workspace puts it into a new QMdiSubWindow. When the
// dialog finishes (OK or Cancel) it emits QDialog::finished; connect that signal to
// the sub-window's close() so that the sub-window goes with it. Closing the
// sub-window instead closes the dialog as a Cancel: no setting changes.
#pragma once
#include <QDialog>
#include <QString>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The first line of a text ("" for an empty text), whatever its length.
QString firstLine(const QString& text);

// Applies one text field of an option window to its setting: when the text now in
// the field differs from the text it was opened with, the setting becomes the first
// line of the field (present, possibly empty); otherwise the setting is untouched.
void applyEditedText(std::optional<QString>& setting, const QString& openedWith, const QString& now);

// "Compiler Options": the six compiler switches and the three compiler texts.
class TCompDialog : public QDialog {
    Q_OBJECT
public:
    explicit TCompDialog(QWidget* parent = nullptr, int resId = 700);

    // Applies the changed fields and all six switches, then accepts (closes) the dialog.
    void CmOk();

    QLineEdit* Destination;      // id 107
    QLineEdit* ClassPath;        // id 108
    QPlainTextEdit* JavaOptions; // id 109
    QCheckBox* Deprecation;      // id 102
    QCheckBox* Debug;            // id 101
    QCheckBox* NoWarn;           // id 103
    QCheckBox* Optimize;         // id 104
    QCheckBox* Verbose;          // id 105
    QCheckBox* Depend;           // id 106
    QPushButton* OkButton;       // id 1
    QPushButton* CancelButton;   // id 2

private:
    QString openedDestination;
    QString openedClassPath;
    QString openedJavaOptions;
};

// "Program Arguments": the arguments given to a Java application when it is run.
class TProgDialog : public QDialog {
    Q_OBJECT
public:
    explicit TProgDialog(QWidget* parent = nullptr, int resId = 701);

    // Applies the field when it was changed, then accepts (closes) the dialog.
    void CmOk();

    QLineEdit* CmdLine;        // id 101
    QPushButton* OkButton;     // id 1
    QPushButton* CancelButton; // id 2

private:
    QString openedCmdLine;
};
