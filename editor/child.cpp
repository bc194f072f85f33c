// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/child.h"

#include "editor/editcontrol.h"
#include "editor/editorhost.h"
#include "editor/finddlg.h"
#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "resources/commands.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

QString kindText(EditorKind kind)
{
    switch (kind) {
    case EditorKind::JavaProject:
        return QStringLiteral("jpr");
    case EditorKind::JavaSource:
        break;
    }
    return QStringLiteral("JAVA");
}

TFileMDIChild::TFileMDIChild(EditorHost* parent, EditorKind kind, EditControl* edit, bool fromFile)
    : QMdiSubWindow(nullptr), papa(parent), te(edit), kind_(kind)
{
    setWidget(edit);
    setAttribute(Qt::WA_DeleteOnClose);
    ProjJavaData.clear();
    if (const FileDialogRecord* record = papa->fileDialogRecord())
        FileData = std::make_unique<FileDialogRecord>(*record);
    switch (kind) {
    case EditorKind::JavaProject:
        IsJpr = true;
        ProjData = &ProjJavaData;
        break;
    case EditorKind::JavaSource:
        IsJava = true;
        break;
    }
    IsNewFile = !fromFile;

    ProjJavaData.flags = FileDialogRecord::HideReadOnly | FileDialogRecord::OverwritePrompt |
                         FileDialogRecord::FileMustExist;
    ProjJavaData.defaultExt = QStringLiteral("java");
    ProjJavaData.filter = FilterJava;

    // The record's file name is the one opened last, perhaps in another
    // window: this window's is its own file's, and none while it has none.
    if (FileData) {
        FileData->fileName = fromFile ? te->fileName() : QString();
        te->saveData() = *FileData;
    }
    connect(te, &EditControl::fileNameChanged, this, &TFileMDIChild::updateCaption);
    connect(te->document(), &QTextDocument::modificationChanged, this, &TFileMDIChild::updateCaption);
    updateCaption();
    buildCommands();
    // The edit control's search commands.
    te->commands().on(cmd::Find, [this] { papa->finder()->showFind(); });
    te->commands().on(cmd::Replace, [this] { papa->finder()->showReplace(); });
    te->commands().on(cmd::FindNext, [this] { papa->finder()->findNext(); });
    UpdateTextFields();
    if (!IsNewFile)
        SetFileType();
    startCheckWhileTyping();

    // A window that becomes active, or is active when the program does, looks
    // whether its file was changed on disk meanwhile.
    connect(this, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates before, Qt::WindowStates now) {
        if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
            scheduleDiskCheck();
    });
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive && mdiArea() && mdiArea()->activeSubWindow() == this)
            scheduleDiskCheck();
    });
}

void TFileMDIChild::scheduleDiskCheck()
{
    // After the activation is complete, and once however often it is asked meanwhile.
    if (diskCheckPending_)
        return;
    diskCheckPending_ = true;
    QTimer::singleShot(0, this, [this] {
        diskCheckPending_ = false;
        checkDisk();
    });
}

void TFileMDIChild::checkDisk()
{
    if (checkingDisk_)
        return;
    checkingDisk_ = true;
    const EditControl::DiskChange change = te->checkDiskChange();
    checkingDisk_ = false;
    if (change != EditControl::DiskChange::Reloaded)
        return;
    // Other text: the classes compiled before are not this text's.
    IsCompiled = false;
    SetFileType();
    papa->showStatus(QStringLiteral("The file %1 was changed on disk and has been loaded again.").arg(te->fileName()));
}

QString TFileMDIChild::caption() const
{
    const QString name = te->fileName().isEmpty() ? QStringLiteral("Untitled") : nativename::shown(te->fileName());
    return kindText(kind_) + QStringLiteral(" - ") + name;
}

void TFileMDIChild::updateCaption()
{
    setWindowTitle(caption());
    setAccessibleName(caption());
    setWindowModified(te->document()->isModified());
}

