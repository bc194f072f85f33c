// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/javahelp.h"

#include "config/toolpaths.h"
#include "platform/dialogs.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

void showJavaHelp(QWidget* owner)
{
    if (javahlp.isEmpty()) {
        dialogs().message(owner,
                          QStringLiteral("java help files not configured!!\n delete config file, and rerun ide"),
                          QStringLiteral("no java help files"));
        return;
    }
    // The API documentation's start page lies beside its element list.
    const QString index = QFileInfo(javahlp).absolutePath() + QStringLiteral("/index.html");
    const QString page = QFileInfo::exists(index) ? index : javahlp;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(page)))
        return;
    dialogs().message(owner,
                      QStringLiteral("No browser could be started to show the Java help page\n%1\n\nOpen that "
                                     "page in a web browser, or install a browser and the desktop's opener "
                                     "for web pages (xdg-open, in the package xdg-utils).")
                          .arg(page),
                      QString(), Buttons::Ok, Icon::Warning);
}
