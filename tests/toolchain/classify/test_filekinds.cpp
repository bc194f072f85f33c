// SPDX-License-Identifier: GPL-3.0-or-later
// What stands on disk under a file's name, through the window: only regular
// files are read and written, and never with an open that waits (a named pipe
// in the file's place, as a project entry or as a project; a device; a loop of
// links); a reload refuses what Open refuses and keeps the window's text; the
// extended attributes of a file survive Save and Unix2Dos; a write that put the
// old modification time back is noticed; a project line takes no line break.
#include "frame_fixture.h"

#include "editor/textfile.h"
#include "project/projfile.h"
#include "toolchain/classify/classify.h"
#include "toolchain/compiling/outofdate.h"
#include "toolchain/compiling/projectcompile.h"
#include "toolchain/classify/projectscan.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kOverwriteQuestion =
    "The file %1 was changed on disk after Brewpad read it.\n\nOverwrite it with the text of this window?";
const QString kPipeRefusal = "The file %1 is a named pipe, not a regular file, which Brewpad does not read. %2";
const QString kNotOpened = "It was not opened.";
const QString kKeptText = "It was not loaded again: the window keeps its text.";
const QString kPipeNotWritten =
    "Unable to write file %1 to disk.\n\nIt is a named pipe, not a regular file: Brewpad writes only regular files.";

// Watches a named pipe while it lives: a reader that opens it is found out and
// let go at once (the pipe is opened for writing and closed again, so that a
// reader waiting in open or read gets the end of the file). A fault that would
// block the window then fails the test instead of hanging it.
class PipeWatch {
public:
    explicit PipeWatch(const QString& path) : path_(QFile::encodeName(path)), thread_([this] { run(); }) {}
    ~PipeWatch()
    {
        stop_ = true;
        thread_.join();
    }
    bool opened() const { return opened_; }

private:
    void run()
    {
        while (!stop_) {
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                opened_ = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    QByteArray path_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> opened_{false};
    std::thread thread_;
};

bool isKind(const QString& path, mode_t kind)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
}

class FileKinds : public FrameTest {
protected:
    void activate(TFileMDIChild* c)
    {
        client()->setActiveSubWindow(c);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    void typeAtStart(TFileMDIChild* c, const QString& text)
    {
        c->editor()->setTextCursor(QTextCursor(c->editor()->document()));
        QTest::keyClicks(c->editor(), text);
    }
    QString makePipe(const QString& name)
    {
        const QString p = dir.filePath(name);
        QFile::remove(p);
        EXPECT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0);
        return p;
    }
};

}  // namespace

TEST_F(FileKinds, NamedPipeInTheFilesPlaceIsNeverReadAndTheWindowKeepsItsText)
{
    const QString path = writeFile("Piped.java", "class Piped {}\n");
    TFileMDIChild* c = openJava(path);
    TFileMDIChild* other = newJava();
    activate(other);
    makePipe("Piped.java");
    PipeWatch watch(path);

    activate(c);
    EXPECT_EQ(dialogs_.texts(), QStringList(kPipeRefusal.arg(path, kKeptText)));
    EXPECT_EQ(c->editor()->source()->rawText(), "class Piped {}\n");
    EXPECT_FALSE(c->editor()->isReadOnly());
    // The same state is not told again.
    activate(other);
    activate(c);
    EXPECT_EQ(dialogs_.messages.size(), 1u);

    // Unix2Dos converts only regular files.
    dialogs_.messages.clear();
    trigger(cmd::Unix2Dos);
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_TRUE(dialogs_.messages[0].text.startsWith(path + " was not converted: it is a named pipe"));
    EXPECT_EQ(c->editor()->source()->rawText(), "class Piped {}\n");

    // Nor does the compiler get it.
    dialogs_.messages.clear();
    trigger(cmd::JavaCompile);
    EXPECT_EQ(dialogs_.texts(),
              QStringList("The file " + path + " is a named pipe, not a regular file, so it was not compiled."));
    EXPECT_FALSE(c->compiling());

    // Save asks (the file changed), and the writer refuses the pipe.
    typeAtStart(c, "// kept ");
    dialogs_.messages.clear();
    dialogs_.answers = {Answer::Yes};
    trigger(cmd::FileSave);
    EXPECT_EQ(dialogs_.texts(), QStringList({kOverwriteQuestion.arg(path), kPipeNotWritten.arg(path)}));
    EXPECT_EQ(c->editor()->source()->rawText(), "// kept class Piped {}\n");
    EXPECT_TRUE(c->editor()->document()->isModified());
    EXPECT_TRUE(isKind(path, S_IFIFO));

    // Open Java File and Open Project refuse it without a window.
    dialogs_.messages.clear();
    const int windows = int(client()->editors().size());
    openJava(path);
    client()->CmOpenJavaProjFile(path);
    EXPECT_EQ(dialogs_.texts(),
              QStringList({kPipeRefusal.arg(path, kNotOpened), kPipeRefusal.arg(path, kNotOpened)}));
    EXPECT_EQ(client()->editors().size(), windows);
    EXPECT_FALSE(watch.opened());
}

