// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/jdks.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// JAVA_VERSION="17.0.9" from a JDK's release file.
QString releaseVersion(const QString& home)
{
    QFile f(home + QLatin1String("/release"));
    if (!f.open(QIODevice::ReadOnly) || f.size() > 1 << 20)
        return {};
    static const QRegularExpression line(QStringLiteral("^JAVA_VERSION=\"?([^\"\\s]*)\"?\\s*$"),
                                         QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = line.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}

void addOnce(QList<JdkInfo>& out, const JdkInfo& jdk)
{
    if (jdk.home.isEmpty())
        return;
    for (const JdkInfo& j : out) {
        if (j.home == jdk.home)
            return;
    }
    out.append(jdk);
}

}  // namespace

int jdkFeature(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    bool ok = false;
    int n = parts.value(0).toInt(&ok);
    if (ok && n == 1 && parts.size() > 1)
        n = parts[1].section(QLatin1Char('_'), 0, 0).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

JdkInfo jdkOfBin(const QString& bin)
{
    const QFileInfo javac(bin + QLatin1String("/javac"));
    if (!javac.exists() || !javac.isExecutable())
        return {};
    const QString real = javac.canonicalFilePath();  // /usr/bin/javac leads into its JDK
    const QFileInfo binDir(QFileInfo(real).absolutePath());
    JdkInfo jdk;
    jdk.home = QFileInfo(binDir.absolutePath()).absoluteFilePath();
    jdk.version = releaseVersion(jdk.home);
    jdk.feature = jdkFeature(jdk.version);
    return jdk;
}

QList<JdkInfo> findJdks(const QString& configuredBin, const QStringList& roots, const QString& path)
{
    QList<JdkInfo> out;
    if (!configuredBin.isEmpty())
        addOnce(out, jdkOfBin(configuredBin));
    for (const QString& root : roots) {
        const QStringList names = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names)
            addOnce(out, jdkOfBin(root + QLatin1Char('/') + name + QLatin1String("/bin")));
    }
    for (const QString& dir : path.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        addOnce(out, jdkOfBin(dir));
    return out;
}

const JdkInfo* newestJdk(const QList<JdkInfo>& jdks, int feature)
{
    const JdkInfo* best = nullptr;
    for (const JdkInfo& j : jdks) {
        if (j.feature >= feature && (!best || j.feature > best->feature))
            best = &j;
    }
    return best;
}
