// SPDX-License-Identifier: GPL-3.0-or-later
// Find, Replace and Find Next for the editor windows: the search itself over a
// QTextEdit's document, the modeless "Find" and "Replace" dialogs, and the
// controller that owns one of each and remembers the last search for F3.
#pragma once
#include <QDialog>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QTextEdit;
class QLineEdit;
class QCheckBox;
class QRadioButton;
class QPushButton;
class QGridLayout;
class QLabel;

struct FindOptions {
    QString what;
    QString with;
    bool matchCase = false;
    bool wholeWord = false;
    bool down = true;
};

// Selects the next match of o.what after the selection (down) or before it (up)
// and returns true. The search does not wrap around the end of the text. When
// nothing matches, or `what` is empty, the selection is left alone and the
// result is false: the caller reports it (notFoundText()).
bool findNext(QTextEdit* edit, const FindOptions& o);

// When the selection is exactly a match of o.what, replaces it by o.with in the
// character format of the replaced text; then searches down for the next match
// as findNext does. Returns whether a next match was found; `replaced` (when
// given) tells whether the selection was replaced. Nothing is replaced in a
// read-only editor.
bool replaceCurrent(QTextEdit* edit, const FindOptions& o, bool* replaced = nullptr);

// Replaces every match in the whole text, each in the character format of the
// text it replaces, as one undo step. Returns the number of replacements.
int replaceAll(QTextEdit* edit, const FindOptions& o);

// "Cannot find "xyz"" and "Replaced N occurrences".
QString notFoundText(const QString& what);
QString replacedText(int count);

// What the modeless "Find" and "Replace" dialogs share: the "Find what" field
// with its label, "Match whole word only", "Match case", and a column of
// buttons on the right from "Find Next" (the default button) to "Cancel",
// all but "Cancel" enabled only while there is text to find.
class TSearchDialog : public QDialog {
    Q_OBJECT
public:
    QLineEdit* whatEdit() const { return what_; }
    QCheckBox* wholeWordBox() const { return wholeWord_; }
    QCheckBox* matchCaseBox() const { return matchCase_; }
    QPushButton* findNextButton() const { return findNext_; }
    QPushButton* cancelButton() const { return cancel_; }

signals:
    void findNextRequested();

protected:
    // A dialog titled and named `title`, with the shared controls.
    TSearchDialog(const QString& title, QWidget* parent);

    // A button of the column between "Find Next" and "Cancel", named `name`.
    QPushButton* addButton(const QString& text, const QString& name);
    // The label "Find what:" of whatEdit().
    QLabel* whatLabel() const { return whatLabel_; }
    // A label for `buddy`, which it names in its text.
    QLabel* labelFor(const QString& text, QWidget* buddy);
    // Lays the dialog out, `fields` beside the column of buttons, and makes
    // `tabOrder` the order of the Tab key.
    void arrange(QGridLayout* fields, const QList<QWidget*>& tabOrder);

    // The text to find and the two boxes; the rest stays as FindOptions has it.
    FindOptions sharedOptions() const;
    void setSharedOptions(const FindOptions& o);

private:
    void updateButtons();

    QLineEdit* what_;
    QLabel* whatLabel_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QPushButton* findNext_;
    QPushButton* cancel_;
    QList<QPushButton*> actions_;  // the column's buttons that need text to find
};

// The "Find" dialog; it searches in the direction chosen under "Direction".
class TFindDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TFindDialog(QWidget* parent = nullptr);

    FindOptions options() const;            // `with` stays empty
    void setOptions(const FindOptions& o);  // fills the fields

    QRadioButton* upButton() const { return up_; }
    QRadioButton* downButton() const { return down_; }

private:
    QRadioButton* up_;
    QRadioButton* down_;
};

// The "Replace" dialog; it always searches down.
class TReplaceDialog : public TSearchDialog {
    Q_OBJECT
public:
    explicit TReplaceDialog(QWidget* parent = nullptr);

    FindOptions options() const;
    void setOptions(const FindOptions& o);

    QLineEdit* withEdit() const { return with_; }
    QPushButton* replaceButton() const { return replace_; }
    QPushButton* replaceAllButton() const { return replaceAll_; }

signals:
    void replaceRequested();
    void replaceAllRequested();

private:
    QLineEdit* with_;
    QPushButton* replace_;
    QPushButton* replaceAll_;
};

// Owns one Find and one Replace dialog (created when first needed, re-shown
// afterwards) and acts on the editor that `currentEditor` returns at the time
// of each action, so the dialogs work on the last active editor window while
// they have the focus. Messages go through dialogs().
class FindController : public QObject {
    Q_OBJECT
public:
    // `owner` parents the dialogs (the main frame); `currentEditor` may return nullptr.
    FindController(QWidget* owner, std::function<QTextEdit*()> currentEditor, QObject* parent = nullptr);
    ~FindController() override;

    void showFind();     // command Find
    void showReplace();  // command Replace
    void findNext();     // command Next (F3): repeats the last search, or opens Find

    const FindOptions& lastOptions() const { return last_; }
    TFindDialog* findDialog() const { return find_; }  // nullptr until first shown
    TReplaceDialog* replaceDialog() const { return replace_; }

private:
    void searchFromFind();
    void searchFromReplace();
    void replaceFromDialog();
    void replaceAllFromDialog();
    bool search(QTextEdit* edit);  // with last_, reporting a miss
    void prefill(FindOptions& o) const;
    QWidget* messageOwner(QTextEdit* edit) const;

    QPointer<QWidget> owner_;
    std::function<QTextEdit*()> currentEditor_;
    FindOptions last_;
    QPointer<TFindDialog> find_;
    QPointer<TReplaceDialog> replace_;
};
