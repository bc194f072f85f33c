// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/maven/mavenloader.h"

#include "toolchain/classify/classify.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>

#include <algorithm>

namespace {

QString joined(const QStringList& paths)
{
    return paths.join(QDir::listSeparator());
}

// The path of `source` below its root, without ".java"; empty when no root holds it.
QString relativeName(const QString& source, const QStringList& roots)
{
    const QString root = rootOf(source, roots);
    if (root.isEmpty())
        return {};
    QString rel = source.mid(root.size() + 1);
    if (rel.endsWith(QLatin1String(".java")))
        rel.chop(5);
    return rel;
}

bool declaresMain(const QString& source)
{
    QFile f(source);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    static const QRegularExpression main(
        QStringLiteral("\\bstatic\\b[^;{}()=]*\\bvoid\\s+main\\s*\\(\\s*(?:final\\s+)?String\\b"));
    return main.match(QString::fromUtf8(prepareJavaText(f.readAll()))).hasMatch();
}

}  // namespace

QStringList javaSourcesUnder(const QStringList& roots)
{
    QStringList out;
    for (const QString& root : roots) {
        QDirIterator it(root, {QStringLiteral("*.java")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir::cleanPath(it.next());
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

QString rootOf(const QString& source, const QStringList& roots)
{
    QString best;
    for (const QString& r : roots) {
        const QString root = QDir::cleanPath(r);
        if (source.startsWith(root + QLatin1Char('/')) && root.size() > best.size())
            best = root;
    }
    return best;
}

QString classNameOf(const QString& source, const QStringList& roots)
{
    QString rel = relativeName(source, roots);
    if (rel.isEmpty())
        rel = QFileInfo(source).completeBaseName();
    return rel.replace(QLatin1Char('/'), QLatin1Char('.'));
}

QString packageOf(const QString& source, const QStringList& roots)
{
    const QString name = classNameOf(source, roots);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

std::vector<PackageGroup> sourcesByPackage(const QStringList& sources, const QStringList& roots)
{
    QMap<QString, QStringList> byName;  // sorted, "" first
    for (const QString& s : sources)
        byName[packageOf(s, roots)] << s;
    std::vector<PackageGroup> out;
    for (auto it = byName.cbegin(); it != byName.cend(); ++it)
        out.push_back({it.key(), it.value()});
    return out;
}

QStringList outOfDateSources(const QStringList& sources, const QStringList& roots, const QString& outputDir)
{
    QStringList out;
    for (const QString& s : sources) {
        const QString rel = relativeName(s, roots);
        const QFileInfo cls(outputDir + QLatin1Char('/') + rel + QLatin1String(".class"));
        if (rel.isEmpty() || !cls.exists() || cls.lastModified() < QFileInfo(s).lastModified())
            out << s;
    }
    return out;
}

QStringList mainClasses(const ProjectModel& model)
{
    QStringList out;
    for (const QString& s : model.sources) {
        if (declaresMain(s))
            out << classNameOf(s, model.sourceRoots);
    }
    return out;
}

ProjectModel mavenProjectModel(const QString& pomPath, const MavenLayout& layout)
{
    ProjectModel m;
    m.origin = ProjectOrigin::MavenPom;
    const QFileInfo pom(pomPath);
    m.file = pom.absoluteFilePath();
    m.directory = pom.absolutePath();
    m.readable = pom.isReadable();
    for (const QString& r : layout.sourceRoots)
        m.sourceRoots << QDir::cleanPath(r);
    for (const QString& r : layout.testSourceRoots)
        m.testSourceRoots << QDir::cleanPath(r);
    m.sources = m.scanPaths = javaSourcesUnder(m.sourceRoots);
    m.testSources = javaSourcesUnder(m.testSourceRoots);
    m.outputFolder = layout.outputDir;
    m.classPathText = joined(layout.classPath);
    m.classPath = splitClassPath(*m.classPathText, m.directory);
    if (!layout.testOutputDir.isEmpty())
        m.testOutputFolder = layout.testOutputDir;
    m.testClassPathText = joined(layout.testClassPath);
    m.testClassPath = splitClassPath(*m.testClassPathText, m.directory);
    return m;
}
