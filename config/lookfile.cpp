// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/lookfile.h"

#include "config/cfgfile.h"
#include "platform/host.h"

#include <QFile>
#include <QFileInfo>

namespace lookfile {

namespace {

// A file larger than this is not one of Brewpad's.
constexpr qint64 MaxBytes = 64 * 1024;

}  // namespace

QString defaultPath()
{
    const QString dir = host::configDir();
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/look.ini");
}

QByteArray encode(colours::Choice choice)
{
    return QByteArray("# Brewpad's colours: follow (the desktop's), light or dark.\ncolours ") +
           colours::choiceWord(choice) + '\n';
}

colours::Choice decode(const QByteArray& bytes)
{
    colours::Choice choice = colours::Choice::FollowDesktop;
    for (const QByteArray& line : bytes.split('\n')) {
        const QByteArray l = line.trimmed();
        if (l.startsWith("colours "))
            choice = colours::choiceFromWord(QString::fromLatin1(l.mid(8)));
    }
    return choice;
}

colours::Choice read(const QString& path)
{
    // Only a regular file: a FIFO of that name would never answer.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return colours::Choice::FollowDesktop;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > MaxBytes)
        return colours::Choice::FollowDesktop;
    return decode(f.read(MaxBytes));
}

bool write(const QString& path, colours::Choice choice)
{
    return !path.isEmpty() && cfgfile::save(path, encode(choice));
}

}  // namespace lookfile
