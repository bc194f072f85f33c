// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editcontrol.h"

#include "editor/editcommands.h"
#include "editor/editdefaults.h"
#include "editor/editinput.h"
#include "editor/editmargin.h"
#include "editor/hoverrest.h"
#include "editor/indent.h"
#include "editor/lineendedit.h"
#include "editor/shownblocks.h"
#include "editor/texthighlights.h"
#include "editor/zoom.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>


EditControl::EditControl(QWidget* parent)
    : QTextEdit(parent),
      doc_(adopt(new SourceDocument(this))),
      debug_(this, doc_->marks()),
      shown_(std::make_unique<ShownBlocks>(this)),
      zoom_(std::make_unique<ViewZoom>(viewport(), document())),
      indent_(std::make_unique<TypingIndent>(this)),
      highlights_(std::make_unique<TextHighlights>(this, doc_->marks(), *shown_))
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setOverwriteMode(insertToggleOn());
    setAccessibleName(QStringLiteral("Editor"));
    setTabChangesFocus(false);
    applyDefaultFont();
    addEditCommands(table_, this);
    margin_ = new EditMargin(this, doc_->marks(), debug_, *shown_, *zoom_);
    margin_->onLineClicked([this](int line) { doc_->marks().toggleBreakpoint(line); });
    margin_->onLineMenu([this](int line, QPoint at) { emit breakpointMenuWanted(line, at); });
    connectViews();
    connectSource();
    auto* hover = new HoverRest(this);
    connect(hover, &HoverRest::rested, this, &EditControl::identifierRested);
    connect(hover, &HoverRest::ended, this, &EditControl::identifierRestEnded);
}

SourceDocument* EditControl::adopt(SourceDocument* doc)
{
    setDocument(doc->text());
    // Source lines run left to right. Telling the document so also spares
    // its layout a scan of the text of every line after an edit (for the
    // direction of its first letter), which costs most in a long text.
    QTextOption option = doc->text()->defaultTextOption();
    option.setTextDirection(Qt::LeftToRight);
    doc->text()->setDefaultTextOption(option);
    doc->setDialogParent(this);
    return doc;
}

EditControl::~EditControl()
{
    // The parts go before the text edit: nothing it does while it goes may reach them.
    document()->disconnect(this);
    doc_->disconnect(this);
    doc_->marks().disconnect(this);
    verticalScrollBar()->disconnect(this);
    disconnect(this, &QTextEdit::cursorPositionChanged, this, nullptr);
}

void EditControl::connectViews()
{
    connect(document(), &QTextDocument::blockCountChanged, this, &EditControl::updateMarginWidth);
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        margin_->refresh();
        if (doc_->marks().hasMessages())
            highlights_->update();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        highlights_->caretMoved();
        highlights_->update();
        margin_->refresh();  // the caret line's number stands out
        describeCaretLine();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        margin_->update();
        if (doc_->marks().hasMessages())
            highlights_->update();
    });
    updateMarginWidth();
    highlights_->update();
}

void EditControl::applyDefaultFont()
{
    const QFont f = GetLogFont();
    document()->setDefaultFont(f);
    QTextCharFormat cf = currentCharFormat();
    cf.setFont(f, QTextCharFormat::FontPropertiesAll);
    setCurrentCharFormat(cf);
    updateTabStops();
}

