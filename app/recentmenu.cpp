// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recentmenu.h"

#include "app/inistore.h"
#include "platform/dialogs.h"
#include "platform/nativename.h"
#include "platform/nativepath.h"
#include "resources/commands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

RecentMenu::RecentMenu(const QString& iniFile, QObject* parent) : QObject(parent)
{
    ini_ = std::make_unique<IniStore>(QFileInfo(iniFile).absoluteFilePath());
    recent_ = std::make_unique<RecentFiles>(*ini_, 8);
}

RecentMenu::~RecentMenu()
{
    recent_.reset();
    ini_.reset();
}

void RecentMenu::attach(QMenu* menu, QAction* before)
{
    menu_ = menu;
    before_ = before;
    before_->setVisible(false);
    connect(menu, &QMenu::aboutToShow, this, &RecentMenu::fill);
}

void RecentMenu::fill()
{
    for (QAction* a : actions_) {
        menu_->removeAction(a);
        a->deleteLater();
    }
    actions_.clear();
    const QStringList list = recent_->entries();
    for (int i = 0; i < list.size(); ++i) {
        auto* a = new QAction(mruCaption(i, nativename::shown(list[i])), menu_);
        a->setData(cmd::MruFirst + i);
        a->setToolTip(nativename::shown(list[i]));
        connect(a, &QAction::triggered, this, [this, i] { select(i); });
        menu_->insertAction(before_, a);
        actions_ << a;
    }
    before_->setVisible(!list.isEmpty());
}

void RecentMenu::add(const QString& path)
{
    if (path.isEmpty())
        return;
    recent_->add(path, !held_);
}

void RecentMenu::hold(bool on)
{
    if (held_ && !on)
        ini_->flush();
    held_ = on;
}

void RecentMenu::select(int index)
{
    const QStringList list = recent_->entries();
    if (index < 0 || index >= list.size())
        return;
    const QString path = list[index];
    if (!nativepath::info(path).isFile) {
        recent_->remove(path);
        ini_->flush();
        dialogs().message(dialogParent_,
                          QStringLiteral("The file %1 no longer exists. It has been removed from the list of "
                                         "recent files.")
                              .arg(nativename::shown(path)),
                          QString(), Buttons::Ok, Icon::Warning);
        return;
    }
    if (QFileInfo(path).suffix().compare(QLatin1String("jpr"), Qt::CaseInsensitive) == 0 ||
        QFileInfo(path).fileName() == QLatin1String("pom.xml"))
        emit openProject(path);
    else
        emit openSource(path);
}
