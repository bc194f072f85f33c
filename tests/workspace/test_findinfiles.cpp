// SPDX-License-Identifier: GPL-3.0-or-later
// Find in Files: the search over real files in a temporary folder (which files,
// which lines, in which order), and the command through the real main window
// (the dialog's proposals, the "Find in Files" window's rows, Enter on a row
// leading to its line, a new search replacing the results).
#include "frame_fixture.h"

#include "workspace/filesearch.h"
#include "workspace/findinfiles.h"
#include "workspace/findresults.h"
#include "platform/nativename.h"

#include <QFile>
#include <QListWidget>
#include <QSignalSpy>
#include <QTextBlock>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Found {
    QString file;  // relative to the folder searched
    int line;
    int column;
    friend bool operator==(const Found&, const Found&) = default;
};

void PrintTo(const Found& f, std::ostream* os)
{
    *os << f.file.toStdString() << "(" << f.line << ":" << f.column << ")";
}

std::vector<Found> searchIn(const QString& folder, const QString& pattern, const QString& names = "*.java",
                            bool matchCase = false, FileSearchTotals* totals = nullptr)
{
    FindInFilesQuery q;
    q.folder = folder;
    q.pattern = pattern;
    q.fileNames = names;
    q.matchCase = matchCase;
    std::vector<Found> out;
    const FileSearchTotals t = FileSearch(q).run([&](const FileMatch& m) {
        out.push_back(Found{QDir(folder).relativeFilePath(m.path), m.line, m.column});
    });
    if (totals)
        *totals = t;
    return out;
}

// A tree of sources with every kind of file the search meets.
class SearchTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        put("A.java", "class A {\n    int needle;\n}\n// Needle again\n");
        put("b/B.java", "class B {\r\n\r\n  String s = \"a needle\";\r\n}\r\n");
        put("b/c/C.java", "needle\rneedle\r");  // lone CR line ends, as the editor splits them
        put("b/notes.txt", "a needle in a text\n");
        put("Z.java", "class Z {}\n");
        put("binary.java", QByteArray("needle\0\n", 8));
        QByteArray utf16("\xff\xfe", 2);
        for (QChar ch : QStringLiteral("x\nneedle\n"))
            utf16.append(char(ch.unicode() & 0xff)).append(char(ch.unicode() >> 8));
        put("U.java", utf16);
        // A link to the folder itself: followed, it would never end.
        ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("b/loop")));
    }
    void put(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).absolutePath());
        ASSERT_TRUE(writeFile(dir.filePath(name), bytes));
    }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(SearchTree, FindsTheLinesOfMatchingFilesInNameOrderWithoutFollowingFolderLinks)
{
    FileSearchTotals t;
    const std::vector<Found> found = searchIn(dir.path(), "needle", "*.java", false, &t);
    // The files of a folder first, in name order, then its subfolders; no
    // binary file, no text file of another name; the folder link not followed.
    const std::vector<Found> expected{{"A.java", 2, 8},    {"A.java", 4, 3},     {"U.java", 2, 0},
                                      {"b/B.java", 3, 16}, {"b/c/C.java", 1, 0}, {"b/c/C.java", 2, 0}};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(t.matches, 6);
    EXPECT_EQ(t.files, 4);
    EXPECT_EQ(t.searched, 5);  // A, Z, U, B and C; not the binary file
    EXPECT_EQ(searchSummaryText(t), "6 matches in 4 files");
}

TEST_F(SearchTree, MatchCaseFileNamesAndNothingToFind)
{
    EXPECT_EQ(searchIn(dir.path(), "Needle", "*.java", true), (std::vector<Found>{{"A.java", 4, 3}}));
    // Several name patterns, with any separator.
    EXPECT_EQ(searchIn(dir.path(), "a needle", "*.txt; B.*").size(), 2u);
    EXPECT_EQ(searchIn(dir.path(), "a needle", "*.txt,*.java").size(), 2u);
    // No names: every file.
    EXPECT_EQ(searchIn(dir.path(), "a needle", "").size(), 2u);
    EXPECT_TRUE(searchIn(dir.path(), "haystack").empty());
    EXPECT_TRUE(searchIn(dir.path(), "").empty());
    EXPECT_TRUE(searchIn(dir.filePath("missing"), "needle").empty());
    FileSearchTotals none;
    searchIn(dir.path(), "haystack", "*.java", false, &none);
    EXPECT_EQ(searchSummaryText(none), "0 matches in 0 files");
    EXPECT_EQ(searchSummaryText({1, 1, 1}), "1 match in 1 file");
}

