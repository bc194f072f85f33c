// SPDX-License-Identifier: GPL-3.0-or-later
// The rich-text edit control of an editor window: it shows a document (the
// text, its file and its marks: editor/sourcedocument.h) and carries the
// editing commands (undo, redo, clipboard, delete, clear all, find, replace,
// find next). Its parts: the margin (EditMargin), the caret-line and bracket
// highlights (TextHighlights), the zoom (ViewZoom), the indentation as the
// user types (TypingIndent), and the debugger's marks as shown (DebugMarks).
#pragma once
#include "editor/debugmarks.h"
#include "editor/editdefaults.h"
#include "editor/sourcedocument.h"
#include "platform/routing.h"

#include <QTextEdit>

#include <memory>
#include <utility>

class EditMargin;
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

    // The document shown: the text, its file and its marks.
    SourceDocument* source() const { return doc_; }

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

    // What a paste of `source` does (so does a drop of anything but files).
    void insertFromMimeDataPublic(const QMimeData* source) { insertFromMimeData(source); }

    // Commands the context menu offers after the text's own items (nullptr
    // for a separator); the actions stay their owner's.
    void setContextActions(const QList<QAction*>& actions) { contextActions_ = actions; }

signals:
    void zoomChanged(int percent);
    // Files dropped on the control: opened as windows of their own, not
    // inserted. Files pasted are not opened: their paths are inserted as text.
    void filesDropped(const QStringList& paths);
    // The context menu is about to show: its commands' states are due.
    void contextMenuOpening();
    // A right-click on the margin's line (from 1): its breakpoint's menu, at
    // the global place given.
    void breakpointMenuWanted(int line, QPoint globalPos);
    // The mouse has rested over the identifier at `position` of the text
    // (HoverRest), at the global place given; identifierRestEnded() when it
    // moves on.
    void identifierRested(int position, QPoint globalPos);
    void identifierRestEnded();

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
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    // Shows `doc` (a child of the control) as the control's document.
    SourceDocument* adopt(SourceDocument* doc);
    // Keeps the margin, the highlights and the marks' underlines up to date.
    void connectViews();
    // Follows the document: its read-only state, its marks, a text replaced.
    void connectSource();
    void updateMarginWidth();
    void placeMargin();
    void updateTabStops();
    // The view and the margin after a change of zoom.
    void applyZoom();
    // The margin, the view and the descriptions after a change of the marks.
    void marksChanged();
    void describeCaretLine();

    CommandTable table_;
    SourceDocument* doc_;  // a child of the control
    DebugMarks debug_;
    std::unique_ptr<ShownBlocks> shown_;
    std::unique_ptr<ViewZoom> zoom_;
    std::unique_ptr<TypingIndent> indent_;
    std::unique_ptr<TextHighlights> highlights_;
    EditMargin* margin_ = nullptr;
    QList<QAction*> contextActions_;
    std::pair<int, int> shownPlace_;  // the caret and the scroll before a reload
};
