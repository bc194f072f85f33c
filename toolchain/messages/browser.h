// SPDX-License-Identifier: GPL-3.0-or-later
// The list window that shows the lines of a text file, one item per line: the
// compiler-message window of the workspace.
#pragma once
#include "platform/routing.h"
#include "toolchain/messages/odlistbx.h"

#include <QFrame>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QToolButton;

// The lines of a text file as the list shows them: every line one item whatever
// its length, empty lines included, a last line without a line end included, a
// carriage return before the line feed dropped. Bytes are read as UTF-8.
struct CaptureLines {
    QByteArray text;              // the file's bytes
    std::vector<LineSpan> spans;  // where each line lies in `text`, line ends left out
    bool opened = false;          // false when the file could not be read
    bool truncated = false;       // the file was larger than MaxCaptureBytes

    int count() const { return int(spans.size()); }
    QString line(int i) const;
    QStringList lines() const;
};

// Files larger than this show their first MaxCaptureBytes only, followed by
// TruncationNote, so that a runaway capture cannot exhaust the memory.
inline constexpr qint64 MaxCaptureBytes = qint64(256) * 1024 * 1024;
extern const QString TruncationNote;

CaptureLines readCaptureLines(const QString& fname);

// "Messages : " followed by the part of the path after its last separator
// (the whole path when it has none).
QString browserCaption(const QString& fname);

class TBrowserWindow : public TODListBox {
    Q_OBJECT
public:
    // `papa` is the workspace that shows the window (also its parent until the
    // workspace places it). A non-empty file name is loaded at once.
    TBrowserWindow(QWidget* papa, const QString& fname);
    ~TBrowserWindow() override;  // clears tracebrowser

    // Replaces the items by the lines of `fname` and sets the caption (window
    // title) to browserCaption(fname); an unreadable file leaves the list empty
    // with the caption set. Emits captionChanged.
    void InsFile(const QString& fname);

    // Clears tracebrowser and allows closing.
    bool CanClose();
    // The Exit command routed to this window: clears tracebrowser, nothing else.
    void CmExit();

    QString filename;  // the file whose lines are shown
    QWidget* papa;

signals:
    void captionChanged(const QString& caption);
    // A message line naming a file and line was double-clicked or Enter was
    // pressed on it. The path is as the compiler wrote it (relative paths are
    // relative to the directory the compiler ran in); the column is that of
    // the compiler's caret line, 0 when the message has none (see CompilerMessage).
    void openLocation(const QString& path, int line, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CmEditItem(const QModelIndex& index);
};

// The message window as the workspace shows it: a captioned, resizable child
// window around a TBrowserWindow. It is not one of the workspace's MDI windows:
// the workspace keeps it in a strip along its bottom, where no editor window is
// maximised over it and the window commands (Tile, Cascade, Arrange Icons,
// Close All) do not reach it. Its caption bar carries the list's caption and a
// close button; its top and right edges can be dragged to resize it. It takes
// the Exit command while the list has the focus.
class TBrowserFrame : public QFrame, public CommandTarget {
    Q_OBJECT
public:
    explicit TBrowserFrame(TBrowserWindow* list, QWidget* parent = nullptr);
    // The same frame around another window of the strip (the console and the
    // debugger's windows), captioned `caption`; list() is then null.
    TBrowserFrame(QWidget* content, const QString& caption, QWidget* parent = nullptr);
    ~TBrowserFrame() override;

    CommandTable& commands() override { return table_; }
    TBrowserWindow* list() const { return list_; }
    QWidget* content() const { return content_; }
    QString caption() const;
    // True while the keyboard focus is inside the window.
    bool isActive() const;
    // Brings the window to the front and gives its list the focus.
    void activate();

    // Width of the edges that resize the window.
    static constexpr int Edge = 4;

signals:
    // The keyboard focus entered the window.
    void activated();
    // The user dragged an edge.
    void resizedByUser();
    // The window was hidden (closing hides it before it goes).
    void hidden();
    // The window is being destroyed; it is still a TBrowserFrame while this is
    // sent, unlike when QObject::destroyed is.
    void goingAway(TBrowserFrame* frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    // Which edges a point of the window lies on: bit 0 top, bit 1 right.
    int edgesAt(const QPoint& p) const;
    void updateCaptionLook();
    void build(QWidget* content, const QString& caption);
    void onFocusChanged(QWidget* old, QWidget* now);

    CommandTable table_;
    QPointer<TBrowserWindow> list_;
    QPointer<QWidget> content_;
    QWidget* captionBar_;
    QLabel* title_;
    QToolButton* closeButton_;
    int dragEdges_ = 0;
    QPoint dragStart_;
    QRect startGeometry_;
};
