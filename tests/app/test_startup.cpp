// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the whole program: the configuration is read or searched for
// before the frame shows, and the "ENV:" report follows; Brewpad.ini gets its count.
#include "app/brewpad.h"
#include "app/session.h"
#include "support.h"
#include "config/search.h"
#include "config/toolpaths.h"
#include "editor/editorwindow.h"
#include "editor/editcontrol.h"
#include "resources/commands.h"
#include "toolchain/compiling/compile.h"
#include "toolchain/compiling/compileservice.h"
#include "resources/resources.h"
#include "scripted_dialogs.h"
#include "workspace/workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        initBrewpadResources();
        ASSERT_TRUE(dir.isValid());
        oldCwd = QDir::currentPath();
        for (const char* v : {"XDG_CONFIG_HOME", "TEMP", "TMP", "TMPDIR", "COMSPEC"})
            saved.emplace_back(v, qgetenv(v));
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("TEMP", dir.filePath("tmp").toUtf8());
        qunsetenv("TMP");
        qunsetenv("COMSPEC");
        QDir().mkpath(dir.filePath("tmp"));
        QDir().mkpath(dir.filePath("cwd"));
        QDir::setCurrent(dir.filePath("cwd"));
        // The walk covers a prepared tree instead of the machine's volumes.
        toolsfind::located = 1;
        toolsfind::runDrives = {dir.filePath("tree")};
        make("tree/decoy/bin/javac");
        make("tree/jdk/bin/javac");
        for (const char* program : {"tree/decoy/bin/javac", "tree/jdk/bin/javac"})
            QFile::setPermissions(dir.filePath(program), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                             QFileDevice::ExeOther);
        make("tree/jdk/docs/api/element-list");
    }
    void TearDown() override
    {
        QDir::setCurrent(oldCwd);
        for (auto& [name, value] : saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        toolsfind::forgetDrives();
    }
    void make(const QString& rel) { writeFile(dir.filePath(rel), QByteArray()); }
    std::unique_ptr<TMDIFileApp> start()
    {
        auto app = std::make_unique<TMDIFileApp>();
        app->InitMainWindow();
        return app;
    }

    QTemporaryDir dir;
    QString oldCwd;
    std::vector<std::pair<const char*, QByteArray>> saved;
};

// The report's first lines: the tool paths and where they were read from.
QString envText(const QString& bin, const QString& hlp, const QString& config)
{
    return QStringLiteral("ENV:\nJAVA BIN :\t%1\nJAVA HELP:\t%2\nCONFIG   :\t%3").arg(bin, hlp, config);
}

// brewpad.cfg naming the JDK `bin` and the help file `help`.
QByteArray configBytes(const QString& bin, const QString& help)
{
    QByteArray out;
    for (const QString& value : {bin, help}) {
        const QByteArray text = QFile::encodeName(value);
        const quint32 n = quint32(text.size());
        const char len[4] = {char(n & 0xff), char((n >> 8) & 0xff), char((n >> 16) & 0xff), char(n >> 24)};
        out += QByteArray(len, 4) + text;
    }
    return out;
}

}  // namespace

