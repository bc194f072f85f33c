// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicescratch.h"

#include "platform/host.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace {

const QString kPrefix = QStringLiteral("service-");

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

ServiceScratch::ServiceScratch()
{
    QString error;
    QString parent = host::captureDir(&error);
    if (parent.isEmpty())
        parent = QDir::tempPath();
    removeLeftOvers(parent);
    dir_ = std::make_unique<QTemporaryDir>(parent + QLatin1Char('/') + kPrefix +
                                           QString::number(QCoreApplication::applicationPid()) +
                                           QStringLiteral("-XXXXXX"));
}

ServiceScratch::~ServiceScratch() = default;

bool ServiceScratch::isValid() const
{
    return dir_ && dir_->isValid();
}

QString ServiceScratch::path() const
{
    return isValid() ? dir_->path() : QString();
}

void ServiceScratch::removeLeftOvers(const QString& parent)
{
    const QDir dir(parent);
    const QStringList names = dir.entryList({kPrefix + QLatin1Char('*')},
                                            QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : names) {
        bool ok = false;
        const qint64 pid = name.mid(kPrefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
        const QFileInfo fi(dir.filePath(name));
        if (!ok || processRuns(pid) || fi.isSymLink() || fi.ownerId() != ::getuid())
            continue;
        QDir(fi.filePath()).removeRecursively();
    }
}
