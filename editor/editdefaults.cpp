// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editdefaults.h"

#include "editor/editcontrol.h"

#include <QApplication>
#include <QFontDatabase>

namespace {
bool g_insertToggle = false;
}  // namespace

bool insertToggleOn()
{
    return g_insertToggle;
}

void setInsertToggle(bool on)
{
    g_insertToggle = on;
    for (QWidget* w : QApplication::allWidgets()) {
        if (auto* e = qobject_cast<EditControl*>(w))
            e->setOverwriteMode(on);
    }
}

QFont GetLogFont()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

QTextCharFormat readTextFormat()
{
    QTextCharFormat cf;
    cf.setFont(GetLogFont(), QTextCharFormat::FontPropertiesAll);
    return cf;
}
