// SPDX-License-Identifier: GPL-3.0-or-later
// The editor window of one file inside the workspace: a Java source or a Java
// project. Its whole client area is the edit control, which loads and saves
// the file and holds its name; the window holds the file's kind, and adds
// saving with reload, the font, print and line-end commands, and routes the
// build commands (toolchain/building/filebuild.h), the project commands
// (editor/projectnodes.h), check while typing (editor/typingcheck.h) and
// completion (editor/completion.h).
#pragma once
#include "platform/routing.h"

#include <QMdiSubWindow>
#include <memory>

class BuildSite;
class Completion;
class EditControl;
class EditorHost;
class FileBuild;
class ProjectNodes;
class QuickFixes;
class SourceDocument;
class TypingCheck;

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
    // one; a source or project from a file is classified at once, a new one
    // once a save has given it a file.
    TFileMDIChild(EditorHost* parent, EditorKind kind, EditControl* edit, bool fromFile);
    ~TFileMDIChild() override;  // a compilation still running is given up

    CommandTable& commands() override { return table_; }
    // The workspace that holds the window.
    EditorHost* host() const { return papa; }

    EditControl* editor() const { return te; }
    // The document the window shows: its text, file and marks.
    SourceDocument* source() const;
    bool isProject() const { return kind_ == EditorKind::JavaProject; }
    // Created empty, and not yet saved under a name.
    bool isNewFile() const { return IsNewFile; }
    // A project opened from its file.
    bool projectFromFile() const { return isProject() && openedFromFile_; }
    // The classification, the compiled state and the build commands.
    FileBuild& build() const { return *build_; }
    // Completion and parameter hints in a Java source's window.
    Completion& completion() const { return *completion_; }
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

    // Commands of the window, also reached through commands().
    void CmFileSave();
    void CmFileSaveAs();
    void CmFormatFont();
    void CmFilePrint();
    void CmFilePageSetup();

signals:
    // A project window's entry naming the source `path` was double-clicked.
    void projectEntryChosen(const QString& path);
    // What the window tells the workspace that holds it (TFileMDIClient
    // connects them when it makes the window):
    // a text for the status bar's message field;
    void statusShown(const QString& text);
    // a text for the status bar that stays until lastingStatusCleared() (while
    // a compilation runs);
    void lastingStatusShown(const QString& text);
    void lastingStatusCleared();
    // a Java source or project was saved under a new name (the recent files);
    void fileUsed(const QString& path);
    // the compiler's messages, read from the capture file, for the message
    // window; `statusNote` follows their summary in the status bar;
    void compilerMessagesShown(const QString& captureFile, const QString& statusNote);
    // a compilation started: the marks of the last one go;
    void compilationStarted();
    // a compilation ended (whatever its outcome; `succeeded` when the compiler
    // said so): the places its messages name are marked in the windows that
    // show them, and after a success an open message window shows its messages.
    void compilationEnded(bool succeeded);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void buildCommands();
    void buildProjectCommands();
    void updateCaption();
    // Classifies the window's file (see FileBuild::classify): nothing for a
    // window not yet saved under a name.
    void SetFileType();
    // Refreshes the line fields below from the edit control; returns CurLineNbr.
    unsigned UpdateTextFields();
    // Save (askForName false) and Save As (true): the edit control saves,
    // then the file is read again (the caret goes to the start), IsNewFile
    // ends, the compiled state is cleared and the file classified.
    // Save As, and a Save that gives an untitled window its name, tell the
    // workspace that the file was used. False when nothing was saved.
    bool saveWindow(bool askForName);
    // Unix2Dos: converts the window's file to CR LF line ends and reads it again.
    void CmUnix2Dos();
    // The refusal of Unix2Dos for a file the window cannot convert, or empty.
    QString unix2DosRefusal() const;
    // A project line was added or removed: the classes are not current.
    void projectEdited();
    // Looks (soon, once) whether the file was changed on disk: see
    // SourceDocument::checkDiskChange; a reload is said in the status bar.
    void scheduleDiskCheck();
    void checkDisk();

    EditorHost* papa;  // the workspace that holds the window
    EditControl* te;
    EditorKind kind_;
    bool IsNewFile = false;
    bool openedFromFile_ = false;
    // The caret line and the view at the last UpdateTextFields().
    unsigned NbrLines = 0;
    unsigned CurLineNbr = 0;
    QString CurLineText;
    unsigned CurLineLen = 0;
    unsigned FirstVisibleLine = 0;
    bool IsModified = false;
    unsigned CurSel = 0;

    CommandTable table_;
    std::unique_ptr<BuildSite> site_;  // what build_ sees of the window: outlives it
    std::unique_ptr<FileBuild> build_;
    std::unique_ptr<ProjectNodes> nodes_;
    std::unique_ptr<TypingCheck> check_;
    std::unique_ptr<Completion> completion_;
    std::unique_ptr<QuickFixes> quickFixes_;
    bool closeApproved_ = false;
    bool diskCheckPending_ = false;
    bool checkingDisk_ = false;
};
