// SPDX-License-Identifier: GPL-3.0-or-later
// The document of one file: its text (a QTextDocument, every line with its own
// line end), the file on disk it was read from and is saved to, and the one
// list of its marks (messages, breakpoints, the paused line, values). It needs
// no window: an edit control shows it, and follows what it says by signals.
#pragma once
#include "editor/editedfile.h"
#include "editor/marks.h"
#include "platform/dialogs.h"
#include "platform/filedata.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class FileExchange;
class QTextDocument;
class QWidget;

class SourceDocument : public QObject {
    Q_OBJECT
public:
    explicit SourceDocument(QObject* parent = nullptr);
    ~SourceDocument() override;

    QTextDocument* text() const { return text_; }
    MarkList& marks() { return marks_; }
    const MarkList& marks() const { return marks_; }

    // The file shown; empty while untitled.
    QString fileName() const;
    void setFileName(const QString& name);
    // The document's own save-dialog record (its filter is set by the window).
    FileDialogRecord& saveData();
    const TextFormat& textFormat() const;
    void setLineEnd(TextFormat::LineEnd le);

    // Why the document is read-only (None while it is not).
    enum class ReadOnlyReason {
        None,
        NotText,      // the file holds NUL characters
        BrokenUtf16,  // UTF-16 with an odd number of bytes
        Unreadable,   // the file exists but could not be read when the window opened
    };
    ReadOnlyReason readOnlyReason() const;
    // Read-only for a reason above, or as a source that is only looked at.
    bool isReadOnly() const { return readOnly_; }
    void setReadOnly(bool on);

    // Replaces the text by the file's; false (and a message) when it cannot be
    // read. A file whose text could not be written back as it is (see
    // ReadOnlyReason) is shown read-only, with a message; so is an existing
    // file that cannot be read (a loop of links among them) when the document
    // shows no file yet, so that no save can put an empty text over it. Only
    // regular files of up to MaxEditBytes are read, never with a blocking
    // open; anything else is refused with a message naming it, and the text
    // stays as it was.
    bool loadFile(const QString& name);
    // Writes the text to the file with a SafeFileWriter, every line with its own
    // line end; false (and a message giving the reason) on failure.
    bool writeFile(const QString& name);
    // Save: nothing when unmodified; Save As when untitled; else, after asking
    // when the file was changed on disk since the document read or wrote it,
    // writes. False when the user cancelled or declined, the write failed, or
    // (with a message) the document is read-only.
    bool save();
    // Save As with the platform's dialog proposing the current name; refused,
    // with a message, while the document is read-only.
    bool saveAs();
    // The close question ("The text in the %s file has changed..."), Yes, No or Cancel.
    Answer askToSave();
    // Asks before the text is discarded; false keeps the window open.
    bool canClose();

    // What checkDiskChange() found and did.
    enum class DiskChange { None, Reloaded, Kept };
    // When the file was changed on disk since the document read or wrote it:
    // reloads it if the text holds no changes; otherwise asks whether to load
    // it again and lose them (once for each new state of the file). A reload
    // keeps the caret and the view where they were.
    DiskChange checkDiskChange();

    // The text with '\n' line ends, every character kept.
    QString rawText() const;
    // The text as a save writes it, before it is encoded: every line break as
    // the characters the file holds for it, every other character kept.
    QString savedText() const;

    // The window the document's messages belong to (its view); none by default.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }
    QWidget* dialogParent() const { return dialogParent_; }

signals:
    void fileNameChanged(const QString& name);
    void readOnlyChanged(bool on);
    // The whole text is about to be replaced by a file's, and was: the view
    // puts the caret at the start, or, with `keepPlace` (a reload of a file
    // changed on disk), keeps the caret and the view where they were.
    void replacingText();
    void textReplaced(bool keepPlace);

private:
    friend class FileExchange;  // shows the text it reads
    // Shows the text read, keeping the marks on their places.
    void showText(const DecodedText& d);

    QTextDocument* text_;
    MarkList marks_;
    std::unique_ptr<FileExchange> exchange_;
    QPointer<QWidget> dialogParent_;
    bool readOnly_ = false;
    bool keepPlace_ = false;  // while a file changed on disk is read again
};
