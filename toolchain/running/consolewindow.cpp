// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/consolewindow.h"

#include "resources/colours.h"

#include <QElapsedTimer>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <vector>

namespace {

// How often arrived output is shown: often enough to look live, seldom
// enough that a program writing without pause is not slowed by the drawing.
constexpr int kFlushMs = 50;
// ... and, when showing it took long, this many times as long as that took.
constexpr int kFlushCostFactor = 10;
// A refresh shows what arrived in slices of this many characters, and stops
// after the slice that took it past kMostFlushMs: the window answers between
// two refreshes however much has arrived.
constexpr qsizetype kFlushSlice = 16 * 1024;
constexpr qint64 kMostFlushMs = 25;
// The state of a row that continues the line of the row before it.
constexpr int kContinuedRow = 1;

// The stream of a piece of text, and whether it is a link, kept in its
// format so that a change of look can colour it again.
constexpr int kStreamProperty = QTextFormat::UserProperty + 1;
constexpr int kLinkProperty = QTextFormat::UserProperty + 2;

QTextCharFormat formatFor(ConsoleStream stream, const QPalette& palette)
{
    QTextCharFormat f;
    f.setProperty(kStreamProperty, int(stream));
    switch (stream) {
    case ConsoleStream::Output: f.setForeground(palette.text()); break;
    case ConsoleStream::Error: f.setForeground(colours::current().consoleError); break;
    case ConsoleStream::Input:
        f.setForeground(colours::current().consoleInput);
        f.setFontWeight(QFont::Bold);
        break;
    case ConsoleStream::Note:
        f.setForeground(palette.placeholderText());
        f.setFontItalic(true);
        break;
    }
    return f;
}

// Output and error lines that name a source line look like links. The text
// between them goes in at once, however many lines it has.
void insertText(QTextCursor& cursor, const QString& text, bool mayLink, const QTextCharFormat& plain,
                const QTextCharFormat& link)
{
    qsizetype done = 0;  // inserted up to here
    for (qsizetype at = mayLink ? text.indexOf(QLatin1String("at ")) : -1; at >= 0;) {
        const qsizetype start = text.lastIndexOf(QLatin1Char('\n'), at) + 1;
        qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        end = end < 0 ? text.size() : end + 1;
        if (const auto location = parseStackTraceLine(text.mid(start, end - start))) {
            const qsizetype from = start + location->start;
            cursor.insertText(text.mid(done, from - done), plain);
            cursor.insertText(text.mid(from, location->length), link);
            done = from + location->length;
        }
        at = text.indexOf(QLatin1String("at "), end);
    }
    cursor.insertText(done == 0 ? text : text.mid(done), plain);
}

// A segment's rows: a row that continues a line starts a block marked so.
void insertSegment(QTextCursor& cursor, const ConsoleSegment& segment, const QPalette& palette)
{
    const QTextCharFormat plain = formatFor(segment.stream, palette);
    const bool mayLink = segment.stream == ConsoleStream::Output || segment.stream == ConsoleStream::Error;
    QTextCharFormat link = plain;
    link.setFontUnderline(true);
    link.setForeground(palette.link());
    link.setProperty(kLinkProperty, true);
    const QString& text = segment.text;
    for (qsizetype from = 0;;) {
        const qsizetype cut = text.indexOf(kRowBreak, from);
        if (from == 0 && cut < 0)
            return insertText(cursor, text, mayLink, plain, link);
        insertText(cursor, text.mid(from, (cut < 0 ? text.size() : cut) - from), mayLink, plain, link);
        if (cut < 0)
            return;
        cursor.insertBlock();
        cursor.block().setUserState(kContinuedRow);
        from = cut + 1;
    }
}

// Gives the text shown the colours of `palette` and of the look in use.
void recolour(QTextDocument* doc, const QPalette& palette)
{
    struct Change {
        int from, to;
        QBrush brush;
    };
    std::vector<Change> changes;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const QTextCharFormat old = f.charFormat();
            if (!old.hasProperty(kStreamProperty))
                continue;
            const QBrush brush =
                old.boolProperty(kLinkProperty)
                    ? palette.link()
                    : formatFor(ConsoleStream(old.intProperty(kStreamProperty)), palette).foreground();
            if (old.foreground() != brush)
                changes.push_back({f.position(), f.position() + f.length(), brush});
        }
    }
    QTextCursor cursor(doc);
    for (const Change& c : changes) {
        cursor.setPosition(c.from);
        cursor.setPosition(c.to, QTextCursor::KeepAnchor);
        QTextCharFormat colour;
        colour.setForeground(c.brush);
        cursor.mergeCharFormat(colour);
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
    flushTimer_->setInterval(kFlushMs);
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
    closeInputLine();
    flush();
}

void ConsoleWindow::note(const QString& text)
{
    log_.appendLine(ConsoleStream::Note, text);
    flush();
}

void ConsoleWindow::closeInputLine()
{
    // The keyboard stays in the console: what is typed next never goes elsewhere.
    if (inputLine_->hasFocus())
        view_->setFocus();
    inputLine_->setEnabled(false);
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
    if (!log_.pending())
        return;
    QElapsedTimer cost;
    cost.start();
    while (log_.pending() && cost.elapsed() < kMostFlushMs)
        showSlice(log_.take(kFlushSlice));
    updateNote();
    // A program writing without pause: the window shows its output less
    // often, so that showing it takes a small share of the time.
    flushTimer_->setInterval(std::max<int>(kFlushMs, int(cost.elapsed() * kFlushCostFactor)));
    if (log_.pending())
        scheduleFlush();
}

void ConsoleWindow::showSlice(const std::deque<ConsoleSegment>& segments)
{
    QScrollBar* bar = view_->verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    qint64 breaks = 0;
    for (const ConsoleSegment& s : segments)
        breaks += s.text.count(QLatin1Char('\n'));
    // What arrived fills the window: all it showed goes at once.
    if (breaks >= log_.limit())
        view_->clear();
    QTextDocument* doc = view_->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const ConsoleSegment& s : segments)
        insertSegment(cursor, s, palette());
    // The oldest rows beyond those kept go in one cut (the last row may be empty).
    if (const qint64 excess = doc->blockCount() - (log_.keptRows() + 1); excess > 0) {
        QTextCursor cut(doc);
        cut.setPosition(doc->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
        cut.removeSelectedText();
    }
    cursor.endEditBlock();
    if (follow)
        bar->setValue(bar->maximum());
}

QString ConsoleWindow::shownText()
{
    while (log_.pending())
        flush();
    QString text;
    for (QTextBlock b = view_->document()->firstBlock(); b.isValid(); b = b.next()) {
        if (b.blockNumber() > 0 && b.userState() != kContinuedRow)
            text += QLatin1Char('\n');
        text += b.text();
    }
    return text;
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
    closeInputLine();
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
    } else if (watched == view_ && event->type() == QEvent::PaletteChange) {
        // A change of look: the text shown so far takes its colours.
        recolour(view_->document(), view_->palette());
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
