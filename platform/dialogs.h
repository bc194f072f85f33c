// SPDX-License-Identifier: GPL-3.0-or-later
// Every message box, question and file, font, print and small modal dialog of
// Brewpad goes through one interface owned by the application. Production shows
// the Qt dialogs; tests install a scripted implementation that records what was
// asked.
#pragma once
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;
class QPrinter;
struct FileDialogRecord;

extern const QString AppName;  // "Brewpad"

enum class Buttons { Ok, YesNo, YesNoCancel, OkCancel };
enum class Answer { Ok, Yes, No, Cancel };
enum class Icon { None, Information, Question, Warning, Stop };

// What Find in Files looks for, and where.
struct FindInFilesQuery {
    QString folder;   // searched with its subfolders
    QString pattern;  // the text to find, as it is (no wildcards)
    // Wildcard patterns of the file names searched ("*.java"), separated by
    // ';', ',' or blanks.
    QString fileNames = QStringLiteral("*.java");
    bool matchCase = false;
};

// What the "Breakpoint Properties" dialog edits of a line's breakpoint.
struct BreakpointFields {
    bool enabled = true;
    QString condition;  // a Java boolean expression; empty for none
    int hitCount = 0;   // stops from this hit on; 0 for every hit
};

// One place a rename changes, as its preview lists it.
struct RenamePreviewRow {
    QString file;  // the source's name as shown
    int line = 0;  // from 1
    QString text;  // the line's text
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box; an empty caption means AppName.
    virtual Answer message(QWidget* owner, const QString& text, const QString& caption = QString(),
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // Open dialog on a record: returns true and stores the full path in rec.fileName when confirmed.
    virtual bool openFile(QWidget* owner, FileDialogRecord& rec) = 0;
    // Open dialog for several files, or one folder, on a record: true and the
    // full paths chosen stored in `chosen` (and the first in rec.fileName)
    // when confirmed.
    virtual bool openFiles(QWidget* owner, FileDialogRecord& rec, QStringList& chosen) = 0;
    // Save dialog on a record, proposing rec.fileName: true and the chosen path stored when confirmed.
    virtual bool saveFile(QWidget* owner, FileDialogRecord& rec) = 0;
    // Font dialog (with effects and colour); true when confirmed.
    virtual bool chooseFont(QWidget* owner, QFont& font, QColor& color) = 0;
    // Print dialog for a printer without page range; true when confirmed.
    virtual bool printDialog(QWidget* owner, QPrinter* printer) = 0;
    // Printer set-up dialog; true when confirmed.
    virtual bool pageSetup(QWidget* owner, QPrinter* printer) = 0;
    // "Goto Line Number": the 1-based line chosen, or nothing when cancelled.
    virtual std::optional<int> gotoLine(QWidget* owner, int current, int lineCount) = 0;
    // "Find in Files", its fields filled from `proposed`: the query
    // confirmed, or nothing when cancelled.
    virtual std::optional<FindInFilesQuery> findInFiles(QWidget* owner, const FindInFilesQuery& proposed) = 0;
    // A small modal dialog captioned `caption` that asks `prompt` and lists
    // `items`, one a line, with `current` chosen first (-1 for none): the
    // index of the item chosen, or nothing when cancelled.
    virtual std::optional<int> chooseItem(QWidget* owner, const QString& caption, const QString& prompt,
                                          const QStringList& items, int current) = 0;
    // "Breakpoint Properties" of the breakpoint of `line` (from 1), its fields
    // filled from `current`: the fields confirmed, or nothing when cancelled.
    virtual std::optional<BreakpointFields> breakpointProperties(QWidget* owner, int line,
                                                                 const BreakpointFields& current) = 0;
    // The modal "ABOUT" dialog.
    virtual void about(QWidget* owner) = 0;
    // A small modal dialog captioned `title` that asks for a line of text
    // with the label `label`, its field filled with `initial`: the text
    // confirmed, or nothing when cancelled.
    virtual std::optional<QString> askText(QWidget* owner, const QString& title, const QString& label,
                                           const QString& initial) = 0;
    // A rename's preview captioned `title`: the places it changes, each a
    // row of an accessible list, and `note` above them (none when empty).
    // True when the user applies it.
    virtual bool renamePreview(QWidget* owner, const QString& title, const QList<RenamePreviewRow>& rows,
                               const QString& note) = 0;
};

// The application's dialogs; Qt dialogs unless replaced (tests).
Dialogs& dialogs();
// Installs another implementation (not owned); nullptr restores the Qt dialogs.
void setDialogs(Dialogs* d);

// Product name and version as the About box and the "Config" window show it.
QString productText();
