// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/maven/mavenprobe.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace {

const char kDebianSettings[] = "/etc/maven/settings-debian.xml";

QStringList listValue(const QString& v)
{
    QString s = v.trimmed();
    if (s.startsWith(QLatin1Char('[')) && s.endsWith(QLatin1Char(']')))
        s = s.mid(1, s.size() - 2);
    QStringList out;
    for (const QString& part : s.split(QStringLiteral(", "), Qt::SkipEmptyParts))
        out << part.trimmed();
    return out;
}

// The artifacts of scope test in the project's dependency tree, as
// "/artifact/version/artifact-version" (how they lie in a repository).
QStringList testScopedJars(const QStringList& lines)
{
    static const QRegularExpression dep(
        QStringLiteral("^\\[DEBUG\\]\\s+[^:\\s]+:([^:\\s]+):[^:\\s]+:([^:\\s]+):test\\b"));
    QStringList out;
    for (const QString& l : lines) {
        const QRegularExpressionMatch m = dep.match(l);
        if (m.hasMatch())
            out << QStringLiteral("/%1/%2/%1-%2").arg(m.captured(1), m.captured(2));
    }
    return out;
}

QString failureText(const QStringList& lines, QString* unresolved)
{
    static const QRegularExpression artifact(QStringLiteral("the artifact (\\S+) has not been downloaded"));
    static const QRegularExpression notFound(QStringLiteral("Could not (?:find|resolve) artifact (\\S+)"));
    QString firstError;
    for (const QString& l : lines) {
        for (const QRegularExpression* re : {&artifact, &notFound}) {
            const QRegularExpressionMatch m = re->match(l);
            if (m.hasMatch() && unresolved->isEmpty())
                *unresolved = m.captured(1);
        }
        if (firstError.isEmpty() && l.startsWith(QLatin1String("[ERROR] ")))
            firstError = l.mid(8).trimmed();
    }
    if (!unresolved->isEmpty())
        return QStringLiteral(
                   "Maven cannot resolve %1 offline: it is not in the local repository "
                   "(/usr/share/maven-repo). Install the Debian package that provides it, or use "
                   "the version that is installed (often \"debian\") in pom.xml.")
            .arg(*unresolved);
    return firstError.isEmpty() ? QStringLiteral("Maven failed without saying why.")
                                : QStringLiteral("Maven failed: %1").arg(firstError);
}

}  // namespace

QStringList mavenProbeArgs(const QString& pomPath)
{
    QStringList a{QStringLiteral("-o"), QStringLiteral("-B"), QStringLiteral("-X")};
    if (QFileInfo::exists(QLatin1String(kDebianSettings)))
        a << QStringLiteral("-s") << QLatin1String(kDebianSettings);
    a << QStringLiteral("-f") << pomPath << QStringLiteral("-Dmaven.main.skip=true")
      << QStringLiteral("-Dmaven.test.skip=true") << QStringLiteral("test-compile");
    return a;
}

MavenAnswer readMavenAnswer(const QString& output, int exitCode)
{
    MavenAnswer a;
    const QStringList lines = output.split(QLatin1Char('\n'));
    if (exitCode != 0) {
        a.error = failureText(lines, &a.unresolved);
        return a;
    }
    static const QRegularExpression field(QStringLiteral("^\\[DEBUG\\]\\s+\\(f\\) (\\w+) = (.*)$"));
    int compileMojo = 0;  // 1 in the compile mojo, 2 in testCompile
    for (const QString& raw : lines) {
        const QString l = raw.trimmed();
        if (l.contains(QLatin1String("Configuring mojo"))) {
            const bool compiler = l.contains(QLatin1String("maven-compiler-plugin"));
            compileMojo = !compiler ? 0 : l.contains(QLatin1String(":testCompile")) ? 2 : 1;
        }
        const QRegularExpressionMatch m = field.match(l);
        if (!m.hasMatch() || !compileMojo)
            continue;
        const QString name = m.captured(1), value = m.captured(2);
        if (name == QLatin1String("compileSourceRoots"))
            (compileMojo == 1 ? a.layout.sourceRoots : a.layout.testSourceRoots) = listValue(value);
        else if (name == QLatin1String("outputDirectory"))
            (compileMojo == 1 ? a.layout.outputDir : a.layout.testOutputDir) = value.trimmed();
        else if (name == QLatin1String("testPath") && compileMojo == 2)
            a.layout.testClassPath = listValue(value);
    }
    const QStringList testJars = testScopedJars(lines);
    for (const QString& e : a.layout.testClassPath) {
        const bool testOnly = e == a.layout.testOutputDir ||
                              std::any_of(testJars.begin(), testJars.end(),
                                          [&](const QString& j) { return e.contains(j); });
        if (!testOnly)
            a.layout.classPath << e;
    }
    a.ok = !a.layout.outputDir.isEmpty() && !a.layout.testClassPath.isEmpty();
    if (!a.ok)
        a.error = QStringLiteral("Maven's answer named no output folder or class path.");
    return a;
}

MavenProbe::MavenProbe(QString mvn) : mvn_(std::move(mvn)) {}

bool MavenProbe::hasAnswer(const QString& pomPath) const
{
    const QFileInfo fi(pomPath);
    const auto it = kept_.constFind(fi.absoluteFilePath());
    return it != kept_.cend() && it->modified == fi.lastModified() && it->size == fi.size();
}

MavenAnswer MavenProbe::keptAnswer(const QString& pomPath) const
{
    return hasAnswer(pomPath) ? kept_.value(QFileInfo(pomPath).absoluteFilePath()).answer : MavenAnswer{};
}

void MavenProbe::keep(const QString& pomPath, const MavenAnswer& answer)
{
    const QFileInfo fi(pomPath);
    kept_.insert(fi.absoluteFilePath(), Kept{fi.lastModified(), fi.size(), answer});
}

QString MavenProbe::program() const
{
    return mvn_.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("mvn")) : mvn_;
}

MavenAnswer MavenProbe::ask(const QString& pomPath, int timeoutMs)
{
    const QString key = QFileInfo(pomPath).absoluteFilePath();
    if (hasAnswer(key))
        return keptAnswer(key);
    const MavenAnswer a = run(key, timeoutMs);
    keep(key, a);
    return a;
}

MavenAnswer MavenProbe::run(const QString& pomPath, int timeoutMs)
{
    MavenAnswer a;
    if (!QFileInfo(pomPath).isFile()) {
        a.error = QStringLiteral("%1 does not exist.").arg(pomPath);
        return a;
    }
    const QString mvn = program();
    if (mvn.isEmpty()) {
        a.error = QStringLiteral("Maven (mvn) was not found: install the package maven.");
        return a;
    }
    QProcess p;
    p.setWorkingDirectory(QFileInfo(pomPath).absolutePath());
    p.setProcessChannelMode(QProcess::MergedChannels);
    ++calls_;
    p.start(mvn, mavenProbeArgs(pomPath));
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        a.error = QStringLiteral("Maven did not answer: %1").arg(p.errorString());
        return a;
    }
    const bool crashed = p.exitStatus() != QProcess::NormalExit;
    return readMavenAnswer(QString::fromLocal8Bit(p.readAll()), crashed ? -1 : p.exitCode());
}
