// Start-up of the whole program: the configuration is read or searched for
// before the frame shows, and the "ENV:" report follows; Brewpad.ini gets its count.
#include "app/brewpad.h"
#include "support.h"
#include "config/search.h"
#include "config/toolpaths.h"
#include "resources/resources.h"
#include "scripted_dialogs.h"
#include "workspace/client.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
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

QString envText(const QString& bin, const QString& hlp)
{
    return QStringLiteral("ENV:\nJAVA BIN :\t%1\nJAVA HELP:\t%2").arg(bin, hlp);
}

}  // namespace

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
    EXPECT_EQ(texts[2], envText(bin, hlp));
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
    EXPECT_EQ(d.texts(), QStringList{envText(bin, hlp)});
}

TEST_F(StartupTest, NothingFoundStillReportsEmptyPaths)
{
    ScriptedDialogs d;  // declines every hit
    start();
    const QStringList texts = d.texts();
    ASSERT_EQ(texts.size(), 6) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts[0].startsWith("Needed File found :"));
    EXPECT_EQ(texts.mid(2, 1), QStringList{"sorry javac.exe not found : unable to compile java files"});
    EXPECT_EQ(texts.mid(4), QStringList({"sorry java help file not found", envText("", "")}));
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
    EXPECT_TRUE(report.startsWith(envText(dir.filePath("tree/jdk/bin"), dir.filePath("tree/jdk/docs/api/element-list")) +
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
