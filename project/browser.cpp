#include "project/browser.h"

#include "build/messages.h"
#include "build/settings.h"
#include "platform/host.h"

#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>

#include <cstring>

const QString TruncationNote =
    QStringLiteral("(The rest of this file is not shown: it is larger than 256 MiB.)");

namespace {

void splitLines(const char* data, qint64 size, QStringList& out)
{
    qsizetype count = 0;
    for (const char* p = data; (p = static_cast<const char*>(std::memchr(p, '\n', data + size - p))); ++p)
        ++count;
    out.reserve(count + 1);

    const char* end = data + size;
    const char* start = data;
    while (start < end) {
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', end - start));
        const char* lineEnd = nl ? nl : end;
        qsizetype length = lineEnd - start;
        if (nl && length > 0 && start[length - 1] == '\r')
            --length;
        out.append(QString::fromUtf8(start, length));
        if (!nl)
            break;
        start = nl + 1;
    }
}

} // namespace

CaptureLines readCaptureLines(const QString& fname)
{
    CaptureLines result;
    QFile file(fname);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    result.opened = true;

    const qint64 size = file.size();
    if (!file.isSequential() && size > 0) {
        const qint64 used = qMin(size, MaxCaptureBytes);
        if (uchar* mapped = file.map(0, used)) {
            splitLines(reinterpret_cast<const char*>(mapped), used, result.lines);
            file.unmap(mapped);
            result.truncated = size > used;
        } else {
            const QByteArray bytes = file.read(MaxCaptureBytes);
            splitLines(bytes.constData(), bytes.size(), result.lines);
            result.truncated = !file.atEnd();
        }
    } else {
        // Files that report no size (pipes, special files) are read as they come.
        const QByteArray bytes = file.read(MaxCaptureBytes);
        splitLines(bytes.constData(), bytes.size(), result.lines);
        result.truncated = file.bytesAvailable() > 0 || !file.read(1).isEmpty();
    }
    if (result.truncated)
        result.lines.append(TruncationNote);
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
    if (!capture.lines.isEmpty())
        SetStrings(std::move(capture.lines));
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
    if (const auto location = parseMessageLine(GetString(index.row())))
        emit openLocation(location->path, location->line);
}
