// SPDX-License-Identifier: GPL-3.0-or-later
// Jars in lib/ folders and sources in their package's folders, without a
// window: what the loaders put into the model, the class path each tool is
// given, javac's options and the plan of a run over real files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "project/jprloader.h"
#include "project/modelclasspath.h"
#include "project/projectmodel.h"
#include "support.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/building/runplan.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/settings/settings.h"

namespace {

class LibraryModel : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString put(const QString& name, const QByteArray& bytes = "x")
    {
        const QString p = dir.filePath(name);
        QDir().mkpath(QFileInfo(p).absolutePath());
        writeFile(p, bytes);
        return p;
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(LibraryModel, JarsOfLibBesideTheSourceOrTheProjectFollowTheClassPath)
{
    put("lib/b.jar");
    put("lib/A.JAR");
    put("lib/a-sources.jar");
    put("lib/notes.txt");
    const QString hello = put("Hello.java", "class Hello {}\n");
    ModelSettings settings;
    settings.classPath = QStringLiteral("/opt/x");
    ProjectModel m = singleSourceModel(hello, settings);
    EXPECT_EQ(m.libraryJars, (QStringList{path("lib/A.JAR"), path("lib/b.jar")}));
    ASSERT_EQ(m.classPath.size(), 3u);
    EXPECT_EQ(m.classPath[0].path, "/opt/x");
    EXPECT_EQ(m.classPath[2], (ClassPathEntry{ClassPathEntry::Kind::Jar, path("lib/b.jar")}));
    EXPECT_EQ(shownLibraryJars(m), (QStringList{"lib/A.JAR", "lib/b.jar"}));
    EXPECT_EQ(addedClassPath(m), m.libraryJars);
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Compile), "/opt/x:" + m.libraryJars.join(':'));
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Run), dir.path() + ":/opt/x:" + m.libraryJars.join(':'));

    // Without a Class Path: javac's own folder first, as without -classpath.
    m = singleSourceModel(hello, {});
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Compile), dir.path() + ":" + m.libraryJars.join(':'));
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Test), dir.path() + ":" + m.libraryJars.join(':'));

    // A .jpr: the lib/ beside its file.
    const QString jpr = put("p.jpr", "Hello.java\n");
    EXPECT_EQ(loadJprProject(jpr, {}).libraryJars, m.libraryJars);
}

TEST_F(LibraryModel, WithoutLibTheCompilerOptionsStandAsTheyAre)
{
    const QString hello = put("Hello.java", "class Hello {}\n");
    ModelSettings settings;
    EXPECT_FALSE(modelClassPath(singleSourceModel(hello, settings), ClassPathUse::Compile));
    EXPECT_FALSE(modelClassPath(singleSourceModel(hello, settings), ClassPathUse::Run));
    settings.classPath = QString();  // present and empty: still its option
    EXPECT_EQ(modelClassPath(singleSourceModel(hello, settings), ClassPathUse::Compile), QString());
    EXPECT_FALSE(modelClassPath(singleSourceModel(hello, settings), ClassPathUse::Run));
    settings.classPath = QStringLiteral(".:rel");
    settings.destination = QStringLiteral("classes");
    const ProjectModel m = singleSourceModel(hello, settings);
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Compile), ".:rel");
    EXPECT_EQ(*modelClassPath(m, ClassPathUse::Run), path("classes") + ":.:rel");
    // A package that the folders do not match: the source's own folder.
    const QString stray = put("Stray.java", "package com.acme;\nclass Stray {}\n");
    EXPECT_TRUE(singleSourceModel(stray, {}).packageName.isEmpty());
    EXPECT_EQ(singleSourceModel(stray, {}).classRoot(), dir.path());
}

TEST_F(LibraryModel, APackagedSourceCompilesFromItsRootAndRunsByItsQualifiedName)
{
    put("lib/g.jar");
    const QString shop = put("src/com/acme/Shop.java", "/* shop */ package com . acme ;\npublic class Shop {}\n");
    const ProjectModel m = singleSourceModel(shop, {});
    EXPECT_EQ(m.packageName, "com.acme");
    EXPECT_EQ(m.packageRoot, path("src"));
    EXPECT_EQ(m.libraryJars, QStringList{path("lib/g.jar")});  // beside src/
    EXPECT_EQ(m.packageClassDirectory(), path("src/com/acme"));
    EXPECT_EQ(m.qualified("Shop"), "com.acme.Shop");
    EXPECT_EQ(makeargsList(m), (QStringList{"-classpath", path("src") + ":" + path("lib/g.jar"), "-d", path("src"),
                                            "-sourcepath", path("src")}));
    ModelSettings settings;
    settings.destination = path("out");
    const ProjectModel to = singleSourceModel(shop, settings);
    EXPECT_EQ(to.packageClassDirectory(), path("out/com/acme"));
    EXPECT_EQ(makeargsList(to), (QStringList{"-classpath", path("out") + ":" + path("lib/g.jar"), "-d", path("out"),
                                             "-sourcepath", path("src")}));

    // Java Run and Debug Run: the class's file in its package's folders.
    const RunTools tools{"/jdk/bin", "/jdk/bin/java", "/bin/term", std::nullopt};
    // A class named apart from the file is looked for there.
    RunPlan none = planRun(runKind(RunKindId::JavaRun), m, "Till", tools);
    EXPECT_FALSE(none.launch);
    EXPECT_EQ(none.refusal.text, "Shop.class");
    put("src/com/acme/Till.class");
    EXPECT_EQ(planRun(runKind(RunKindId::JavaRun), m, "Till", tools).className, "com.acme.Till");
    const RunPlan run = planRun(runKind(RunKindId::JavaRun), m, "Shop", tools);
    ASSERT_TRUE(run.launch) << run.refusal.text.toStdString();
    EXPECT_EQ(run.className, "com.acme.Shop");
    EXPECT_EQ(run.launch->detached.workDir, path("src"));
    EXPECT_TRUE(run.launch->detached.display.endsWith("-classpath " + path("src") + ":" + path("lib/g.jar") +
                                                      " com.acme.Shop"))
        << run.launch->detached.display.toStdString();
    const RunPlan debug = planRun(runKind(RunKindId::DebugRun), m, "Shop", tools);
    ASSERT_TRUE(debug.launch);
    EXPECT_EQ(debug.classDir, path("src"));
    EXPECT_EQ(debug.launch->debugged.args,
              (QStringList{"-classpath", path("src") + ":" + path("lib/g.jar"), "com.acme.Shop"}));
}
