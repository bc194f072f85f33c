// SPDX-License-Identifier: GPL-3.0-or-later
// The last session: its file on its own (what is written, what is read back,
// which files are gone), and through the main window, which opens the windows
// of the last session again when it is made anew.
#include "app/cmdline.h"
#include "app/session.h"
#include "frame_fixture.h"
#include "platform/nativename.h"
#include "workspace/mavenwindow.h"

#include <QMdiSubWindow>

#include <sys/stat.h>

namespace {

Session sample()
{
    Session s;
    s.windows = {{false, "/src/A.java"}, {true, "/src/p.jpr"}, {false, "/src/C.java"}};
    s.active = 1;
    s.frameSize = QSize(900, 650);
    return s;
}

}  // namespace

TEST(SessionFileTest, WritesPlainLinesAndReadsThemBack)
{
    const QByteArray text = SessionFile::encode(sample());
    EXPECT_TRUE(
        text.contains("\nframe 900 650 normal\nsource /src/A.java\nproject /src/p.jpr\nsource /src/C.java\n"
                      "active 2\n"))
        << text.toStdString();
    EXPECT_EQ(SessionFile::decode(text), sample());

    // A name that is not UTF-8 keeps its bytes; one with a line end cannot be kept.
    Session odd;
    odd.windows = {{false, nativename::decode("/src/caf\xe9.java")}, {false, "/src/two\nlines.java"}};
    odd.active = 1;
    odd.maximized = true;
    odd.frameSize = QSize(800, 600);
    const QByteArray oddText = SessionFile::encode(odd);
    EXPECT_TRUE(oddText.contains("source /src/caf\xe9.java\n"));
    EXPECT_FALSE(oddText.contains("lines.java"));
    EXPECT_FALSE(oddText.contains("\nactive "));  // the active window was the one left out
    const Session back = SessionFile::decode(oddText);
    ASSERT_EQ(back.windows.size(), 1u);
    EXPECT_EQ(nativename::encode(back.windows[0].path), QByteArray("/src/caf\xe9.java"));
    EXPECT_TRUE(back.maximized);
    EXPECT_EQ(back.active, -1);

    // Lines not understood, CR LF line ends, an active number out of range, a silly size.
    const Session loose = SessionFile::decode("# mine\r\nframe -3 x\r\nwhat ever\r\nsource /a.java\r\nactive 7\r\n");
    ASSERT_EQ(loose.windows.size(), 1u);
    EXPECT_EQ(loose.windows[0].path, "/a.java");
    EXPECT_EQ(loose.active, -1);
    EXPECT_FALSE(loose.frameSize.isValid());
}

TEST(SessionFileTest, FilesGoneAreNamedAndLeftOut)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("A.java"), b = dir.filePath("B.java"), c = dir.filePath("C.java");
    writeFile(a, "class A {}\n");
    writeFile(c, "class C {}\n");
    QDir().mkpath(dir.filePath("D.java"));  // a folder now
    Session s;
    s.windows = {{false, a}, {false, b}, {false, c}, {false, dir.filePath("D.java")}};
    s.active = 2;
    QStringList gone;
    const Session left = SessionFile::present(s, &gone);
    EXPECT_EQ(gone, (QStringList{b, dir.filePath("D.java")}));
    ASSERT_EQ(left.windows.size(), 2u);
    EXPECT_EQ(left.windows[1].path, c);
    EXPECT_EQ(left.active, 1);  // still C
    s.active = 1;               // B was active: none is
    EXPECT_EQ(SessionFile::present(s, nullptr).active, -1);
}

TEST(SessionFileTest, WrittenAtomicallyOnlyWhenItChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config/brewpad/session.ini");
    SessionFile f(path);
    EXPECT_EQ(f.read(), Session{});  // none yet
    ASSERT_TRUE(f.write(sample()));  // the folder is made
    EXPECT_EQ(SessionFile(path).read(), sample());
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    EXPECT_EQ(before.st_mode & 022, 0u);
    ASSERT_TRUE(f.write(sample()));  // the same: not written again
    struct stat same {};
    ::stat(QFile::encodeName(path).constData(), &same);
    EXPECT_EQ(same.st_ino, before.st_ino);
    Session other = sample();
    other.active = 0;
    ASSERT_TRUE(f.write(other));  // a new file put in its place
    struct stat after {};
    ::stat(QFile::encodeName(path).constData(), &after);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(SessionFile(path).read(), other);

    // A named pipe in its place is neither read (it would block) nor replaced.
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    SessionFile p(fifo);
    EXPECT_EQ(p.read(), Session{});
    EXPECT_FALSE(p.write(sample()));
}

