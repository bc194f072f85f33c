// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace: the main frame's client area holding editor windows, option
// windows and the compiler-message window. It keeps the file-dialog records and
// carries the commands that need no editor, some through the classes of their
// own job (the tool settling at start, the message window, the projects, the
// option windows).
#pragma once
#include "editor/editorhost.h"
#include "platform/routing.h"
#include "platform/filedata.h"
#include "workspace/dialogrecords.h"
#include "toolchain/messages/messages.h"
#include "workspace/paneframe.h"

#include <QIcon>

#include <QMdiArea>
#include <QPointer>
#include <memory>

class TFileMDIChild;
enum class EditorKind;
class TBrowserWindow;
class PaneArea;
class TRulerWin;
class EditControl;
class toolsfind;
class FilePlaces;
class FindController;
class DebugController;
class MessageController;
class NavigationController;
class DocumentationController;
class TestCommands;
class JShellCommands;
class OptionWindows;
class ProjectCommands;
class ToolSettling;
class WindowPlacement;

class TFileMDIClient : public QMdiArea, public CommandTarget, public EditorHost {
    Q_OBJECT
public:
    // SettleConfiguration reads or rebuilds brewpad.cfg (searching for the
    // Java tools when needed, with the wait window) and reports the tool paths
    // before anything else is shown; SkipConfiguration keeps the tool paths
    // as they are.
    enum class Startup { SettleConfiguration, SkipConfiguration };
    explicit TFileMDIClient(Startup startup = Startup::SettleConfiguration, QWidget* parent = nullptr);
    // Closes the message windows, deletes the print host and clears the build
    // settings, which live for the run only.
    ~TFileMDIClient() override;

    CommandTable& commands() override { return table_; }

    // The warm compiler for F9, owned by `owner`, for compilations in `dir`:
    // started in the background at once when the tool paths come from the
    // user's own configuration folder or from this start's search; otherwise
    // (a brewpad.cfg of the start directory, TEMP or TMP) only made, and
    // started by the first compilation.
    void prepareCompileService(QObject* owner, const QString& dir);

    // What the editor windows ask of their workspace.
    const FileDialogRecord* fileDialogRecord() const override { return records_.current(); }
    FindController* finder() override { return finder_.get(); }
    TRulerWin* printHost() override { return lpr; }
    // What the editor windows (and the workspace's own parts) tell it.
    void showStatus(const QString& text) { emit statusShown(text); }
    void fileUsed(const QString& path) { emit fileWasUsed(path); }
    void showCompilerMessages(const QString& captureFile, const QString& statusNote);
    void compilationStarted();
    void compilationEnded(bool succeeded);
    void showLastingStatus(const QString& text) { emit lastingStatusShown(text); }
    void clearLastingStatus() { emit lastingStatusCleared(); }

    // Line Numbers: shows or hides the line numbers of every editor window.
    void CmLineNumbers();
    bool lineNumbersShown() const { return lineNumbers_; }
    // Check While Typing: turns the checks of the Java sources' text on or off.
    void CmCheckWhileTyping();
    bool checkWhileTyping() const override { return checkWhileTyping_; }
    bool compileProjectHolding(const QString& file) override;

    // Commands that need no editor window. The New and Open commands make
    // their kind's file-dialog record the current one (useDialogRecord), also when
    // the open dialog is cancelled.
    void CmFileNewJava();
    void CmFileOpenJava();
    // Opens `name` as a Java source, as Open Java File does after its dialog.
    void CmMRUFileOpenJava(const QString& name);
    // Opens `name` as a project, as Open Project does after its dialog.
    void CmOpenJavaProjFile(const QString& name);
    void CmJavaHelp();
    void CmAbout();
    void CmGotoLine();
    // Shows the compiler messages of `fname` in the message window (opening
    // it when there is none) and their summary in the status bar, followed
    // by `statusNote`.
    void CmFileErr(const QString& fname, const QString& statusNote = QString());

    // The messages of the last compilation that name a place, in order, their
    // paths absolute (read from its capture file again when that changed).
    const std::vector<CompilerMessage>& lastCompilationMessages();

    // Creates and shows an editor window; the record is the current one (useDialogRecord).
    // Nullptr, after saying why, when the file is too large to edit.
    TFileMDIChild* openEditor(EditorKind kind, const QString& file);
    // Where new windows go.
    WindowPlacement& placement() { return *placement_; }
    // Debug Run, its console and windows.
    DebugController& debugger() { return *debug_; }
    // Go to Definition and the Outline window.
    NavigationController& navigation() { return *navigation_; }
    // Show Documentation, its pane and the editors' documentation tooltips.
    DocumentationController& documentation() { return *documentation_; }
    TestCommands& tests() { return *tests_; }
    JShellCommands& jshell() { return *jshell_; }
    // The window that shows a file, a file opened at a place, Go Back and Forward.
    FilePlaces& places() { return *places_; }

