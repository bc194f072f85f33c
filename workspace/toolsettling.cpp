// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/toolsettling.h"

#include "config/search.h"
#include "config/waitwindow.h"
#include "platform/dialogs.h"
#include "platform/startuptrace.h"
#include "toolchain/compiling/javacrunner.h"

ToolSettling::ToolSettling() : tf_(std::make_unique<toolsfind>()) {}

ToolSettling::~ToolSettling() = default;

void ToolSettling::settle()
{
    // The wait window stays painted while the configuration is read or the
    // volumes are searched for the Java tools.
    startuptrace::mark("settling");
    {
        TConfigWindow wait;
        wait.show();
        startuptrace::mark("wait-window");
        tf_->setProgress(wait.progress());
        tf_->setfiles();
        tf_->setProgress({});
        wait.close();
    }
    startuptrace::mark("tools-settled");
    dialogs().message(nullptr, envReport(*tf_), QString(), Buttons::Ok, Icon::Information);
}

void ToolSettling::prepareCompileService(QObject* owner, const QString& dir)
{
    if (tf_->mayRunAtStart())
        startCompileService(owner, dir);
    else {
        holdCompileServiceUntilCompile(true);
        makeCompileService(owner);  // the first compilation starts it
    }
}
