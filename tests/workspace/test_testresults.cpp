// SPDX-License-Identifier: GPL-3.0-or-later
// Run Tests and Run Test at Caret through the main window with the real javac,
// java and JUnit: the Test Results pane's tree and summary, a double-click
// that goes to the failing line, a JUnit 4 class, and the method at the caret.
// Also the method at the caret found in a source's text.
#include "compile_fixture.h"
#include "toolchain/testing/junitjars.h"
#include "workspace/panearea.h"
#include "workspace/testatcaret.h"
#include "workspace/testcommands.h"
#include "workspace/testresultswindow.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextCursor>
#include <QTreeWidget>

TEST(TestAtCaret, FindsTheTestMethodAroundTheCaret)
{
    const QString text =
        "import org.junit.jupiter.api.*;\n"
        "class T {\n"
        "    // @Test void commented() {}\n"
        "    @Test\n"
        "    @DisplayName(\"a (b)\")\n"
        "    void first() {\n"
        "        String s = \"} @Test void no() {\";\n"
        "    }\n"
        "    void helper() { }\n"
        "    @org.junit.Test public void second() throws Exception { if (true) { } }\n"
        "}\n";
    auto at = [&](const char* marker) { return int(text.indexOf(marker)); };
    EXPECT_EQ(testMethodAt(text, at("@Test\n")), "first");
    EXPECT_EQ(testMethodAt(text, at("String s")), "first");
    EXPECT_EQ(testMethodAt(text, at("@Test void no")), "first");  // in a literal
    EXPECT_EQ(testMethodAt(text, at("helper")), "");
    EXPECT_EQ(testMethodAt(text, at("commented")), "");
    EXPECT_EQ(testMethodAt(text, at("if (true)")), "second");
    EXPECT_EQ(testMethodAt(text, 0), "");
    EXPECT_EQ(qualifiedClassName("/* package x; */\npackage a.b;\nclass T {}", "T"), "a.b.T");
    EXPECT_EQ(qualifiedClassName("class T {}", "T"), "T");
}

namespace {

const char kShop[] =
    "package shop;\n"                                      // 1
    "import org.junit.jupiter.api.Test;\n"                 // 2
    "import static org.junit.jupiter.api.Assertions.*;\n"  // 3
    "public class ShopTest {\n"                            // 4
    "    @Test\n"                                          // 5
    "    void good() { assertEquals(2, 1 + 1); }\n"        // 6
    "    @Test\n"                                          // 7
    "    void bad() {\n"                                   // 8
    "        int total = 1;\n"                             // 9
    "        assertEquals(1, total + 1);\n"                // 10
    "    }\n"
    "}\n";

const char kOld[] =
    "import org.junit.Test;\n"
    "import static org.junit.Assert.*;\n"
    "public class OldTest {\n"
    "    @Test public void one() { assertTrue(true); }\n"
    "    @Test public void two() { assertTrue(true); }\n"
    "}\n";

class TestResults : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        if (HasFatalFailure())
            return;
        useRealJavac();
        if (!IsSkipped() && junitJars().isEmpty())
            GTEST_SKIP() << "JUnit is not installed";
    }
    // Runs `id` on the active window and waits for the Test Results.
    TestResultsWindow* runAndWait(int id)
    {
        TestCommands& tests = client()->tests();
        trigger(id);
        const bool done = QTest::qWaitFor(
            [&] {
                return tests.results() && !tests.testRun().running() && tests.results()->tree()->topLevelItemCount();
            },
            90000);
        EXPECT_TRUE(done) << (tests.results() ? tests.results()->summary()->text().toStdString() : "no pane")
                          << (dialogs_.messages.empty() ? "" : dialogs_.messages.back().text.toStdString());
        return tests.results();
    }
};

}  // namespace

TEST_F(TestResults, RunTestsShowsOutcomesAndGoesToTheFailingLine)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("shop"));
    const QString path = writeFile("shop/ShopTest.java", kShop);
    ASSERT_TRUE(openJava(path));
    TestResultsWindow* w = runAndWait(cmd::RunTests);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->summary()->text(), "1 passed, 1 failed, 0 skipped");
    EXPECT_EQ(w->tree()->accessibleName(), "Test results");
    EXPECT_FALSE(w->summary()->accessibleName().isEmpty());
    ASSERT_EQ(client()->panes().pane(Pane::TestResults)->kind(), Pane::TestResults);
    QTreeWidgetItem* cls = w->tree()->topLevelItem(0);
    EXPECT_EQ(cls->text(0), "shop.ShopTest");
    QTreeWidgetItem* bad = nullptr;
    for (int i = 0; i < cls->childCount(); ++i) {
        if (cls->child(i)->text(0) == "bad")
            bad = cls->child(i);
    }
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->text(1), "Failed");
    EXPECT_TRUE(bad->text(3).startsWith("Expected: 1, actual: 2")) << bad->text(3).toStdString();

    // The caret elsewhere; a double-click on the failed test goes to line 10.
    current()->editor()->moveCursor(QTextCursor::Start);
    emit w->tree()->itemActivated(bad, 0);
    EXPECT_EQ(current()->editor()->textCursor().blockNumber() + 1, 10);

    // Run Failed Tests Again runs only the failed one.
    ASSERT_TRUE(w->runFailedButton()->isEnabled());
    w->runFailedButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !client()->tests().testRun().running() && w->tree()->topLevelItemCount(); }, 90000));
    EXPECT_EQ(w->summary()->text(), "0 passed, 1 failed, 0 skipped");
}

TEST_F(TestResults, JUnit4ClassAndTheTestAtTheCaret)
{
    const QString path = writeFile("OldTest.java", kOld);
    TFileMDIChild* c = openJava(path);
    ASSERT_TRUE(c);
    QTextCursor cur(c->editor()->document()->findBlockByNumber(4));  // in two()
    cur.movePosition(QTextCursor::EndOfBlock);
    cur.movePosition(QTextCursor::Left, QTextCursor::MoveAnchor, 3);
    c->editor()->setTextCursor(cur);
    TestResultsWindow* w = runAndWait(cmd::RunTestAtCaret);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->summary()->text(), "1 passed, 0 failed, 0 skipped");
    ASSERT_EQ(w->tree()->topLevelItemCount(), 1);
    ASSERT_EQ(w->tree()->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(w->tree()->topLevelItem(0)->child(0)->text(0), "two");
}
