// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/servicesource.h"

#include "editor/sourcedocument.h"
#include "javatext/javasource.h"

#include <QDir>
#include <QFileInfo>

QString serviceFolderOf(const SourceDocument& source)
{
    return source.fileName().isEmpty() ? QDir::currentPath() : QFileInfo(source.fileName()).absolutePath();
}

QString serviceSourceName(const SourceDocument& source)
{
    return source.fileName().isEmpty()
               ? serviceFolderOf(source) + QLatin1Char('/') + javatext::sourceFileName(QStringLiteral("Untitled"))
               : source.fileName();
}
