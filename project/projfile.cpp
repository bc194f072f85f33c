// Reading Java project files.
#include "project/projfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Calls f(line) for each line of `contents`, split at LF, with a CR just
// before the LF dropped. A last line without LF counts when it is not empty.
template <class F>
void forEachLine(const QByteArray& contents, F f)
{
    qsizetype start = 0;
    const qsizetype n = contents.size();
    while (start < n) {
        qsizetype lf = contents.indexOf('\n', start);
        qsizetype end = lf < 0 ? n : lf;
        qsizetype stop = end;
        if (lf >= 0 && stop > start && contents.at(stop - 1) == '\r')
            --stop;
        f(QByteArrayView(contents.constData() + start, stop - start));
        if (lf < 0)
            break;
        start = lf + 1;
    }
}

}  // namespace

bool readProjectFile(const QString& path, QByteArray* out)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (out)
        *out = std::move(bytes);
    return true;
}

QStringList projectScanPaths(const QByteArray& contents)
{
    QStringList paths;
    forEachLine(contents, [&](QByteArrayView line) {
        if (line.isEmpty() || line.front() == '#')
            return;
        qsizetype i = 0;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        if (i == line.size())
            return;
        paths << QFile::decodeName(line.sliced(i).toByteArray());
    });
    return paths;
}

QStringList projectCompileEntries(const QByteArray& contents)
{
    QStringList entries;
    forEachLine(contents, [&](QByteArrayView line) {
        if (line.isEmpty() || line.front() == '#')
            return;
        entries << QFile::decodeName(line.toByteArray());
    });
    return entries;
}