TEST_F(SearchTree, LeavesOutLargeAndUnreadableFilesAndStopsWhenCancelled)
{
    // Just over the limit, the match at its start.
    QByteArray large = "needle\n";
    large.append(QByteArray(MaxSearchBytes, 'x'));
    put("b/Large.java", large);
    put("b/Secret.java", "needle\n");
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("b/Secret.java")).constData(), 0), 0);
    for (const QString& p : {dir.path(), dir.filePath("b"), dir.filePath("b/c"), dir.filePath("A.java"),
                             dir.filePath("U.java"), dir.filePath("b/B.java"), dir.filePath("b/c/C.java"),
                             dir.filePath("b/Large.java"), dir.filePath("b/Secret.java")})
        giveToUnprivilegedUser(p);
    const QString root = dir.path();
    asUnprivilegedUser([root] {
        FileSearchTotals t;
        const std::vector<Found> found = searchIn(root, "needle", "*.java", false, &t);
        EXPECT_EQ(found.size(), 6u);
        for (const Found& f : found)
            EXPECT_TRUE(f.file != "b/Large.java" && f.file != "b/Secret.java") << f.file.toStdString();
    });
    // Cancelled before it starts: nothing.
    FindInFilesQuery q;
    q.folder = dir.path();
    q.pattern = "needle";
    const std::atomic<bool> cancelled{true};
    int calls = 0;
    EXPECT_EQ(FileSearch(q).run([&](const FileMatch&) { ++calls; }, &cancelled).matches, 0);
    EXPECT_EQ(calls, 0);
}

TEST(FileSearchText, FindsTheTextInEveryEncodingAndCaseTheEditorReads)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir.filePath("Latin.java"), "// caf\xe9 Cr\xc8me\n");         // Windows-1252
    writeFile(dir.filePath("Utf8.java"), "// caf\xc3\xa9 Cr\xc3\x88me\n");  // UTF-8
    writeFile(dir.filePath("Kelvin.java"),
              "int \xe2\x84\xaa"
              "ey;\nint lon\xc5\xbf;\n");  // the Kelvin sign, the long s
    writeFile(dir.filePath("Plain.java"), "int KEY;\n");
    EXPECT_EQ(searchIn(dir.path(), QString::fromUtf8("CAF\xc3\x89")),
              (std::vector<Found>{{"Latin.java", 1, 3}, {"Utf8.java", 1, 3}}));
    EXPECT_EQ(searchIn(dir.path(), QString::fromUtf8("cr\xc3\xa8me")),
              (std::vector<Found>{{"Latin.java", 1, 8}, {"Utf8.java", 1, 8}}));
    EXPECT_EQ(searchIn(dir.path(), "CRE").size(), 0u);
    EXPECT_EQ(searchIn(dir.path(), "Cr", "*.java", true).size(), 2u);
    EXPECT_EQ(searchIn(dir.path(), "cr", "*.java", true).size(), 0u);
    // Whatever case folding makes of them, the files say what their text says.
    const bool kelvin = QString::fromUtf8(
                            "int \xe2\x84\xaa"
                            "ey;")
                            .contains("key", Qt::CaseInsensitive);
    const bool longS = QString::fromUtf8("int lon\xc5\xbf;").contains("LONS", Qt::CaseInsensitive);
    std::vector<Found> keys{{"Plain.java", 1, 4}};
    if (kelvin)
        keys.insert(keys.begin(), Found{"Kelvin.java", 1, 4});
    EXPECT_EQ(searchIn(dir.path(), "key"), keys);
    EXPECT_EQ(searchIn(dir.path(), "LONS").size(), longS ? 1u : 0u);
    EXPECT_EQ(searchIn(dir.path(), "key", "*.java", true).size(), 0u);
}

TEST(FileSearchRows, PathLineAndTheTextWithoutItsIndentation)
{
    FileMatch m{"/src/a b/A.java", 12, 8, 6, "\t    int needle;"};
    EXPECT_EQ(matchRowText(m), "/src/a b/A.java(12): int needle;");
}

