// SPDX-License-Identifier: GPL-3.0-or-later
// Java Project / Java Development Kit... through the main window: the JDKs of
// this machine listed with their versions, the one chosen kept in brewpad.cfg
// with the help-file record as it was, and the warm compile service started
// again with its java.
#include "frame_fixture.h"

#include "config/cfgfile.h"
#include "config/jdks.h"
#include "config/toolpaths.h"
#include "toolchain/compiling/compileservice.h"

#include <QFileInfo>

namespace {

class JdkChooser : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        oldConfig_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        oldBin_ = javabin;
        oldHelp_ = javahlp;
    }
    void TearDown() override
    {
        setSharedCompileService(nullptr);
        delete service_;
        qputenv("XDG_CONFIG_HOME", oldConfig_);
        javabin = oldBin_;
        javahlp = oldHelp_;
        FrameTest::TearDown();
    }
    QString cfgPath() const { return dir.filePath("config/brewpad/brewpad.cfg"); }
    QStringList records() const
    {
        QByteArray data;
        cfgfile::load(cfgPath(), data);
        QStringList out;
        qsizetype pos = 0;
        while (auto r = cfgfile::readRecord(data, pos))
            out << *r;
        return out;
    }

    CompileService* service_ = nullptr;
    QByteArray oldConfig_;
    QString oldBin_, oldHelp_;
};

}  // namespace

TEST_F(JdkChooser, TheJdkChosenIsKeptAndTheServiceStartsAgainWithIt)
{
    const QList<JdkInfo> jdks = findJdks(QString());
    const JdkInfo* newer = newestJdk(jdks, 25);
    const JdkInfo* older = nullptr;
    for (const JdkInfo& j : jdks) {
        if (j.feature > 0 && j.feature < 25)
            older = &j;
    }
    if (!newer || !older)
        GTEST_SKIP() << "needs a JDK 25 and an older one";
    const QString help = writeFile("element-list", "java.lang\n");
    javabin = older->bin();
    javahlp = help;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(cfgPath()).absolutePath()));
    ASSERT_TRUE(cfgfile::save(cfgPath(), cfgfile::encodeRecord(javabin) + cfgfile::encodeRecord(help)));
    const QString jar = builtFile(BP_SERVICE_JAR);
    if (QFileInfo(jar).isFile()) {
        service_ = new CompileService;
        service_->setJar(jar);
        service_->start(ServiceSetup{CompileService::javaBinFor(javabin + "/javac"), {}, dir.path()});
        setSharedCompileService(service_);
    }

    // Cancelled: nothing changes.
    EXPECT_TRUE(enabled(cmd::ChooseJdk));
    trigger(cmd::ChooseJdk);
    ASSERT_EQ(dialogs_.choices.size(), 1u);
    const auto& asked = dialogs_.choices[0];
    EXPECT_EQ(asked.caption, "Java Development Kit");
    EXPECT_EQ(asked.items.size(), jdks.size());
    ASSERT_GE(asked.current, 0);
    EXPECT_TRUE(asked.items[asked.current].contains(older->version)) << asked.items.join('\n').toStdString();
    EXPECT_TRUE(asked.items[asked.current].endsWith("(in use)"));
    EXPECT_EQ(javabin, older->bin());

    // The newer one chosen.
    int index = -1;
    for (int i = 0; i < asked.items.size(); ++i) {
        if (asked.items[i].contains(newer->home) && asked.items[i].contains("JDK " + newer->version))
            index = i;
    }
    ASSERT_GE(index, 0) << asked.items.join('\n').toStdString();
    dialogs_.choiceAnswers.push_back(index);
    trigger(cmd::ChooseJdk);
    EXPECT_EQ(javabin, newer->bin());
    EXPECT_EQ(records(), (QStringList{newer->bin(), help}));
    EXPECT_TRUE(app->statusMessage().contains(newer->version)) << app->statusMessage().toStdString();
    if (service_) {
        EXPECT_EQ(service_->setup().javaBin, CompileService::javaBinFor(newer->bin() + "/javac"));
        EXPECT_NE(service_->state(), CompileService::State::Stopped);
    }
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages.front().text.toStdString();
}
