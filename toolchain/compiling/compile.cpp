// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/compile.h"

#include "config/toolpaths.h"
#include "platform/host.h"
#include "project/modelclasspath.h"
#include "project/openprojects.h"
#include "project/projectmodel.h"
#include "toolchain/classify/classify.h"
#include "toolchain/settings/settings.h"

#include <QDir>
#include <QFile>

namespace {

// The compiler options with `classPath` and `destination` for the texts the
// model supplies; the other options from the build settings.
QStringList compilerOptions(const std::optional<QString>& classPath, const std::optional<QString>& destination)
{
    // The text settings, then the switches, each in the order javac is given them.
    struct SwitchOption {
        const bool* setting;
        const char* option;
    };
    static const SwitchOption switchOptions[] = {
        {&CBDEPEND, "-Xprefer:newer"}, {&CBVERBOSE, "-verbose"}, {&CBOPTIMIZE, "-O"},
        {&CBNOWARN, "-nowarn"},        {&CBDEBUG, "-g"},         {&CBDEPRECATION, "-deprecation"}};

    QStringList a;
    if (classPath)
        a << QStringLiteral("-classpath") << *classPath;
    if (destination)
        a << QStringLiteral("-d") << *destination;
    if (EDITJAVAOPTIONS) {
        const QStringList words = EDITJAVAOPTIONS->split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& w : words)
            a << QStringLiteral("-J") + w;
    }
    for (const SwitchOption& s : switchOptions) {
        if (*s.setting)
            a << QString::fromLatin1(s.option);
    }
    return a;
}

}  // namespace

QStringList makeargsList()
{
    return compilerOptions(EDITCLASSPATH, EDITDESTINATION);
}

QStringList makeargsList(const ProjectModel& model)
{
    if (model.packageName.isEmpty())
        return compilerOptions(modelClassPath(model, ClassPathUse::Compile), model.outputFolder);
    // A source in a package compiles into the package's folders below the
    // class root, and finds the package's other sources from its root.
    QStringList a = compilerOptions(modelClassPath(model, ClassPathUse::Compile),
                                    model.outputFolder ? model.outputFolder : model.packageRoot);
    const qsizetype at = a.indexOf(QStringLiteral("-d")) + 2;
    a.insert(at, QStringLiteral("-sourcepath"));
    a.insert(at + 1, model.packageRoot);
    return a;
}

QStringList makeargsList(const QString& sourcePath)
{
    if (const std::optional<HeldSource> held = openprojects::holding(sourcePath)) {
        const ProjectModel& p = held->project;
        return compilerOptions(modelClassPath(p, held->test ? ClassPathUse::Test : ClassPathUse::Compile),
                               held->test ? p.testOutputFolder : p.outputFolder);
    }
    return makeargsList(singleSourceModel(sourcePath, modelSettings()));
}

QString optionText(const QStringList& args)
{
    QString a;
    for (const QString& arg : args)
        a += QLatin1Char(' ') + arg;
    return a;
}

QString makeargs()
{
    return optionText(makeargsList());
}

bool setcurdir(const QString& nameext)
{
    const int sep = nameext.lastIndexOf(host::separator());
    if (sep < 0)
        curdir = QDir::currentPath();
    else if (sep == 0)
        curdir = QString(host::separator());
    else
        curdir = nameext.left(sep);
    return QDir::setCurrent(curdir);
}

bool erreur(const QString& erf)
{
    QFile f(erf);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0)
        return false;
    static const QByteArray word("error");
    constexpr qint64 chunk = 1 << 16;
    QByteArray buf;
    for (;;) {
        const QByteArray piece = f.read(chunk);
        if (piece.isEmpty())
            return false;
        // Keep the last few bytes of the previous piece, so that a word
        // straddling two pieces is still found.
        buf = buf.right(word.size() - 1) + piece;
        if (buf.contains(word))
            return true;
    }
}

QString captureFileName(const QString& sourcePath)
{
    QString base, ext;
    filename(sourcePath, base, ext);
    return temp + host::separator() + base + QStringLiteral(".err");
}

QString javacProgram()
{
    return javabin + host::separator() + host::toolName(QStringLiteral("javac"));
}

QString javacCommandText(const QString& javacPath, const QString& singleSource)
{
    return javacPath + QLatin1Char(' ') + makeargs() + QLatin1Char(' ') + singleSource;
}

QString javacCommandText(const QString& javacPath, const QStringList& projectSources)
{
    QString list;
    for (const QString& s : projectSources)
        list += s + QLatin1Char(' ');
    return javacPath + QLatin1Char(' ') + makeargs() + QLatin1Char(' ') + list;
}
