// SPDX-License-Identifier: GPL-3.0-or-later
// Reading Java project files.
#include "project/projfile.h"

#include "platform/host.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool readProjectFile(const QString& path, QByteArray* out)
{
    // Only a regular file, never with a blocking open.
    QFile file;
    if (host::openRegular(path, file) != host::FileKind::Regular)
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (out)
        *out = std::move(bytes);
    return true;
}

QStringList projectCompileEntries(const QByteArray& contents)
{
    // The lines, split at LF, a CR at the end of a line dropped (before its LF,
    // or at the end of a last line without LF, which counts too).
    QStringList entries;
    qsizetype start = 0;
    const qsizetype n = contents.size();
    while (start < n) {
        const qsizetype lf = contents.indexOf('\n', start);
        qsizetype stop = lf < 0 ? n : lf;
        if (stop > start && contents.at(stop - 1) == '\r')
            --stop;
        if (stop > start && contents.at(start) != '#')
            entries << QFile::decodeName(contents.sliced(start, stop - start));
        if (lf < 0)
            break;
        start = lf + 1;
    }
    return entries;
}

QStringList projectScanPaths(const QByteArray& contents)
{
    QStringList paths;
    for (const QString& entry : projectCompileEntries(contents)) {
        qsizetype i = 0;
        while (i < entry.size() && (entry[i] == QLatin1Char(' ') || entry[i] == QLatin1Char('\t')))
            ++i;
        if (i < entry.size())
            paths << entry.sliced(i);
    }
    return paths;
}
