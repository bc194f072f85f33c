// The editor window of one file inside the workspace: a Java source ("JAVA") or
// a Java project ("jpr"). Its whole client area is the edit control.
#pragma once
#include "platform/routing.h"
#include "platform/filedata.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <memory>

class EditControl;
class EditorHost;
class JavacRunner;
struct CompileOutcome;

class TFileMDIChild : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    TFileMDIChild(EditorHost* parent, const QString& kind, EditControl* edit, bool fromFile);
    ~TFileMDIChild() override;

    CommandTable& commands() override { return table_; }

    // Classification of the window's file (or of every source of its project).
    void SetFileType();
    // Classifies one source file; may replace classename.
    int scan(const QString& fname);
    // Refreshes the line fields from the edit control; returns CurLineNbr.
    unsigned UpdateTextFields();

    // Commands of the window.
    void CmFileSave();
    // Save, as the command does; false when nothing was saved (cancelled,
    // declined, refused or failed).
    bool saveFile();
    void CmFileSaveAs();
    void CmFormatFont();
    void CmFilePrint();
    void CmFilePageSetup();
    void CmUnix2Dos();
    void CmJavaC();
    void CmJavaRun();
    void CmJavaApplet();
    void CmSaveJavaProj();
    void CmSaveAsJavaProj();
    void CmInsert();
    void CmDelete();

    EditControl* editor() const { return te; }
    QString kind() const { return kind_; }
    // The caption: kind, " - ", the full path or "Untitled".
    QString caption() const;
    void updateCaption();
    // True while a compilation of this window runs.
    bool compiling() const;

    // Members of the window.
    std::unique_ptr<QObject> Project;  // set for a project opened from its file
    EditorHost* papa = nullptr;  // the workspace that holds the window
    std::unique_ptr<FileDialogRecord> FileData;
    FileDialogRecord* ProjData = nullptr;
    FileDialogRecord ProjJavaData;
    bool IsPackage = false;
    bool IsNewFile = false;
    bool IsJava = false;
    bool IsJpr = false;
    bool IsJavaMain = false;
    bool IsJavaApplet = false;
    bool IsCompiled = false;
    EditControl* te = nullptr;
    QString classename;  // empty while none was found
    unsigned NbrLines = 0;
    unsigned CurLineNbr = 0;
    QString CurLineText;
    unsigned CurLineLen = 0;
    unsigned FirstVisibleLine = 0;
    bool IsModified = false;
    unsigned CurSel = 0;

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildCommands();
    // Shared tail of the save commands: reload, clear IsCompiled, classify.
    void afterSave();
    void compileFinished(const CompileOutcome& outcome);
    // Looks (soon, once) whether the file was changed on disk: see
    // EditControl::checkDiskChange; a reload is said in the status bar.
    void scheduleDiskCheck();
    void checkDisk();

    CommandTable table_;
    QString kind_;
    QPointer<JavacRunner> runner_;
    bool closeApproved_ = false;
    bool diskCheckPending_ = false;
    bool checkingDisk_ = false;
public:
    // Set by the workspace when the whole program's exit already asked.
    void approveClose() { closeApproved_ = true; }
};
