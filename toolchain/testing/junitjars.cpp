// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/testing/junitjars.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {
const char* const kJUnitJars[] = {"junit-platform-console-standalone.jar", "junit-vintage-engine.jar", "junit4.jar",
                                  "hamcrest.jar"};
const char kJavaDir[] = "/usr/share/java/";
}  // namespace

QStringList junitJars()
{
    QStringList out;
    for (const char* name : kJUnitJars) {
        const QString path = QLatin1String(kJavaDir) + QLatin1String(name);
        if (QFileInfo::exists(path))
            out << path;
    }
    return out;
}

bool importsJUnit(const QString& source)
{
    static const QRegularExpression re(QStringLiteral("^\\s*import\\s+(static\\s+)?org\\.junit\\."),
                                       QRegularExpression::MultilineOption);
    return re.match(source).hasMatch();
}

QStringList withJUnitClassPath(QStringList args, const QString& source)
{
    const QStringList jars = junitJars();
    if (jars.isEmpty() || !importsJUnit(source))
        return args;
    const qsizetype at = args.indexOf(QStringLiteral("-classpath"));
    if (at < 0 || at + 1 >= args.size()) {
        args.prepend(QStringLiteral(".:") + jars.join(QLatin1Char(':')));
        args.prepend(QStringLiteral("-classpath"));
    } else {
        const QString& given = args[at + 1];
        args[at + 1] = (given.isEmpty() ? QStringLiteral(".") : given) + QLatin1Char(':') +
                       jars.join(QLatin1Char(':'));
    }
    return args;
}
