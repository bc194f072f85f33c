// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/browser.h"

#include "resources/commands.h"
#include "toolchain/messages/messages.h"
#include "toolchain/settings/settings.h"
#include "platform/host.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <QApplication>

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

// ---- TBrowserFrame ---------------------------------------------------------

TBrowserFrame::TBrowserFrame(TBrowserWindow* list, QWidget* parent) : QFrame(parent), list_(list)
{
    build(list, list->windowTitle());
    table_.on(cmd::Exit, [this] {
        if (list_)
            list_->CmExit();
    });
    connect(list, &TBrowserWindow::captionChanged, this, [this](const QString& c) {
        title_->setText(c);
        setWindowTitle(c);
        setAccessibleName(c);
    });
}

TBrowserFrame::TBrowserFrame(QWidget* content, const QString& caption, QWidget* parent) : QFrame(parent)
{
    build(content, caption);
    connect(qApp, &QApplication::focusChanged, this, &TBrowserFrame::onFocusChanged);
}

void TBrowserFrame::build(QWidget* content, const QString& caption)
{
    content_ = content;
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    setMouseTracking(true);
    setAutoFillBackground(true);
    setWindowIcon(QIcon(QStringLiteral(":/icons/brewpad-32.png")));

    captionBar_ = new QWidget(this);
    captionBar_->setObjectName(QStringLiteral("caption"));
    captionBar_->setAccessibleName(QStringLiteral("Title bar"));
    captionBar_->setAutoFillBackground(true);
    captionBar_->setMouseTracking(true);
    title_ = new QLabel(caption, captionBar_);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    closeButton_ = new QToolButton(captionBar_);
    closeButton_->setObjectName(QStringLiteral("close"));
    closeButton_->setAccessibleName(QStringLiteral("Close"));
    closeButton_->setToolTip(QStringLiteral("Close"));
    closeButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closeButton_->setAutoRaise(true);
    closeButton_->setFocusPolicy(Qt::NoFocus);
    const int side = title_->fontMetrics().height() + 2;
    closeButton_->setFixedSize(side, side);
    auto* captionRow = new QHBoxLayout(captionBar_);
    captionRow->setContentsMargins(4, 1, 1, 1);
    captionRow->setSpacing(4);
    captionRow->addWidget(title_, 1);
    captionRow->addWidget(closeButton_);

    content->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Edge, Edge, Edge, 1);
    layout->setSpacing(0);
    layout->addWidget(captionBar_);
    layout->addWidget(content, 1);
    setFocusProxy(content);

    connect(closeButton_, &QToolButton::clicked, this, &QWidget::close);
    setWindowTitle(caption);
    setAccessibleName(caption);
    content->installEventFilter(this);
    updateCaptionLook();
}

void TBrowserFrame::onFocusChanged(QWidget* old, QWidget* now)
{
    // A window of several controls: the focus entering any of them activates it.
    const bool was = old && isAncestorOf(old);
    const bool is = now && isAncestorOf(now);
    if (was == is)
        return;
    updateCaptionLook();
    if (is)
        emit activated();
}

TBrowserFrame::~TBrowserFrame()
{
    emit goingAway(this);
}

QString TBrowserFrame::caption() const
{
    return title_->text();
}

bool TBrowserFrame::isActive() const
{
    const QWidget* f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void TBrowserFrame::activate()
{
    raise();
    if (content_)
        content_->setFocus(Qt::OtherFocusReason);
}

bool TBrowserFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (list_ && watched == list_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        updateCaptionLook();
        if (event->type() == QEvent::FocusIn)
            emit activated();
    }
    return QFrame::eventFilter(watched, event);
}

void TBrowserFrame::updateCaptionLook()
{
    // The caption is drawn in the highlight colours while the window has the focus.
    const bool active = list_ ? list_->hasFocus() : isActive();
    QPalette pal = captionBar_->palette();
    pal.setColor(QPalette::Window, palette().color(active ? QPalette::Highlight : QPalette::Mid));
    pal.setColor(QPalette::WindowText, palette().color(active ? QPalette::HighlightedText : QPalette::WindowText));
    captionBar_->setPalette(pal);
    title_->setPalette(pal);
}

void TBrowserFrame::closeEvent(QCloseEvent* e)
{
    if (list_)
        list_->CanClose();
    e->accept();
}

void TBrowserFrame::hideEvent(QHideEvent* e)
{
    QFrame::hideEvent(e);
    emit hidden();
}

int TBrowserFrame::edgesAt(const QPoint& p) const
{
    int edges = 0;
    if (p.y() < Edge)
        edges |= 1;
    if (p.x() >= width() - Edge)
        edges |= 2;
    return edges;
}

void TBrowserFrame::mousePressEvent(QMouseEvent* e)
{
    dragEdges_ = e->button() == Qt::LeftButton ? edgesAt(e->position().toPoint()) : 0;
    if (dragEdges_ == 0) {
        QFrame::mousePressEvent(e);
        return;
    }
    dragStart_ = e->globalPosition().toPoint();
    startGeometry_ = geometry();
    e->accept();
}

void TBrowserFrame::mouseMoveEvent(QMouseEvent* e)
{
    if (dragEdges_ == 0) {
        switch (edgesAt(e->position().toPoint())) {
        case 1: setCursor(Qt::SizeVerCursor); break;
        case 2: setCursor(Qt::SizeHorCursor); break;
        case 3: setCursor(Qt::SizeBDiagCursor); break;
        default: unsetCursor(); break;
        }
        QFrame::mouseMoveEvent(e);
        return;
    }
    const QPoint delta = e->globalPosition().toPoint() - dragStart_;
    QRect g = startGeometry_;
    const QWidget* area = parentWidget();
    const int minHeight = captionBar_->sizeHint().height() + 2 * Edge + 8;
    if (dragEdges_ & 1) {
        // The bottom edge stays; the top follows the pointer within the area.
        const int top = std::clamp(g.top() + delta.y(), 0, g.bottom() - minHeight);
        g.setTop(top);
    }
    if (dragEdges_ & 2) {
        const int maxWidth = area ? area->width() - g.left() : g.width() + delta.x();
        g.setWidth(std::clamp(g.width() + delta.x(), 80, std::max(80, maxWidth)));
    }
    setGeometry(g);
    emit resizedByUser();
    e->accept();
}

void TBrowserFrame::mouseReleaseEvent(QMouseEvent* e)
{
    if (dragEdges_ == 0) {
        QFrame::mouseReleaseEvent(e);
        return;
    }
    dragEdges_ = 0;
    e->accept();
}
