// SPDX-License-Identifier: GPL-3.0-or-later
// Building and running without a window: the project model of a .jpr file and
// of a single source, the compiler options over a model, the run kinds' table
// (its enabling rules and command lines) and the plan of each run over real
// files, and the build commands of a file reached through a site of its own.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "config/toolpaths.h"
#include "platform/nativename.h"
#include "project/jprloader.h"
#include "project/projectmodel.h"
#include "resources/commands.h"
#include "scripted_dialogs.h"
#include "support.h"
#include "toolchain/building/buildsite.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/building/runkinds.h"
#include "toolchain/building/runplan.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/projectcompile.h"
#include "toolchain/running/run.h"
#include "toolchain/settings/settings.h"

namespace {

using Kind = ClassPathEntry::Kind;

// Sets an environment variable for the scope of a test.
struct EnvGuard {
    EnvGuard(const char* name, const QByteArray* value) : name_(name), had_(qEnvironmentVariableIsSet(name))
    {
        old_ = qgetenv(name);
        set(value);
    }
    ~EnvGuard() { set(had_ ? &old_ : nullptr); }
    void set(const QByteArray* value)
    {
        if (value)
            qputenv(name_, *value);
        else
            qunsetenv(name_);
    }
    const char* name_;
    bool had_;
    QByteArray old_;
};

// The settings a fresh start has, restored after each test.
class Building : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetBuildSettings();
        ASSERT_TRUE(dir.isValid());
        root = QDir(dir.path()).canonicalPath();
    }
    void TearDown() override
    {
        resetBuildSettings();
        QDir::setCurrent(QDir::tempPath());
    }
    QString path(const QString& name) const { return root + QLatin1Char('/') + name; }

    QTemporaryDir dir;
    QString root;
};

}  // namespace

// ---------------------------------------------------------------- the model

TEST_F(Building, JprModelKeepsTheReadersRulesAndTakesTheSettingsClassPath)
{
    const QString jpr = path("demo.jpr");
    ASSERT_TRUE(writeFile(jpr,
                          "# sources of the demo\r\n"
                          "/elsewhere/Hello.java\r\n"
                          "\r\n"
                          "  \tIndented.java\n"
                          "  #not a comment.java\r\n"
                          "Last.java"));
    const QString sep = QDir::listSeparator();
    const ModelSettings settings{QStringLiteral("lib/a.jar") + sep + "classes" + sep + sep + "/opt/b.ZIP",
                                 QStringLiteral("out")};
    const ProjectModel m = loadJprProject(jpr, settings);
    EXPECT_EQ(m.origin, ProjectOrigin::JprFile);
    EXPECT_TRUE(m.readable);
    EXPECT_EQ(m.file, jpr);
    EXPECT_EQ(m.directory, root);
    EXPECT_EQ(m.baseName(), QStringLiteral("demo"));
    EXPECT_EQ(m.sources,
              QStringList({"/elsewhere/Hello.java", "  \tIndented.java", "  #not a comment.java", "Last.java"}));
    EXPECT_EQ(m.scanPaths,
              QStringList({"/elsewhere/Hello.java", "Indented.java", "#not a comment.java", "Last.java"}));
    EXPECT_TRUE(m.testSources.isEmpty());
    EXPECT_EQ(m.classPathText, settings.classPath);
    EXPECT_EQ(m.classPath, (std::vector<ClassPathEntry>{{Kind::Jar, path("lib/a.jar")},
                                                        {Kind::Folder, path("classes")},
                                                        {Kind::Jar, QStringLiteral("/opt/b.ZIP")}}));
    EXPECT_EQ(m.outputFolder, QStringLiteral("out"));
    EXPECT_EQ(m.classDirectory(), path("out"));

    // The loader over the same bytes, and the compile plan over the model,
    // are those of the file's own readers.
    EXPECT_EQ(jprProjectModel(jpr, readFile(jpr), settings).sources, m.sources);
    const ProjectCompilePlan byPath = planProjectCompile(jpr), byModel = planProjectCompile(m);
    EXPECT_EQ(byModel.directory, byPath.directory);
    EXPECT_EQ(byModel.sources, byPath.sources);
    EXPECT_EQ(byModel.entries, 4);
}

TEST_F(Building, UnreadableProjectIsAModelWithoutSources)
{
    ASSERT_TRUE(QDir(root).mkdir("folder.jpr"));
    for (const QString& p : {path("missing.jpr"), path("folder.jpr")}) {
        const ProjectModel m = loadJprProject(p, ModelSettings{});
        EXPECT_FALSE(m.readable) << qPrintable(p);
        EXPECT_TRUE(m.sources.isEmpty());
        EXPECT_EQ(m.directory, root);
        EXPECT_EQ(planProjectCompile(m).entries, 0);
    }
}

