// A whole Brewpad main window for tests, in a temporary working directory, with
// scripted dialogs and without the start-up configuration search.
#pragma once
#include "app/brewpad.h"
#include "resources/commands.h"
#include "toolchain/settings.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "resources/resources.h"
#include "scripted_dialogs.h"
#include "workspace/client.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initBrewpadResources();
        resetBuildSettings();
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TMDIFileApp::Options o;
        o.settleConfiguration = false;
        o.iniFile = dir.filePath("Brewpad.ini");
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
        resetBuildSettings();
    }

    TFileMDIClient* client() { return app->Client; }
    TFileMDIChild* current() { return client()->currentEditor(); }
    bool enabled(int id)
    {
        app->updateCommandStates();
        return app->action(id)->isEnabled();
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString p = dir.filePath(name);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return p;
    }
    QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    TFileMDIChild* openJava(const QString& path)
    {
        dialogs_.openPaths.push_back(path);
        app->dispatch(cmd::FileOpenJava);
        QApplication::processEvents();
        return current();
    }
    TFileMDIChild* newJava()
    {
        app->dispatch(cmd::FileNewJava);
        QApplication::processEvents();
        return current();
    }

    ScriptedDialogs dialogs_;
    QTemporaryDir dir;
    QString oldCwd;
    std::unique_ptr<TMDIFileApp> app;
};
