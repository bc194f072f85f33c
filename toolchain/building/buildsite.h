// SPDX-License-Identifier: GPL-3.0-or-later
// What the build commands need from the window whose file they build and from
// the workspace around it. The editor window implements it; the build knows
// nothing else of either.
#pragma once
#include <QString>

class QWidget;

class BuildSite {
public:
    virtual ~BuildSite() = default;

    // The window that owns the build's message boxes.
    virtual QWidget* dialogOwner() = 0;
    // The file built and run, as last saved; empty for a window never saved.
    virtual QString buildFile() const = 0;
    // True when the file is a Java project (.jpr), false for a Java source.
    virtual bool buildsProject() const = 0;
    // True while the window shows changes not yet saved.
    virtual bool holdsUnsavedChanges() const = 0;
    // False once the workspace that held the window is going.
    virtual bool inWorkspace() const = 0;
    // Compiles the open project that holds `file` in its stead; false when
    // none holds it (see EditorHost).
    virtual bool compileProjectHolding(const QString& file)
    {
        (void)file;
        return false;
    }

    // The workspace's status bar, message window and compile marks (see
    // editor/editorhost.h).
    virtual void showStatus(const QString& text) = 0;
    virtual void showLastingStatus(const QString& text) = 0;
    virtual void clearLastingStatus() = 0;
    virtual void showCompilerMessages(const QString& captureFile, const QString& statusNote) = 0;
    virtual void compilationStarted() = 0;
    virtual void compilationEnded(bool succeeded) = 0;
};