TEST_F(Building, SingleSourceModel)
{
    const QString source = path("Hello.java");
    ProjectModel m = singleSourceModel(source, ModelSettings{});
    EXPECT_EQ(m.origin, ProjectOrigin::SingleSource);
    EXPECT_EQ(m.directory, root);
    EXPECT_EQ(m.sources, QStringList{source});
    EXPECT_EQ(m.scanPaths, QStringList{source});
    EXPECT_FALSE(m.classPathText);
    EXPECT_TRUE(m.classPath.empty());
    EXPECT_EQ(m.classDirectory(), root);
    // An empty or blank destination still stands (javac gets "-d"), but the
    // classes are then found beside the source.
    m = singleSourceModel(source, ModelSettings{QString(), QStringLiteral("  ")});
    EXPECT_EQ(m.classPathText, QString());
    EXPECT_TRUE(m.classPath.empty());
    EXPECT_EQ(m.classDirectory(), root);
    EXPECT_EQ(singleSourceModel(source, ModelSettings{std::nullopt, QStringLiteral("../bin")}).classDirectory(),
              QDir::cleanPath(root + "/../bin"));
    // A window never saved has a model without a file or a folder.
    EXPECT_TRUE(singleSourceModel(QString(), ModelSettings{}).sources.isEmpty());
}

TEST_F(Building, ModelsFromTheSettingsAndCompilerOptionsOverAModel)
{
    EDITCLASSPATH = QStringLiteral("lib.jar");
    EDITDESTINATION = QString();
    CBDEBUG = true;
    const ProjectModel single = buildModel(path("A.java"), false);
    EXPECT_EQ(single.origin, ProjectOrigin::SingleSource);
    EXPECT_EQ(single.classPath, (std::vector<ClassPathEntry>{{Kind::Jar, path("lib.jar")}}));
    EXPECT_EQ(buildModel(path("p.jpr"), true).origin, ProjectOrigin::JprFile);
    EXPECT_EQ(makeargsList(single), makeargsList());
    EXPECT_EQ(makeargsList(), QStringList({"-classpath", "lib.jar", "-d", "", "-g"}));

    // A model with a class path and folder of its own (as a Maven project
    // supplies them) gives those, and the switches still come from the settings.
    ProjectModel own;
    own.origin = ProjectOrigin::MavenPom;
    own.classPathText = QStringLiteral("/repo/junit.jar");
    own.outputFolder = QStringLiteral("target/classes");
    EXPECT_EQ(makeargsList(own), QStringList({"-classpath", "/repo/junit.jar", "-d", "target/classes", "-g"}));
    own.classPathText.reset();
    own.outputFolder.reset();
    EXPECT_EQ(makeargsList(own), QStringList{"-g"});
}

// ---------------------------------------------------------------- the run kinds

TEST(RunKinds, RowsCommandsAndCaptions)
{
    const std::vector<RunKind>& kinds = runKinds();
    ASSERT_EQ(kinds.size(), 4u);
    EXPECT_EQ(kinds[0].command, cmd::JavaRun);
    EXPECT_EQ(kinds[1].command, cmd::AppletRun);
    EXPECT_EQ(kinds[2].command, cmd::DebugRun);
    EXPECT_EQ(kinds[3].command, cmd::RunTests);
    EXPECT_EQ(runCaption(runKind(RunKindId::RunTests)), QStringLiteral("Run Tests"));
    EXPECT_EQ(runKind(RunKindId::RunTests).start, RunKind::Start::UnderJUnit);
    EXPECT_EQ(runCaption(runKind(RunKindId::JavaRun)), QStringLiteral("Java Run"));
    EXPECT_EQ(runCaption(runKind(RunKindId::AppletRun)), QStringLiteral("Applet Run"));
    EXPECT_EQ(runCaption(runKind(RunKindId::DebugRun)), QStringLiteral("Debug Run"));
    for (const RunKind& k : kinds)
        EXPECT_EQ(runKindOfCommand(k.command), &k);
    EXPECT_EQ(runKindOfCommand(cmd::JavaCompile), nullptr);
    EXPECT_EQ(runKind(RunKindId::DebugRun).start, RunKind::Start::UnderDebugger);
    EXPECT_EQ(runKind(RunKindId::JavaRun).start, RunKind::Start::Detached);
}