namespace {

class SessionWindowTest : public FrameTest {
protected:
    // The main window made anew, keeping its session in the test's folder.
    void restart()
    {
        if (app && app->Client) {
            for (TFileMDIChild* c : app->Client->editors())
                c->approveClose();
        }
        app.reset();
        TMDIFileApp::Options o;
        o.settleConfiguration = false;
        o.iniFile = dir.filePath("Brewpad.ini");
        o.sessionFile = sessionPath();
        app = std::make_unique<TMDIFileApp>(o);
        app->InitMainWindow();
        QApplication::processEvents();
    }
    QString sessionPath() { return dir.filePath("config/brewpad/session.ini"); }
    QStringList openFiles()
    {
        QStringList out;
        for (TFileMDIChild* c : client()->editors())
            out << c->editor()->source()->fileName();
        return out;
    }
    QByteArray iniBytes()
    {
        QFile f(dir.filePath("Brewpad.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

}  // namespace

TEST_F(SessionWindowTest, WindowsComeBackInTheirOrderWithTheActiveOne)
{
    restart();
    const QString a = writeFile("A.java", "class A {}\n");
    const QString b = writeFile("B.java", "class B {}\n");
    const QString p = writeFile("all.jpr", "A.java\n");
    const QString c = writeFile("C.java", "class C {}\n");
    openJava(a);
    openJava(b);
    client()->CmOpenJavaProjFile(p);
    openJava(c);
    newJava();  // untitled: nothing to open again
    app->Frame->resize(880, 610);
    ASSERT_TRUE(waitFor([&] { return SessionFile(sessionPath()).read().frameSize == QSize(880, 610); }, 5000));
    // B active: kept at once, before any exit.
    client()->bringToFront(client()->editors()[1]);
    QApplication::processEvents();
    Session kept = SessionFile(sessionPath()).read();
    ASSERT_EQ(kept.windows.size(), 4u);
    EXPECT_EQ(kept.active, 1);
    EXPECT_TRUE(kept.windows[2].project);
    EXPECT_EQ(kept.frameSize, QSize(880, 610));
    const QByteArray ini = iniBytes();

    restart();
    EXPECT_EQ(openFiles(), (QStringList{a, b, p, c}));
    ASSERT_NE(current(), nullptr);
    EXPECT_EQ(current()->editor()->source()->fileName(), b);
    EXPECT_TRUE(client()->editors()[2]->isProject());
    EXPECT_EQ(app->Frame->size(), QSize(880, 610));
    EXPECT_EQ(iniBytes(), ini);  // the recent-file list stays as it was

    // Closed and saved under another name: kept as it changes.
    client()->editors()[0]->close();
    QApplication::processEvents();
    const QString b2 = dir.filePath("B2.java");
    dialogs_.savePaths.push_back(b2);
    client()->bringToFront(client()->editors()[0]);
    trigger(cmd::FileSaveAs);
    QApplication::processEvents();
    kept = SessionFile(sessionPath()).read();
    ASSERT_EQ(kept.windows.size(), 3u);
    EXPECT_EQ(kept.windows[0].path, b2);
    EXPECT_EQ(kept.active, 0);

    // Files named on the command line open after the session's, the last of them active.
    const QString e = writeFile("E.java", "class E {}\n");
    openStartFiles(*app, QStringList{e});
    ASSERT_TRUE(waitFor([&] { return client()->editors().size() == 4; }, 10000));
    EXPECT_EQ(openFiles(), (QStringList{b2, p, c, e}));
    EXPECT_EQ(current()->editor()->source()->fileName(), e);
    client()->editors()[3]->close();
    QApplication::processEvents();

    // A file gone is named once, and left out.
    ASSERT_TRUE(QFile::remove(c));
    restart();
    EXPECT_EQ(openFiles(), (QStringList{b2, p}));
    EXPECT_TRUE(app->statusMessage().contains(c)) << app->statusMessage().toStdString();
    EXPECT_EQ(SessionFile(sessionPath()).read().windows.size(), 2u);

    // A file of the session named on the command line again takes the
    // session's window, so that each start does not add one more.
    openStartFiles(*app, QStringList{b2, e});
    ASSERT_TRUE(waitFor([&] { return client()->editors().size() == 3; }, 10000));
    QApplication::processEvents();
    EXPECT_EQ(openFiles(), (QStringList{b2, p, e}));
}

TEST_F(SessionWindowTest, ClosingTheMainWindowKeepsTheSession)
{
    restart();
    const QString a = writeFile("A.java", "class A {}\n");
    openJava(a);
    app->Frame->showMaximized();
    ASSERT_TRUE(waitFor([&] { return SessionFile(sessionPath()).read().maximized; }, 5000));
    app->Frame->close();
    QApplication::processEvents();
    restart();  // the windows go with the frame: not the user's closing
    EXPECT_EQ(openFiles(), QStringList{a});
    EXPECT_TRUE(app->Frame->isMaximized());
}

TEST_F(SessionWindowTest, AMavenProjectComesBackFromItsPom)
{
    // No Maven on the path: nothing is asked, the window alone is kept.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "/nonexistent");
    restart();
    const QString a = writeFile("A.java", "class A {}\n");
    const QString pom = writeFile("shop/pom.xml", "<project/>\n");
    openJava(a);
    client()->CmOpenJavaProjFile(pom);
    ASSERT_TRUE(waitFor([&] { return SessionFile(sessionPath()).read().windows.size() == 2; }, 5000));
    const Session kept = SessionFile(sessionPath()).read();
    EXPECT_EQ(kept.windows[1], (SessionWindow{true, pom}));
    EXPECT_EQ(kept.active, 1);

    restart();
    const QList<QMdiSubWindow*> windows = client()->subWindowList(QMdiArea::CreationOrder);
    ASSERT_EQ(windows.size(), 2);
    auto* maven = qobject_cast<MavenProjectWindow*>(windows[1]);
    ASSERT_NE(maven, nullptr);
    EXPECT_EQ(maven->model().file, pom);
    EXPECT_EQ(client()->activeSubWindow(), maven);
    qputenv("PATH", path);
}
