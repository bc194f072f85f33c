// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: files named at start open as dropped files do, the names
// that are no files are told in one message, and the built program answers
// --help and --version without a window.
#include "frame_fixture.h"

#include "app/cmdline.h"
#include "app/inistore.h"
#include "platform/nativename.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QTimer>
#include <functional>

#include <QProcess>
#include <QProcessEnvironment>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

// The built program in `cwd`, with HOME and XDG_CONFIG_HOME there too, and no
// display unless `platform` names a Qt platform.
Outcome runBrewpad(const QStringList& args, const QString& cwd, const QString& platform = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(v));
    if (!platform.isEmpty())
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    env.insert(QStringLiteral("HOME"), cwd);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), cwd + QStringLiteral("/config"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(builtFile(BREWPAD_PROGRAM), args);
    Outcome r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("(did not end)");
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Spins the event loop until `done` holds (at most a minute).
bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

class StartFilesTest : public FrameTest {
protected:
    // Opens `paths` as the program does at start, and waits until they are open.
    void openAtStart(const QStringList& paths)
    {
        bool finished = false;
        QObject::connect(openStartFiles(*app, paths), &StartFileOpener::finished, [&] { finished = true; });
        ASSERT_TRUE(waitUntil([&] { return finished; }));
    }
};

// Many files open in batches from the event loop: the window is drawn and
// answers meanwhile, no window is activated but the last file's (activating
// one goes over every other window), the windows take their places as any new
// window does, and the recent files are written once.
TEST_F(StartFilesTest, ManyFilesOpenInBatchesWhileTheWindowAnswers)
{
    QStringList paths;
    for (int i = 0; i < 300; ++i)
        paths << writeFile(QString("F%1.java").arg(i), QString("class F%1 {}\n").arg(i).toUtf8());
    QList<QMdiSubWindow*> activated;
    const QMetaObject::Connection counting = QObject::connect(client(), &QMdiArea::subWindowActivated, client(),
                                                              [&](QMdiSubWindow* w) { activated << w; });
    // Turns of the event loop that saw some of the files open, not all.
    int turns = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qsizetype n = client()->editors().size();
        if (n > 0 && n < 300)
            ++turns;
    });
    tick.start(0);
    openAtStart(absoluteStartPaths(paths, dir.path()));
    tick.stop();
    QObject::disconnect(counting);
    ASSERT_EQ(client()->editors().size(), 300);
    EXPECT_GT(turns, 0);
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->editor()->source()->fileName(), dir.filePath("F299.java"));
    EXPECT_EQ(activated, QList<QMdiSubWindow*>({current()}));
    // Three quarters of the workspace, each a step below and to the right of
    // the one before.
    const QList<TFileMDIChild*> eds = client()->editors();
    const QSize area = client()->viewport()->size();
    const QSize size(std::max(320, area.width() * 3 / 4), std::max(200, area.height() * 3 / 4));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(eds[i]->geometry(), QRect(QPoint(24 * i, 24 * i), size)) << i;
    IniStore ini(dir.filePath("Brewpad.ini"));
    EXPECT_EQ(ini.value("MRU", "MRU0").value_or(""), dir.filePath("F299.java"));
    EXPECT_EQ(ini.value("MRU", "MRU7").value_or(""), dir.filePath("F292.java"));
}

TEST_F(StartFilesTest, StartFilesOpenAsDroppedFilesAndTheOthersAreNamedInOneMessage)
{
    writeFile("Hello.java", "class Hello {}\n");
    QDir().mkpath(dir.filePath("sub"));
    writeFile("sub/app.JPR", "Hello.java\r\n");
    QDir().mkpath(dir.filePath("folder"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);

    // Names are taken from the start directory, whatever the current one is later.
    const QStringList paths = absoluteStartPaths(
        {"Hello.java", "sub/../sub/app.JPR", "folder/", "Missing.java", dir.filePath("pipe")}, dir.path());
    EXPECT_EQ(paths, QStringList({dir.filePath("Hello.java"), dir.filePath("sub/app.JPR"), dir.filePath("folder"),
                                  dir.filePath("Missing.java"), dir.filePath("pipe")}));
    QDir::setCurrent(QDir::rootPath());

    // The files open from the event loop, after the call.
    StartFileOpener* opener = openStartFiles(*app, paths);
    EXPECT_TRUE(client()->editors().isEmpty());
    bool finished = false;
    QObject::connect(opener, &StartFileOpener::finished, [&] { finished = true; });
    ASSERT_TRUE(waitUntil([&] { return finished; }));
    const QList<TFileMDIChild*> eds = client()->editors();
    ASSERT_EQ(eds.size(), 2);
    EXPECT_FALSE(eds[0]->isProject());
    EXPECT_EQ(eds[0]->editor()->source()->fileName(), dir.filePath("Hello.java"));
    EXPECT_EQ(eds[0]->editor()->toPlainText(), "class Hello {}\n");
    EXPECT_TRUE(eds[1]->isProject());  // the extension in any case
    EXPECT_TRUE(eds[1]->projectFromFile());
    EXPECT_EQ(eds[1]->editor()->source()->fileName(), dir.filePath("sub/app.JPR"));
    EXPECT_EQ(client()->projectWindow(), eds[1]);

    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].text,
              "Brewpad opens files only, so these were not opened:\n\n" + dir.filePath("folder") + " (a folder)\n" +
                  dir.filePath("Missing.java") + " (no such file)\n" + dir.filePath("pipe") +
                  " (not a file)\n\nGive the names of Java source files or .jpr project files, or open them "
                  "with File / Open Java File or Java Project / Open Project.");
    EXPECT_EQ(dialogs_.messages[0].caption, "Brewpad");
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Warning);

    // Only files: no message at all; the same file again gets a window of its own, as a drop does.
    openAtStart({dir.filePath("Hello.java")});
    EXPECT_EQ(client()->editors().size(), 3);
    EXPECT_EQ(dialogs_.messages.size(), 1u);
    // Nothing to open: nothing happens.
    openAtStart({});
    EXPECT_EQ(client()->editors().size(), 3);
    EXPECT_EQ(dialogs_.messages.size(), 1u);
}

