// SPDX-License-Identifier: GPL-3.0-or-later
// The list window that shows the lines of a text file, one item per line: the
// compiler-message window of the workspace.
#pragma once
#include "toolchain/messages/linelist.h"

#include <QString>
#include <QStringList>
#include <vector>

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
