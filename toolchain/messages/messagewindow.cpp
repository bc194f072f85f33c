// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/messagewindow.h"

#include "toolchain/messages/messages.h"
#include "toolchain/settings/settings.h"
#include "platform/host.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>

#include <algorithm>
#include <cstring>

const QString TruncationNote = QStringLiteral("(The rest of this file is not shown: it is larger than 256 MiB.)");

namespace {

// Every line of `text` as a span; a carriage return before a line feed is left out,
// and a last line without a line end counts.
std::vector<LineSpan> splitLines(const QByteArray& text)
{
    const char* data = text.constData();
    const char* end = data + text.size();
    qsizetype count = 0;
    for (const char* p = data; p < end && (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
        ++count;

    std::vector<LineSpan> spans;
    spans.reserve(size_t(count) + 1);
    const char* start = data;
    while (start < end) {
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', end - start));
        const char* lineEnd = nl ? nl : end;
        qsizetype length = lineEnd - start;
        if (nl && length > 0 && start[length - 1] == '\r')
            --length;
        spans.push_back(LineSpan{start - data, length});
        if (!nl)
            break;
        start = nl + 1;
    }
    return spans;
}

}  // namespace

QString CaptureLines::line(int i) const
{
    return QString::fromUtf8(text.constData() + spans[i].offset, spans[i].length);
}

QStringList CaptureLines::lines() const
{
    QStringList out;
    out.reserve(count());
    for (int i = 0; i < count(); ++i)
        out << line(i);
    return out;
}

CaptureLines readCaptureLines(const QString& fname)
{
    CaptureLines result;
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;

    if (!file.isSequential()) {
        const qint64 size = file.size();
        result.text = file.read(qMin(size, MaxCaptureBytes));
        result.truncated = size > result.text.size();
    } else {
        // Pipes and special files are read as they come.
        while (result.text.size() < MaxCaptureBytes) {
            const QByteArray chunk = file.read(qMin<qint64>(1 << 20, MaxCaptureBytes - result.text.size()));
            if (chunk.isEmpty())
                break;
            result.text += chunk;
        }
        result.truncated = result.text.size() >= MaxCaptureBytes && !file.read(1).isEmpty();
    }
    result.spans = splitLines(result.text);
    if (result.truncated) {
        // Keep the cut line apart from the note.
        if (!result.text.endsWith('\n'))
            result.text += '\n';
        const QByteArray note = TruncationNote.toUtf8();
        result.spans.push_back(LineSpan{result.text.size(), note.size()});
        result.text += note;
    }
    return result;
}

QString browserCaption(const QString& fname)
{
    const qsizetype cut = fname.lastIndexOf(host::separator());
    return QStringLiteral("Messages : ") + (cut < 0 ? fname : fname.mid(cut + 1));
}

TBrowserWindow::TBrowserWindow(QWidget* parent, const QString& fname)
    : TODListBox(parent, 103), filename(fname), papa(parent)
{
    setAccessibleName(QStringLiteral("Compiler messages"));
    connect(this, &QAbstractItemView::doubleClicked, this, &TBrowserWindow::CmEditItem);
    if (!filename.isEmpty())
        InsFile(filename);
    else
        ClearList();
}

TBrowserWindow::~TBrowserWindow()
{
    tracebrowser = 0;
}

void TBrowserWindow::InsFile(const QString& fname)
{
    ClearList();
    filename = fname;
    const QString caption = browserCaption(fname);
    setWindowTitle(caption);
    CaptureLines capture = readCaptureLines(fname);
    if (capture.count() > 0)
        SetLines(std::move(capture.text), std::move(capture.spans));
    emit captionChanged(caption);
}

bool TBrowserWindow::CanClose()
{
    tracebrowser = 0;
    return true;
}

void TBrowserWindow::CmExit()
{
    tracebrowser = 0;
}

void TBrowserWindow::closeEvent(QCloseEvent* event)
{
    if (CanClose())
        event->accept();
    else
        event->ignore();
}

void TBrowserWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        CmEditItem(currentIndex());
        event->accept();
        return;
    }
    TODListBox::keyPressEvent(event);
}

void TBrowserWindow::CmEditItem(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    if (!parseMessageLine(GetString(row)))
        return;
    // The message with the lines after it, where javac's caret line gives the column.
    QStringList lines;
    for (int k = row; k < std::min(GetCount(), row + 64); ++k)
        lines << GetString(k);
    const std::vector<CompilerMessage> messages = parseCompilerMessages(lines);
    if (!messages.empty() && messages.front().row == 0)
        emit openLocation(messages.front().path, messages.front().line, messages.front().column);
}