void TFileMDIChild::buildCommands()
{
    table_.on(cmd::SaveJavaProj, [this] { CmSaveJavaProj(); });
    table_.enabler(cmd::SaveJavaProj, [this](CommandState& s) { s.enabled = IsJpr && !te->isReadOnly(); });
    table_.on(cmd::SaveAsJavaProj, [this] { CmSaveAsJavaProj(); });
    table_.enabler(cmd::SaveAsJavaProj, [this](CommandState& s) { s.enabled = IsJpr && !te->isReadOnly(); });
    table_.on(cmd::JavaCompile, [this] { CmJavaC(); });
    table_.enabler(cmd::JavaCompile, [this](CommandState& s) { s.enabled = !compiling(); });
    table_.on(cmd::JavaRun, [this] { CmJavaRun(); });
    table_.enabler(cmd::JavaRun, [this](CommandState& s) { s.enabled = IsJavaMain && IsCompiled; });
    table_.on(cmd::AppletRun, [this] { CmJavaApplet(); });
    table_.enabler(cmd::AppletRun, [this](CommandState& s) { s.enabled = IsJavaApplet && IsCompiled; });
    table_.on(cmd::Unix2Dos, [this] { CmUnix2Dos(); });
    table_.on(cmd::InsertNode, [this] { CmInsert(); });
    table_.enabler(cmd::InsertNode, [this](CommandState& s) { s.enabled = IsJpr && !te->isReadOnly(); });
    table_.on(cmd::DeleteNode, [this] { CmDelete(); });
    table_.enabler(cmd::DeleteNode, [this](CommandState& s) { s.enabled = IsJpr && !te->isReadOnly(); });
    table_.on(cmd::PrintSetup, [this] { CmFilePageSetup(); });
    table_.on(cmd::Print, [this] { CmFilePrint(); });
    table_.on(cmd::FormatFont, [this] { CmFormatFont(); });
    // A font changes the text, which a read-only window keeps as it is.
    table_.enabler(cmd::FormatFont, [this](CommandState& s) { s.enabled = !te->isReadOnly(); });
    table_.on(cmd::ZoomIn, [this] { te->zoomIn(); });
    table_.on(cmd::ZoomOut, [this] { te->zoomOut(); });
    table_.on(cmd::ZoomReset, [this] { te->zoomReset(); });
    table_.on(cmd::FileSaveAs, [this] { CmFileSaveAs(); });
    table_.enabler(cmd::FileSaveAs, [this](CommandState& s) {
        s.enabled = (IsNewFile || IsJava) && !te->isReadOnly();
    });
    table_.on(cmd::FileSave, [this] { CmFileSave(); });
    table_.enabler(cmd::FileSave, [this](CommandState& s) {
        s.enabled = (IsNewFile || IsJava) && !te->isReadOnly();
    });
}

void TFileMDIChild::CmFileSave()
{
    saveWindow(false);
}

void TFileMDIChild::CmFileSaveAs()
{
    saveWindow(true);
}

bool TFileMDIChild::saveWindow(bool askForName)
{
    if (!FileData)
        FileData = std::make_unique<FileDialogRecord>();
    te->saveData().filter = FileData->filter;
    te->saveData().defaultExt = FileData->defaultExt;
    const bool wasUntitled = te->fileName().isEmpty();
    if (!(askForName ? te->saveAs() : te->save()))
        return false;  // cancelled, declined, or the write failed: the text stays as the user left it
    if (te->fileName().isEmpty())
        return true;  // Save on an unchanged new window: nothing to read again
    FileData->fileName = te->fileName();
    te->loadFile(te->fileName());
    if (askForName)
        IsNewFile = false;
    IsCompiled = false;
    SetFileType();
    if (askForName || wasUntitled)
        papa->fileUsed(te->fileName());
    return true;
}

void TFileMDIChild::CmFormatFont()
{
    if (te->isReadOnly())
        return;
    QTextCharFormat cf = te->textCursor().charFormat();
    if (!te->textCursor().hasSelection())
        cf = te->currentCharFormat();
    QFont font = cf.font();
    QColor color = cf.foreground().style() == Qt::NoBrush ? te->palette().text().color()
                                                           : cf.foreground().color();
    if (!dialogs().chooseFont(this, font, color))
        return;
    QTextCharFormat chosen;
    chosen.setFont(font, QTextCharFormat::FontPropertiesAll);
    chosen.setFontUnderline(font.underline());
    chosen.setFontStrikeOut(font.strikeOut());
    chosen.setForeground(color);
    te->mergeCurrentCharFormat(chosen);
    te->setFocus();
}

unsigned TFileMDIChild::UpdateTextFields()
{
    const QTextCursor cur = te->textCursor();
    QTextCursor endCur(te->document());
    endCur.setPosition(cur.selectionEnd());
    const QTextBlock block = endCur.block();
    CurLineNbr = unsigned(block.blockNumber());
    CurLineText = block.text();
    CurLineLen = unsigned(CurLineText.size());
    NbrLines = unsigned(te->document()->blockCount());
    // The first shown line, from the scroll position (every line is one block).
    FirstVisibleLine = 0;
    if (te->isVisible()) {
        const int topLeft = te->cursorForPosition(QPoint(0, 0)).position();
        FirstVisibleLine = unsigned(te->document()->findBlock(topLeft).blockNumber());
    }
    IsModified = te->document()->isModified();
    CurSel = CurLineNbr;
    return CurLineNbr;
}

void TFileMDIChild::closeEvent(QCloseEvent* e)
{
    if (closeApproved_ || te->canClose()) {
        e->accept();
        QMdiSubWindow::closeEvent(e);
    } else {
        closeApproved_ = false;
        e->ignore();
    }
}
