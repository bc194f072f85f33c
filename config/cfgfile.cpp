// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/cfgfile.h"

#include "platform/host.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

namespace cfgfile {

QByteArray encodeLength(qint32 n)
{
    const quint32 u = static_cast<quint32>(n);
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((u >> (8 * i)) & 0xff);
    return b;
}

qint32 decodeLength(const char* p)
{
    quint32 u = 0;
    for (int i = 3; i >= 0; --i)
        u = (u << 8) | static_cast<unsigned char>(p[i]);
    return static_cast<qint32>(u);
}

QByteArray encodeRecord(const QString& value)
{
    const QByteArray text = QFile::encodeName(value);
    return encodeLength(static_cast<qint32>(text.size())) + text;
}

std::optional<QString> readRecord(const QByteArray& data, qsizetype& pos)
{
    if (pos < 0 || data.size() - pos < 4)
        return std::nullopt;
    const qint32 n = decodeLength(data.constData() + pos);
    if (n < 0 || n > MaxRecordLength || data.size() - pos - 4 < n)
        return std::nullopt;
    QString value = QFile::decodeName(data.mid(pos + 4, n));
    pos += 4 + n;
    return value;
}

static QString in(const QString& dir)
{
    return dir + host::separator() + QLatin1String(FileName);
}

static QStringList placesFromEnvironment()
{
    QStringList places;
    const QString conf = host::configDir();
    if (!conf.isEmpty())
        places << conf;
    for (const char* var : {"TEMP", "TMP"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty())
            places << v;
    }
    return places;
}

QStringList candidates()
{
    QStringList c;
    for (const QString& dir : placesFromEnvironment())
        c << in(dir);
    c << in(QDir::currentPath());
    return c;
}

Standing standing(const QString& path, QString* reason)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (path.isEmpty() || lstat(native.constData(), &st) != 0)
        return Standing::Absent;
    const bool link = S_ISLNK(st.st_mode);
    QString why;
    if (link && stat(native.constData(), &st) != 0) {
        host::linkStanding(path, &why);  // a link that leads nowhere, perhaps another user's
    } else if (st.st_uid != getuid()) {
        why = QStringLiteral("owned by another user");
    } else if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        why = QStringLiteral("group or others may write to it");
    } else if (link) {
        host::linkStanding(path, &why);  // every link of the way the user's own
    }
    if (why.isEmpty())
        return Standing::Usable;
    if (reason)
        *reason = why;
    return Standing::Refused;
}

QString newLocation(QString* homedir)
{
    const QStringList places = placesFromEnvironment() << QDir::currentPath();
    for (qsizetype i = 0; i < places.size(); ++i) {
        const QString file = in(places[i]);
        if (standing(file) == Standing::Refused)
            continue;
        if (i == places.size() - 1 && homedir)
            *homedir = places[i];
        return file;
    }
    return QString();
}

Load load(const QString& path, QByteArray& data)
{
    data.clear();
    // Only a regular file is read: a directory, FIFO or device of that name is
    // treated as a file that cannot be opened, and nothing waits on it.
    QFile f;
    if (host::openRegular(path, f) != host::FileKind::Regular)
        return Load::Unreadable;
    data = f.read(2 * (4 + qint64(MaxRecordLength)));
    return data.isEmpty() ? Load::Empty : Load::Data;
}

bool save(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty() || standing(path) == Standing::Refused)
        return false;
    struct stat st;
    if (stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode))
        return false;  // a directory, FIFO or device is never replaced
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir))
        return false;
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // Whatever the umask or the old file's mode: a file that others may
    // write would be refused at the next start.
    f.setPermissions(f.permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

}  // namespace cfgfile
