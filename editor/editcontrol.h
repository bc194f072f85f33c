// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text edit control of an editor window: loads a file by name, saves
// it, reloads it, asks before discarding modified text, and carries the editing
// commands (undo, redo, clipboard, delete, clear all, find, replace, find next).
// Its parts: the file on disk (EditedFile), the message marks (MessageMarks),
// the margin (EditMargin), the caret-line and bracket highlights
// (TextHighlights), the zoom (ViewZoom) and the indentation as the user types
// (TypingIndent), and the debugger's marks (DebugMarks).
#pragma once
#include "editor/debugmarks.h"
#include "editor/editdefaults.h"
#include "editor/marks.h"
#include "editor/textfile.h"
#include "platform/dialogs.h"
#include "platform/filedata.h"
#include "platform/routing.h"

#include <QList>
#include <QMap>
#include <QTextEdit>

#include <memory>
#include <utility>

struct DecodedText;
class EditMargin;
class FileExchange;
class ShownBlocks;
class TextHighlights;
class TypingIndent;
class ViewZoom;

class EditControl : public QTextEdit, public CommandTarget {
    Q_OBJECT
public:
    explicit EditControl(QWidget* parent = nullptr);
    ~EditControl() override;

    CommandTable& commands() override { return table_; }

    // The file the control shows; empty while untitled.
    QString fileName() const;
    void setFileName(const QString& name);
    // The control's own save-dialog record (its filter is set by the window).
    FileDialogRecord& saveData();
    const TextFormat& textFormat() const;
    void setLineEnd(TextFormat::LineEnd le);

    // Why the control is read-only (None while it is not).
    enum class ReadOnlyReason {
        None,
        NotText,      // the file holds NUL characters
        BrokenUtf16,  // UTF-16 with an odd number of bytes
        Unreadable,   // the file exists but could not be read when the window opened
    };
    ReadOnlyReason readOnlyReason() const;

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
    bool lineNumbersVisible() const;
    QWidget* margin() const;
    // View zoom in steps of 10 %, from 50 % to 300 %: scales the shown text
    // (and the margin) without changing any font stored in the text. Ctrl+wheel
    // zooms too. These hide QTextEdit's zoomIn(int)/zoomOut(int), which change
    // only the widget's font.
    void zoomIn();
    void zoomOut();
    void zoomReset();
    int zoomPercent() const;
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
    QList<MessageMark> messageMarks() const { return marks_.list(); }
    // The texts of the marks on a line (from 1), and of the marks whose
    // underline covers a document position: what the tool tips show.
    QStringList messageTextsOnLine(int line) const { return marks_.textsOnLine(line); }
    QStringList messageTextsAt(int position) const { return marks_.textsAt(position); }

    // ---- The debugger's marks. None of them changes the text, the modified
    // flag, the undo stack or the bytes saved. They move with their lines as
    // the text is edited; a reload keeps them on the same line numbers. The
    // margin and the control's accessible description (of the caret line)
    // tell screen readers of them ("breakpoint", "paused here").
    // The breakpoints by line (from 1; their file empty), a red dot each in
    // the margin (a ring when disabled); a click in the margin toggles the
    // line's breakpoint.
    Breakpoints breakpoints() const { return debug_.breakpoints(); }
    // Replaces the breakpoints (lines beyond the text are left out); no signal.
    void setBreakpoints(const Breakpoints& list);
    // Sets or clears the breakpoint of a line (from 1), a new one enabled and
    // without condition: breakpointsChanged.
    void toggleBreakpoint(int line) { breakpointsEdited(debug_.toggleBreakpoint(line)); }
    // Sets the breakpoint of its line, replacing the one there (enabled,
    // condition, hit count): breakpointsChanged when that changed it.
    void setBreakpoint(const Breakpoint& breakpoint) { breakpointsEdited(debug_.setBreakpoint(breakpoint)); }
    // The line (from 1) where the program is paused, 0 for none: an arrow in
    // the margin and the line highlighted; the caret goes to its start and
    // the view scrolls to it, without taking the focus.
    void setExecutionLine(int line);
    int executionLine() const { return debug_.executionLine(); }
    // Texts shown dimmed after the ends of lines (from 1), not in the text;
    // an empty map clears them.
    void setInlineValues(const QMap<int, QString>& textByLine);

    // What a paste of `source` does (so does a drop of anything but files).
    void insertFromMimeDataPublic(const QMimeData* source) { insertFromMimeData(source); }

signals:
    void fileNameChanged(const QString& name);
    void zoomChanged(int percent);
    // Files dropped on the control: opened as windows of their own, not
    // inserted. Files pasted are not opened: their paths are inserted as text.
    void filesDropped(const QStringList& paths);
    // The breakpoints after a toggle, a click in the margin, a change of one,
    // or an edit that moved or removed them.
    void breakpointsChanged(const Breakpoints& breakpoints);

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
    friend class FileExchange;  // shows the text it reads
    // Keeps the margin, the highlights and the marks' underlines up to date.
    void connectViews();
    // Shows the text read, keeping the marks on their lines and columns.
    void showText(const DecodedText& d);
    void updateMarginWidth();
    void placeMargin();
    void updateTabStops();
    // The view and the margin after a change of zoom.
    void applyZoom();
    // The margin, the view and the descriptions after a change of the marks.
    void marksChanged();
    // After an edit of the breakpoints: the margin redrawn and breakpointsChanged, when `changed`.
    void breakpointsEdited(bool changed);
    void describeCaretLine();

    CommandTable table_;
    std::unique_ptr<FileExchange> exchange_;
    MessageMarks marks_;
    DebugMarks debug_;
    std::unique_ptr<ShownBlocks> shown_;
    std::unique_ptr<ViewZoom> zoom_;
    std::unique_ptr<TypingIndent> indent_;
    std::unique_ptr<TextHighlights> highlights_;
    EditMargin* margin_ = nullptr;
};
