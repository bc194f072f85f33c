// The workspace: the main frame's client area holding editor windows, option
// windows and the compiler-message window. It settles the tool paths at start,
// keeps the file-dialog records and carries the commands that need no editor.
#pragma once
#include "app/commands.h"
#include "workspace/filedata.h"

#include <QMdiArea>
#include <QPointer>
#include <functional>
#include <memory>

class TFileMDIChild;
class TBrowserWindow;
class TRulerWin;
class EditControl;
class toolsfind;
class FindController;

class TFileMDIClient : public QMdiArea, public CommandTarget {
    Q_OBJECT
public:
    enum class Startup { SettleConfiguration, SkipConfiguration };
    explicit TFileMDIClient(Startup startup = Startup::SettleConfiguration, QWidget* parent = nullptr);
    ~TFileMDIClient() override;

    CommandTable& commands() override { return table_; }

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

    // The editor window that editor commands go to: the active one, or the one
    // active last while a list or option window has the focus.
    TFileMDIChild* currentEditor() const;
    QList<TFileMDIChild*> editors() const;
    // Asks every window whether it may close; false when one refuses.
    bool canCloseAll();
    // Opens a file in the window of its kind (".jpr" as a project).
    void openDropped(const QString& path);

    // Members of the workspace.
    std::unique_ptr<toolsfind> tf;
    TRulerWin* lpr = nullptr;  // owned; deleted with the workspace
    QPointer<TBrowserWindow> BrowserErr;
    QPointer<QMdiSubWindow> BrowserFrame;
    FileDialogRecord FileErrData;
    FileDialogRecord FileJavaData;
    FileDialogRecord FileJprData;
    FileDialogRecord* FileData = nullptr;
    QPointer<TFileMDIChild> EditJAVACntl;
    std::unique_ptr<FindController> finder;

    // Called when a Java source or project is opened or saved under a new name.
    std::function<void(const QString&)> onFileUsed;
    // Called with a status-bar text (compiler command line, message summary).
    std::function<void(const QString&)> onStatus;

signals:
    void editorsChanged();

private:
    void buildCommands();
    void buildCompileCommands();
    void settleConfiguration();
    // Creates and shows an editor window; the record is the one FileData points at.
    // Nullptr, after saying why, when the file is too large to edit.
    TFileMDIChild* openEditor(const QString& kind, const QString& file);
    void arrangeIcons();
    void placeNewWindow(QMdiSubWindow* w);
    void initPrintHost();
    void destroyPrintHost();
    void initFinder();
    // Asks a window that is not an editor whether it may close.
    bool closeOther(QMdiSubWindow* w);
    // Puts the caret on a line of a file, opening the file when no window shows it.
    void openLocation(const QString& path, int line);
    friend QMdiSubWindow* holdOptionDialog(TFileMDIClient*, class QDialog*);

    CommandTable table_;
    QPointer<TFileMDIChild> lastEditor_;
};