TEST(RunKinds, EnablingRulesOverEveryState)
{
    for (int bits = 0; bits < 16; ++bits) {
        const RunState s{bool(bits & 1), bool(bits & 2), bool(bits & 4), bool(bits & 8)};
        SCOPED_TRACE(bits);
        // Whether the window holds a project does not matter: a project runs its class too.
        EXPECT_EQ(runKind(RunKindId::JavaRun).enabled(s), s.IsJavaMain && s.IsCompiled);
        EXPECT_EQ(runKind(RunKindId::DebugRun).enabled(s), s.IsJavaMain && s.IsCompiled);
        EXPECT_EQ(runKind(RunKindId::AppletRun).enabled(s), s.IsJavaApplet && s.IsCompiled);
        // Run Tests compiles first, so it asks only for a source's window.
        EXPECT_EQ(runKind(RunKindId::RunTests).enabled(s), !s.isProject);
    }
}

TEST(RunKinds, CommandLines)
{
    const QByteArray comspec = "/opt/cmd";
    EnvGuard g("COMSPEC", &comspec);
    RunRequest r{singleSourceModel("/src/Hello.java", ModelSettings{}),
                 "Hello",
                 "/src",
                 "/jdk/bin/java",
                 "/opt/cmd",
                 QStringLiteral("a 'b c'")};
    RunLaunch l = runKind(RunKindId::JavaRun).commandLine(r);
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.detached.program, QStringLiteral("/opt/cmd"));
    EXPECT_EQ(l.detached.args, (QStringList{"/k", "/jdk/bin/java", "Hello", "a", "b c"}));
    EXPECT_EQ(l.detached.display, QStringLiteral("/opt/cmd /k /jdk/bin/java Hello a 'b c'"));
    EXPECT_EQ(l.detached.workDir, QStringLiteral("/src"));

    l = runKind(RunKindId::DebugRun).commandLine(r);
    EXPECT_EQ(l.debugged.program, QStringLiteral("/jdk/bin/java"));
    EXPECT_EQ(l.debugged.args, (QStringList{"-classpath", "/src", "Hello", "a", "b c"}));
    EXPECT_EQ(l.debugged.workDir, QStringLiteral("/src"));

    // The model's class folder and class path reach java.
    r.model = singleSourceModel("/src/Hello.java",
                                ModelSettings{QStringLiteral("/lib/x.jar"), QStringLiteral("out")});
    r.arguments.reset();
    const QString cp = QStringLiteral("/src/out") + QDir::listSeparator() + "/lib/x.jar";
    EXPECT_EQ(runKind(RunKindId::JavaRun).commandLine(r).detached.args,
              (QStringList{"/k", "/jdk/bin/java", "-classpath", cp, "Hello"}));
    EXPECT_EQ(runKind(RunKindId::DebugRun).commandLine(r).debugged.args, (QStringList{"-classpath", cp, "Hello"}));

    r.program = "/jdk/bin/appletviewer";
    l = runKind(RunKindId::AppletRun).commandLine(r);
    EXPECT_EQ(l.detached.program, QStringLiteral("/jdk/bin/appletviewer"));
    EXPECT_EQ(l.detached.args, QStringList{"brewpad.html"});
    EXPECT_EQ(l.detached.workDir, QStringLiteral("/src"));

    // Run Tests: JUnit's launcher over the class path given and JUnit's own
    // jars, the tests chosen, and its reports in the folder given.
    r.program = "/jdk/bin/java";
    r.tests = TestSelection{{"shop.CartTest"}, {"shop.TillTest#adds"}};
    r.testClassPath = QStringList{"/src", "/lib/x.jar"};
    r.reportsDir = "/tmp/reports";
    l = runKind(RunKindId::RunTests).commandLine(r);
    EXPECT_EQ(l.tests.program, QStringLiteral("/jdk/bin/java"));
    EXPECT_EQ(l.tests.workDir, QStringLiteral("/src"));
    ASSERT_GE(l.tests.args.size(), 2);
    EXPECT_EQ(l.tests.args[0], QStringLiteral("-classpath"));
    EXPECT_EQ(l.tests.args[1], (QStringList{"/src", "/lib/x.jar"} + junitJars()).join(':'));
    EXPECT_EQ(l.tests.args.mid(2),
              (QStringList{"org.junit.platform.console.ConsoleLauncher", "--disable-banner", "--disable-ansi-colors",
                           "--details=none", "--reports-dir", "/tmp/reports", "--select-class", "shop.CartTest",
                           "--select-method", "shop.TillTest#adds"}));

    r.arguments = QStringLiteral("\"unclosed");
    EXPECT_FALSE(runKind(RunKindId::JavaRun).commandLine(r).ok);
    EXPECT_FALSE(runKind(RunKindId::DebugRun).commandLine(r).ok);
}