bool EditControl::event(QEvent* e)
{
    // The text edit claims some of the main window's keys for actions of its
    // own (Ctrl+Y and Ctrl+Shift+Z redo): it lets them go, so that the
    // command the key is bound to runs, and runs once.
    if (e->type() == QEvent::ShortcutOverride && mainWindowKey(static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    return QTextEdit::event(e);
}

void EditControl::keyPressEvent(QKeyEvent* e)
{
    if (mainWindowKey(e)) {
        e->ignore();
        return;
    }
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        setInsertToggle(!insertToggleOn());
        return;
    }
    // Indentation (Tab and Shift+Tab on lines, '}' at the start of a line); Home.
    if (indent_->key(e) || homeKey(this, e))
        return;
    // A new line gets the indentation of the line it was made from.
    const bool newLine = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !isReadOnly() &&
                         !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    QString before;
    if (newLine) {
        QTextCursor start(document());
        start.setPosition(textCursor().selectionStart());
        before = start.block().text().left(start.positionInBlock());
    }
    // Enter at the end of a line adds a line below it, which the line's own
    // line end must not move to; Delete or Backspace may join two lines.
    LineEndEdit lineEnds(textCursor(),
                         isReadOnly() ? LineEndEdit::Kind::Other : LineEndEdit::kindOfKey(e, textCursor()));
    if (newLine) {
        // Always a new line: QTextEdit's Enter on an empty line that has a
        // block format of its own (a line-end mark) only resets the format.
        QTextCursor c = textCursor();
        c.insertBlock();
        setTextCursor(c);
        ensureCursorVisible();
    } else {
        QTextEdit::keyPressEvent(e);
    }
    lineEnds.finish(textCursor());
    if (newLine && textCursor().positionInBlock() == 0 && textCursor().block().previous().isValid())
        indent_->newLine(before);
}

// Files dragged over the control are taken, also by a read-only one: a drop
// opens them. Anything else is the text edit's own drag.
void EditControl::dragEnterEvent(QDragEnterEvent* e)
{
    if (localFiles(e->mimeData()).isEmpty())
        return QTextEdit::dragEnterEvent(e);
    e->acceptProposedAction();
}

void EditControl::dragMoveEvent(QDragMoveEvent* e)
{
    if (localFiles(e->mimeData()).isEmpty())
        return QTextEdit::dragMoveEvent(e);
    e->acceptProposedAction();
}

void EditControl::dropEvent(QDropEvent* e)
{
    const QStringList files = localFiles(e->mimeData());
    if (files.isEmpty())
        return QTextEdit::dropEvent(e);
    e->acceptProposedAction();
    emit filesDropped(files);
}

bool EditControl::canInsertFromMimeData(const QMimeData* source) const
{
    return !localFiles(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void EditControl::insertFromMimeData(const QMimeData* source)
{
    // Plain text only: the editor holds source code. Files (copied in a file
    // manager) give their paths, one per line. A read-only control takes none.
    if (isReadOnly())
        return;
    const QStringList files = localFiles(source);
    QString text;
    if (!files.isEmpty())
        text = files.join(QLatin1Char('\n'));
    else if (source->hasText())
        text = source->text();
    else
        return;
    // Lines pasted at the end of a line leave the line its own line end.
    LineEndEdit lineEnds(textCursor(), LineEndEdit::Kind::Insert);
    textCursor().insertText(text);
    lineEnds.finish(textCursor());
}

void EditControl::connectSource()
{
    connect(doc_, &SourceDocument::readOnlyChanged, this, &QTextEdit::setReadOnly);
    connect(&doc_->marks(), &MarkList::changed, this, &EditControl::marksChanged);
    connect(&doc_->marks(), &MarkList::executionLineSet, this, [this](int line) {
        if (const QTextBlock b = document()->findBlockByNumber(line - 1); line > 0 && b.isValid()) {
            setTextCursor(QTextCursor(b));
            ensureCursorVisible();
        }
    });
    connect(doc_, &SourceDocument::replacingText, this, [this] {
        shownPlace_ = {textCursor().position(), verticalScrollBar()->value()};
        highlights_->setPaused(true);
        // The text read takes the default font, not the caret's format.
        QTextCursor plain = textCursor();
        plain.clearSelection();
        plain.setCharFormat(readTextFormat());
        setTextCursor(plain);
    });
    connect(doc_, &SourceDocument::textReplaced, this, [this](bool keepPlace) {
        indent_->forget();
        if (keepPlace) {
            // The caret and the view stay where they were, as far as the new text reaches.
            QTextCursor c(document());
            c.setPosition(std::min(shownPlace_.first, document()->characterCount() - 1));
            setTextCursor(c);
            verticalScrollBar()->setValue(shownPlace_.second);
        } else {
            moveCursor(QTextCursor::Start);
        }
        highlights_->setPaused(false);
        highlights_->update();
    });
}

QWidget* EditControl::margin() const
{
    return margin_;
}

bool EditControl::lineNumbersVisible() const
{
    return margin_->lineNumbersVisible();
}

void EditControl::setLineNumbersVisible(bool on)
{
    if (margin_->lineNumbersVisible() == on)
        return;
    margin_->setLineNumbersVisible(on);
    updateMarginWidth();
    margin_->update();
}

void EditControl::updateMarginWidth()
{
    const int w = margin_->wantedWidth();
    if (viewportMargins().left() != w) {
        setViewportMargins(w, 0, 0, 0);
        placeMargin();
    }
}

void EditControl::placeMargin()
{
    const QRect v = viewport()->geometry();
    margin_->setGeometry(QRect(contentsRect().left(), v.top(), viewportMargins().left(), v.height()));
}

void EditControl::resizeEvent(QResizeEvent* e)
{
    QTextEdit::resizeEvent(e);
    placeMargin();
}

std::pair<int, int> EditControl::matchedBrackets() const
{
    return highlights_->matchedBrackets();
}

void EditControl::paintEvent(QPaintEvent* e)
{
    {
        // The caret line, under the text.
        QPainter p(viewport());
        highlights_->paintCaretLine(p, e->rect());
        debug_.paintPausedLine(p, e->rect());
    }
    QTextEdit::paintEvent(e);
    QPainter p(viewport());
    debug_.paintValues(p, e->rect(), *shown_);
}

int EditControl::zoomPercent() const
{
    return zoom_->percent();
}

void EditControl::zoomIn()
{
    if (zoom_->in())
        applyZoom();
}

void EditControl::zoomOut()
{
    if (zoom_->out())
        applyZoom();
}

void EditControl::zoomReset()
{
    if (zoom_->reset())
        applyZoom();
}

void EditControl::applyZoom()
{
    updateTabStops();
    // Every block is laid out again for the new resolution.
    document()->markContentsDirty(0, document()->characterCount());
    updateMarginWidth();
    placeMargin();
    margin_->update();
    viewport()->update();
    ensureCursorVisible();
    emit zoomChanged(zoom_->percent());
}

void EditControl::updateTabStops()
{
    setTabStopDistance(QFontMetricsF(zoom_->shownFont()).horizontalAdvance(QLatin1Char(' ')) * 4);
}

void EditControl::wheelEvent(QWheelEvent* e)
{
    if (e->modifiers() & Qt::ControlModifier) {
        const int dy = e->angleDelta().y();
        if (dy > 0)
            zoomIn();
        else if (dy < 0)
            zoomOut();
        e->accept();
        return;
    }
    QTextEdit::wheelEvent(e);
}

QString EditControl::indentUnit() const
{
    return indent_->unit();
}

void EditControl::indentSelection()
{
    indent_->indentSelection();
}

void EditControl::unindentSelection()
{
    indent_->unindentSelection();
}

void EditControl::marksChanged()
{
    const QString debug = debug_.summary();
    margin_->setAccessibleDescription(doc_->marks().description() + (debug.isEmpty() ? QString() : "; " + debug));
    describeCaretLine();
    highlights_->update();
    margin_->update();
    viewport()->update();
}

void EditControl::describeCaretLine()
{
    const QString text = debug_.describeLine(textCursor().blockNumber() + 1);
    if (text != accessibleDescription())
        setAccessibleDescription(text);
}

bool EditControl::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && doc_->marks().hasMessages()) {
        highlights_->showToolTip(static_cast<QHelpEvent*>(e));
        return true;
    }
    return QTextEdit::viewportEvent(e);
}

void EditControl::contextMenuEvent(QContextMenuEvent* e)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(e->pos()));
    if (!contextActions_.isEmpty()) {
        emit contextMenuOpening();
        menu->addSeparator();
        for (QAction* a : contextActions_) {
            if (a)
                menu->addAction(a);
            else
                menu->addSeparator();
        }
    }
    menu->setAccessibleName(tr("Editor"));
    menu->exec(e->globalPos());
}
