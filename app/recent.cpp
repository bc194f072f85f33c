// SPDX-License-Identifier: GPL-3.0-or-later
// The recent-file list of the File menu, kept in Brewpad.ini.
#include "app/brewpad.h"

#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"
#include "resources/commands.h"
#include "app/inistore.h"
#include "workspace/client.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QTimer>

void TMDIFileApp::initRecentFiles()
{
    // The store is set up before any window exists; its capacity is written at once.
    ini_ = std::make_unique<IniStore>(QFileInfo(options_.iniFile).absoluteFilePath());
    recent_ = std::make_unique<RecentFiles>(*ini_, 8);
}

void TMDIFileApp::fillRecentFiles()
{
    for (QAction* a : recentActions_) {
        fileMenu_->removeAction(a);
        a->deleteLater();
    }
    recentActions_.clear();
    const QStringList list = recent_->entries();
    for (int i = 0; i < list.size(); ++i) {
        auto* a = new QAction(mruCaption(i, nativename::shown(list[i])), fileMenu_);
        a->setData(cmd::MruFirst + i);
        a->setToolTip(nativename::shown(list[i]));
        connect(a, &QAction::triggered, this, [this, i] { EvFileSelected(i); });
        fileMenu_->insertAction(exitSeparator_, a);
        recentActions_ << a;
    }
    exitSeparator_->setVisible(!list.isEmpty());
}

void TMDIFileApp::addRecent(const QString& path)
{
    if (path.isEmpty())
        return;
    recent_->add(path, !recentHeld_);
}

void TMDIFileApp::holdRecentFiles(bool hold)
{
    if (recentHeld_ && !hold && ini_)
        ini_->flush();
    recentHeld_ = hold;
}

void TMDIFileApp::EvFileSelected(int index)
{
    const QStringList list = recent_->entries();
    if (index < 0 || index >= list.size())
        return;
    const QString path = list[index];
    if (!nativepath::info(path).isFile) {
        recent_->remove(path);
        ini_->flush();
        dialogs().message(Frame,
                          QStringLiteral("The file %1 no longer exists. It has been removed from the list of "
                                         "recent files.")
                              .arg(nativename::shown(path)),
                          QString(), Buttons::Ok, Icon::Warning);
        return;
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("jpr"), Qt::CaseInsensitive) == 0)
        Client->CmOpenJavaProjFile(path);
    else
        Client->CmMRUFileOpenJava(path);
}
