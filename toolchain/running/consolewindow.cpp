// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/consolewindow.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How often arrived output is shown: often enough to look live, seldom
// enough that a program writing without pause is not slowed by the drawing.
constexpr int kFlushMs = 50;

QTextCharFormat formatFor(ConsoleStream stream, const QPalette& palette)
{
    QTextCharFormat f;
    switch (stream) {
    case ConsoleStream::Output: f.setForeground(palette.text()); break;
    case ConsoleStream::Error: f.setForeground(QColor(0xB0, 0x00, 0x20)); break;
    case ConsoleStream::Input:
        f.setForeground(QColor(0x00, 0x60, 0x20));
        f.setFontWeight(QFont::Bold);
        break;
    case ConsoleStream::Note:
        f.setForeground(palette.placeholderText());
        f.setFontItalic(true);
        break;
    }
    return f;
}

// Output and error lines that name a source line look like links.
void insertSegment(QTextCursor& cursor, const ConsoleSegment& segment, const QPalette& palette)
{
    const QTextCharFormat plain = formatFor(segment.stream, palette);
    const bool mayLink = (segment.stream == ConsoleStream::Output || segment.stream == ConsoleStream::Error) &&
                         segment.text.contains(QLatin1String("at "));
    if (!mayLink) {
        cursor.insertText(segment.text, plain);
        return;
    }
    QTextCharFormat link = plain;
    link.setFontUnderline(true);
    link.setForeground(palette.link());
    qsizetype from = 0;
    while (from < segment.text.size()) {
        qsizetype nl = segment.text.indexOf(QLatin1Char('\n'), from);
        const qsizetype end = nl < 0 ? segment.text.size() : nl + 1;
        const QString line = segment.text.mid(from, end - from);
        const auto location = parseStackTraceLine(line);
        if (location) {
            cursor.insertText(line.left(location->start), plain);
            cursor.insertText(line.mid(location->start, location->length), link);
            cursor.insertText(line.mid(location->start + location->length), plain);
        } else {
            cursor.insertText(line, plain);
        }
        from = end;
    }
}

}  // namespace

ConsoleWindow::ConsoleWindow(QWidget* parent, int limit)
    : QWidget(parent),
      log_(limit),
      view_(new QPlainTextEdit(this)),
      inputLine_(new QLineEdit(this)),
      note_(new QLabel(this)),
      flushTimer_(new QTimer(this))
{
    setWindowTitle(QStringLiteral("Console"));
    setAccessibleName(QStringLiteral("Console"));
    view_->setReadOnly(true);
    view_->setUndoRedoEnabled(false);
    view_->setMaximumBlockCount(log_.limit() + 1);  // the last line may be empty
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view_->setAccessibleName(QStringLiteral("Program output"));
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    inputLine_->setAccessibleName(QStringLiteral("Program input"));
    inputLine_->setPlaceholderText(
        QStringLiteral("Input to the program: Enter sends the line, Ctrl+D ends the input"));
    inputLine_->setEnabled(false);
    inputLine_->installEventFilter(this);
    note_->setAccessibleName(QStringLiteral("Console note"));
    note_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(note_);
    layout->addWidget(view_, 1);
    layout->addWidget(inputLine_);
    setFocusProxy(inputLine_);
    flushTimer_->setSingleShot(true);
    flushTimer_->setInterval(kFlushMs);
    connect(flushTimer_, &QTimer::timeout, this, &ConsoleWindow::flush);
    connect(inputLine_, &QLineEdit::returnPressed, this, &ConsoleWindow::sendInput);
}

void ConsoleWindow::begin(const QString& title)
{
    flushTimer_->stop();
    log_.clear();
    view_->clear();
    log_.appendLine(ConsoleStream::Note, title);
    inputLine_->clear();
    inputLine_->setEnabled(true);
    flush();
}

void ConsoleWindow::appendOutput(const QByteArray& bytes)
{
    log_.append(ConsoleStream::Output, bytes);
    scheduleFlush();
}

void ConsoleWindow::appendError(const QByteArray& bytes)
{
    log_.append(ConsoleStream::Error, bytes);
    scheduleFlush();
}

void ConsoleWindow::end(const QString& text)
{
    log_.appendLine(ConsoleStream::Note, text);
    inputLine_->setEnabled(false);
    flush();
}

bool ConsoleWindow::inputOpen() const
{
    return inputLine_->isEnabled();
}

void ConsoleWindow::scheduleFlush()
{
    if (!flushTimer_->isActive())
        flushTimer_->start();
}

void ConsoleWindow::flush()
{
    flushTimer_->stop();
    const std::deque<ConsoleSegment> segments = log_.take();
    if (segments.empty())
        return;
    QScrollBar* bar = view_->verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const ConsoleSegment& s : segments)
        insertSegment(cursor, s, palette());
    cursor.endEditBlock();
    if (follow)
        bar->setValue(bar->maximum());
    updateNote();
}

QString ConsoleWindow::shownText()
{
    flush();
    return view_->toPlainText();
}

void ConsoleWindow::updateNote()
{
    const qint64 dropped = log_.dropped();
    note_->setVisible(dropped > 0);
    if (dropped > 0)
        note_->setText(QStringLiteral("%1 earlier lines were dropped: the console keeps the last %2.")
                           .arg(dropped)
                           .arg(log_.limit()));
}

void ConsoleWindow::sendInput()
{
    if (!inputLine_->isEnabled())
        return;
    const QString line = inputLine_->text();
    inputLine_->clear();
    log_.appendLine(ConsoleStream::Input, line);
    flush();
    emit input(line.toUtf8() + '\n');
}

void ConsoleWindow::endInput()
{
    if (!inputLine_->isEnabled())
        return;
    if (!inputLine_->text().isEmpty())  // what was typed goes first, without a line end
        emit input(inputLine_->text().toUtf8());
    inputLine_->clear();
    inputLine_->setEnabled(false);
    log_.appendLine(ConsoleStream::Note, QStringLiteral("Input ended"));
    flush();
    emit inputEnded();
}

void ConsoleWindow::followLink()
{
    const QString line = view_->textCursor().block().text();
    if (const auto location = parseStackTraceLine(line))
        emit openSource(*location);
}

bool ConsoleWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == inputLine_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_D && key->modifiers() == Qt::ControlModifier) {
            endInput();
            return true;
        }
    } else if (watched == view_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            followLink();
            return true;
        }
    } else if (watched == view_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        view_->setTextCursor(view_->cursorForPosition(mouse->position().toPoint()));
        followLink();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
