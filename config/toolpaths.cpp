// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/toolpaths.h"

QString javabin;
QString javahlp;
QString temp;
QString doscmd;
QString homedir;
QString curdir;

void resetToolPaths()
{
    javabin.clear();
    javahlp.clear();
    temp.clear();
    doscmd.clear();
    homedir.clear();
    curdir.clear();
}
