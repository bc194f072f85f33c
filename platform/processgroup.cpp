// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/processgroup.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>

namespace {

// The state letter and the group of process `pid` from /proc/`pid`/stat
// ("pid (name) S ppid pgrp ..."; the name may hold spaces and parentheses).
bool readStat(const QString& pid, char* state, long* group)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = f.read(4096);
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return false;
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    if (fields.size() < 3 || fields[0].isEmpty())
        return false;
    *state = fields[0][0];
    bool ok = false;
    *group = fields[2].toLong(&ok);
    return ok;
}

}  // namespace

bool processGroupHasMembers(pid_t group)
{
    if (group <= 0)
        return false;
    if (::kill(-group, 0) != 0 && errno == ESRCH)
        return false;
    // Members that ended but are not reaped yet answer kill() too: look for a live one.
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& pid : pids) {
        char state = 0;
        long g = 0;
        if (pid.front().isDigit() && readStat(pid, &state, &g) && g == group && state != 'Z' && state != 'X')
            return true;
    }
    return false;
}

bool endProcessGroup(pid_t group)
{
    return processGroupHasMembers(group) && ::kill(-group, SIGKILL) == 0;
}
