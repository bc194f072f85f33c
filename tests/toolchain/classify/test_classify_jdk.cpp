// SPDX-License-Identifier: GPL-3.0-or-later
// Classifies real Java sources: part of the JDK's own source archive, unpacked
// into a temporary directory. Shows that the scanner neither crashes nor loops
// on real code, and checks a few files whose verdicts were worked out by hand.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "toolchain/classify/classify.h"
#include "support.h"

namespace {

QString findSourceArchive()
{
    const QDir jvm(QStringLiteral("/usr/lib/jvm"));
    const QStringList dirs = jvm.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& d : dirs) {
        const QFileInfo zip(jvm.filePath(d + QStringLiteral("/lib/src.zip")));
        if (zip.exists() && zip.isFile())  // a dangling link does not exist
            return zip.absoluteFilePath();
    }
    return {};
}

}  // namespace

TEST(JdkSources, ClassifyHundredsOfRealFiles)
{
    const QString zip = findSourceArchive();
    if (zip.isEmpty())
        GTEST_SKIP() << "no JDK source archive /usr/lib/jvm/*/lib/src.zip on this machine "
                        "(Debian package openjdk-17-source provides it)";
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    if (unzip.isEmpty())
        GTEST_SKIP() << "the program unzip is not installed";

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QProcess p;
    p.start(unzip, {QStringLiteral("-q"), QStringLiteral("-o"), zip, QStringLiteral("java.base/java/util/*"),
                    QStringLiteral("jdk.compiler/com/sun/tools/javac/Main.java"), QStringLiteral("-d"), dir.path()});
    ASSERT_TRUE(p.waitForFinished(120000)) << "unzip did not finish";
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();

    int files = 0, packaged = 0;
    int verdicts[6] = {};
    QDirIterator it(dir.path(), {QStringLiteral("*.java")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const ScanResult r = scanJavaFile(path);
        ASSERT_GE(r.verdict, NothingRecognised);
        ASSERT_LE(r.verdict, PackageMember);
        ++files;
        packaged += r.verdict == PackageMember;

        // The same text without its package declaration reaches the other
        // verdicts and the class-name walks.
        QByteArray text = readFile(path);
        text.replace("package", "paCkage");
        QString name, ext;
        filename(path, name, ext);
        const ScanResult u = scanJavaText(text, name);
        ASSERT_GE(u.verdict, NothingRecognised);
        ASSERT_LE(u.verdict, AppletHintsOnly);
        ++verdicts[u.verdict];
    }
    EXPECT_GE(files, 300);
    // Every file of the archive belongs to a package (package-info.java too).
    EXPECT_EQ(packaged, files);
    EXPECT_GT(verdicts[NothingRecognised], 0);
    EXPECT_GT(verdicts[ApplicationNamedAfterFile], 0);

    // Worked out by hand.
    const QDir root(dir.path());
    const QString objects = root.filePath(QStringLiteral("java.base/java/util/Objects.java"));
    const QString arrayList = root.filePath(QStringLiteral("java.base/java/util/ArrayList.java"));
    const QString javacMain = root.filePath(QStringLiteral("jdk.compiler/com/sun/tools/javac/Main.java"));

    // No main method, no applet hint: a package member and no class name.
    ScanResult r = scanJavaFile(arrayList);
    EXPECT_EQ(r.verdict, PackageMember);
    EXPECT_EQ(r.className, "");

    // "public class Main {" then "public static void main(String[] args)":
    // still a package member, but the walk names the class Main.
    r = scanJavaFile(javacMain);
    EXPECT_EQ(r.verdict, PackageMember);
    EXPECT_EQ(r.className, "Main");

    // Without the package line: an application class named after the file,
    // and a main method in another class under another file name.
    QByteArray mainText = readFile(javacMain);
    mainText.replace("package com.sun.tools.javac;", "");
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Main.java")), mainText));
    ASSERT_TRUE(writeFile(root.filePath(QStringLiteral("Launcher.java")), mainText));
    r = scanJavaFile(root.filePath(QStringLiteral("Main.java")));
    EXPECT_EQ(r.verdict, ApplicationNamedAfterFile);
    EXPECT_EQ(r.className, "Main");
    r = scanJavaFile(root.filePath(QStringLiteral("Launcher.java")));
    EXPECT_EQ(r.verdict, MainInOtherClass);
    EXPECT_EQ(r.className, "Main");

    // "public final class Objects {" without main or applet hint.
    QByteArray objectsText = readFile(objects);
    objectsText.replace("package java.util;", "");
    EXPECT_EQ(scanJavaText(objectsText, QStringLiteral("Objects")).verdict, ApplicationNamedAfterFile);
}
