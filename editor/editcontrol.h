// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text edit control of an editor window: loads a file by name, saves
// it, reloads it, asks before discarding modified text, and carries the editing
// commands (undo, redo, clipboard, delete, clear all, find, replace, find next).
#pragma once
#include "platform/routing.h"
#include "platform/dialogs.h"
#include "editor/diskfile.h"
#include "editor/textfile.h"
#include "platform/filedata.h"

#include <QList>
#include <QTextCursor>
#include <QTextEdit>

#include <memory>
#include <vector>

class QPainter;
class EditMargin;
class ZoomDevice;

// A message of the compiler (or of a check while typing) shown in the text:
// a mark in the margin beside its line and, with a column, a wavy underline.
struct MessageMark {
    enum class Severity { Error, Warning };
    int line = 1;    // from 1
    int column = 0;  // from 1 (characters into the line); 0 for none
    Severity severity = Severity::Error;
    QString text;        // shown by the tool tip
    bool light = false;  // the lighter style of a check while typing
    friend bool operator==(const MessageMark&, const MessageMark&) = default;
};

class EditControl : public QTextEdit, public CommandTarget {
    Q_OBJECT
public:
    explicit EditControl(QWidget* parent = nullptr);
    ~EditControl() override;

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
    // file that cannot be read (a loop of links among them) when the control
    // shows no file yet, so that no save can put an empty text over it. Only
    // regular files of up to MaxEditBytes are read, never with a blocking
    // open; anything else is refused with a message naming it, and the text
    // stays as it was.
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

    // The text with '\n' line ends, every character kept.
    QString rawText() const;
    // The text as a save writes it, before it is encoded: every line break as
    // the characters the file holds for it, every other character kept.
    QString savedText() const;
    // Applies the default editor font to the document and the caret.
    void applyDefaultFont();

    // ---- Reading comfort: the margin, the highlighted line and bracket, zoom.
    // The margin at the left with the line numbers (shown by default) and the
    // message marks.
    void setLineNumbersVisible(bool on);
    bool lineNumbersVisible() const { return lineNumbers_; }
    QWidget* margin() const;
    // View zoom in steps of 10 %, from 50 % to 300 %: scales the shown text
    // (and the margin) without changing any font stored in the text. Ctrl+wheel
    // zooms too. These hide QTextEdit's zoomIn(int)/zoomOut(int), which change
    // only the widget's font.
    void zoomIn();
    void zoomOut();
    void zoomReset();
    int zoomPercent() const { return 100 + 10 * zoomStep_; }
    // The bracket that matches the one beside the caret (after it, else before
    // it), as two document positions; {-1, -1} when there is none.
    std::pair<int, int> matchedBrackets() const;

    // ---- Writing comfort: indentation.
    // The file's indentation unit: a tab or a number of spaces
    // (javalines::indentUnit), found from the text when it is first needed
    // after the file was loaded, and kept until the next load.
    QString indentUnit() const;
    // Indents or unindents the lines of the selection (the caret's line when
    // nothing is selected) by one unit, as one undo step; the whole lines stay
    // selected. Nothing in a read-only control.
    void indentSelection();
    void unindentSelection();

    // ---- Messages in the text.
    // Replaces the marks. Lines and columns are clamped to the text; a mark
    // then moves with its line (and column) as the text is edited.
    void setMessageMarks(const QList<MessageMark>& marks);
    void clearMessageMarks();
    // The marks with the lines and columns where they now stand, in the order
    // of their places in the text.
    QList<MessageMark> messageMarks() const;
    // The texts of the marks on a line (from 1), and of the marks whose
    // underline covers a document position: what the tool tips show.
    QStringList messageTextsOnLine(int line) const;
    QStringList messageTextsAt(int position) const;

    // What a paste of `source` does (so does a drop of anything but files).
    void insertFromMimeDataPublic(const QMimeData* source) { insertFromMimeData(source); }

signals:
    void fileNameChanged(const QString& name);
    void zoomChanged(int percent);
    // Files dropped on the control: opened as windows of their own, not
    // inserted. Files pasted are not opened: their paths are inserted as text.
    void filesDropped(const QStringList& paths);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void buildCommands();
    // True, after saying so, when the control is read-only.
    bool refuseReadOnlySave();
    // False when the file was changed on disk since it was read and the user
    // does not want it overwritten.
    bool confirmOverwrite(const QString& name);
    // True when the file, whose stamp is now `now`, holds what the control
    // last read or wrote: its stamp is that one, or only its change time moved
    // and its bytes are the same (then the stamp is taken as the file's).
    bool unchangedOnDisk(const QString& name, const FileStamp& now);
    void setReadOnlyFor(ReadOnlyReason why);
    // Says why the file is not read (see reasonNotToEdit); a control that
    // shows no file yet becomes read-only, any other keeps its text.
    void refuseLoad(const QString& name, const QString& reason, bool firstLoad);

    friend class EditMargin;
    // Comfort parts (editor/comfort.cpp).
    void setUpComfort();
    void setUpZoom();
    void tearDownComfort();
    bool comfortKey(QKeyEvent* e);
    void indentNewLine(const QString& before);
    void updateMarginWidth();
    void placeMargin();
    void paintMargin(QPainter& p, const QRect& area);
    QString marginToolTip(int y) const;
    void updateExtraSelections();
    QFont shownFont() const;  // the default font as shown, zoom included
    void applyZoom();
    void updateTabStops();
    // The first block shown at document height y.
    QTextBlock blockAtY(qreal y) const;
    std::pair<QTextBlock, QTextBlock> shownBlocks(int extra) const;
    // The underlined range of a mark (start, end), or an empty range.
    std::pair<int, int> underline(const QTextCursor& at, int column) const;
    void updateMarksDescription();
    // The marks that stand in [from, to), as a range of indexes into marks_
    // (which the text keeps in the order of their positions).
    std::pair<std::size_t, std::size_t> marksBetween(int from, int to) const;
    // Repaints the margin when what it shows may have changed.
    void refreshMargin();

    struct Mark {
        MessageMark message;
        QTextCursor at;  // at the column, or at the start of the line
    };
    std::vector<Mark> marks_;
    EditMargin* margin_ = nullptr;
    bool lineNumbers_ = true;
    int zoomStep_ = 0;
    struct ZoomDeviceDeleter {
        void operator()(ZoomDevice* d) const;
    };
    std::unique_ptr<ZoomDevice, ZoomDeviceDeleter> zoomDevice_;
    mutable int shownGuess_ = 0;
    mutable QString indentUnit_;  // empty until needed
    QRect caretLine_;  // where the caret line was highlighted last
    bool loading_ = false;         // the text is being replaced: no highlight updates
    int marginBlocks_ = -1;       // the block count and caret line the margin last showed
    int marginCaretLine_ = -1;  // the block number found first last time

    CommandTable table_;
    QString fileName_;
    FileDialogRecord saveData_;
    TextFormat format_ = TextFormat::hostDefault();
    ReadOnlyReason readOnlyReason_ = ReadOnlyReason::None;
    FileStamp stamp_;       // the file as last read or written
    FileStamp askedStamp_;  // the state of the file the user was last asked about
    std::size_t contentHash_ = 0;  // of the bytes last read or written
};

// The editor's default font: the host's fixed-width system font at its default size.
QFont GetLogFont();

// Shared Insert-key state: overwrite mode of every editor, shown as "Ins".
bool insertToggleOn();
void setInsertToggle(bool on);
