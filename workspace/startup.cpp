// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the workspace: settling the tool configuration, and the helpers
// it holds for the editor windows (the Find and Replace dialogs, the print host).
#include "config/search.h"
#include "config/toolpaths.h"
#include "config/waitwindow.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/finddlg.h"
#include "platform/dialogs.h"
#include "print/printing.h"
#include "toolchain/javacrunner.h"
#include "workspace/client.h"

void TFileMDIClient::settleConfiguration()
{
    // The wait window stays painted while the configuration is read or the
    // volumes are searched for the Java tools.
    {
        TConfigWindow wait;
        wait.show();
        tf->setProgress(wait.progress());
        tf->setfiles();
        tf->setProgress({});
        wait.close();
    }
    dialogs().message(nullptr, envReport(*tf), QString(), Buttons::Ok, Icon::Information);
}

void TFileMDIClient::prepareCompileService(QObject* owner, const QString& dir)
{
    if (tf->mayRunAtStart())
        startCompileService(owner, dir);
    else
        makeCompileService(owner);  // the first compilation starts it
}

void TFileMDIClient::initFinder()
{
    finder_ = std::make_unique<FindController>(this, [this]() -> QTextEdit* {
        TFileMDIChild* c = currentEditor();
        return c ? c->editor() : nullptr;
    });
}

void TFileMDIClient::initPrintHost()
{
    lpr = new TRulerWin(nullptr);
}

void TFileMDIClient::destroyPrintHost()
{
    delete lpr;
    lpr = nullptr;
}
