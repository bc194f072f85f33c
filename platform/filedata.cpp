// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/filedata.h"

#include <QFileInfo>
#include <QStringList>

const QString FilterJava =
    "Java files (*.java)|*.java|HTML files (*.html *.htm *.shtm *.ghtm)|*.html;*.htm;*.shtm;*.ghtm|"
    "Text files (*.TXT)|*.TXT|AllFiles (*.*)|*.*|";
const QString FilterProject = "Java Project (*.JPR)|*.jpr|Maven projects (pom.xml)|pom.xml|AllFiles (*.*)|*.*|";
const QString FilterErr = "Error files (*.ERR)|*.err|AllFiles (*.*)|*.*|";

QString FileDialogRecord::qtFilter() const
{
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        QString desc = parts[i];
        QString pats = parts[i + 1];
        pats.replace(';', ' ');
        // Qt takes the patterns from the last parenthesised group of the text.
        int open = desc.lastIndexOf('(');
        if (open > 0)
            desc = desc.left(open).trimmed();
        if (pats == "*.*")
            pats = "*";
        out << QString("%1 (%2)").arg(desc, pats);
    }
    return out.join(";;");
}

QString FileDialogRecord::withDefaultExt(const QString& path) const
{
    if (path.isEmpty() || defaultExt.isEmpty())
        return path;
    if (QFileInfo(path).fileName().contains('.'))
        return path;
    return path + "." + defaultExt;
}
