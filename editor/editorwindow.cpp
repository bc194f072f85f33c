// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editorwindow.h"

#include "editor/completion.h"
#include "editor/quickfix.h"
#include "editor/editcontrol.h"
#include "editor/editorhost.h"
#include "editor/finddialogs.h"
#include "editor/projectnodes.h"
#include "editor/typingcheck.h"
#include "editor/unix2dos.h"
#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "platform/host.h"
#include "print/printing.h"
#include "resources/commands.h"
#include "toolchain/building/buildsite.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/compiling/javacrunner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

QString kindText(EditorKind kind)
{
    switch (kind) {
    case EditorKind::JavaProject: return QStringLiteral("jpr");
    case EditorKind::JavaSource: break;
    }
    return QStringLiteral("JAVA");
}

namespace {

// What the build commands see of an editor window; what they did, the window
// tells its workspace by its signals.
class WindowBuildSite : public BuildSite {
public:
    explicit WindowBuildSite(TFileMDIChild* window) : window_(window) {}

    QWidget* dialogOwner() override { return window_; }
    QString buildFile() const override { return window_->editor()->source()->fileName(); }
    bool buildsProject() const override { return window_->isProject(); }
    bool holdsUnsavedChanges() const override { return window_->editor()->document()->isModified(); }
    bool inWorkspace() const override { return window_->mdiArea() != nullptr; }
    bool compileProjectHolding(const QString& file) override { return window_->host()->compileProjectHolding(file); }
    void showStatus(const QString& text) override { emit window_->statusShown(text); }
    void showLastingStatus(const QString& text) override { emit window_->lastingStatusShown(text); }
    void clearLastingStatus() override { emit window_->lastingStatusCleared(); }
    void showCompilerMessages(const QString& capture, const QString& note) override
    {
        emit window_->compilerMessagesShown(capture, note);
    }
    void compilationStarted() override { emit window_->compilationStarted(); }
    void compilationEnded(bool succeeded) override { emit window_->compilationEnded(succeeded); }

private:
    TFileMDIChild* window_;
};

}  // namespace

