// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/workspace.h"

#include "config/toolpaths.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "editor/finddialogs.h"
#include "editor/highlighter.h"
#include "platform/dialogs.h"
#include "platform/nativepath.h"
#include "print/printing.h"
#include "resources/commands.h"
#include "toolchain/messages/messagewindow.h"
#include "toolchain/settings/optiondialogs.h"
#include "toolchain/settings/settings.h"
#include "workspace/debugcontroller.h"
#include "workspace/fileplaces.h"
#include "workspace/jdkchooser.h"
#include "workspace/messagecontroller.h"
#include "workspace/navigationcontroller.h"
#include "workspace/renamecontroller.h"
#include "workspace/documentationcontroller.h"
#include "workspace/testcommands.h"
#include "workspace/breakpointcommands.h"
#include "workspace/watchcommands.h"
#include "workspace/jshellcommands.h"
#include "workspace/optionwindows.h"
#include "workspace/panearea.h"
#include "workspace/javahelp.h"
#include "workspace/projectcommands.h"
#include "workspace/toolsettling.h"
#include "workspace/windowplacement.h"
#include "workspace/workspaceaccessible.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMdiSubWindow>
#include <QResizeEvent>
#include <QTextBlock>

TFileMDIClient::TFileMDIClient(Startup startup, QWidget* parent) : QMdiArea(parent)
{
    // The configuration first: nothing of the workspace shows before the
    // report, and what it sets up for itself waits until after it, so that the
    // wait window and the report come up without that work before them.
    tools_ = std::make_unique<ToolSettling>();
    if (startup == Startup::SettleConfiguration)
        tools_->settle();
    installWorkspaceAccessibility();
    setAccessibleName(QStringLiteral("Workspace"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // A window that closes hands the activation back to the one used before it.
    setActivationOrder(QMdiArea::ActivationHistoryOrder);
    placement_ = std::make_unique<WindowPlacement>(*this);
    panes_ = new PaneArea(this);
    connectPanes();
    // Read once, after the report: every editor window shows one of them.
    editorIcon_ = QIcon(QStringLiteral(":/icons/editor.png"));
    projectIcon_ = QIcon(QStringLiteral(":/icons/project.png"));
    places_ = new FilePlaces(*this);
    messages_ = new MessageController(*this);
    projects_ = new ProjectCommands(*this);
    options_ = new OptionWindows(*this);
    debug_ = new DebugController(*this);
    navigation_ = new NavigationController(*this, table_);
    documentation_ = new DocumentationController(*this, table_);
    tests_ = new TestCommands(*this, table_);
    jshell_ = new JShellCommands(*this, table_);
    new BreakpointCommands(*this, table_);  // a child of the workspace
    new WatchCommands(*this, table_);       // a child of the workspace
    new RenameController(*this, table_);    // a child of the workspace

    lpr = new TRulerWin(nullptr);

    connect(this, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (w)
            messageActive_ = false;
        // An option window is not maximised when it comes over a maximised
        // window; editor windows are, as the window system does it.
        setOption(QMdiArea::DontMaximizeSubWindowOnActivation, w && qobject_cast<TOptionDialog*>(w->widget()));
        emit editorsChanged();
    });
    buildCommands();
    initFinder();
}

TFileMDIClient::~TFileMDIClient()
{
    // The panes go first, while the workspace is whole.
    panes_->disconnect(this);
    delete panes_;
    panes_ = nullptr;
    // So does the history of places, which hears of every editor window
    // closing: the windows go after this, with a workspace no longer whole.
    delete places_;
    places_ = nullptr;
    delete lpr;
    lpr = nullptr;
    // The build settings live for the run only.
    EDITCMDLINE.reset();
    EDITJAVAOPTIONS.reset();
    EDITCLASSPATH.reset();
    EDITDESTINATION.reset();
}

TFileMDIChild* TFileMDIClient::projectWindow() const
{
    return EditJAVACntl;
}
void TFileMDIClient::setProjectWindow(TFileMDIChild* window)
{
    EditJAVACntl = window;
}
TBrowserWindow* TFileMDIClient::messageList() const
{
    return BrowserErr;
}
PaneFrame* TFileMDIClient::messageListFrame() const
{
    return BrowserFrame;
}

void TFileMDIClient::setMessageList(TBrowserWindow* list, PaneFrame* frame)
{
    BrowserErr = list;
    BrowserFrame = frame;
}

void TFileMDIClient::buildCommands()
{
    table_.on(cmd::FileNewJava, [this] { CmFileNewJava(); });
    table_.on(cmd::FileOpenJava, [this] { CmFileOpenJava(); });
    projects_->addCommands(table_);
    table_.on(cmd::JavaHelp, [this] { CmJavaHelp(); });
    table_.on(cmd::About, [this] { CmAbout(); });
    table_.on(cmd::JavaOptions, [this] { options_->javaOptions(); });
    table_.on(cmd::JavaArgs, [this] { options_->programArguments(); });
    table_.on(cmd::GotoLine, [this] { CmGotoLine(); });
    messages_->addCommands(table_);
    debug_->addCommands(table_);
    places_->addCommands(table_);
    table_.on(cmd::LineNumbers, [this] { CmLineNumbers(); });
    table_.enabler(cmd::LineNumbers, [this](CommandState& s) { s.checked = lineNumbers_; });
    table_.on(cmd::CheckWhileTyping, [this] { CmCheckWhileTyping(); });
    table_.enabler(cmd::CheckWhileTyping, [this](CommandState& s) { s.checked = checkWhileTyping_; });
    table_.on(cmd::ChooseJdk, [this] { chooseJdk(this, [this](const QString& t) { showStatus(t); }); });
    // The toolkit's window commands, available while any window is open.
    auto anyWindow = [this](CommandState& s) { s.enabled = !subWindowList().isEmpty(); };
    table_.on(cmd::Cascade, [this] { cascadeSubWindows(); });
    table_.enabler(cmd::Cascade, anyWindow);
    table_.on(cmd::Tile, [this] { tileSubWindows(); });
    table_.enabler(cmd::Tile, anyWindow);
    table_.on(cmd::ArrangeIcons, [this] { placement_->arrangeIcons(); });
    table_.enabler(cmd::ArrangeIcons, anyWindow);
    table_.on(cmd::CloseAll, [this] { closeAllSubWindows(); });
    table_.enabler(cmd::CloseAll, anyWindow);
}

TFileMDIChild* TFileMDIClient::currentEditor() const
{
    // The current window stays current while another top-level window of the
    // program (the Find dialog, a message box) is active.
    if (messageActive_)
        return nullptr;
    return qobject_cast<TFileMDIChild*>(currentSubWindow());
}

QList<TFileMDIChild*> TFileMDIClient::editors() const
{
    QList<TFileMDIChild*> out;
    for (QMdiSubWindow* w : subWindowList(QMdiArea::CreationOrder)) {
        if (auto* c = qobject_cast<TFileMDIChild*>(w))
            out << c;
    }
    return out;
}

TFileMDIChild* TFileMDIClient::openEditor(EditorKind kind, const QString& file)
{
    // A file too large to edit gets no window: an empty window keeping the
    // file's name could overwrite the file with a save.
    if (!file.isEmpty()) {
        const QString refusal = refusalToEdit(file);
        if (!refusal.isEmpty()) {
            dialogs().message(this, refusal, QString(), Buttons::Ok, Icon::Stop);
            return nullptr;
        }
    }
    auto* edit = new EditControl;
    if (kind == EditorKind::JavaSource)
        new JavaHighlighter(edit);  // colours what is shown; owned by the edit control
    const bool fromFile = !file.isEmpty();
    // A file that cannot be read keeps its name: the window shows what it could,
    // and a save writes the file under that name.
    if (fromFile && !edit->source()->loadFile(file))
        edit->source()->setFileName(nativepath::absolute(file));
    QMdiSubWindow* active = activeSubWindow();
    const bool maximise = active && active->isMaximized();
    edit->setLineNumbersVisible(lineNumbers_);
    auto* child = new TFileMDIChild(this, kind, edit, fromFile);
    connectEditor(child);
    if (fromFile)
        messages_->markMessages(child, true);
    debug_->editorOpened(child);
    navigation_->editorOpened(child);
    documentation_->editorOpened(child);
    places_->editorOpened(child);
    connect(edit, &EditControl::filesDropped, this, [this](const QStringList& paths) {
        for (const QString& p : paths)
            openDropped(p);
    });
    child->setWindowIcon(kind == EditorKind::JavaProject ? projectIcon_ : editorIcon_);
    placement_->showNew(child, maximise, openingMany_);
    if (openingMany_) {
        // Activating a window costs a look at every other one: many files in a
        // row would take quadratic time. The last one is activated at the end.
        lastOpened_ = child;
        return child;
    }
    setActiveSubWindow(child);
    edit->setFocus();
    emit editorsChanged();
    return child;
}

void TFileMDIClient::CmFileNewJava()
{
    records_.use(DialogKind::JavaSource);
    openEditor(EditorKind::JavaSource, QString());
}

void TFileMDIClient::CmFileOpenJava()
{
    records_.use(DialogKind::JavaSource);
    if (!dialogs().openFile(this, records_.record(DialogKind::JavaSource)))
        return;
    if (openEditor(EditorKind::JavaSource, records_.record(DialogKind::JavaSource).fileName))
        fileUsed(records_.record(DialogKind::JavaSource).fileName);
}

void TFileMDIClient::CmMRUFileOpenJava(const QString& name)
{
    records_.use(DialogKind::JavaSource);
    records_.record(DialogKind::JavaSource).fileName = name;
    if (openEditor(EditorKind::JavaSource, name))
        fileUsed(name);
}

void TFileMDIClient::CmOpenJavaProjFile(const QString& name)
{
    projects_->openProject(name);
}

void TFileMDIClient::CmFileErr(const QString& fname, const QString& statusNote)
{
    messages_->show(fname, statusNote);
}

void TFileMDIClient::showCompilerMessages(const QString& captureFile, const QString& statusNote)
{
    messages_->show(captureFile, statusNote);
}

const std::vector<CompilerMessage>& TFileMDIClient::lastCompilationMessages()
{
    return messages_->lastCompilationMessages();
}

void TFileMDIClient::compilationStarted()
{
    messages_->compilationStarted();
}

void TFileMDIClient::compilationEnded(bool succeeded)
{
    messages_->compilationEnded(succeeded);
}

void TFileMDIClient::CmJavaHelp()
{
    showJavaHelp(this);
}

void TFileMDIClient::CmAbout()
{
    dialogs().about(this);
}

void TFileMDIClient::CmGotoLine()
{
    TFileMDIChild* c = currentEditor();
    if (!c)
        return;
    EditControl* e = c->editor();
    const int count = e->document()->blockCount();
    std::optional<int> line = dialogs().gotoLine(this, e->textCursor().blockNumber() + 1, count);
    if (!line)
        return;
    places_->show(c, PlaceTarget{.line = std::clamp(*line, 1, count)});
}

void TFileMDIClient::CmLineNumbers()
{
    lineNumbers_ = !lineNumbers_;
    for (TFileMDIChild* w : editors())
        w->editor()->setLineNumbersVisible(lineNumbers_);
}

void TFileMDIClient::CmCheckWhileTyping()
{
    checkWhileTyping_ = !checkWhileTyping_;
    if (!checkWhileTyping_) {
        for (TFileMDIChild* w : editors())
            w->clearCheckMarks();
    }
}

bool TFileMDIClient::compileProjectHolding(const QString& file)
{
    return projects_->compileHolding(file);
}

bool TFileMDIClient::closeOther(QMdiSubWindow* w)
{
    if (auto* list = qobject_cast<TBrowserWindow*>(w->widget()))
        return list->CanClose();
    return true;
}

bool TFileMDIClient::canCloseAll()
{
    // The panes are asked first; they never refuse.
    for (PaneFrame* f : messageWindows()) {
        if (f->list())
            f->list()->CanClose();
    }
    // The newest window is asked first, as the window system lists them.
    QList<QMdiSubWindow*> windows = subWindowList(QMdiArea::CreationOrder);
    std::reverse(windows.begin(), windows.end());
    for (QMdiSubWindow* w : windows) {
        if (auto* c = qobject_cast<TFileMDIChild*>(w)) {
            if (!c->editor()->source()->canClose())
                return false;
        } else if (!closeOther(w)) {
            return false;
        }
    }
    for (TFileMDIChild* c : editors())
        c->approveClose();
    return true;
}

void TFileMDIClient::openingMany(bool many)
{
    openingMany_ = many;
    if (many || !lastOpened_)
        return;
    QPointer<TFileMDIChild> last = lastOpened_;
    lastOpened_ = nullptr;
    setActiveSubWindow(last);
    last->editor()->setFocus();
    emit editorsChanged();
}

void TFileMDIClient::openDropped(const QString& path)
{
    // By the name's bytes: Qt's file functions lose those that are not UTF-8.
    if (!nativepath::info(path).isFile)
        return;
    const QString full = nativepath::absolute(path);
    if (QFileInfo(full).suffix().compare(QLatin1String("jpr"), Qt::CaseInsensitive) == 0 ||
        QFileInfo(full).fileName() == QLatin1String("pom.xml"))
        CmOpenJavaProjFile(full);
    else
        CmMRUFileOpenJava(full);
}

// ---------------------------------------------------------------- panes

QList<PaneFrame*> TFileMDIClient::messageWindows() const
{
    return panes_->panes();
}

void TFileMDIClient::connectPanes()
{
    connect(panes_, &PaneArea::layoutWanted, this, [this] {
        layoutPanes();
        emit editorsChanged();
    });
    connect(panes_, &PaneArea::paneActivated, this, [this] {
        // A pane becomes the active window: the MDI window loses its active
        // state, and with it the editor commands.
        messageActive_ = true;
        setActiveSubWindow(nullptr);
        emit editorsChanged();
    });
    connect(panes_, &PaneArea::paneGone, this, [this] {
        messageActive_ = false;
        // The window above takes the focus back.
        const QList<QMdiSubWindow*> stack = subWindowList(QMdiArea::StackingOrder);
        if (!activeSubWindow() && !stack.isEmpty())
            bringToFront(stack.last());
        emit editorsChanged();
    });
}

void TFileMDIClient::layoutPanes()
{
    // The MDI windows' area ends above the pane area, and keeps some room of its own.
    const int height = std::min(panes_->wantedHeight(), std::max(0, contentsRect().height() - 40));
    if (viewportMargins().bottom() != height)
        setViewportMargins(0, 0, 0, height);
    placePanes();
}

void TFileMDIClient::placePanes()
{
    // Right beneath the MDI windows' area, as wide as it: the workspace's
    // scroll bars, when it has them, stay beside and below both.
    const QRect v = viewport()->geometry();
    const int height = viewportMargins().bottom();
    panes_->setGeometry(v.left(), v.bottom() + 1, v.width(), height);
    panes_->raise();
}

bool TFileMDIClient::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::Resize && panes_)
        placePanes();
    return QMdiArea::viewportEvent(e);
}

