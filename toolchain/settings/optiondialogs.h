// SPDX-License-Identifier: GPL-3.0-or-later
// The modeless option windows "Compiler Options" and "Program Arguments".
//
// Each is a content widget for one workspace sub-window: the dialog is made with
// plain widget flags, and the workspace puts it into a new QMdiSubWindow. When the
// dialog finishes (OK or Cancel) it emits QDialog::finished; connect that signal to
// the sub-window's close() so that the sub-window goes with it. Closing the
// sub-window instead closes the dialog as a Cancel: no setting changes.
#pragma once
#include <QDialog>
#include <QFont>
#include <QSize>
#include <QString>
#include <optional>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The first line of a text ("" for an empty text), whatever its length.
QString firstLine(const QString& text);

// Applies one text field of an option window to its setting: when the user has
// edited the field since it opened (the edit's modified flag, set by any typing,
// also typing that is taken back again), the setting becomes the first line of the
// field (present, possibly empty); otherwise the setting is untouched.
void applyEditedText(std::optional<QString>& setting, bool modified, const QString& now);

// The pixel size of a dialog layout given in dialog units: a horizontal unit is a
// quarter of the font's average character width, a vertical unit an eighth of its
// height; each product is rounded to the nearest pixel.
QSize dialogUnitsToPixels(QSize units, int averageCharWidth, int fontHeight);

// The average character width that dialog units are measured in, as dialog
// layouts have always measured it: the width of the 52 letters "A" to "Z" and
// "a" to "z" divided by 52, rounded to the nearest pixel.
int dialogAverageCharWidth(const QFont& font);

// The font of the option windows' layouts: the application's font at 8 points.
QFont optionDialogFont();

// What the two option windows share: their layout size in dialog units, the
// font it is measured in, and the focus on OK when they open.
class TOptionDialog : public QDialog {
    Q_OBJECT
public:
    TOptionDialog(QWidget* parent, QSize dialogUnits);

    QSize dialogUnits() const { return units_; }
    // The size the layout's dialog units give at the dialog's font.
    QSize pixelSize() const;

    QPushButton* OkButton = nullptr;      // id 1
    QPushButton* CancelButton = nullptr;  // id 2

protected:
    // Gives OK the focus whenever the dialog itself is given the focus.
    void focusOnOk();
    void focusInEvent(QFocusEvent* e) override;
    // Margins and spacing of the dialog's layout, in dialog units.
    void setDialogMargins(class QLayout* layout) const;

private:
    QSize units_;
};

// "Compiler Options": the six compiler switches and the three compiler texts;
// 227 by 162 dialog units.
class TCompDialog : public TOptionDialog {
    Q_OBJECT
public:
    explicit TCompDialog(QWidget* parent = nullptr, int resId = 700);

    // Applies the changed fields and all six switches, then accepts (closes) the dialog.
    void CmOk();

    QLineEdit* Destination;       // id 107
    QLineEdit* ClassPath;         // id 108
    QPlainTextEdit* JavaOptions;  // id 109
    QCheckBox* Deprecation;       // id 102
    QCheckBox* Debug;             // id 101
    QCheckBox* NoWarn;            // id 103
    QCheckBox* Optimize;          // id 104
    QCheckBox* Verbose;           // id 105
    QCheckBox* Depend;            // id 106
};

// "Program Arguments": the arguments given to a Java application when it is run;
// 237 by 62 dialog units.
class TProgDialog : public TOptionDialog {
    Q_OBJECT
public:
    explicit TProgDialog(QWidget* parent = nullptr, int resId = 701);

    // Applies the field when it was changed, then accepts (closes) the dialog.
    void CmOk();

    QLineEdit* CmdLine;  // id 101
};
