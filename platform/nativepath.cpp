// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/nativepath.h"

#include "platform/nativename.h"

#include <QDir>
#include <QFile>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nativepath {

Info info(const QString& path)
{
    Info i;
    struct stat st;
    if (path.isEmpty() || ::stat(nativename::encode(path).constData(), &st) != 0)
        return i;
    i.exists = true;
    i.isFile = S_ISREG(st.st_mode);
    i.isDir = S_ISDIR(st.st_mode);
    i.size = qint64(st.st_size);
    return i;
}

QString canonical(const QString& path)
{
    const QString abs = absolute(path);
    if (abs.isEmpty())
        return abs;
    char* real = ::realpath(nativename::encode(abs).constData(), nullptr);
    if (!real)
        return abs;
    const QString out = nativename::decode(QByteArrayView(real));
    ::free(real);
    return out;
}

QString currentDir()
{
    QByteArray buf(4096, Qt::Uninitialized);
    while (::getcwd(buf.data(), size_t(buf.size())) == nullptr) {
        if (errno != ERANGE || buf.size() > (1 << 20))
            return QDir::currentPath();
        buf.resize(buf.size() * 2);
    }
    return nativename::decode(QByteArrayView(buf.constData()));
}

QString absolute(const QString& path, const QString& base)
{
    if (path.isEmpty())
        return path;
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    return QDir::cleanPath((base.isEmpty() ? currentDir() : base) + QLatin1Char('/') + path);
}

QString localFile(const QUrl& url)
{
    if (!url.isLocalFile() || !url.host().isEmpty())
        return url.toLocalFile();
    return nativename::decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

namespace {

// The one entry of `dir` whose name Qt decodes to `lossy`, decoded without a
// loss; empty when there is none or more than one.
QString entryDecodedAs(const QString& dir, const QString& lossy)
{
    DIR* d = ::opendir(nativename::encode(dir).constData());
    if (!d)
        return QString();
    QString found;
    int count = 0;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (QFile::decodeName(name) == lossy) {
            found = nativename::decode(name);
            ++count;
        }
    }
    ::closedir(d);
    return count == 1 ? found : QString();
}

}  // namespace

QString recoverLossyName(const QString& path)
{
    const QChar lost(QChar::ReplacementCharacter);
    if (!path.contains(lost) || !path.startsWith(QLatin1Char('/')) || info(path).exists)
        return path;
    const QStringList parts = QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString at;
    for (const QString& part : parts) {
        QString next = at + QLatin1Char('/') + part;
        if (part.contains(lost) && !info(next).exists) {
            const QString entry = entryDecodedAs(at.isEmpty() ? QStringLiteral("/") : at, part);
            if (!entry.isEmpty())
                next = at + QLatin1Char('/') + entry;
        }
        at = next;
    }
    return at.isEmpty() ? path : at;
}

}  // namespace nativepath