// ---------------------------------------------------------------- through the window

namespace {

FindInFiles* finder(TFileMDIClient* ws)
{
    return ws->findChild<FindInFiles*>();
}

QStringList rows(const FindResultsWindow* w)
{
    QStringList out;
    for (int i = 0; i < w->list()->count(); ++i)
        out << w->list()->item(i)->text();
    return out;
}

}  // namespace

TEST_F(FrameTest, FindInFilesListsTheLinesAndEnterLeadsToTheMatch)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("src/b"));
    writeFile("src/A.java", "class A {\n    int needle;\n}\n");
    writeFile("src/b/B.java", "class B {\n\n  String s = \"NEEDLE\";\n}\n");
    writeFile("src/b/notes.txt", "needle\n");
    TFileMDIChild* a = openJava(dir.filePath("src/A.java"));
    ASSERT_NE(a, nullptr);
    EditControl* e = a->editor();
    e->setFocus();
    // The caret in the word "needle".
    QTextCursor c(e->document()->findBlockByNumber(1));
    c.setPosition(c.position() + 10);
    e->setTextCursor(c);
    FindInFiles* f = finder(client());
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(enabled(cmd::ShowFindResults));
    FindInFilesQuery answer;
    answer.folder = dir.filePath("src");
    answer.pattern = "needle";
    dialogs_.findInFilesAnswers.push_back(answer);
    QSignalSpy searching(client(), &TFileMDIClient::lastingStatusShown);
    press(e, Qt::CTRL | Qt::SHIFT | Qt::Key_F);
    // Proposed: the file's folder, the word at the caret, Java sources.
    ASSERT_EQ(dialogs_.findInFilesProposals.size(), 1u);
    const FindInFilesQuery& proposed = dialogs_.findInFilesProposals[0];
    EXPECT_EQ(proposed.folder, dir.filePath("src"));
    EXPECT_EQ(proposed.pattern, "needle");
    EXPECT_EQ(proposed.fileNames, "*.java");
    EXPECT_FALSE(proposed.matchCase);
    ASSERT_EQ(searching.size(), 1);
    EXPECT_TRUE(searching[0][0].toString().startsWith("Searching for \"needle\" in "))
        << searching[0][0].toString().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->searching(); }, 20000));

    FindResultsWindow* w = f->window();
    ASSERT_NE(w, nullptr);
    const QString pathA = QDir::toNativeSeparators(dir.filePath("src/A.java"));
    const QString pathB = QDir::toNativeSeparators(dir.filePath("src/b/B.java"));
    EXPECT_EQ(rows(w), (QStringList{pathA + "(2): int needle;", pathB + "(3): String s = \"NEEDLE\";",
                                    "2 matches in 2 files"}));
    // In the Window menu, and Find Results enabled.
    bool listed = false;
    for (const TFileMDIClient::WindowEntry& entry : client()->windowList())
        listed = listed || entry.caption == "Find in Files";
    EXPECT_TRUE(listed);
    EXPECT_TRUE(enabled(cmd::ShowFindResults));

    // Enter on B's row: B opened, the match selected.
    trigger(cmd::ShowFindResults);
    EXPECT_TRUE(w->list()->hasFocus());
    w->list()->setCurrentRow(1);
    press(w->list(), Qt::Key_Return);
    TFileMDIChild* b = current();
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->editor()->source()->fileName(), dir.filePath("src/b/B.java"));
    EXPECT_EQ(b->editor()->textCursor().selectedText(), "NEEDLE");
    EXPECT_EQ(b->editor()->textCursor().blockNumber(), 2);
    EXPECT_TRUE(b->editor()->hasFocus());
    // Double-click on A's row: back to A, already open.
    // As a user makes it: press and release, then the second press.
    const QPoint at = w->list()->visualItemRect(w->list()->item(0)).center();
    QTest::mouseClick(w->list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(w->list()->viewport(), Qt::LeftButton, {}, at);
    QApplication::processEvents();
    EXPECT_EQ(current(), a);
    EXPECT_EQ(e->textCursor().selectedText(), "needle");
    EXPECT_EQ(e->textCursor().blockNumber(), 1);
    // Enter on the summary row does nothing.
    w->list()->setCurrentRow(2);
    press(w->list(), Qt::Key_Return);
    EXPECT_EQ(current(), a);

    // A new search replaces the results, case matched, other names.
    answer.pattern = "needle";
    answer.matchCase = true;
    answer.fileNames = "*.txt";
    dialogs_.findInFilesAnswers.push_back(answer);
    trigger(cmd::FindInFiles);
    EXPECT_EQ(dialogs_.findInFilesProposals.back().fileNames, "*.java");  // the last search's
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->searching(); }, 20000));
    EXPECT_EQ(f->window(), w);
    EXPECT_EQ(rows(w), (QStringList{QDir::toNativeSeparators(dir.filePath("src/b/notes.txt")) + "(1): needle",
                                    "1 match in 1 file"}));

    // Closed, the window comes back with its rows through Find Results.
    w->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    ASSERT_EQ(f->window(), nullptr);
    trigger(cmd::ShowFindResults);
    ASSERT_NE(f->window(), nullptr);
    EXPECT_EQ(rows(f->window()).size(), 2);
}

