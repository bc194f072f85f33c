// SPDX-License-Identifier: GPL-3.0-or-later
// What Maven says of a project (pom.xml), asked once, offline, with Debian's
// local repository: the source and test roots, the output folders, the class
// path and the test class path. Maven is run in one debug call that
// configures the compiler without compiling; its answer is kept until the
// pom's modification time or size changes. When Maven cannot resolve a
// dependency offline, the answer names it and says what to do.
#pragma once
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

struct MavenLayout {
    QStringList sourceRoots;
    QStringList testSourceRoots;
    QString outputDir;
    QString testOutputDir;
    QStringList classPath;      // the output folder and the compile-time jars
    QStringList testClassPath;  // the test output folder first, then the above and the test jars
};

struct MavenAnswer {
    bool ok = false;
    MavenLayout layout;
    QString error;       // what failed and what to do; empty when ok
    QString unresolved;  // the dependency Maven could not resolve ("g:a:jar:v"); empty otherwise
};

// The arguments of the one call: offline, batch mode, debug output, the
// Debian settings when installed, nothing compiled.
QStringList mavenProbeArgs(const QString& pomPath);
// Reads Maven's debug output of that call (exit code `exitCode`).
MavenAnswer readMavenAnswer(const QString& output, int exitCode);

class MavenProbe {
public:
    // `mvn`: the Maven program; found on PATH when empty.
    explicit MavenProbe(QString mvn = {});

    // Maven's answer for `pomPath`, asked when none is kept for the pom as it
    // is now; waits for Maven (up to `timeoutMs`).
    MavenAnswer ask(const QString& pomPath, int timeoutMs = 180000);
    // True when an answer for the pom as it is now is kept.
    bool hasAnswer(const QString& pomPath) const;
    // The answer kept for the pom as it is now (an empty one when none is).
    MavenAnswer keptAnswer(const QString& pomPath) const;
    // Keeps `answer`, asked elsewhere (toolchain/maven/mavencall.h), for the
    // pom as it is now.
    void keep(const QString& pomPath, const MavenAnswer& answer);
    // The program asked: `mvn` as given, else the one on PATH (empty when none).
    QString program() const;
    // How many times Maven was run.
    int calls() const { return calls_; }

private:
    struct Kept {
        QDateTime modified;
        qint64 size = -1;
        MavenAnswer answer;
    };
    MavenAnswer run(const QString& pomPath, int timeoutMs);

    QString mvn_;
    QHash<QString, Kept> kept_;
    int calls_ = 0;
};
