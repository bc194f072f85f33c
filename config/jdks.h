// SPDX-License-Identifier: GPL-3.0-or-later
// The JDKs installed on this machine: the configured one, those under
// /usr/lib/jvm and those on PATH, each with its version as its `release`
// file gives it (JAVA_VERSION).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct JdkInfo {
    QString home;     // the JDK's folder (holds bin/javac and release)
    QString version;  // JAVA_VERSION, such as "17.0.9" or "1.8.0_392"; empty when unknown
    int feature = 0;  // the release's number: 17, 25, 8 for "1.8"; 0 when unknown
    QString bin() const { return home + QLatin1String("/bin"); }
};

// The feature release of a JAVA_VERSION text: "25" and "25.0.1" give 25,
// "1.8.0_392" gives 8; 0 for anything else.
int jdkFeature(const QString& version);

// The JDK whose bin folder holds `javac` at `bin` (symbolic links followed),
// with the version of its release file; an empty home when `bin` holds no
// javac.
JdkInfo jdkOfBin(const QString& bin);

// Every JDK found, each once (by its real folder): first the one whose tools
// are in `configuredBin` (when not empty), then each JDK folder under
// `roots`, sorted by name, then the JDK of each folder of `path` (a PATH
// value, ':' between folders) that holds a javac.
QList<JdkInfo> findJdks(const QString& configuredBin, const QStringList& roots = {QStringLiteral("/usr/lib/jvm")},
                        const QString& path = QString::fromLocal8Bit(qgetenv("PATH")));

// The newest JDK of `jdks` whose release is at least `feature`; nullptr
// when there is none.
const JdkInfo* newestJdk(const QList<JdkInfo>& jdks, int feature);
