// The workspace: the main frame's client area holding editor windows, option
// windows and the compiler-message window. It settles the tool paths at start,
// keeps the file-dialog records and carries the commands that need no editor.
#pragma once
#include "editor/editorhost.h"
#include "platform/routing.h"
#include "platform/filedata.h"

#include <QMdiArea>
#include <QPointer>
#include <functional>
#include <memory>

class TFileMDIChild;
class TBrowserWindow;
class TBrowserFrame;
class TRulerWin;
class EditControl;
class toolsfind;
class FindController;

class TFileMDIClient : public QMdiArea, public CommandTarget, public EditorHost {
    Q_OBJECT
public:
    enum class Startup { SettleConfiguration, SkipConfiguration };
    explicit TFileMDIClient(Startup startup = Startup::SettleConfiguration, QWidget* parent = nullptr);
    ~TFileMDIClient() override;

    CommandTable& commands() override { return table_; }

    // What the editor windows ask of their workspace.
    const FileDialogRecord* fileDialogRecord() const override { return FileData; }
    FindController* finder() override { return finder_.get(); }
    TRulerWin* printHost() override { return lpr; }
    void showStatus(const QString& text) override;
    void fileUsed(const QString& path) override;
    void showCompilerMessages(const QString& captureFile) override { CmFileErr(captureFile); }

    void CmFileNewJava();
    void CmFileOpenJava();
    void CmMRUFileOpenJava(const QString& name);
    void CmNewJavaProj();
    void CmOpenJavaProj();
    void CmOpenJavaProjFile(const QString& name);
    void CmViewJavaProj();
    void CmJavaHelp();
    void CmAbout();
    void CmJavaOptions();
    void CmJavaArgs();
    void CmGotoLine();
    void CmFileErr(const QString& fname);
    void CmStopCompiling();
    void CmCompilerMessages();

    // The editor window that editor commands go to: the active window when it is
    // an editor window; none while an option window or the message window is
    // active, or while no window is.
    TFileMDIChild* currentEditor() const;
    QList<TFileMDIChild*> editors() const;
    // Asks every window whether it may close; false when one refuses.
    bool canCloseAll();
    // Opens a file in the window of its kind (".jpr" as a project).
    void openDropped(const QString& path);

    // Shows a message window in the strip along the bottom of the workspace:
    // left edge at the workspace's left, 100 pixels high, 100 pixels narrower than
    // the workspace. MDI windows (maximised ones too) keep to the area above the
    // strip; the strip keeps to the bottom when the workspace changes its size.
    void showMessageWindow(TBrowserFrame* frame);
    // The open message windows, oldest first.
    QList<TBrowserFrame*> messageWindows() const;
    // True while a message window has the keyboard focus.
    bool messageWindowActive() const { return messageActive_; }

    // The windows of the Window menu: every MDI window in the order they were
    // opened, then the message windows.
    struct WindowEntry {
        QString caption;
        QWidget* window;
        bool active;
    };
    QList<WindowEntry> windowList() const;
    // Brings a window of windowList() to the front and gives it the focus.
    void bringToFront(QWidget* window);

    // Members of the workspace.
    std::unique_ptr<toolsfind> tf;
    TRulerWin* lpr = nullptr;  // owned; deleted with the workspace
    QPointer<TBrowserWindow> BrowserErr;
    QPointer<TBrowserFrame> BrowserFrame;
    FileDialogRecord FileErrData;
    FileDialogRecord FileJavaData;
    FileDialogRecord FileJprData;
    FileDialogRecord* FileData = nullptr;
    QPointer<TFileMDIChild> EditJAVACntl;

    // Called when a Java source or project is opened or saved under a new name.
    std::function<void(const QString&)> onFileUsed;
    // Called with a status-bar text (compiler command line, message summary).
    std::function<void(const QString&)> onStatus;

signals:
    void editorsChanged();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void buildCommands();
    void buildCompileCommands();
    void settleConfiguration();
    // Creates and shows an editor window; the record is the one FileData points at.
    // Nullptr, after saying why, when the file is too large to edit.
    TFileMDIChild* openEditor(const QString& kind, const QString& file);
    void arrangeIcons();
    void placeNewWindow(QMdiSubWindow* w);
    // Keeps the message windows at the bottom and the MDI windows above them.
    void layoutMessageStrip();
    void initPrintHost();
    void destroyPrintHost();
    void initFinder();
    // Asks a window that is not an editor whether it may close.
    bool closeOther(QMdiSubWindow* w);
    // Puts the caret on a line of a file, opening the file when no window shows it.
    void openLocation(const QString& path, int line);
    friend QMdiSubWindow* holdOptionDialog(TFileMDIClient*, class QDialog*);

    CommandTable table_;
    std::unique_ptr<FindController> finder_;
    QList<QPointer<TBrowserFrame>> messageFrames_;
    bool messageActive_ = false;
};

// The text of a window's entry in the Window menu: its number (a mnemonic for
// the first nine) and its caption, with every "&" of the caption doubled so that
// it shows as itself.
QString windowMenuText(int number, const QString& caption);
