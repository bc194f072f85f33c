// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicerequest.h"

#include "javatext/javasource.h"

#include <QDir>
#include <QFile>

QByteArray serviceRequestKey(char kind, const QString& workDir, const QStringList& options)
{
    QByteArray key(1, kind);
    key += QFile::encodeName(QDir::cleanPath(workDir));
    for (const QString& o : options) {
        if (!javatext::namesSource(o))
            key += '\0' + QFile::encodeName(o);
    }
    return key;
}
