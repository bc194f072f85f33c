// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/mainframe.h"

#include "platform/dialogs.h"
#include "platform/nativepath.h"
#include "resources/commands.h"
#include "workspace/workspace.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>

TMainFrame::TMainFrame(TFileMDIClient* client) : client_(client)
{
    setWindowTitle(AppName);
    setAccessibleName(AppName);
    setCentralWidget(client);
    setAcceptDrops(true);
    setWindowIcon(QIcon(QStringLiteral(":/icons/brewpad.png")));
    table_.on(cmd::Exit, [this] { close(); });
}

void TMainFrame::closeEvent(QCloseEvent* e)
{
    if (client_->canCloseAll())
        e->accept();
    else
        e->ignore();
}

void TMainFrame::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void TMainFrame::dropEvent(QDropEvent* e)
{
    for (const QUrl& u : e->mimeData()->urls()) {
        if (u.isLocalFile())
            client_->openDropped(nativepath::localFile(u));
    }
    e->acceptProposedAction();
}