TEST_F(FrameTest, FindInFilesWithoutAWindowAndCancelled)
{
    writeFile("Here.java", "class Here {}\n");
    // Cancelled: nothing searched, no window.
    trigger(cmd::FindInFiles);
    ASSERT_EQ(dialogs_.findInFilesProposals.size(), 1u);
    EXPECT_EQ(dialogs_.findInFilesProposals[0].folder, QDir::currentPath());
    EXPECT_EQ(finder(client())->window(), nullptr);
    // A folder that is not there is said so.
    FindInFilesQuery q;
    q.folder = dir.filePath("missing");
    q.pattern = "Here";
    dialogs_.findInFilesAnswers.push_back(q);
    trigger(cmd::FindInFiles);
    ASSERT_FALSE(dialogs_.messages.empty());
    EXPECT_TRUE(dialogs_.messages.back().text.contains("does not exist"));
    EXPECT_EQ(finder(client())->window(), nullptr);
    // The last pattern and folder are proposed again without an editor window.
    q.folder = dir.path();
    dialogs_.findInFilesAnswers.push_back(q);
    trigger(cmd::FindInFiles);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finder(client())->searching(); }, 20000));
    trigger(cmd::FindInFiles);
    EXPECT_EQ(dialogs_.findInFilesProposals.back().folder, dir.path());
    EXPECT_EQ(dialogs_.findInFilesProposals.back().pattern, "Here");
    EXPECT_EQ(rows(finder(client())->window()).size(), 2);
}

TEST_F(FrameTest, FindInFilesSearchesAndOpensAFileWhoseNameIsNotUtf8)
{
    // "caf\xE9.java": a name written on a Latin-1 system.
    ASSERT_TRUE(QDir(dir.path()).mkpath("odd"));
    const QByteArray bytes = QFile::encodeName(dir.filePath("odd")) + "/caf\xE9.java";
    const int fd = ::open(bytes.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const QByteArray text = "class Cafe {\n    int needle;\n}\n";
    ASSERT_EQ(::write(fd, text.constData(), text.size()), text.size());
    ::close(fd);
    const QString name = nativename::decode(bytes);

    FindInFiles* f = finder(client());
    ASSERT_NE(f, nullptr);
    FindInFilesQuery answer;
    answer.folder = dir.filePath("odd");
    answer.pattern = "needle";
    dialogs_.findInFilesAnswers.push_back(answer);
    trigger(cmd::FindInFiles);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->searching(); }, 20000));
    FindResultsWindow* w = f->window();
    ASSERT_NE(w, nullptr);
    // Listed as the editor's caption shows the name.
    EXPECT_EQ(rows(w), (QStringList{dir.filePath("odd") + "/caf\\xE9.java(2): int needle;", "1 match in 1 file"}));

    w->list()->setCurrentRow(0);
    press(w->list(), Qt::Key_Return);
    TFileMDIChild* c = current();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(nativename::encode(c->editor()->source()->fileName()), bytes);  // the name's bytes kept
    EXPECT_EQ(c->editor()->textCursor().selectedText(), "needle");
    EXPECT_EQ(c->editor()->textCursor().blockNumber(), 1);
}