    // The editor window that editor commands go to: the active window when it is
    // an editor window; none while an option window or the message window is
    // active, or while no window is.
    TFileMDIChild* currentEditor() const;
    QList<TFileMDIChild*> editors() const;
    // Asks every window whether it may close; false when one refuses.
    bool canCloseAll();
    // Opens a file in the window of its kind (".jpr" as a project).
    void openDropped(const QString& path);
    // Between openingMany(true) and openingMany(false) the windows opened
    // are not activated one by one; the last of them is when it ends, so that
    // opening thousands of files takes linear time.
    void openingMany(bool many);

    // The pane area beneath the editor windows: the compiler messages, the
    // console, the debugger's windows, Find in Files, the Outline... each a tab
    // of the whole width. MDI windows (maximised ones too) keep to the area
    // above it; it keeps to the bottom when the workspace changes its size.
    PaneArea& panes() { return *panes_; }
    // The open panes, in the order of their tabs.
    QList<PaneFrame*> messageWindows() const;
    // True while a pane has the keyboard focus.
    bool messageWindowActive() const { return messageActive_; }

    // The windows of the Window menu: every MDI window in the order they were
    // opened, then the panes.
    struct WindowEntry {
        QString caption;
        QWidget* window;
        bool active;
    };
    QList<WindowEntry> windowList() const;
    // Brings a window of windowList() to the front and gives it the focus.
    void bringToFront(QWidget* window);

    // The file-dialog records, one per kind of file.
    using DialogKind = DialogRecords::Kind;
    FileDialogRecord& dialogRecord(DialogKind kind) { return records_.record(kind); }
    // Makes the record of a kind the one a new editor window copies (the
    // record of the last New or Open command) and returns it.
    FileDialogRecord& useDialogRecord(DialogKind kind) { return records_.use(kind); }
    // The project window last opened or created; null when it closed.
    TFileMDIChild* projectWindow() const;
    void setProjectWindow(TFileMDIChild* window);
    // The compiler-message list and the pane that holds it; null while none is open.
    TBrowserWindow* messageList() const;
    PaneFrame* messageListFrame() const;
    void setMessageList(TBrowserWindow* list, PaneFrame* frame);

signals:
    // The active window, or the set of windows, changed.
    void editorsChanged();
    // A Java source or project was opened or saved under a new name.
    void fileWasUsed(const QString& path);
    // A status-bar text (compiler command line, message summary).
    void statusShown(const QString& text);
    // A text that stays in the status bar until lastingStatusCleared(): the
    // compilation under way.
    void lastingStatusShown(const QString& text);
    void lastingStatusCleared();
    // Something the commands' states depend on changed besides the windows: a
    // compilation started or ended, its messages were shown.
    void commandStatesChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    // Takes what a new editor window tells (its signals) to the workspace.
    void connectEditor(TFileMDIChild* child);
    void buildCommands();
    // Keeps the pane area at the bottom and the MDI windows above it.
    void layoutPanes();
    void placePanes();
    void connectPanes();
    void initFinder();
    // Asks a window that is not an editor whether it may close.
    bool closeOther(QMdiSubWindow* w);

    CommandTable table_;
    std::unique_ptr<WindowPlacement> placement_;
    std::unique_ptr<ToolSettling> tools_;
    MessageController* messages_ = nullptr;
    DebugController* debug_ = nullptr;
    NavigationController* navigation_ = nullptr;
    DocumentationController* documentation_ = nullptr;
    TestCommands* tests_ = nullptr;
    JShellCommands* jshell_ = nullptr;
    FilePlaces* places_ = nullptr;
    ProjectCommands* projects_ = nullptr;
    OptionWindows* options_ = nullptr;
    QIcon editorIcon_, projectIcon_;  // the icons of the editor windows
    bool openingMany_ = false;
    QPointer<TFileMDIChild> lastOpened_;  // while opening many: the last window opened
    bool lineNumbers_ = true;
    bool checkWhileTyping_ = true;
    std::unique_ptr<FindController> finder_;
    PaneArea* panes_ = nullptr;
    bool messageActive_ = false;

    TRulerWin* lpr = nullptr;              // the print host; owned, deleted with the workspace
    QPointer<TBrowserWindow> BrowserErr;   // the compiler-message list
    QPointer<PaneFrame> BrowserFrame;      // the pane that holds BrowserErr
    DialogRecords records_;                // FileErrData, FileJavaData, FileJprData and FileData
    QPointer<TFileMDIChild> EditJAVACntl;  // the project window last opened or created
};
