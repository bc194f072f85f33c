#include "editor/editcontrol.h"

#include "app/dialogs.h"
#include "app/ids.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include <new>

namespace {
bool g_insertToggle = false;
}

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

EditControl::EditControl(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::NoWrap);
    setOverwriteMode(g_insertToggle);
    setAccessibleName(QStringLiteral("Editor"));
    setTabChangesFocus(false);
    applyDefaultFont();
    connect(this, &QTextEdit::cursorPositionChanged, this, &EditControl::caretMoved);
    buildCommands();
}

void EditControl::applyDefaultFont()
{
    const QFont f = GetLogFont();
    document()->setDefaultFont(f);
    QTextCharFormat cf = currentCharFormat();
    cf.setFont(f, QTextCharFormat::FontPropertiesAll);
    setCurrentCharFormat(cf);
    setTabStopDistance(QFontMetricsF(f).horizontalAdvance(QLatin1Char(' ')) * 4);
}

void EditControl::buildCommands()
{
    auto hasSelection = [this](CommandState& s) { s.enabled = textCursor().hasSelection(); };
    table_.on(cmd::Undo, [this] { undo(); });
    table_.enabler(cmd::Undo, [this](CommandState& s) { s.enabled = document()->isUndoAvailable(); });
    table_.on(cmd::Cut, [this] { cut(); });
    table_.enabler(cmd::Cut, hasSelection);
    table_.on(cmd::Copy, [this] { copy(); });
    table_.enabler(cmd::Copy, hasSelection);
    table_.on(cmd::Paste, [this] { paste(); });
    table_.enabler(cmd::Paste, [this](CommandState& s) {
        const QMimeData* md = QApplication::clipboard()->mimeData();
        s.enabled = md && md->hasText();
    });
    table_.on(cmd::Delete, [this] { textCursor().removeSelectedText(); });
    table_.enabler(cmd::Delete, hasSelection);
    table_.on(cmd::ClearAll, [this] {
        // One undoable step, unlike clear().
        QTextCursor c(document());
        c.select(QTextCursor::Document);
        c.removeSelectedText();
    });
    table_.enabler(cmd::ClearAll, [this](CommandState& s) { s.enabled = !document()->isEmpty(); });
}

void EditControl::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Insert && e->modifiers() == Qt::NoModifier) {
        setInsertToggle(!g_insertToggle);
        return;
    }
    QTextEdit::keyPressEvent(e);
}

namespace {
QStringList localFiles(const QMimeData* md)
{
    QStringList out;
    if (md && md->hasUrls()) {
        for (const QUrl& u : md->urls()) {
            if (u.isLocalFile())
                out << u.toLocalFile();
        }
    }
    return out;
}
}  // namespace

bool EditControl::canInsertFromMimeData(const QMimeData* source) const
{
    return !localFiles(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void EditControl::insertFromMimeData(const QMimeData* source)
{
    const QStringList files = localFiles(source);
    if (!files.isEmpty()) {
        emit filesDropped(files);
        return;
    }
    // Plain text only: the editor holds source code.
    if (source->hasText())
        textCursor().insertText(source->text());
}

QString EditControl::rawText() const
{
    QString t = document()->toRawText();
    t.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    t.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return t;
}

bool EditControl::loadFile(const QString& name)
{
    QFile f(name);
    QByteArray bytes;
    bool ok = f.open(QIODevice::ReadOnly);
    if (ok) {
        try {
            bytes = f.readAll();
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        ok = ok && f.error() == QFileDevice::NoError;
    }
    if (!ok) {
        dialogs().message(this, QStringLiteral("Unable to read file %1 from disk.").arg(name));
        return false;
    }
    DecodedText d = decodeText(bytes);
    const bool binary = isBinaryText(bytes);
    bytes = QByteArray();
    format_ = d.format;
    setPlainText(d.text);
    document()->setModified(false);
    moveCursor(QTextCursor::Start);
    setReadOnly(binary);
    fileName_ = QFileInfo(name).absoluteFilePath();
    emit fileNameChanged(fileName_);
    if (binary) {
        dialogs().message(this,
                          QStringLiteral("The file %1 is not a text file: it holds NUL bytes, which Brewpad "
                                         "cannot save as they are. It is shown read-only, so that it cannot "
                                         "be changed by a save.")
                              .arg(fileName_),
                          QString(), Buttons::Ok, Icon::Information);
    }
    return true;
}

bool EditControl::writeFile(const QString& name)
{
    bool fellBack = false;
    const QByteArray bytes = encodeText(rawText(), format_, &fellBack);
    QSaveFile f(name);
    bool ok = f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
    if (!ok) {
        // The reason follows on a line of its own.
        dialogs().message(this, QStringLiteral("Unable to write file %1 to disk.\n\n%2")
                                    .arg(name, f.errorString()));
        return false;
    }
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

bool EditControl::save()
{
    if (!document()->isModified())
        return true;
    if (refuseReadOnlySave())
        return false;
    if (fileName_.isEmpty())
        return saveAs();
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
    const QString name = QFileInfo(saveData_.fileName).absoluteFilePath();
    if (!writeFile(name))
        return false;
    fileName_ = name;
    emit fileNameChanged(fileName_);
    return true;
}

bool EditControl::canClose()
{
    if (!document()->isModified())
        return true;
    const QString shown = fileName_.isEmpty() ? QStringLiteral("Untitled") : fileName_;
    Answer a = dialogs().message(
        this,
        QStringLiteral("The text in the %1 file has changed.\n\nDo you want to save the changes?").arg(shown),
        QString(), Buttons::YesNoCancel, Icon::Question);
    if (a == Answer::Cancel)
        return false;
    if (a == Answer::No)
        return true;
    return save();
}
