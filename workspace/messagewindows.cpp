// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/messagewindows.h"

#include "toolchain/messages/browser.h"
#include "workspace/client.h"

void raiseMessageWindowOf(TFileMDIClient& workspace, QWidget* content, bool activate)
{
    auto* frame = qobject_cast<TBrowserFrame*>(content->parentWidget());
    if (!frame)
        return;
    frame->show();
    frame->raise();
    if (activate)
        workspace.bringToFront(frame);
}
