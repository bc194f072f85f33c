// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/shippedfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

QString shippedFile(const QString& fileName, const QString& relativeToProgram, const QString& installed)
{
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    QStringList places;
    if (!dir.isEmpty()) {
        places << dir + QLatin1Char('/') + fileName;
        if (!relativeToProgram.isEmpty())
            places << QDir::cleanPath(dir + QLatin1Char('/') + relativeToProgram);
    }
    if (!installed.isEmpty())
        places << installed;
    for (const QString& p : places) {
        if (QFileInfo(p).isFile())
            return p;
    }
    return QString();
}
