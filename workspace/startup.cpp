// Start-up of the workspace: the tool configuration and the workspace's helpers.
#include "platform/dialogs.h"
#include "toolchain/messages.h"
#include "config/toolpaths.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/finddlg.h"
#include "config/search.h"
#include "config/waitwindow.h"
#include "print/printing.h"
#include "workspace/client.h"

#include <QDir>
#include <QFileInfo>
#include <QTextBlock>

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
    dialogs().message(nullptr, envReport(javabin, javahlp, tf->skippedConfigs), QString(), Buttons::Ok,
                      Icon::Information);
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


void TFileMDIClient::openLocation(const QString& path, int line)
{
    // javac names the sources as it was given them: relative ones lie in the
    // directory it ran in, which the message window keeps.
    const QString ranIn = sender() ? sender()->property(CompilerDirectoryProperty).toString() : QString();
    const QString abs = resolveMessagePath(path, ranIn.isEmpty() ? curdir : ranIn);
    if (!QFileInfo(abs).isFile() && onStatus)
        onStatus(QStringLiteral("The file %1 named by this message no longer exists").arg(abs));
    TFileMDIChild* target = nullptr;
    for (TFileMDIChild* c : editors()) {
        if (c->editor()->fileName() == abs)
            target = c;
    }
    if (!target) {
        if (!QFileInfo(abs).isFile())
            return;
        CmMRUFileOpenJava(abs);
        target = currentEditor();
        if (!target)
            return;
    }
    EditControl* e = target->editor();
    const QTextBlock b = e->document()->findBlockByNumber(std::max(0, line - 1));
    if (b.isValid())
        e->setTextCursor(QTextCursor(b));
    e->ensureCursorVisible();
    setActiveSubWindow(target);
    e->setFocus();
}