TFileMDIChild::TFileMDIChild(EditorHost* parent, EditorKind kind, EditControl* edit, bool fromFile)
    : QMdiSubWindow(nullptr),
      papa(parent),
      te(edit),
      kind_(kind),
      IsNewFile(!fromFile),
      openedFromFile_(fromFile),
      site_(std::make_unique<WindowBuildSite>(this)),
      build_(std::make_unique<FileBuild>(site_.get())),
      nodes_(std::make_unique<ProjectNodes>(edit)),
      check_(std::make_unique<TypingCheck>(edit, parent)),
      completion_(std::make_unique<Completion>(edit)),
      quickFixes_(std::make_unique<QuickFixes>(edit))
{
    setWidget(edit);
    setAttribute(Qt::WA_DeleteOnClose);
    // The save dialog starts from the workspace's record of the file's kind;
    // the file's name is the edit control's.
    if (const FileDialogRecord* record = papa->fileDialogRecord()) {
        source()->saveData() = *record;
        source()->saveData().fileName = source()->fileName();
    }
    connect(source(), &SourceDocument::fileNameChanged, this, &TFileMDIChild::updateCaption);
    connect(completion_.get(), &Completion::statusShown, this, &TFileMDIChild::statusShown);
    connect(quickFixes_.get(), &QuickFixes::statusShown, this, &TFileMDIChild::statusShown);
    connect(te->document(), &QTextDocument::modificationChanged, this, &TFileMDIChild::updateCaption);
    updateCaption();
    buildCommands();
    buildProjectCommands();
    // The edit control's search commands.
    te->commands().on(cmd::Find, [this] { papa->finder()->showFind(); });
    te->commands().on(cmd::Replace, [this] { papa->finder()->showReplace(); });
    te->commands().on(cmd::FindNext, [this] { papa->finder()->findNext(); });
    UpdateTextFields();
    // A source or project shown from its file is classified at once.
    if (!IsNewFile)
        SetFileType();
    if (!isProject()) {
        check_->watch();
        completion_->watch();
        quickFixes_->watch();
    } else {
        nodes_->watchEntries();
        connect(nodes_.get(), &ProjectNodes::entryChosen, this, &TFileMDIChild::projectEntryChosen);
    }

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

TFileMDIChild::~TFileMDIChild() = default;

SourceDocument* TFileMDIChild::source() const
{
    return te->source();
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
    const SourceDocument::DiskChange change = source()->checkDiskChange();
    checkingDisk_ = false;
    if (change != SourceDocument::DiskChange::Reloaded)
        return;
    // Other text: the classes compiled before are not this text's.
    build_->IsCompiled = false;
    SetFileType();
    emit statusShown(
        QStringLiteral("The file %1 was changed on disk and has been loaded again.").arg(source()->fileName()));
}

QString TFileMDIChild::caption() const
{
    const QString name = source()->fileName().isEmpty() ? QStringLiteral("Untitled")
                                                        : nativename::shown(source()->fileName());
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
    table_.on(cmd::JavaCompile, [this] { build_->compile(); });
    table_.enabler(cmd::JavaCompile, [this](CommandState& s) { s.enabled = !compiling(); });
    // Java Run and Applet Run; Debug Run is the workspace's.
    for (const RunKind& kind : runKinds()) {
        if (kind.start != RunKind::Start::Detached)
            continue;
        const RunKindId id = kind.id;
        table_.on(kind.command, [this, id] { build_->run(id); });
        table_.enabler(kind.command, [this, id](CommandState& s) { s.enabled = build_->offers(id); });
    }
    table_.on(cmd::Unix2Dos, [this] { CmUnix2Dos(); });
    table_.on(cmd::PrintSetup, [this] { CmFilePageSetup(); });
    table_.on(cmd::Print, [this] { CmFilePrint(); });
    table_.on(cmd::FormatFont, [this] { CmFormatFont(); });
    // A font changes the text, which a read-only window keeps as it is.
    table_.enabler(cmd::FormatFont, [this](CommandState& s) { s.enabled = !te->isReadOnly(); });
    table_.on(cmd::ZoomIn, [this] { te->zoomIn(); });
    table_.on(cmd::ZoomOut, [this] { te->zoomOut(); });
    table_.on(cmd::ZoomReset, [this] { te->zoomReset(); });
    auto saveEnabler = [this](CommandState& s) { s.enabled = (IsNewFile || !isProject()) && !te->isReadOnly(); };
    table_.on(cmd::FileSaveAs, [this] { CmFileSaveAs(); });
    table_.enabler(cmd::FileSaveAs, saveEnabler);
    table_.on(cmd::FileSave, [this] { CmFileSave(); });
    table_.enabler(cmd::FileSave, saveEnabler);
}

void TFileMDIChild::buildProjectCommands()
{
    // A project saves exactly as the editor's Save and Save As do; the save
    // classifies the project's sources when it was opened from its file.
    auto projectEnabler = [this](CommandState& s) { s.enabled = isProject() && !te->isReadOnly(); };
    table_.on(cmd::SaveJavaProj, [this] { CmFileSave(); });
    table_.enabler(cmd::SaveJavaProj, projectEnabler);
    table_.on(cmd::SaveAsJavaProj, [this] { CmFileSaveAs(); });
    table_.enabler(cmd::SaveAsJavaProj, projectEnabler);
    table_.on(cmd::InsertNode, [this] {
        if (isProject() && nodes_->add(this))
            projectEdited();
    });
    table_.enabler(cmd::InsertNode, projectEnabler);
    table_.on(cmd::DeleteNode, [this] {
        nodes_->remove();
        projectEdited();
    });
    table_.enabler(cmd::DeleteNode, projectEnabler);
}

void TFileMDIChild::projectEdited()
{
    UpdateTextFields();
    build_->IsCompiled = false;
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
    const bool wasUntitled = source()->fileName().isEmpty();
    if (!(askForName ? source()->saveAs() : source()->save()))
        return false;  // cancelled, declined, or the write failed: the text stays as the user left it
    if (source()->fileName().isEmpty())
        return true;  // Save on an unchanged new window: nothing to read again
    source()->loadFile(source()->fileName());
    // A window that now has a file of its own is one, whether Save or Save As
    // asked for its name: it is classified from now on.
    IsNewFile = false;
    build_->IsCompiled = false;
    SetFileType();
    if (askForName || wasUntitled)
        emit fileUsed(source()->fileName());
    return true;
}

void TFileMDIChild::SetFileType()
{
    if (IsNewFile)
        return;
    build_->classify();
}

bool TFileMDIChild::compiling() const
{
    return JavacRunner::active() != nullptr;
}

void TFileMDIChild::clearCheckMarks()
{
    check_->clearMarks();
}

void TFileMDIChild::CmFormatFont()
{
    if (te->isReadOnly())
        return;
    QTextCharFormat cf = te->textCursor().charFormat();
    if (!te->textCursor().hasSelection())
        cf = te->currentCharFormat();
    QFont font = cf.font();
    // Text without a colour of its own shows in the look's text colour, light
    // or dark: it gets one only when another colour is chosen for it.
    const bool ownColour = cf.foreground().style() != Qt::NoBrush;
    const QColor shown = ownColour ? cf.foreground().color() : te->palette().text().color();
    QColor color = shown;
    if (!dialogs().chooseFont(this, font, color))
        return;
    QTextCharFormat chosen;
    chosen.setFont(font, QTextCharFormat::FontPropertiesAll);
    chosen.setFontUnderline(font.underline());
    chosen.setFontStrikeOut(font.strikeOut());
    if (ownColour || color != shown)
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
    if (closeApproved_ || source()->canClose()) {
        // The compilation under way is given up with the window: the status
        // bar says so now, while the window can still tell its workspace.
        if (compiling() && mdiArea())
            emit lastingStatusCleared();
        e->accept();
        QMdiSubWindow::closeEvent(e);
    } else {
        closeApproved_ = false;
        e->ignore();
    }
}

// ---------------------------------------------------------------- printing

void TFileMDIChild::CmFilePageSetup()
{
    if (TRulerWin* host = papa->printHost())
        host->CmFilePageSetup(this);
}

void TFileMDIChild::CmFilePrint()
{
    TRulerWin* host = papa->printHost();
    if (!host)
        return;
    const QString name = source()->fileName();
    host->CmFilePrint(name.isEmpty() ? QStringLiteral("Untitled") : name, *te->document(), this);
}

// ---------------------------------------------------------------- line ends

QString TFileMDIChild::unix2DosRefusal() const
{
    // A file whose text the window could not hold as it is, or could not read,
    // is not converted either.
    switch (source()->readOnlyReason()) {
    case SourceDocument::ReadOnlyReason::NotText:
        return QStringLiteral(
            "The file %1 is not a text file: it holds NUL bytes. Unix2Dos converts only "
            "text files, so the file was not changed.");
    case SourceDocument::ReadOnlyReason::BrokenUtf16:
    case SourceDocument::ReadOnlyReason::Unreadable:
        return QStringLiteral(
            "The file %1 is shown read-only because Brewpad could not read it as text. "
            "Unix2Dos converts only text files, so the file was not changed.");
    case SourceDocument::ReadOnlyReason::None: break;
    }
    if (source()->textFormat().isUtf16())
        return QStringLiteral(
            "The file %1 holds UTF-16 text, whose line ends Unix2Dos cannot convert "
            "byte by byte, so the file was not changed.");
    return QString();
}

void TFileMDIChild::CmUnix2Dos()
{
    const QString name = source()->fileName();
    if (name.isEmpty())
        return;
    const QString refusal = unix2DosRefusal();
    if (!refusal.isEmpty()) {
        dialogs().message(this, refusal.arg(name), QString(), Buttons::Ok, Icon::Information);
        return;
    }
    // The conversion reloads the file: changes not saved would be lost.
    if (te->document()->isModified()) {
        switch (source()->askToSave()) {
        case Answer::Yes:
            if (!saveWindow(false))
                return;
            break;
        case Answer::No: break;  // the user drops the changes
        default: return;
        }
    }
    QString error;
    switch (convertFileToDos(name, &error)) {
    case Unix2DosResult::NotReadable: return;
    case Unix2DosResult::Failed: dialogs().message(this, error, QString(), Buttons::Ok, Icon::Stop); break;
    case Unix2DosResult::Converted: break;
    }
    // What is no regular file was not read and is not read now: the message
    // said so, and the window keeps its text.
    if (host::fileKind(name) != host::FileKind::NotRegular)
        source()->loadFile(name);
}
