// SPDX-License-Identifier: GPL-3.0-or-later
// A whole Brewpad main window for tests, in a temporary working directory, with
// scripted dialogs and without the start-up configuration search.
#pragma once
#include "app/brewpad.h"
#include "resources/commands.h"
#include "toolchain/settings/settings.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "resources/resources.h"
#include "scripted_dialogs.h"
#include "support.h"
#include "workspace/workspace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initBrewpadResources();
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        startApp();
    }
    // Starts Brewpad with its Brewpad.ini in the test's folder and no tool search.
    void startApp()
    {
        TMDIFileApp::Options o;
        o.settleConfiguration = false;
        o.iniFile = dir.filePath("Brewpad.ini");
        o.lookFile = lookFile;
        app = std::make_unique<TMDIFileApp>(o);
        app->InitMainWindow();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        // Nothing may ask at the end of a test: discard every change.
        if (app && app->Client) {
            for (TFileMDIChild* c : app->Client->editors())
                c->approveClose();
        }
        app.reset();
        QDir::setCurrent(oldCwd);
    }

    TFileMDIClient* client() { return app->Client; }
    TFileMDIChild* current() { return client()->currentEditor(); }
    bool enabled(int id)
    {
        app->updateCommandStates();
        return app->action(id)->isEnabled();
    }
    // Runs a command as a user would from its menu item, button or key: only
    // while the application has it enabled. A disabled command fails the test
    // and is not run.
    void trigger(int id)
    {
        if (!app->state(id).enabled) {
            ADD_FAILURE() << "the command " << commandName(id) << " is disabled";
            return;
        }
        app->dispatch(id);
    }
    // Runs a command the application has disabled, as some other way of
    // reaching it would, to show that it does nothing then.
    void triggerExpectingDisabled(int id)
    {
        EXPECT_FALSE(app->state(id).enabled) << "the command " << commandName(id) << " is enabled";
        app->dispatch(id);
    }
    // Presses a key where the keyboard focus is (the main window when nothing
    // has it), as a user would.
    void press(QKeyCombination key)
    {
        QWidget* focus = QApplication::focusWidget();
        press(focus ? focus : app->Frame, key);
    }
    // Presses a key in `w`.
    void press(QWidget* w, QKeyCombination key)
    {
        QTest::keyClick(w, key.key(), key.keyboardModifiers());
        QApplication::processEvents();
    }
    std::string commandName(int id)
    {
        QAction* a = app->action(id);
        return std::to_string(id) + (a ? " (" + a->text().toStdString() + ")" : std::string());
    }
    // Writes `bytes` into the file `name` of the test's directory; returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString p = dir.filePath(name);
        ::writeFile(p, bytes);
        return p;
    }
    TFileMDIChild* openJava(const QString& path)
    {
        dialogs_.openPaths.push_back(path);
        trigger(cmd::FileOpenJava);
        QApplication::processEvents();
        return current();
    }
    TFileMDIChild* newJava()
    {
        trigger(cmd::FileNewJava);
        QApplication::processEvents();
        return current();
    }

    ScriptedDialogs dialogs_;
    QTemporaryDir dir;
    QString lookFile;  // where the colours chosen are kept; not kept when empty
    QString oldCwd;
    std::unique_ptr<TMDIFileApp> app;
};
