// SPDX-License-Identifier: GPL-3.0-or-later
// An editor window on its own, without the workspace and the main window: the
// window is made as the workspace makes it (an edit control with the Java
// colours, the file loaded, the window around it) inside an MDI area of the
// test's, with a host that answers the editor's questions plainly. Commands
// run along the chain the application offers them to (the focused edit
// control, then its window), so a test links the editor's library only.
#pragma once
#include "editor/editcontrol.h"
#include "editor/editorhost.h"
#include "editor/editorwindow.h"
#include "editor/highlighter.h"
#include "editor/sourcedocument.h"
#include "platform/routing.h"
#include "resources/resources.h"
#include "scripted_dialogs.h"
#include "support.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The questions an editor window asks its host, answered without a workspace:
// no file-dialog record, no Find dialogs, no printing, no check while typing.
class PlainEditorHost : public EditorHost {
public:
    const FileDialogRecord* fileDialogRecord() const override { return nullptr; }
    FindController* finder() override { return nullptr; }
    TRulerWin* printHost() override { return nullptr; }
    bool checkWhileTyping() const override { return false; }
};

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initBrewpadResources();
        ASSERT_TRUE(dir.isValid());
        area = std::make_unique<QMdiArea>();
        area->resize(800, 600);
        area->show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        // Nothing may ask at the end of a test: discard every change.
        for (QMdiSubWindow* w : area->subWindowList()) {
            if (auto* c = qobject_cast<TFileMDIChild*>(w))
                c->approveClose();
        }
        area.reset();
    }

    // Writes `bytes` into the file `name` of the test's directory; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString p = dir.filePath(name);
        ::writeFile(p, bytes);
        return p;
    }
    // A Java source's window on the file `path`, shown and active.
    TFileMDIChild* openJava(const QString& path) { return open(path); }
    // A new, empty Java source's window.
    TFileMDIChild* newJava() { return open(QString()); }

    // Runs a command as the application would for the active window: only
    // while it is enabled there; a disabled command fails the test.
    void trigger(TFileMDIChild* c, int id)
    {
        if (!state(c, id).enabled) {
            ADD_FAILURE() << "the command " << id << " is disabled";
            return;
        }
        routeCommand(chainOf(c), id);
        QApplication::processEvents();
    }
    bool enabled(TFileMDIChild* c, int id) { return state(c, id).enabled; }
    // Presses a key in `w`.
    void press(QWidget* w, QKeyCombination key)
    {
        QTest::keyClick(w, key.key(), key.keyboardModifiers());
        QApplication::processEvents();
    }

    ScriptedDialogs dialogs_;
    QTemporaryDir dir;
    std::unique_ptr<QMdiArea> area;

private:
    TFileMDIChild* open(const QString& path)
    {
        auto* edit = new EditControl;
        new JavaHighlighter(edit);
        if (!path.isEmpty())
            EXPECT_TRUE(edit->source()->loadFile(path));
        auto* child = new TFileMDIChild(&host_, EditorKind::JavaSource, edit, !path.isEmpty());
        area->addSubWindow(child);
        child->show();
        area->setActiveSubWindow(child);
        edit->setFocus();
        QApplication::processEvents();
        return child;
    }
    static CommandChain chainOf(TFileMDIChild* c) { return {c->editor(), c}; }
    CommandState state(TFileMDIChild* c, int id) { return commandState(chainOf(c), id); }

    PlainEditorHost host_;
};