// A brewpad.cfg that came with an unpacked project, in the start directory,
// names the JDK but runs nothing at start: the compile service waits for the
// first F9, and the report says where the configuration was read from. The
// user's own configuration folder starts the service at once.
TEST_F(StartupTest, ConfigurationOfTheStartDirectoryRunsNothingBeforeF9)
{
    const QString javac = findJavac();
    if (javac.isEmpty() || CompileService::defaultJar().isEmpty() || CompileService::javaBinFor(javac).isEmpty())
        GTEST_SKIP() << "needs a JDK and the compile service's jar";
    const QString jdkBin = QFileInfo(javac).absolutePath();
    const QString help = dir.filePath("tree/jdk/docs/api/element-list");
    const QString planted = dir.filePath("cwd/brewpad.cfg");
    ASSERT_TRUE(writeFile(planted, configBytes(jdkBin, help)));
    ASSERT_TRUE(QFile::setPermissions(
        planted, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(writeFile(dir.filePath("cwd/Hello.java"), "public class Hello {}\n"));

    ScriptedDialogs d;
    auto app = start();
    EXPECT_EQ(javabin, jdkBin);
    ASSERT_FALSE(d.messages.empty());
    const QString report = d.messages.back().text;
    EXPECT_TRUE(report.startsWith(envText(jdkBin, help, planted) + "\n\n")) << report.toStdString();
    EXPECT_TRUE(report.contains("not in your configuration folder (" + dir.filePath("config/brewpad") + ")"))
        << report.toStdString();
    EXPECT_TRUE(report.contains("the compile service starts with the first Java Compile (F9)"))
        << report.toStdString();

    // As the program does once the window is up: nothing starts.
    app->Client->prepareCompileService(app.get(), dir.filePath("cwd"));
    waitFor([] { return false; }, 300);
    CompileService* service = sharedCompileService();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->state(), CompileService::State::Stopped);
    EXPECT_EQ(service->processId(), 0);

    // The first F9 compiles with javac and starts the service for the next one.
    app->Client->CmMRUFileOpenJava(dir.filePath("cwd/Hello.java"));
    ASSERT_TRUE(app->state(cmd::JavaCompile).enabled);
    app->dispatch(cmd::JavaCompile);
    EXPECT_TRUE(waitFor([&] { return d.texts().contains("Compilation success"); }, 60000))
        << d.texts().join('|').toStdString();
    EXPECT_NE(service->state(), CompileService::State::Stopped);
    for (TFileMDIChild* c : app->Client->editors())
        c->approveClose();
    app.reset();
    EXPECT_EQ(sharedCompileService(), nullptr);

    // The same file in the user's configuration folder: the service starts at once.
    QDir().mkpath(dir.filePath("config/brewpad"));
    ASSERT_TRUE(QFile::rename(planted, dir.filePath("config/brewpad/brewpad.cfg")));
    d.messages.clear();
    app = start();
    EXPECT_EQ(d.texts(), QStringList{envText(jdkBin, help, dir.filePath("config/brewpad/brewpad.cfg"))});
    app->Client->prepareCompileService(app.get(), dir.filePath("cwd"));
    EXPECT_TRUE(waitFor(
        [] { return sharedCompileService() && sharedCompileService()->state() != CompileService::State::Stopped; },
        5000));
}

TEST_F(StartupTest, FirstStartSearchesAsksAndRemembers)
{
    ScriptedDialogs d;
    d.answerFor = [](const AskedMessage& m) -> std::optional<Answer> {
        if (m.text.startsWith("Needed File found :"))
            return m.text.contains("/decoy/") ? Answer::No : Answer::Yes;
        return std::nullopt;
    };
    {
        auto app = start();
        EXPECT_TRUE(app->Frame->isVisible());
    }
    const QString bin = dir.filePath("tree/jdk/bin");
    const QString hlp = dir.filePath("tree/jdk/docs/api/element-list");
    QStringList texts = d.texts();
    // The decoy is offered first only where the directory lists it first.
    const QString decoy = "Needed File found :" + dir.filePath("tree/decoy/bin/javac") + " : Keep it ?";
    if (!texts.isEmpty() && texts[0] == decoy)
        texts.removeFirst();
    ASSERT_EQ(texts.size(), 3) << texts.join(" | ").toStdString();
    EXPECT_EQ(texts[0], "Needed File found :" + dir.filePath("tree/jdk/bin/javac") + " : Keep it ?");
    EXPECT_EQ(texts[1], "Needed File found :" + hlp + " : Keep it ?");
    const QString cfg = dir.filePath("config/brewpad/brewpad.cfg");
    EXPECT_EQ(texts[2], envText(bin, hlp, cfg + " (written now)"));
    EXPECT_EQ(d.messages.back().caption, "Brewpad");
    EXPECT_EQ(d.messages.back().buttons, Buttons::Ok);
    EXPECT_EQ(d.messages.back().icon, Icon::Information);
    EXPECT_TRUE(QFile::exists(dir.filePath("config/brewpad/brewpad.cfg")));
    // The recent-file store got its capacity in the start directory.
    QFile ini(dir.filePath("cwd/Brewpad.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Count=8"));

    // The next start reads the file: no question, only the report.
    d.messages.clear();
    javabin.clear();
    javahlp.clear();
    start();
    EXPECT_EQ(d.texts(), QStringList{envText(bin, hlp, cfg)});
}

TEST_F(StartupTest, NothingFoundStillReportsEmptyPaths)
{
    ScriptedDialogs d;  // declines every hit
    start();
    const QStringList texts = d.texts();
    ASSERT_EQ(texts.size(), 6) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts[0].startsWith("Needed File found :"));
    EXPECT_EQ(texts.mid(2, 1), QStringList{"sorry javac.exe not found : unable to compile java files"});
    EXPECT_EQ(texts.mid(4),
              QStringList({"sorry java help file not found",
                           envText("", "", dir.filePath("config/brewpad/brewpad.cfg") + " (written now)")}));
}