// ---------------------------------------------------------------- plans over files

TEST_F(Building, PlanChoosesTheClassWhereItsKindLooks)
{
    const QByteArray comspec = "/opt/cmd";
    EnvGuard g("COMSPEC", &comspec);
    const QString source = path("Foo.java");
    ASSERT_TRUE(writeFile(source, "class Bar {}\n"));
    const RunTools tools{"/jdk/bin", QString(), "/opt/cmd", std::nullopt};
    const ProjectModel m = singleSourceModel(source, ModelSettings{});

    RunPlan p = planRun(runKind(RunKindId::JavaRun), m, "Bar", tools);
    ASSERT_FALSE(p.launch);
    EXPECT_EQ(p.refusal.text, QStringLiteral("Foo.class"));
    EXPECT_EQ(p.refusal.caption, QStringLiteral("class not found"));
    EXPECT_EQ(curdir, root);  // the source's folder was entered

    ASSERT_TRUE(writeFile(path("Foo.class"), "x"));
    p = planRun(runKind(RunKindId::JavaRun), m, "Bar", tools);
    ASSERT_TRUE(p.launch);
    EXPECT_EQ(p.className, QStringLiteral("Foo"));
    EXPECT_EQ(p.launch->detached.args, (QStringList{"/k", "/jdk/bin/java", "Foo"}));
    ASSERT_TRUE(writeFile(path("Bar.class"), "x"));
    EXPECT_EQ(planRun(runKind(RunKindId::AppletRun), m, "Bar", tools).className, QStringLiteral("Bar"));
    EXPECT_EQ(planRun(runKind(RunKindId::AppletRun), m, "Bar", tools).launch->detached.program,
              QStringLiteral("/jdk/bin/appletviewer"));

    // With a Destination Directory, Java Run and Debug Run look there; the
    // applet page stands beside the source.
    ASSERT_TRUE(QDir(root).mkdir("out"));
    ASSERT_TRUE(writeFile(path("out/Baz.class"), "x"));
    const ProjectModel dest = singleSourceModel(source, ModelSettings{std::nullopt, QStringLiteral("out")});
    p = planRun(runKind(RunKindId::DebugRun), dest, "Baz", RunTools{"/jdk/bin", "/other/java", "", std::nullopt});
    ASSERT_TRUE(p.launch);
    EXPECT_EQ(p.className, QStringLiteral("Baz"));
    EXPECT_EQ(p.classDir, path("out"));
    EXPECT_EQ(p.sourceDir, root);
    EXPECT_EQ(p.launch->debugged.program, QStringLiteral("/other/java"));
    EXPECT_EQ(p.launch->debugged.args, (QStringList{"-classpath", path("out"), "Baz"}));
    EXPECT_EQ(planRun(runKind(RunKindId::AppletRun), dest, "Baz", tools).className, QStringLiteral("Foo"));
    EXPECT_EQ(planRun(runKind(RunKindId::AppletRun), dest, "Bar", tools).className, QStringLiteral("Bar"));
    EXPECT_EQ(planRun(runKind(RunKindId::JavaRun), dest, "Bar", tools).refusal.text, QStringLiteral("Foo.class"));
}

