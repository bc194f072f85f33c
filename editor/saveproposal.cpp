// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/saveproposal.h"

#include "javatext/javatypename.h"
#include "javatext/javasource.h"
#include "platform/filedata.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The folder of the first entry of a project's text that names one; empty
// when none does.
QString firstEntryFolder(const QString& text)
{
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString entry = line.trimmed();
        if (entry.isEmpty() || line.startsWith(QLatin1Char('#')) || !QDir::isAbsolutePath(entry))
            continue;
        const QString folder = QFileInfo(entry).absolutePath();
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QString();
}

}  // namespace

void proposeSaveName(FileDialogRecord& rec, const QString& text)
{
    rec.fileName.clear();
    if (rec.defaultExt == QLatin1String("jpr")) {
        const QString folder = firstEntryFolder(text);
        if (!folder.isEmpty())
            rec.initialDir = folder;
        return;
    }
    if (rec.defaultExt != javatext::sourceExtension)
        return;
    const QString type = publicTypeName(text);
    if (type.isEmpty())
        return;
    const QString name = javatext::sourceFileName(type);
    rec.fileName = rec.initialDir.isEmpty() ? name : QDir(rec.initialDir).filePath(name);
}
