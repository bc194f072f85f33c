// Start-up of the workspace: the tool configuration and the workspace's helpers.
#include "platform/dialogs.h"
#include "toolchain/messages.h"
#include "toolchain/browser.h"
#include "toolchain/compile.h"
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


void TFileMDIClient::openLocation(const QString& path, int line, int column)
{
    // javac names the sources as it was given them: relative ones lie in the
    // directory it ran in, which the message window keeps.
    const QString ranIn = sender() ? sender()->property(CompilerDirectoryProperty).toString() : QString();
    const QString abs = resolveMessagePath(path, ranIn.isEmpty() ? curdir : ranIn);
    // Next Message goes on from the message chosen in the list.
    if (BrowserErr && sender() == BrowserErr && BrowserErr->filename == lastCompilation().capture) {
        const int row = BrowserErr->currentIndex().row();
        const std::vector<CompilerMessage>& all = lastCompilationMessages();
        for (size_t i = 0; i < all.size(); ++i) {
            if (all[i].row == row)
                messageIndex_ = int(i);
        }
    }
    showPlace(abs, line, column);
}

bool TFileMDIClient::showPlace(const QString& abs, int line, int column)
{
    if (!QFileInfo(abs).isFile() && onStatus)
        onStatus(QStringLiteral("The file %1 named by this message no longer exists").arg(abs));
    TFileMDIChild* target = nullptr;
    for (TFileMDIChild* c : editors()) {
        if (c->editor()->fileName() == abs)
            target = c;
    }
    if (!target) {
        if (!QFileInfo(abs).isFile())
            return false;
        CmMRUFileOpenJava(abs);
        target = currentEditor();
        if (!target || target->editor()->fileName() != abs)
            return false;
    }
    EditControl* e = target->editor();
    const QTextBlock b = e->document()->findBlockByNumber(std::max(0, line - 1));
    if (b.isValid()) {
        // The word selected, the caret at its start, where the column points
        // when it points at a word's first character.
        const TextSpan word = wordAtColumn(b.text(), column);
        QTextCursor cur(b);
        cur.setPosition(b.position() + word.end);
        cur.setPosition(b.position() + word.start, QTextCursor::KeepAnchor);
        e->setTextCursor(cur);
    }
    e->ensureCursorVisible();
    setActiveSubWindow(target);
    e->setFocus();
    return true;
}
