// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editcontrol.h"

#include "platform/dialogs.h"
#include "platform/host.h"
#include "platform/nativepath.h"
#include "resources/commands.h"
#include "editor/textdoc.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include <new>

namespace {
// Whether text put in at the caret goes at the end of a line that has text
// and a line end (where lines added stay below the line and its line end).
bool addsBelowLine(const QTextCursor& c)
{
    return !c.hasSelection() && c.atBlockEnd() && c.block().length() > 1 && c.block().next().isValid();
}

// Whether the key deletes the line break at the caret.
bool joinsLines(const QKeyEvent* e, const QTextCursor& c)
{
    if (c.hasSelection())
        return false;
    return (e->key() == Qt::Key_Delete && c.atBlockEnd() && !c.atEnd()) ||
           (e->key() == Qt::Key_Backspace && c.atBlockStart() && !c.atStart());
}

bool g_insertToggle = false;

// What tells the bytes last read or written from others of the same size.
std::size_t contentHash(QByteArrayView bytes)
{
    return qHash(bytes, std::size_t(0x42726577));
}
}  // namespace

bool insertToggleOn()
{
    return g_insertToggle;
}

void setInsertToggle(bool on)
{
    g_insertToggle = on;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* e = qobject_cast<EditControl*>(w))
            e->setOverwriteMode(on);
    }
}

QFont GetLogFont()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

namespace {
// The character format of text read from a file: the default font, nothing else.
QTextCharFormat defaultCharFormat()
{
    QTextCharFormat cf;
    cf.setFont(GetLogFont(), QTextCharFormat::FontPropertiesAll);
    return cf;
}
}  // namespace

EditControl::EditControl(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setOverwriteMode(g_insertToggle);
    setAccessibleName(QStringLiteral("Editor"));
    setTabChangesFocus(false);
    applyDefaultFont();
    buildCommands();
    setUpComfort();
    // Every line keeps its own line end, whatever is edited around it.
    LineBreakKeeper::of(document());
}

EditControl::~EditControl()
{
    tearDownComfort();
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

void EditControl::buildCommands()
{
    // A read-only control offers none of the commands that change the text.
    auto editable = [this] { return !isReadOnly(); };
    auto hasSelection = [this](CommandState& s) { s.enabled = textCursor().hasSelection(); };
    table_.on(cmd::Undo, [this, editable] {
        if (editable())
            undo();
    });
    table_.enabler(cmd::Undo, [this, editable](CommandState& s) {
        s.enabled = editable() && document()->isUndoAvailable();
    });
    table_.on(cmd::Redo, [this, editable] {
        if (editable())
            redo();
    });
    table_.enabler(cmd::Redo, [this, editable](CommandState& s) {
        s.enabled = editable() && document()->isRedoAvailable();
    });
    table_.on(cmd::Cut, [this, editable] {
        if (editable())
            cut();
    });
    table_.enabler(cmd::Cut, [this, editable](CommandState& s) {
        s.enabled = editable() && textCursor().hasSelection();
    });
    table_.on(cmd::Copy, [this] { copy(); });
    table_.enabler(cmd::Copy, hasSelection);
    table_.on(cmd::Paste, [this, editable] {
        if (editable())
            paste();
    });
    table_.enabler(cmd::Paste, [this, editable](CommandState& s) {
        const QMimeData* md = QApplication::clipboard()->mimeData();
        s.enabled = editable() && md && canInsertFromMimeData(md);
    });
    table_.on(cmd::Delete, [this, editable] {
        if (editable())
            textCursor().removeSelectedText();
    });
    table_.enabler(cmd::Delete, [this, editable](CommandState& s) {
        s.enabled = editable() && textCursor().hasSelection();
    });
    table_.on(cmd::ClearAll, [this, editable] {
        if (!editable())
            return;
        // One undoable step, unlike clear().
        QTextCursor c(document());
        c.select(QTextCursor::Document);
        c.removeSelectedText();
    });
    table_.enabler(cmd::ClearAll, [this, editable](CommandState& s) {
        s.enabled = editable() && !document()->isEmpty();
    });
}

namespace {
// True for a key that the main window binds to a command (Ctrl+Y, Ctrl+F, ...).
bool mainWindowKey(const QKeyEvent* e)
{
    static const QSet<QKeyCombination> keys = [] {
        QSet<QKeyCombination> set;
        for (const CommandInfo& c : commandTable()) {
            if (c.keyOwner != KeyOwner::Frame)
                continue;
            for (const QKeySequence& k : c.keys)
                set.insert(k[0]);
        }
        return set;
    }();
    return keys.contains(QKeyCombination(e->modifiers() & ~Qt::KeypadModifier, Qt::Key(e->key())));
}
}  // namespace

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
        setInsertToggle(!g_insertToggle);
        return;
    }
    // Indentation: Tab and Shift+Tab on lines, '}' at the start of a line.
    if (comfortKey(e))
        return;
    // Enter at the end of a line adds a line below it, which the line's own
    // line end must not move to.
    const bool enter = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !isReadOnly() &&
                       addsBelowLine(textCursor());
    const int line = textCursor().blockNumber();
    // A new line gets the indentation of the line it was made from.
    const bool newLine = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !isReadOnly() &&
                         !(e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    QString before;
    if (newLine) {
        QTextCursor start(document());
        start.setPosition(textCursor().selectionStart());
        before = start.block().text().left(start.positionInBlock());
    }
    // Delete or Backspace joining two lines: one undo step with the marks of
    // the line ends that the document's LineBreakKeeper puts right after it.
    QTextCursor step(document());
    const bool join = joinsLines(e, textCursor()) && !isReadOnly();
    if (join)
        step.beginEditBlock();
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
    if (join)
        step.endEditBlock();
    if (enter && textCursor().blockNumber() == line + 1 && textCursor().block().length() == 1)
        keepLineEndAbove(document(), textCursor().block().previous(), textCursor().block());
    if (newLine && textCursor().positionInBlock() == 0 && textCursor().block().previous().isValid())
        indentNewLine(before);
}

