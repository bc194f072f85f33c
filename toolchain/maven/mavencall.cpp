// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/maven/mavencall.h"

#include "toolchain/running/programprocess.h"

#include <QFileInfo>
#include <QTimer>

namespace {

const char kDebianSettings[] = "/etc/maven/settings-debian.xml";

}  // namespace

QStringList mavenBuildArgs()
{
    QStringList a{QStringLiteral("-o"), QStringLiteral("-B")};
    if (QFileInfo::exists(QLatin1String(kDebianSettings)))
        a << QStringLiteral("-s") << QLatin1String(kDebianSettings);
    a << QStringLiteral("package");
    return a;
}

MavenCall::MavenCall(QObject* parent) : QObject(parent) {}

MavenCall::~MavenCall()
{
    delete process_;  // ends the whole group
}

bool MavenCall::running() const
{
    return process_ && process_->running();
}

qint64 MavenCall::processId() const
{
    return running() ? process_->processId() : 0;
}

bool MavenCall::start(const QString& mvn, const QStringList& args, const QString& workDir)
{
    if (running())
        return false;
    output_.clear();
    stopped_ = false;
    if (mvn.isEmpty()) {
        output_ = "Maven (mvn) was not found: install the package maven.";
        QTimer::singleShot(0, this, [this] { emit finished(QString::fromLocal8Bit(output_), -1, false); });
        return false;
    }
    delete process_;
    process_ = new ProgramProcess(this);
    auto take = [this](const QByteArray& chunk) {
        output_ += chunk;
        emit outputArrived(chunk);
    };
    connect(process_, &ProgramProcess::standardOutput, this, take);
    connect(process_, &ProgramProcess::standardError, this, take);
    connect(process_, &ProgramProcess::ended, this,
            [this](const QString&, bool bySignal, int code) { onEnded(bySignal, code); });
    connect(process_, &ProgramProcess::failed, this, [this](const QString& reason) {
        output_ += reason.toLocal8Bit();
        emit finished(QString::fromLocal8Bit(output_), -1, false);
    });
    process_->start(ProgramCommand{mvn, args, workDir});
    process_->closeInput();
    return true;
}

void MavenCall::stop()
{
    if (!running())
        return;
    stopped_ = true;
    process_->stop();
}

void MavenCall::onEnded(bool bySignal, int code)
{
    // The forked JVMs of the group end with the leader.
    process_->stop();
    emit finished(QString::fromLocal8Bit(output_), bySignal ? -1 : code, stopped_);
}
