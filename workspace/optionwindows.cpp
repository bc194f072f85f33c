// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/optionwindows.h"

#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/settings/optiondialogs.h"
#include "workspace/workspace.h"
#include "workspace/windowplacement.h"

#include <QIcon>
#include <QMdiSubWindow>

OptionWindows::OptionWindows(TFileMDIClient& workspace) : QObject(&workspace), ws_(workspace) {}

void OptionWindows::hold(QDialog* dlg)
{
    auto* sub = new QMdiSubWindow;
    sub->setWidget(dlg);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(dlg->windowTitle());
    sub->setAccessibleName(dlg->windowTitle());
    sub->setWindowIcon(QIcon(QStringLiteral(":/icons/world.png")));
    QObject::connect(dlg, &QDialog::finished, sub, &QMdiSubWindow::close);
    ws_.addSubWindow(sub);
    ws_.placement().place(sub);
    sub->show();
    ws_.setActiveSubWindow(sub);
    dlg->setFocus();
}

void OptionWindows::javaOptions()
{
    auto* dlg = new TCompDialog(nullptr, 700);
    connect(dlg, &QDialog::accepted, this, [] {
        CompileService* s = sharedCompileService();
        if (s && s->state() != CompileService::State::Stopped)
            startCompileService(s->parent(), s->setup().workDir);
    });
    hold(dlg);
}

void OptionWindows::programArguments()
{
    hold(new TProgDialog(nullptr, 701));
}