TEST_F(Building, PlanRefusesWhatJavaWouldMisread)
{
    const QString source = path("-x.java");
    ASSERT_TRUE(writeFile(source, "class A {}\n"));
    const RunTools tools{"/jdk/bin", QString(), "/usr/bin/xterm", QStringLiteral("'open")};
    const ProjectModel m = singleSourceModel(source, ModelSettings{});
    RunPlan p = planRun(runKind(RunKindId::JavaRun), m, QString(), tools);
    ASSERT_FALSE(p.launch);
    EXPECT_EQ(p.refusal.text, refusedClassName("-x"));
    EXPECT_EQ(p.refusal.icon, Icon::Stop);
    // The applet viewer gets the page, not the class: nothing to misread.
    EXPECT_TRUE(planRun(runKind(RunKindId::AppletRun), m, QString(), tools).launch);

    const ProjectModel good = singleSourceModel(path("Good.java"), ModelSettings{});
    EnvGuard g("COMSPEC", nullptr);
    p = planRun(runKind(RunKindId::JavaRun), good, QString(), tools);
    ASSERT_FALSE(p.launch);
    EXPECT_EQ(p.refusal.text,
              QStringLiteral("Exec : /usr/bin/xterm -e /jdk/bin/java Good 'open : ") + unbalancedQuotesText());
    EXPECT_EQ(p.refusal.caption, QStringLiteral("ERROR"));
    p = planRun(runKind(RunKindId::DebugRun), good, QString(), tools);
    EXPECT_EQ(p.refusal.text, QStringLiteral("Exec : Good : ") + unbalancedQuotesText());

    // Nothing at all for a window never saved; a folder that is gone is said.
    p = planRun(runKind(RunKindId::JavaRun), ProjectModel{}, QString(), tools);
    EXPECT_FALSE(p.launch);
    EXPECT_TRUE(p.refusal.text.isEmpty());
    p = planRun(runKind(RunKindId::JavaRun), singleSourceModel(path("gone/A.java"), {}), QString(), tools);
    EXPECT_FALSE(p.launch);
    EXPECT_TRUE(p.refusal.text.contains(QStringLiteral("is gone"))) << qPrintable(p.refusal.text);
    // A name of bytes that are not UTF-8 is refused before anything else.
    const QString odd = nativename::decode(QFile::encodeName(root) + "/caf\xE9.java");
    p = planRun(runKind(RunKindId::JavaRun), singleSourceModel(odd, {}), QString(), tools);
    EXPECT_FALSE(p.launch);
    EXPECT_TRUE(p.refusal.text.contains(QStringLiteral("not UTF-8"))) << qPrintable(p.refusal.text);
}

// ---------------------------------------------------------------- the build of a file

namespace {

// A file's build seen from outside any window.
class PlainSite : public BuildSite {
public:
    QWidget* dialogOwner() override { return nullptr; }
    QString buildFile() const override { return file; }
    bool buildsProject() const override { return project; }
    bool holdsUnsavedChanges() const override { return false; }
    bool inWorkspace() const override { return true; }
    void showStatus(const QString& text) override { statuses << text; }
    void showLastingStatus(const QString&) override {}
    void clearLastingStatus() override {}
    void showCompilerMessages(const QString&, const QString&) override {}
    void compilationStarted() override {}
    void compilationEnded(bool) override {}

    QString file;
    bool project = false;
    QStringList statuses;
};

}  // namespace

TEST_F(Building, FileBuildOffersAndTargetsThroughItsSite)
{
    ScriptedDialogs dialogs;
    PlainSite site;
    site.file = path("demo.jpr");
    site.project = true;
    ASSERT_TRUE(writeFile(site.file, "App.java\r\n"));
    FileBuild build(&site);
    EXPECT_EQ(build.model().origin, ProjectOrigin::JprFile);
    EXPECT_EQ(build.model().sources, QStringList{"App.java"});
    EXPECT_FALSE(build.offers(RunKindId::JavaRun));
    build.IsJavaMain = build.IsCompiled = true;
    EXPECT_TRUE(build.offers(RunKindId::JavaRun));
    EXPECT_TRUE(build.offers(RunKindId::DebugRun));
    EXPECT_FALSE(build.offers(RunKindId::AppletRun));
    EXPECT_TRUE(build.runState().isProject);

    // A project runs the class its scan found, looked for in its folder.
    build.classename = "App";
    EXPECT_FALSE(build.debugTarget("/jdk/bin/java"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("demo.class"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("class not found"));
    ASSERT_TRUE(writeFile(path("App.class"), "x"));
    EDITCMDLINE = QStringLiteral("one two");
    const std::optional<DebugTarget> t = build.debugTarget("/jdk/bin/java");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->className, QStringLiteral("App"));
    EXPECT_EQ(t->classDir, root);
    EXPECT_EQ(t->sourceDir, root);
    EXPECT_EQ(t->command.program, QStringLiteral("/jdk/bin/java"));
    EXPECT_EQ(t->command.args, (QStringList{"-classpath", root, "App", "one", "two"}));
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Building, AppletRunWritesItsPageAndSaysAFailedStart)
{
    ScriptedDialogs dialogs;
    PlainSite site;
    site.file = path("Clock.java");
    ASSERT_TRUE(writeFile(site.file, "class Clock extends java.applet.Applet {}\n"));
    ASSERT_TRUE(writeFile(path("Clock.class"), "x"));
    javabin = path("no-jdk");
    FileBuild build(&site);
    build.runApplet();
    EXPECT_TRUE(readFile(path("brewpad.html")).contains("code=\"Clock.class\""));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Win Exec : %1/appletviewer brewpad.html : %2").arg(javabin, libelle_erreur(2)));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("ERROR"));
    javabin.clear();
}
