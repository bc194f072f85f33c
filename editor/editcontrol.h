// The rich-text edit control of an editor window: loads a file by name, saves
// it, reloads it, asks before discarding modified text, and carries the editing
// commands (undo, clipboard, delete, clear all, find, replace, find next).
#pragma once
#include "platform/routing.h"
#include "platform/dialogs.h"
#include "editor/diskfile.h"
#include "editor/textfile.h"
#include "platform/filedata.h"

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

    // Why the control is read-only (None while it is not).
    enum class ReadOnlyReason {
        None,
        NotText,      // the file holds NUL characters
        BrokenUtf16,  // UTF-16 with an odd number of bytes
        Unreadable,   // the file exists but could not be read when the window opened
    };
    ReadOnlyReason readOnlyReason() const { return readOnlyReason_; }

    // Replaces the text by the file's; false (and a message) when it cannot be
    // read. A file whose text could not be written back as it is (see
    // ReadOnlyReason) is shown read-only, with a message; so is an existing
    // file that cannot be read when the control shows no file yet, so that no
    // save can put an empty text over it.
    bool loadFile(const QString& name);
    // Writes the text to the file with a SafeFileWriter, every line with its own
    // line end; false (and a message giving the reason) on failure.
    bool writeFile(const QString& name);
    // Save: nothing when unmodified; Save As when untitled; else, after asking
    // when the file was changed on disk since the control read or wrote it,
    // writes. False when the user cancelled or declined, the write failed, or
    // (with a message) the control is read-only.
    bool save();
    // Save As with the platform's dialog proposing the current name; refused,
    // with a message, while the control is read-only.
    bool saveAs();
    // The close question ("The text in the %s file has changed..."), Yes, No or Cancel.
    Answer askToSave();
    // Asks before the text is discarded; false keeps the window open.
    bool canClose();

    // What checkDiskChange() found and did.
    enum class DiskChange { None, Reloaded, Kept };
    // When the file was changed on disk since the control read or wrote it:
    // reloads it if the text holds no changes; otherwise asks whether to load
    // it again and lose them (once for each new state of the file). A reload
    // keeps the caret and the view where they were.
    DiskChange checkDiskChange();
    // The stamp of the file when the control last read or wrote it.
    FileStamp diskStamp() const { return stamp_; }

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
    // False when the file was changed on disk since it was read and the user
    // does not want it overwritten.
    bool confirmOverwrite(const QString& name);
    void setReadOnlyFor(ReadOnlyReason why);

    CommandTable table_;
    QString fileName_;
    FileDialogRecord saveData_;
    TextFormat format_ = TextFormat::hostDefault();
    ReadOnlyReason readOnlyReason_ = ReadOnlyReason::None;
    FileStamp stamp_;       // the file as last read or written
    FileStamp askedStamp_;  // the state of the file the user was last asked about
};

// The editor's default font: the host's fixed-width system font at its default size.
QFont GetLogFont();

// Shared Insert-key state: overwrite mode of every editor, shown as "Ins".
bool insertToggleOn();
void setInsertToggle(bool on);