namespace {
QStringList localFiles(const QMimeData* md)
{
    QStringList out;
    if (md && md->hasUrls()) {
        for (const QUrl& u : md->urls()) {
            if (u.isLocalFile())
                out << nativepath::localFile(u);
        }
    }
    return out;
}
}  // namespace

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
    const bool below = addsBelowLine(textCursor());
    const int line = textCursor().blockNumber();
    textCursor().insertText(text);
    if (below)
        keepLineEndAbove(document(), document()->findBlockByNumber(line), textCursor().block());
}

QString EditControl::rawText() const
{
    return documentText(*document(), format_.lineEnd).text;
}

QString EditControl::savedText() const
{
    const DocumentText t = documentText(*document(), format_.lineEnd);
    return joinLines(t.text, t.breaks, format_.lineEnd);
}

void EditControl::setReadOnlyFor(ReadOnlyReason why)
{
    readOnlyReason_ = why;
    setReadOnly(why != ReadOnlyReason::None);
}

bool EditControl::loadFile(const QString& name)
{
    const bool firstLoad = fileName_.isEmpty();
    // Only a regular file is read, never with a blocking open, and only one of
    // a size the control can hold: anything else keeps the text shown.
    QFile f;
    QString what;
    const host::FileKind kind = host::openRegular(name, f, &what);
    const bool regular = kind == host::FileKind::Regular;
    const QString refusal = regular || kind == host::FileKind::NotRegular
                                ? reasonNotToEdit(regular, what, regular ? f.size() : 0)
                                : QString();
    if (!refusal.isEmpty()) {
        f.close();
        refuseLoad(name, refusal, firstLoad);
        return false;
    }
    QByteArray bytes;
    FileStamp stamp;
    bool ok = regular;
    if (ok) {
        try {
            bytes = f.readAll();
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        ok = ok && f.error() == QFileDevice::NoError;
        // The state of the file that was read.
        stamp = fileStamp(f.handle());
        f.close();
    }
    if (!ok) {
        dialogs().message(this, QStringLiteral("Unable to read file %1 from disk.").arg(name));
        fileName_ = nativepath::absolute(name);
        if (firstLoad && kind != host::FileKind::Missing) {
            // Nobody saw the file's content (or what stands there is a loop of
            // links): no save may put this empty text over it.
            setReadOnlyFor(ReadOnlyReason::Unreadable);
            stamp_ = askedStamp_ = fileStamp(name);
        } else if (firstLoad) {
            stamp_ = askedStamp_ = FileStamp();  // a new file: a save creates it
        } else {
            askedStamp_ = fileStamp(name);
        }
        emit fileNameChanged(fileName_);
        return false;
    }
    DecodedText d = decodeText(bytes);
    contentHash_ = contentHash(bytes);
    bytes = QByteArray();
    format_ = d.format;
    // The marks stay on their lines and columns across a reload.
    const QList<MessageMark> marks = messageMarks();
    loading_ = true;
    // The text read takes the default font: setPlainText would give all of it
    // the caret's format, a font chosen for one word perhaps.
    QTextCursor plain = textCursor();
    plain.clearSelection();
    plain.setCharFormat(defaultCharFormat());
    setTextCursor(plain);
    setPlainText(d.text);
    indentUnit_.clear();
    markLineBreaks(document(), d);
    if (!marks.isEmpty())
        setMessageMarks(marks);
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    loading_ = false;
    updateExtraSelections();
    stamp_ = askedStamp_ = stamp;
    fileName_ = nativepath::absolute(name);
    switch (d.obstacle) {
    case DecodedText::Obstacle::None: setReadOnlyFor(ReadOnlyReason::None); break;
    case DecodedText::Obstacle::NulBytes: setReadOnlyFor(ReadOnlyReason::NotText); break;
    case DecodedText::Obstacle::BrokenUtf16: setReadOnlyFor(ReadOnlyReason::BrokenUtf16); break;
    }
    emit fileNameChanged(fileName_);
    QString why;
    if (readOnlyReason_ == ReadOnlyReason::NotText)
        why = QStringLiteral("is not a text file: it holds NUL bytes");
    else if (readOnlyReason_ == ReadOnlyReason::BrokenUtf16)
        why = QStringLiteral("starts as UTF-16 text but holds an odd number of bytes");
    if (!why.isEmpty())
        dialogs().message(this,
                          QStringLiteral("The file %1 %2, which Brewpad cannot save as they are. It is shown "
                                         "read-only, so that it cannot be changed by a save.")
                              .arg(fileName_, why),
                          QString(), Buttons::Ok, Icon::Information);
    return true;
}

void EditControl::refuseLoad(const QString& name, const QString& reason, bool firstLoad)
{
    const QString shown = nativepath::absolute(name);
    if (firstLoad) {
        // A window that shows nothing of the file may not write over it.
        fileName_ = shown;
        setReadOnlyFor(ReadOnlyReason::Unreadable);
        stamp_ = fileStamp(name);
        emit fileNameChanged(fileName_);
    }
    // The state the user was told about is not told again.
    askedStamp_ = fileStamp(name);
    dialogs().message(this,
                      firstLoad ? QStringLiteral("The file %1 %2. It is shown empty and read-only.").arg(shown, reason)
                                : QStringLiteral("The file %1 %2. It was not loaded again: the window keeps its text.")
                                      .arg(shown, reason),
                      QString(), Buttons::Ok, Icon::Stop);
}

bool EditControl::writeFile(const QString& name)
{
    bool fellBack = false;
    const DocumentText t = documentText(*document(), format_.lineEnd);
    const QByteArray bytes = encodeText(t.text, t.breaks, format_, &fellBack);
    QString why;
    FileStamp written;
    if (!writeFileSafely(name, bytes, &why, &written)) {
        // The reason follows on a line of its own.
        dialogs().message(this, QStringLiteral("Unable to write file %1 to disk.\n\n%2").arg(name, why));
        return false;
    }
    stamp_ = askedStamp_ = written;
    contentHash_ = contentHash(bytes);
    if (fellBack) {
        format_.encoding = TextFormat::Encoding::Utf8;
        dialogs().message(this,
                          QStringLiteral("The text of %1 holds characters that Windows-1252 cannot "
                                         "hold, so the file was saved as UTF-8.")
                              .arg(name),
                          QString(), Buttons::Ok, Icon::Information);
    }
    document()->setModified(false);
    return true;
}

bool EditControl::unchangedOnDisk(const QString& name, const FileStamp& now)
{
    if (now == stamp_)
        return true;
    FileStamp same = now;
    same.ctimeSec = stamp_.ctimeSec;
    same.ctimeNsec = stamp_.ctimeNsec;
    if (!stamp_.exists || same != stamp_)
        return false;
    // Only the change time moved: a link added or removed, a new mode or
    // attribute, or a write whose modification time was put back. The bytes tell.
    QFile f;
    if (host::openRegular(name, f) != host::FileKind::Regular || f.size() != now.size)
        return false;
    QByteArray bytes;
    try {
        bytes = f.readAll();
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (f.error() != QFileDevice::NoError || contentHash(bytes) != contentHash_)
        return false;
    stamp_ = now;
    return true;
}

bool EditControl::confirmOverwrite(const QString& name)
{
    const FileStamp now = fileStamp(name);
    // A file that is gone is only written again; one that is as it was read is ours.
    if (!now.exists || unchangedOnDisk(name, now))
        return true;
    return dialogs().message(this,
                             QStringLiteral("The file %1 was changed on disk after Brewpad read it.\n\n"
                                            "Overwrite it with the text of this window?")
                                 .arg(name),
                             QString(), Buttons::YesNo, Icon::Warning) == Answer::Yes;
}

EditControl::DiskChange EditControl::checkDiskChange()
{
    if (fileName_.isEmpty())
        return DiskChange::None;
    const FileStamp now = fileStamp(fileName_);
    // A file that is gone is written again by the next save.
    if (!now.exists || now == askedStamp_ || unchangedOnDisk(fileName_, now))
        return DiskChange::None;
    askedStamp_ = now;
    if (document()->isModified()) {
        const Answer a = dialogs().message(
            this,
            QStringLiteral("The file %1 was changed on disk.\n\nLoad it again and lose the changes made in "
                           "this window?")
                .arg(fileName_),
            QString(), Buttons::YesNo, Icon::Question);
        if (a != Answer::Yes)
            return DiskChange::Kept;
    }
    // The caret and the view stay where they were, as far as the new text reaches.
    const int caret = textCursor().position();
    const int scroll = verticalScrollBar()->value();
    if (!loadFile(fileName_))
        return DiskChange::Kept;
    QTextCursor c(document());
    c.setPosition(std::min(caret, document()->characterCount() - 1));
    setTextCursor(c);
    verticalScrollBar()->setValue(scroll);
    return DiskChange::Reloaded;
}

bool EditControl::save()
{
    if (!document()->isModified())
        return true;
    if (refuseReadOnlySave())
        return false;
    if (fileName_.isEmpty())
        return saveAs();
    if (!confirmOverwrite(fileName_))
        return false;
    return writeFile(fileName_);
}

bool EditControl::refuseReadOnlySave()
{
    if (!isReadOnly())
        return false;
    dialogs().message(this, QStringLiteral("The file %1 is shown read-only and cannot be saved.").arg(fileName_),
                      QString(), Buttons::Ok, Icon::Information);
    return true;
}

bool EditControl::saveAs()
{
    if (refuseReadOnlySave())
        return false;
    saveData_.fileName = fileName_;
    if (!dialogs().saveFile(this, saveData_))
        return false;
    const QString name = nativepath::absolute(saveData_.fileName);
    if (!writeFile(name))
        return false;
    fileName_ = name;
    emit fileNameChanged(fileName_);
    return true;
}

Answer EditControl::askToSave()
{
    const QString shown = fileName_.isEmpty() ? QStringLiteral("Untitled") : fileName_;
    return dialogs().message(
        this,
        QStringLiteral("The text in the %1 file has changed.\n\nDo you want to save the changes?").arg(shown),
        QString(), Buttons::YesNoCancel, Icon::Question);
}

bool EditControl::canClose()
{
    if (!document()->isModified())
        return true;
    const Answer a = askToSave();
    if (a == Answer::Cancel)
        return false;
    if (a == Answer::No)
        return true;
    return save();
}
