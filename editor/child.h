// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window of one file inside the workspace: a Java source or a Java
// project. Its whole client area is the edit control, which loads and saves
// the file; the window adds the file's kind and classification, saving with
// reload, the font and print commands, and the build, run, project and
// line-end commands, which act on the window's file.
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
struct ServiceDiagnostic;
class QTimer;
enum Verdict : int;  // toolchain/classify.h

// What an editor window shows. The kind's text begins the window's caption.
enum class EditorKind {
    JavaSource,   // "JAVA": a Java source, opened with the Java file commands
    JavaProject,  // "jpr": a project file, one source per line
};
// "JAVA" or "jpr".
QString kindText(EditorKind kind);

class TFileMDIChild : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    // A window on `edit` (which it owns) inside `parent`. `fromFile` is true
    // when the edit control shows an existing file, false for a new, empty
    // one; a window on a file is classified at once.
    TFileMDIChild(EditorHost* parent, EditorKind kind, EditControl* edit, bool fromFile);
    ~TFileMDIChild() override;  // a compilation still running is given up

    CommandTable& commands() override { return table_; }

    // Classifies the window's file on disk (or every source of its project)
    // as application, applet or package; nothing for a new window.
    void SetFileType();
    // Classifies one source file and returns the classifier's verdict; a
    // class name found replaces classename.
    Verdict scan(const QString& fname);
    // Refreshes the line fields below from the edit control; returns CurLineNbr.
    unsigned UpdateTextFields();

    // Commands of the window.
    void CmFileSave();
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
    // The caption: the kind's text, " - ", the full path (bytes that are not
    // UTF-8 shown as "\xE9") or "Untitled".
    QString caption() const;
    // True while a compilation runs, of this window or of any other: one
    // compilation at a time in the whole program.
    bool compiling() const;
    // Closes without asking: the whole program's exit already asked.
    void approveClose() { closeApproved_ = true; }
    // Takes away the marks of checks while typing (Check While Typing turned off).
    void clearCheckMarks();

    // Members of the window.
    std::unique_ptr<QObject> Project;  // set for a project opened from its file
    EditorHost* papa = nullptr;  // the workspace that holds the window
    // A copy of the workspace's file-dialog record at construction; its file
    // name is the window's own file (none for a new window) and follows the
    // file the window last saved.
    std::unique_ptr<FileDialogRecord> FileData;
    FileDialogRecord* ProjData = nullptr;  // Add Node's record: ProjJavaData in a project window
    FileDialogRecord ProjJavaData;
    bool IsPackage = false;
    bool IsNewFile = false;  // created empty, and not yet through Save As
    bool IsJava = false;
    bool IsJpr = false;
    bool IsJavaMain = false;
    bool IsJavaApplet = false;
    bool IsCompiled = false;  // set by a successful compilation, cleared by every save
    EditControl* te = nullptr;
    QString classename;  // empty while none was found
    // The caret line and the view at the last UpdateTextFields().
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
    void updateCaption();
    // Save (askForName false) and Save As (true): the edit control saves,
    // then the file is read again (the caret goes to the start), IsCompiled
    // is cleared and the file classified; Save As also ends IsNewFile. Save
    // As, and a Save that gives an untitled window its name, tell the
    // workspace that the file was used. False when nothing was saved.
    bool saveWindow(bool askForName);
    // The file that the build commands act on: the one last saved, else the
    // edit control's; empty for a window never saved.
    QString sourceFile() const;
    void compileFinished(const CompileOutcome& outcome);
    // Looks (soon, once) whether the file was changed on disk: see
    // EditControl::checkDiskChange; a reload is said in the status bar.
    void scheduleDiskCheck();
    void checkDisk();
    // Check while typing: half a second after the last change of a Java
    // source's text, the compile service checks the text in memory and its
    // messages are marked in the lighter style (editor/checktyping.cpp).
    void startCheckWhileTyping();
    void checkText();
    void showCheckResults(quint64 id, const QList<ServiceDiagnostic>& found);

    CommandTable table_;
    QTimer* checkTimer_ = nullptr;
    quint64 checkId_ = 0;       // the check waiting for its answer, 0 for none
    int checkedRevision_ = -1;  // the text's revision that check was asked for
    EditorKind kind_;
    QPointer<JavacRunner> runner_;
    bool closeApproved_ = false;
    bool diskCheckPending_ = false;
    bool checkingDisk_ = false;
};
