// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicerequest.h"

#include <QDir>
#include <QFile>

namespace {

bool isSource(const QString& arg)
{
    return !arg.startsWith(QLatin1Char('-')) && (arg.endsWith(QLatin1String(".java"), Qt::CaseInsensitive) ||
                                                 arg.endsWith(QLatin1String(".jav"), Qt::CaseInsensitive));
}

}  // namespace

QByteArray serviceRequestKey(char kind, const QString& workDir, const QStringList& options)
{
    QByteArray key(1, kind);
    key += QFile::encodeName(QDir::cleanPath(workDir));
    for (const QString& o : options) {
        if (!isSource(o))
            key += '\0' + QFile::encodeName(o);
    }
    return key;
}
