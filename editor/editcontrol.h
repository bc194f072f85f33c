// The rich-text edit control of an editor window: loads a file by name, saves
// it, reloads it, asks before discarding modified text, and carries the editing
// commands (undo, clipboard, delete, clear all, find, replace, find next).
#pragma once
#include "app/commands.h"
#include "editor/textfile.h"
#include "workspace/filedata.h"

#include <QTextEdit>

class EditControl : public QTextEdit, public CommandTarget {
    Q_OBJECT
public:
    explicit EditControl(QWidget* parent = nullptr);

    CommandTable& commands() override { return table_; }

    // The file the control shows; empty while untitled.
    QString fileName() const { return fileName_; }
    void setFileName(const QString& name) { fileName_ = name; }
    // The control's own save-dialog record (its filter is set by the window).
    FileDialogRecord& saveData() { return saveData_; }
    const TextFormat& textFormat() const { return format_; }
    void setLineEnd(TextFormat::LineEnd le) { format_.lineEnd = le; }

    // Replaces the text by the file's; false (and a message) when it cannot be read.
    // A file that is no text file (isBinaryText) is shown read-only, with a message.
    bool loadFile(const QString& name);
    // Writes the text to the file atomically; false (and a message giving the
    // reason) on failure.
    bool writeFile(const QString& name);
    // Save: nothing when unmodified; Save As when untitled; else writes. False when
    // the user cancelled or the write failed, or (with a message) when the
    // control is read-only.
    bool save();
    // Save As with the platform's dialog proposing the current name; refused,
    // with a message, while the control is read-only.
    bool saveAs();
    // Asks before the text is discarded; false keeps the window open.
    bool canClose();

    // The text with '\n' line ends, every character kept.
    QString rawText() const;
    // Applies the default editor font to the document and the caret.
    void applyDefaultFont();

signals:
    void fileNameChanged(const QString& name);
    void caretMoved();
    // Files dropped on the control: opened as windows of their own, not inserted.
    void filesDropped(const QStringList& paths);

public:
    // What a drop on the control does (the drop itself goes through Qt).
    void insertFromMimeDataPublic(const QMimeData* source) { insertFromMimeData(source); }

signals:

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void buildCommands();
    // True, after saying so, when the control is read-only.
    bool refuseReadOnlySave();

    CommandTable table_;
    QString fileName_;
    FileDialogRecord saveData_;
    TextFormat format_ = TextFormat::hostDefault();
};

// The editor's default font: the host's fixed-width system font at its default size.
QFont GetLogFont();

// Shared Insert-key state: overwrite mode of every editor, shown as "Ins".
bool insertToggleOn();
void setInsertToggle(bool on);