TEST_F(FileKinds, NamedPipesAsProjectEntriesOrProjectsAreNeverRead)
{
    writeFile("Good.java", "class Good { public static void main(String[] a) {} }\n");
    const QString pipe = makePipe("Piped.java");
    const QString project = writeFile("Both.jpr", "Piped.java\r\nGood.java\r\n");
    const QString pipedProject = makePipe("Piped.jpr");
    PipeWatch watchSource(pipe);
    PipeWatch watchProject(pipedProject);

    // The compile plan lists the regular source and names the pipe.
    const ProjectCompilePlan plan = planProjectCompile(project);
    EXPECT_EQ(plan.sources, QStringList("Good.java"));
    EXPECT_EQ(plan.refused, QStringList(pipe + " (a named pipe)"));
    EXPECT_EQ(plan.entries, 2);
    EXPECT_EQ(need_comp(dir.filePath("Good.class"), pipe), 1);

    // The classification passes over it.
    ProjectClassification found;
    EXPECT_TRUE(scanProject(project, &found));
    EXPECT_TRUE(found.main);
    EXPECT_EQ(scanJavaFile(pipe).verdict, NothingRecognised);

    // A project that is a pipe is no project.
    EXPECT_FALSE(readProjectFile(pipedProject, nullptr));
    EXPECT_FALSE(scanProject(pipedProject, &found));
    EXPECT_EQ(planProjectCompile(pipedProject).entries, 0);
    EXPECT_FALSE(watchSource.opened());
    EXPECT_FALSE(watchProject.opened());
}

TEST_F(FileKinds, ReloadRefusesAFileGrownTooLargeAndKeepsTheText)
{
    const QString path = writeFile("Grown.java", "class Grown {}\n");
    TFileMDIChild* c = openJava(path);
    TFileMDIChild* other = newJava();
    activate(other);
    const QByteArray line = "// a line of a file that grew beyond what Brewpad edits\n";
    const QByteArray big = line.repeated(MaxEditBytes / line.size() + 1);
    writeFile("Grown.java", big);

    activate(c);
    EXPECT_EQ(dialogs_.texts(),
              QStringList("The file " + path + " is too large to edit: it holds " + QString::number(big.size()) +
                          " bytes, and Brewpad edits files of up to 16 MB. " + kKeptText));
    EXPECT_EQ(c->editor()->source()->rawText(), "class Grown {}\n");
    EXPECT_EQ(dialogs_.messages[0].icon, Icon::Stop);
    QFile::remove(path);
}

TEST_F(FileKinds, LoopOfLinksOpensReadOnlyAndStaysALink)
{
    const QString a = dir.filePath("A.java");
    const QString b = dir.filePath("B.java");
    ASSERT_EQ(::symlink("B.java", QFile::encodeName(a).constData()), 0);
    ASSERT_EQ(::symlink("A.java", QFile::encodeName(b).constData()), 0);
    TFileMDIChild* c = openJava(a);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(dialogs_.texts(), QStringList("Unable to read file " + a + " from disk."));
    EXPECT_EQ(c->caption(), "JAVA - " + a);
    EXPECT_TRUE(c->editor()->isReadOnly());
    EXPECT_FALSE(enabled(cmd::FileSave));
    EXPECT_FALSE(enabled(cmd::FileSaveAs));
    QTest::keyClicks(c->editor(), "typed");
    EXPECT_TRUE(c->editor()->document()->isEmpty());
    c->editor()->document()->setModified(true);
    triggerExpectingDisabled(cmd::FileSave);
    EXPECT_TRUE(isKind(a, S_IFLNK));
    EXPECT_TRUE(isKind(b, S_IFLNK));
    c->editor()->document()->setModified(false);
}