TEST_F(StartupTest, PlantedConfigurationIsNamedInTheReport)
{
    // A configuration that others may write, naming a decoy compiler.
    const QString cfg = dir.filePath("config/brewpad/brewpad.cfg");
    QDir().mkpath(dir.filePath("config/brewpad"));
    QFile f(cfg);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (const QString& value : {dir.filePath("tree/decoy/bin"), dir.filePath("tree/jdk/docs/api/element-list")}) {
        const QByteArray text = QFile::encodeName(value);
        const qint32 n = qint32(text.size());
        f.write(QByteArray(reinterpret_cast<const char*>(&n), 4) + text);  // little-endian host
    }
    f.close();
    ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                 QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther));

    ScriptedDialogs d;
    d.answerFor = [](const AskedMessage& m) -> std::optional<Answer> {
        if (m.text.startsWith("Needed File found :"))
            return m.text.contains("/decoy/") ? Answer::No : Answer::Yes;
        return std::nullopt;
    };
    start();
    ASSERT_FALSE(d.messages.empty());
    const QString report = d.messages.back().text;
    // The search's result goes to the next place, TEMP.
    EXPECT_TRUE(
        report.startsWith(envText(dir.filePath("tree/jdk/bin"), dir.filePath("tree/jdk/docs/api/element-list"),
                                  dir.filePath("tmp/brewpad.cfg (written now)")) +
                          "\n\n"))
        << report.toStdString();
    EXPECT_TRUE(report.contains(cfg + " (group or others may write to it)")) << report.toStdString();
}

// When the private capture directory is refused, the run keeps its compiler
// messages in a directory of its own, which goes when Brewpad ends.
TEST_F(StartupTest, CaptureDirectoryOfTheRunGoesWhenBrewpadEnds)
{
    QDir().mkpath(dir.filePath("victim"));
    ASSERT_TRUE(QFile::link(dir.filePath("victim"), dir.filePath("tmp/brewpad-") + QString::number(getuid())));
    ScriptedDialogs d;
    auto app = start();
    const QString runDir = temp;
    ASSERT_FALSE(runDir.isEmpty());
    EXPECT_TRUE(runDir.startsWith(dir.filePath("tmp/brewpad-")));
    EXPECT_TRUE(QFileInfo(runDir).isDir());
    EXPECT_TRUE(d.texts().join("|").contains(runDir));
    app.reset();
    EXPECT_FALSE(QFileInfo::exists(runDir));
    EXPECT_TRUE(QFileInfo(dir.filePath("victim")).isDir());
}

// The windows of the last session come back after the "ENV:" report, when the
// frame shows: while the report is on screen, no editor window and no frame
// exist yet.
TEST_F(StartupTest, LastSessionComesBackAfterTheReport)
{
    const QString bin = dir.filePath("tree/jdk/bin");
    const QString help = dir.filePath("tree/jdk/docs/api/element-list");
    ASSERT_TRUE(writeFile(dir.filePath("config/brewpad/brewpad.cfg"), configBytes(bin, help)));
    QFile::setPermissions(dir.filePath("config/brewpad/brewpad.cfg"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    Session kept;
    for (int i = 1; i <= 5; ++i) {
        const QString file = dir.filePath(QStringLiteral("cwd/S%1.java").arg(i));
        ASSERT_TRUE(writeFile(file, QStringLiteral("class S%1 {}\n").arg(i).toUtf8()));
        kept.windows.push_back(SessionWindow{false, file});
    }
    kept.active = 2;
    ASSERT_TRUE(SessionFile(SessionFile::defaultPath()).write(kept));
    ASSERT_EQ(SessionFile::defaultPath(), dir.filePath("config/brewpad/session.ini"));

    ScriptedDialogs d;
    int editorsAtReport = -1;
    bool frameAtReport = true;
    d.answerFor = [&](const AskedMessage& m) -> std::optional<Answer> {
        if (m.text.startsWith("ENV:")) {
            editorsAtReport = 0;
            frameAtReport = false;
            for (QWidget* w : QApplication::allWidgets()) {
                editorsAtReport += qobject_cast<TFileMDIChild*>(w) != nullptr;
                frameAtReport = frameAtReport || qobject_cast<QMainWindow*>(w) != nullptr;
            }
        }
        return std::nullopt;
    };
    TMDIFileApp::Options o;
    o.sessionFile = SessionFile::defaultPath();
    auto app = std::make_unique<TMDIFileApp>(o);
    app->InitMainWindow();
    EXPECT_EQ(d.texts(), QStringList{envText(bin, help, dir.filePath("config/brewpad/brewpad.cfg"))});
    EXPECT_EQ(editorsAtReport, 0);
    EXPECT_FALSE(frameAtReport);
    ASSERT_EQ(app->Client->editors().size(), 5);
    ASSERT_NE(app->Client->currentEditor(), nullptr);
    EXPECT_EQ(app->Client->currentEditor()->editor()->source()->fileName(), dir.filePath("cwd/S3.java"));
    for (TFileMDIChild* c : app->Client->editors())
        c->approveClose();
}
