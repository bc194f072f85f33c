// SPDX-License-Identifier: GPL-3.0-or-later
// Files whose names are not UTF-8, "caf\xE9.java" written on a Latin-1 system:
// named on the command line they open, are edited and saved under their own
// bytes, stay in the recent list across a restart, are shown readably, and F9,
// Java Run and Applet Run say why they leave them alone.
#include "frame_fixture.h"

#include "app/cmdline.h"
#include "app/inistore.h"
#include "toolchain/building/filebuild.h"
#include "platform/nativename.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QTextCursor>
#include <functional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool waitUntil(const std::function<bool()>& done)
{
    return QTest::qWaitFor(done, 60000);
}

}  // namespace

class OddNameTest : public FrameTest {
protected:
    const QByteArray base = QFile::encodeName(dir.path());

    // QTemporaryDir cannot name the entries that are no UTF-8: they go first.
    ~OddNameTest() override { removeTreeByBytes(base); }

    // Writes the file `name` (bytes) of the test's folder; returns its name as Brewpad holds it.
    QString make(const QByteArray& name, const QByteArray& content)
    {
        const int fd = ::open((base + '/' + name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(::write(fd, content.constData(), size_t(content.size())), content.size());
        ::close(fd);
        return nativename::decode(base + '/' + name);
    }
    QByteArray read(const QByteArray& name)
    {
        QByteArray all;
        const int fd = ::open((base + '/' + name).constData(), O_RDONLY);
        EXPECT_GE(fd, 0);
        char buf[4096];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buf, sizeof buf)) > 0;)
            all.append(buf, n);
        ::close(fd);
        return all;
    }
    // The names in the test's folder, as bytes, sorted.
    QList<QByteArray> entries()
    {
        QList<QByteArray> out;
        DIR* d = ::opendir(base.constData());
        while (const dirent* e = d ? ::readdir(d) : nullptr) {
            if (qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0)
                out << QByteArray(e->d_name);
        }
        if (d)
            ::closedir(d);
        std::sort(out.begin(), out.end());
        return out;
    }
    // Opens the names as `brewpad NAME...` started in the test's folder does:
    // the parser's names come decoded as Qt decodes them, with the arguments' bytes.
    void startWith(const QList<QByteArray>& argv)
    {
        QStringList positional;
        for (const QByteArray& a : argv)
            positional << QString::fromLocal8Bit(a);
        bool finished = false;
        const QStringList paths = absoluteStartPaths(nativeStartNames(positional, argv), dir.path());
        QObject::connect(openStartFiles(*app, paths), &StartFileOpener::finished, [&] { finished = true; });
        ASSERT_TRUE(waitUntil([&] { return finished; }));
    }
    void restart()
    {
        for (TFileMDIChild* c : client()->editors())
            c->approveClose();
        app.reset();
        startApp();
    }
    QString messagesText() { return dialogs_.texts().join(QLatin1Char('\n')); }
};

TEST_F(OddNameTest, OpensFromTheCommandLineAndSavesUnderItsOwnBytes)
{
    const QString path = make("caf\xE9.java", "class Caf {}\n");
    ASSERT_EQ(::mkdir((base + "/d\xFC").constData(), 0755), 0);
    startWith({"caf\xE9.java", "d\xFC"});
    ASSERT_EQ(client()->editors().size(), 1);
    TFileMDIChild* w = current();
    EXPECT_EQ(w->editor()->source()->fileName(), path);
    EXPECT_EQ(w->editor()->toPlainText(), "class Caf {}\n");
    EXPECT_TRUE(w->caption().endsWith(" - " + dir.path() + "/caf\\xE9.java")) << w->caption().toStdString();
    // The folder is named readably, as a folder.
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.contains(dir.path() + "/d\\xFC (a folder)"))
        << messagesText().toStdString();

    QTextCursor c(w->editor()->document());
    c.movePosition(QTextCursor::End);
    c.insertText("// more\n");
    trigger(cmd::FileSave);
    EXPECT_EQ(dialogs_.messages.size(), 1u) << messagesText().toStdString();
    EXPECT_FALSE(w->editor()->document()->isModified());
    EXPECT_EQ(read("caf\xE9.java"), "class Caf {}\n// more\n");
    // No file of another name beside it.
    EXPECT_EQ(entries(), QList<QByteArray>({"Brewpad.ini", "caf\xE9.java", "d\xFC"}));
}

TEST_F(OddNameTest, StaysInTheRecentListAcrossARestart)
{
    const QString path = make("caf\xE9.java", "class Caf {}\n");
    const QString plain = make("Plain.java", "class Plain {}\n");
    startWith({"Plain.java", "caf\xE9.java"});
    ASSERT_EQ(client()->editors().size(), 2);
    {
        IniStore ini(dir.filePath("Brewpad.ini"));
        EXPECT_EQ(ini.value("MRU", "MRU0").value_or(""), "file://" + dir.path() + "/caf%E9.java");
        EXPECT_EQ(ini.value("MRU", "MRU1").value_or(""), plain);
    }
    restart();
    ASSERT_EQ(client()->editors().size(), 0);
    QMenu* file = app->Frame->menuBar()->actions().value(0)->menu();
    ASSERT_NE(file, nullptr);
    emit file->aboutToShow();
    QStringList shown;
    for (QAction* a : file->actions()) {
        if (a->data().toInt() >= cmd::MruFirst && a->data().toInt() < cmd::MruFirst + 10)
            shown << a->text();
    }
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith("&1 ") && shown[0].endsWith("/caf\\xE9.java")) << shown[0].toStdString();
    app->EvFileSelected(0);
    EXPECT_TRUE(dialogs_.messages.empty()) << messagesText().toStdString();
    ASSERT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(current()->editor()->source()->fileName(), path);
    EXPECT_EQ(current()->editor()->toPlainText(), "class Caf {}\n");
}

TEST_F(OddNameTest, CompilingAndRunningSayWhatToDo)
{
    make("caf\xE9.java", "public class Caf { public static void main(String[] a) {} }\n");
    startWith({"caf\xE9.java"});
    ASSERT_EQ(client()->editors().size(), 1);
    const QString shownName = dir.path() + "/caf\\xE9.java";
    trigger(cmd::JavaCompile);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    const QString text = dialogs_.messages[0].text;
    EXPECT_TRUE(text.contains("The name " + shownName + " holds bytes that are not UTF-8")) << text.toStdString();
    EXPECT_TRUE(text.contains("so it was not compiled")) << text.toStdString();
    EXPECT_TRUE(text.contains("Rename the file")) << text.toStdString();
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Stop);
    EXPECT_FALSE(current()->compiling());
    current()->build().run();
    current()->build().runApplet();
    ASSERT_EQ(dialogs_.messages.size(), 3u);
    for (int i : {1, 2}) {
        EXPECT_TRUE(dialogs_.messages[i].text.contains("The name " + shownName + " holds bytes that are not UTF-8"));
        EXPECT_TRUE(dialogs_.messages[i].text.contains("so it was not run"))
            << dialogs_.messages[i].text.toStdString();
    }
    // Nothing was written beside the source.
    EXPECT_EQ(entries(), QList<QByteArray>({"Brewpad.ini", "caf\xE9.java"}));
}