TEST_F(FileKinds, SaveAsOntoANamedPipeOrADeviceIsRefused)
{
    const QString pipe = makePipe("Pipe.java");
    PipeWatch watch(pipe);
    TFileMDIChild* n = newJava();
    n->editor()->insertPlainText("class Lost {}\n");
    dialogs_.savePaths.push_back(pipe);
    trigger(cmd::FileSaveAs);
    EXPECT_EQ(dialogs_.texts(), QStringList(kPipeNotWritten.arg(pipe)));
    EXPECT_TRUE(isKind(pipe, S_IFIFO));
    EXPECT_EQ(n->caption(), "JAVA - Untitled");
    EXPECT_TRUE(n->isNewFile());
    EXPECT_EQ(n->editor()->source()->rawText(), "class Lost {}\n");
    EXPECT_TRUE(n->editor()->document()->isModified());
    EXPECT_FALSE(watch.opened());

    if (geteuid() != 0)
        return;  // only root makes devices
    const QString device = dir.filePath("Null.java");
    ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    dialogs_.messages.clear();
    dialogs_.savePaths.push_back(device);
    trigger(cmd::FileSaveAs);
    EXPECT_EQ(dialogs_.texts(), QStringList("Unable to write file " + device +
                                            " to disk.\n\nIt is a character device, not a regular file: Brewpad "
                                            "writes only regular files."));
    EXPECT_TRUE(isKind(device, S_IFCHR));
    EXPECT_EQ(n->caption(), "JAVA - Untitled");
}

TEST_F(FileKinds, SaveAndUnix2DosKeepExtendedAttributes)
{
    const auto attrDir = temporaryDirWithAttributes();
    ASSERT_TRUE(attrDir);
    const QString path = attrDir->filePath("Noted.java");
    ::writeFile(path, "class Noted {}\n");
    ASSERT_TRUE(setAttribute(path, "user.note", "reviewed"));
    TFileMDIChild* c = openJava(path);
    typeAtStart(c, "/* saved */ ");
    trigger(cmd::FileSave);
    EXPECT_EQ(readFile(path), "/* saved */ class Noted {}\n");
    EXPECT_EQ(attribute(path, "user.note"), "reviewed");
    trigger(cmd::Unix2Dos);
    EXPECT_EQ(readFile(path), "/* saved */ class Noted {}\r\n");
    EXPECT_EQ(attribute(path, "user.note"), "reviewed");
    EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(FileKinds, SameSizeWriteWithItsOldModificationTimePutBackIsNoticed)
{
    const QString path = writeFile("Kept.java", "class One {}\n");
    struct stat read {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &read), 0);
    TFileMDIChild* c = openJava(path);
    TFileMDIChild* other = newJava();
    activate(other);
    // As cp -p or touch -r would leave it, later than the clock's step.
    auto writeKeepingTheTime = [&](const QByteArray& bytes) {
        QThread::msleep(30);
        writeFile("Kept.java", bytes);
        const struct timespec times[2] = {{0, UTIME_OMIT}, read.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    };
    writeKeepingTheTime("class Two {}\n");

    // An unchanged window loads it again.
    activate(c);
    EXPECT_EQ(c->editor()->source()->rawText(), "class Two {}\n");
    EXPECT_TRUE(dialogs_.messages.empty());

    // A changed one asks before Save overwrites it.
    activate(other);
    typeAtStart(c, "/* mine */ ");
    writeKeepingTheTime("class Six {}\n");
    dialogs_.answers = {Answer::No};
    c->CmFileSave();
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_EQ(dialogs_.messages.back().text, kOverwriteQuestion.arg(path));
    EXPECT_EQ(readFile(path), "class Six {}\n");
}

TEST_F(FileKinds, AddNodeRefusesANameWithALineBreak)
{
    const QString project = writeFile("Lines.jpr", "A.java\r\n");
    const QString odd = writeFile("Two\nLines.java", "class Odd {}\n");
    client()->CmOpenJavaProjFile(project);
    TFileMDIChild* p = current();
    ASSERT_TRUE(p && p->isProject());
    for (const QString& name : {odd, dir.filePath("Carriage\rReturn.java")}) {
        dialogs_.messages.clear();
        dialogs_.openPathLists.push_back({name});
        trigger(cmd::InsertNode);
        QString shown = name;
        shown.replace("\r", "\\r").replace("\n", "\\n");
        EXPECT_EQ(dialogs_.texts(), QStringList("The file name " + shown +
                                                " holds a line break, which a project line cannot hold, so it "
                                                "was not added. Rename the file, then add it."));
        EXPECT_EQ(p->editor()->source()->rawText(), "A.java\n");
        EXPECT_FALSE(p->editor()->document()->isModified());
    }
}
