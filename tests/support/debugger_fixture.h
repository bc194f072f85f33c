// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of debug sessions on a small program of their own, compiled once for
// the suite, with its local variable tables, by the JDK 17 of this machine;
// each test skips without that JDK or the debugger's jar.
#pragma once
#include "support.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

inline const QString kJdk = QStringLiteral("/usr/lib/jvm/java-17-openjdk-amd64/bin");

class DebuggedProgramTest : public ::testing::Test {
protected:
    // Writes `text` as `source` (relative to the suite's folder) and compiles it there.
    static void compileProgram(const QString& source, const QByteArray& text)
    {
        dir_ = new QTemporaryDir;
        writeFile(dir_->filePath(source), text);
        QProcess javac;
        javac.setWorkingDirectory(dir_->path());
        javac.start(kJdk + "/javac", {"-g", source});
        compiled_ = javac.waitForFinished(60000) && javac.exitCode() == 0;
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    // Skips the test without the JDK or the debugger's `jar`.
    void skipWithout(const QString& jar)
    {
        if (!QFileInfo(kJdk + "/java").isExecutable() || !QFileInfo(jar).isFile())
            GTEST_SKIP() << "no JDK 17 or no debugger jar";
        ASSERT_TRUE(compiled_);
    }

    static inline QTemporaryDir* dir_ = nullptr;
    static inline bool compiled_ = false;
};