TEST(BuiltProgram, HelpAndVersionPrintAndEndWithoutAWindowOrAStart)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString version = QStringLiteral("Brewpad " BREWPAD_VERSION "\n");

    // No display at all: a window (or even Qt's windowing part) would fail.
    for (const char* v : {"--version", "-v"}) {
        const Outcome r = runBrewpad({QString::fromLatin1(v)}, home.path());
        EXPECT_EQ(r.status, 0) << v << ": " << r.err.toStdString();
        EXPECT_EQ(r.out, version) << v;
    }
    // Qt's own options beside it are no error here.
    EXPECT_EQ(runBrewpad({"-platform", "offscreen", "--version"}, home.path()).out, version);

    for (const char* h : {"--help", "-h"}) {
        const Outcome r = runBrewpad({QString::fromLatin1(h), "Hello.java"}, home.path());
        EXPECT_EQ(r.status, 0) << h << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains("Usage: ")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("[FILE...]")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains("--version")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(".jpr")) << r.out.toStdString();
    }

    // An unknown option is refused before any window (Qt's windowing part is
    // loaded by then, on the offscreen platform here).
    const Outcome bad = runBrewpad({"--no-such-option", "Hello.java"}, home.path(), "offscreen");
    EXPECT_EQ(bad.status, 1);
    EXPECT_TRUE(bad.err.contains("Unknown option 'no-such-option'.")) << bad.err.toStdString();

    // None of them started Brewpad: no Brewpad.ini, no configuration, nothing written.
    EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// A name keeps its bytes from the command line to the file system and into
// the recent files: "Foo.java " (a trailing blank) opens, is kept with its
// blank in Brewpad.ini and opens again from the list. A name whose bytes are
// not UTF-8 opens too (tests/test_nativefiles.cpp follows it further).
TEST_F(StartFilesTest, NamesKeepTheirBytes)
{
    const QString blank = writeFile("Foo.java ", "class Foo {}\n");
    writeFile("Foo.java", "class Other {}\n");
    openAtStart(absoluteStartPaths({"Foo.java "}, dir.path()));
    ASSERT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(current()->editor()->source()->fileName(), blank);
    EXPECT_EQ(current()->editor()->toPlainText(), "class Foo {}\n");
    {
        IniStore ini(dir.filePath("Brewpad.ini"));
        RecentFiles next(ini);
        EXPECT_EQ(next.entries(), QStringList{blank});
    }
    app->EvFileSelected(0);
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages.back().text.toStdString();
    ASSERT_EQ(client()->editors().size(), 2);
    EXPECT_EQ(current()->editor()->source()->fileName(), blank);
    EXPECT_EQ(current()->editor()->toPlainText(), "class Foo {}\n");

    // A Latin-1 name on a UTF-8 system opens: its bytes come from the arguments.
    const QByteArray latin1 = QFile::encodeName(dir.path()) + "/caf\xE9.java";
    {
        const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "class Caf {}\n", 13), 13);
        ::close(fd);
    }
    const QStringList names = nativeStartNames({QString::fromLocal8Bit(latin1)}, {latin1});
    openAtStart(names);
    EXPECT_TRUE(dialogs_.messages.empty()) << dialogs_.messages.back().text.toStdString();
    ASSERT_EQ(client()->editors().size(), 3);
    EXPECT_EQ(current()->editor()->source()->fileName(), nativename::decode(latin1));
    EXPECT_EQ(current()->editor()->toPlainText(), "class Caf {}\n");
    ::unlink(latin1.constData());  // QTemporaryDir cannot name it
}
