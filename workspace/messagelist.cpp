// The workspace's compiler-message window and option windows.
#include "resources/commands.h"
#include "toolchain/compile.h"
#include "toolchain/mdidlg.h"
#include "toolchain/messages.h"
#include "toolchain/settings.h"
#include "config/toolpaths.h"
#include "editor/child.h"
#include "toolchain/browser.h"
#include "workspace/client.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMdiSubWindow>

// An option window: the dialog's OK or Cancel closes the window that holds it.
QMdiSubWindow* holdOptionDialog(TFileMDIClient* client, QDialog* dlg)
{
    auto* sub = new QMdiSubWindow;
    sub->setWidget(dlg);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(dlg->windowTitle());
    sub->setAccessibleName(dlg->windowTitle());
    sub->setWindowIcon(QIcon(QStringLiteral(":/icons/world.png")));
    QObject::connect(dlg, &QDialog::finished, sub, &QMdiSubWindow::close);
    client->addSubWindow(sub);
    client->placeNewWindow(sub);
    sub->show();
    client->setActiveSubWindow(sub);
    dlg->setFocus();
    return sub;
}

void TFileMDIClient::CmJavaOptions()
{
    holdOptionDialog(this, new TCompDialog(nullptr, 700));
}

void TFileMDIClient::CmJavaArgs()
{
    holdOptionDialog(this, new TProgDialog(nullptr, 701));
}

bool TFileMDIClient::closeOther(QMdiSubWindow* w)
{
    if (auto* list = qobject_cast<TBrowserWindow*>(w->widget()))
        return list->CanClose();
    return true;
}

void TFileMDIClient::CmFileErr(const QString& fname)
{
    FileData = &FileErrData;
    if (tracebrowser == 1 && BrowserErr) {
        BrowserErr->InsFile(fname);
    } else {
        auto* list = new TBrowserWindow(this, fname);
        auto* frame = new TBrowserFrame(list);
        connect(list, &TBrowserWindow::openLocation, this, &TFileMDIClient::openLocation);
        showMessageWindow(frame);
        BrowserErr = list;
        BrowserFrame = frame;
        tracebrowser = 1;
    }
    // The messages of a compilation keep the directory its compiler ran in.
    const CompilationRecord& last = lastCompilation();
    BrowserErr->setProperty(CompilerDirectoryProperty, last.capture == fname ? last.directory : curdir);
    if (onStatus) {
        // The compiler's own summary lines stand at the end of its output.
        QStringList tail;
        const int n = BrowserErr->GetCount();
        for (int i = std::max(0, n - 20); i < n; ++i)
            tail << BrowserErr->GetString(i);
        const MessageSummary s = summarizeMessages(tail);
        onStatus(summaryText(s));
    }
}

void TFileMDIClient::buildCompileCommands()
{
    table_.on(cmd::StopCompiling, [this] { CmStopCompiling(); });
    table_.enabler(cmd::StopCompiling, [](CommandState& s) { s.enabled = JavacRunner::active() != nullptr; });
    table_.on(cmd::CompilerMessages, [this] { CmCompilerMessages(); });
    table_.enabler(cmd::CompilerMessages,
                   [](CommandState& s) { s.enabled = !lastCompilation().capture.isEmpty(); });
}

void TFileMDIClient::CmStopCompiling()
{
    if (JavacRunner* r = JavacRunner::active())
        r->stop();
}

void TFileMDIClient::CmCompilerMessages()
{
    const QString capture = lastCompilation().capture;
    if (!capture.isEmpty())
        CmFileErr(capture);
}