void TFileMDIClient::resizeEvent(QResizeEvent* e)
{
    QMdiArea::resizeEvent(e);
    layoutPanes();
}

QList<TFileMDIClient::WindowEntry> TFileMDIClient::windowList() const
{
    QList<WindowEntry> out;
    const QMdiSubWindow* current = messageActive_ ? nullptr : currentSubWindow();
    for (QMdiSubWindow* w : subWindowList(QMdiArea::CreationOrder)) {
        const auto* c = qobject_cast<TFileMDIChild*>(w);
        out << WindowEntry{c ? c->caption() : w->windowTitle(), w, w == current};
    }
    for (PaneFrame* f : messageWindows())
        out << WindowEntry{f->caption(), f, messageActive_ && f->isActive()};
    return out;
}

void TFileMDIClient::bringToFront(QWidget* window)
{
    if (auto* f = qobject_cast<PaneFrame*>(window)) {
        panes_->bringForward(f, true);
        return;
    }
    auto* w = qobject_cast<QMdiSubWindow*>(window);
    if (!w || !subWindowList().contains(w))
        return;
    messageActive_ = false;
    setActiveSubWindow(w);
    if (auto* c = qobject_cast<TFileMDIChild*>(w))
        c->editor()->setFocus();
    else if (!w->isAncestorOf(QApplication::focusWidget()) && w->widget())
        w->widget()->setFocus();
    emit editorsChanged();
}

void TFileMDIClient::connectEditor(TFileMDIChild* child)
{
    connect(child, &TFileMDIChild::statusShown, this, &TFileMDIClient::showStatus);
    connect(child, &TFileMDIChild::lastingStatusShown, this, &TFileMDIClient::lastingStatusShown);
    connect(child, &TFileMDIChild::lastingStatusCleared, this, &TFileMDIClient::lastingStatusCleared);
    connect(child, &TFileMDIChild::fileUsed, this, &TFileMDIClient::fileUsed);
    connect(child, &TFileMDIChild::compilerMessagesShown, this, &TFileMDIClient::showCompilerMessages);
    connect(child, &TFileMDIChild::compilationStarted, this, &TFileMDIClient::compilationStarted);
    connect(child, &TFileMDIChild::compilationEnded, this, &TFileMDIClient::compilationEnded);
}

void TFileMDIClient::prepareCompileService(QObject* owner, const QString& dir)
{
    tools_->prepareCompileService(owner, dir);
}

void TFileMDIClient::initFinder()
{
    finder_ = std::make_unique<FindController>(this, [this]() -> QTextEdit* {
        TFileMDIChild* c = currentEditor();
        return c ? c->editor() : nullptr;
    });
}
