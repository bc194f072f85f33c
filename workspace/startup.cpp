// Start-up of the workspace: the tool configuration and the workspace's helpers.
#include "app/dialogs.h"
#include "config/toolpaths.h"
#include "editor/child.h"
#include "editor/editcontrol.h"
#include "editor/finddlg.h"
#include "workspace/client.h"

#include <QFileInfo>
#include <QTextBlock>

void TFileMDIClient::settleConfiguration()
{
    // Filled in by the configuration sequence.
    dialogs().message(nullptr, QStringLiteral("ENV:\nJAVA BIN :\t%1\nJAVA HELP:\t%2").arg(javabin, javahlp));
}

void TFileMDIClient::initFinder()
{
    finder = std::make_unique<FindController>(this, [this]() -> QTextEdit* {
        TFileMDIChild* c = currentEditor();
        return c ? c->editor() : nullptr;
    });
}

void TFileMDIClient::initPrintHost() {}
void TFileMDIClient::destroyPrintHost() {}

bool TFileMDIClient::closeOther(QMdiSubWindow*)
{
    return true;
}

void TFileMDIClient::openLocation(const QString& path, int line)
{
    const QString abs = QFileInfo(path).absoluteFilePath();
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

void TFileMDIClient::CmJavaOptions() {}
void TFileMDIClient::CmJavaArgs() {}
void TFileMDIClient::CmFileErr(const QString&) {}
