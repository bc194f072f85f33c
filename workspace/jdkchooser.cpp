// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/jdkchooser.h"

#include "config/jdks.h"
#include "config/jdkswitch.h"
#include "config/toolpaths.h"
#include "platform/dialogs.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "toolchain/running/debugsession.h"
#include "toolchain/running/programprocess.h"
#include "toolchain/settings/settings.h"

#include <QDir>
#include <QStringList>

namespace {

QString describe(const JdkInfo& j)
{
    const QString version = j.version.isEmpty() ? QStringLiteral("version unknown") : j.version;
    return QStringLiteral("JDK %1    %2").arg(version, QDir::toNativeSeparators(j.home));
}

}  // namespace

void restartJavaTools()
{
    if (CompileService* s = sharedCompileService()) {
        const CompileService::State st = s->state();
        if (st == CompileService::State::Starting || st == CompileService::State::Ready) {
            s->start(ServiceSetup{CompileService::javaBinFor(javacProgram()),
                                  CompileService::jvmOptionsFor(makeargsList()), s->setup().workDir});
        }
    }
    if (DebugSession::preparedHelper() != 0) {
        if (const QString java = configuredJava(); !java.isEmpty())
            DebugSession::prepareHelper(java);
    }
}

void chooseJdk(QWidget* owner, const std::function<void(const QString&)>& status)
{
    const QList<JdkInfo> jdks = findJdks(javabin);
    if (jdks.isEmpty()) {
        dialogs().message(
            owner,
            QStringLiteral("No JDK was found on this machine (in /usr/lib/jvm or on PATH). Install one, "
                           "for instance the package openjdk-17-jdk-headless, and choose it here."),
            QString(), Buttons::Ok, Icon::Information);
        return;
    }
    const JdkInfo used = jdkOfBin(javabin);
    QStringList items;
    int current = -1;
    for (int i = 0; i < jdks.size(); ++i) {
        const bool inUse = !used.home.isEmpty() && jdks[i].home == used.home;
        items << describe(jdks[i]) + (inUse ? QStringLiteral("    (in use)") : QString());
        if (inUse)
            current = i;
    }
    const std::optional<int> chosen = dialogs().chooseItem(owner, QStringLiteral("Java Development Kit"),
                                                           QStringLiteral("&JDKs of this machine:"), items, current);
    if (!chosen || *chosen < 0 || *chosen >= jdks.size())
        return;
    const JdkInfo& jdk = jdks[*chosen];
    if (*chosen == current) {
        status(QStringLiteral("%1 is already in use").arg(describe(jdk)));
        return;
    }
    const JdkChoiceWritten w = writeJdkChoice(jdk.bin(), javahlp);
    javabin = jdk.bin();
    restartJavaTools();
    if (!w.written) {
        dialogs().message(
            owner,
            QStringLiteral("%1 is used until Brewpad ends, but it could not be kept in %2. Check "
                           "that the folder is yours and writable, then choose it again.")
                .arg(describe(jdk), w.configFile.isEmpty() ? QStringLiteral("brewpad.cfg") : w.configFile),
            QString(), Buttons::Ok, Icon::Warning);
    }
    status(QStringLiteral("%1 in use").arg(describe(jdk)));
}
