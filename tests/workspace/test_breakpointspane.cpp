// SPDX-License-Identifier: GPL-3.0-or-later
// Breakpoint Properties and the Breakpoints pane through the main window, with
// the real JDK: a disabled breakpoint does not stop, a hit count stops on its
// pass, the pane's check box reaches the margin and the running program, Run
// to Cursor stops at the caret's line without leaving a breakpoint there, a
// condition stops where it holds, and one that does not compile stops once and
// says so.
#include "debugrun_fixture.h"

#include "workspace/breakpointcommands.h"
#include "workspace/breakpointspane.h"
#include "workspace/breakpointsync.h"
#include "workspace/fileplaces.h"

#include <QStandardItemModel>
#include <QTreeView>
#include <QTreeWidget>

namespace {
const QByteArray kLoop = R"(public class Loop {
    public static void main(String[] args) {
        int total = 0;
        for (int i = 1; i <= 5; i++) {
            System.out.println("pass " + i);
            total += i; // counted
        }
        System.out.println("skipped " + total); // disabled
        System.out.println("done " + total);
        System.out.println("end");
    }
}
)";
}  // namespace

class BreakpointsPaneTest : public DebugRunFixture {
protected:
    BreakpointCommands* commands() { return client()->findChild<BreakpointCommands*>(); }
    MarkList& marks(TFileMDIChild* w) { return w->editor()->source()->marks(); }
    void caretTo(TFileMDIChild* w, int line)
    {
        QTextCursor c(w->editor()->document()->findBlockByNumber(line - 1));
        w->editor()->setTextCursor(c);
    }
    bool waitPaused()
    {
        return QTest::qWaitFor([&] { return debugger().live() && debugger().session()->settled(); }, 30000);
    }
    int caretLine() { return source->editor()->textCursor().blockNumber() + 1; }
};

TEST_F(BreakpointsPaneTest, PropertiesAndThePaneReachTheRunningProgram)
{
    openCompiled("Loop.java", kLoop);
    if (IsSkipped())
        return;
    const int counted = lineOf(kLoop, "// counted");
    const int disabled = lineOf(kLoop, "// disabled");
    const int done = lineOf(kLoop, "\"done ");
    caretTo(source, counted);
    dialogs_.breakpointAnswers.push_back(BreakpointFields{true, QString(), 3});
    trigger(cmd::BreakpointProperties);
    caretTo(source, disabled);
    dialogs_.breakpointAnswers.push_back(BreakpointFields{false, QString(), 0});
    trigger(cmd::BreakpointProperties);
    ASSERT_EQ(dialogs_.breakpointAsked.size(), 2u);
    EXPECT_EQ(dialogs_.breakpointAsked[0].line, counted);
    EXPECT_TRUE(dialogs_.breakpointAsked[0].fields.enabled);  // a new one: enabled, every hit
    EXPECT_EQ(dialogs_.breakpointAsked[0].fields.hitCount, 0);
    ASSERT_TRUE(marks(source).breakpointAt(counted));
    EXPECT_EQ(marks(source).breakpointAt(counted)->hitCount, 3);
    ASSERT_TRUE(marks(source).breakpointAt(disabled));
    EXPECT_FALSE(marks(source).breakpointAt(disabled)->enabled);
    // Cancelling changes nothing.
    trigger(cmd::BreakpointProperties);
    EXPECT_EQ(dialogs_.breakpointAsked.back().fields.enabled, false);
    EXPECT_FALSE(marks(source).breakpointAt(disabled)->enabled);

    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitPaused());
    EXPECT_EQ(caretLine(), counted);
    console()->flush();
    EXPECT_TRUE(console()->shownText().contains("pass 3"));
    EXPECT_FALSE(console()->shownText().contains("pass 4"));

    // The pane lists both; unchecking the counted one disables it in the
    // margin and in the program.
    trigger(cmd::BreakpointsPane);
    BreakpointsPane* pane = commands()->pane();
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->accessibleName(), "Breakpoints");
    EXPECT_FALSE(pane->view()->accessibleName().isEmpty());
    QStandardItemModel* model = pane->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->item(0, 1)->text().toInt(), counted);
    EXPECT_EQ(model->item(0, 3)->text(), "3");
    EXPECT_EQ(model->item(1, 0)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(model->index(0, 0).data(Qt::AccessibleTextRole).toString().contains("Loop.java, line"));
    model->item(0, 0)->setCheckState(Qt::Unchecked);
    EXPECT_FALSE(marks(source).breakpointAt(counted)->enabled);
    EXPECT_FALSE(debugger().breakpoints().store().breakpoints(source->editor()->source()->fileName())[0].enabled);

    // Run to Cursor: neither breakpoint stops it now; it stops at the caret.
    caretTo(source, done);
    client()->places().show(source, PlaceTarget{done});
    QApplication::processEvents();
    trigger(cmd::RunToCursor);
    ASSERT_TRUE(QTest::qWaitFor([&] { return waitPaused() && caretLine() == done; }, 30000)) << caretLine();
    // The program's output may come after the pause is told: waited for.
    EXPECT_TRUE(waitForConsole("pass 5"));
    EXPECT_TRUE(waitForConsole("skipped 15"));
    console()->flush();
    EXPECT_FALSE(console()->shownText().contains("done 15"));
    EXPECT_FALSE(marks(source).breakpointAt(done));
    EXPECT_EQ(model->rowCount(), 2);
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("Program ended"));
    EXPECT_TRUE(console()->shownText().contains("end"));
}

TEST_F(BreakpointsPaneTest, ThePaneListsEveryFileDeletesAndGoesToThePlace)
{
    TFileMDIChild* a = openJava(writeFile("A.java", "class A {\n    int a;\n    int b;\n}\n"));
    ASSERT_TRUE(a);
    marks(a).toggleBreakpoint(3);
    TFileMDIChild* b = openJava(writeFile("B.java", "class B {\n    int c;\n}\n"));
    ASSERT_TRUE(b);
    Breakpoint conditional;
    conditional.line = 2;
    conditional.condition = "c > 1";
    marks(b).setBreakpoint(conditional);
    trigger(cmd::BreakpointsPane);
    BreakpointsPane* pane = commands()->pane();
    ASSERT_TRUE(pane);
    QStandardItemModel* model = pane->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->item(0, 0)->text(), "A.java");
    EXPECT_EQ(model->item(1, 0)->text(), "B.java");
    EXPECT_EQ(model->item(1, 2)->text(), "c > 1");
    EXPECT_TRUE(model->index(1, 0).data(Qt::AccessibleTextRole).toString().contains("when c > 1"));

    // A breakpoint set in a window shows in the pane at once.
    marks(a).toggleBreakpoint(2);
    ASSERT_EQ(model->rowCount(), 3);

    // Enter goes to the place, in its window.
    client()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
    pane->view()->setFocus();
    pane->view()->setCurrentIndex(model->index(1, 0));
    press(pane->view(), Qt::Key_Return);
    EXPECT_EQ(current(), a);
    EXPECT_EQ(a->editor()->textCursor().blockNumber() + 1, 3);

    // Delete removes the selected one, from the margin too.
    pane->view()->setFocus();
    pane->view()->setCurrentIndex(model->index(0, 0));
    press(pane->view(), Qt::Key_Delete);
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_FALSE(marks(a).hasBreakpoint(2));
    EXPECT_TRUE(marks(a).hasBreakpoint(3));

    // A file without a window: unchecking reaches the store, and the window
    // opened later shows it disabled.
    b->approveClose();
    b->close();
    QApplication::processEvents();
    model->item(1, 0)->setCheckState(Qt::Unchecked);
    b = openJava(dir.filePath("B.java"));
    ASSERT_TRUE(b);
    ASSERT_TRUE(marks(b).breakpointAt(2));
    EXPECT_FALSE(marks(b).breakpointAt(2)->enabled);
    EXPECT_EQ(marks(b).breakpointAt(2)->condition, "c > 1");
}

TEST_F(BreakpointsPaneTest, AConditionStopsWhereItHoldsAndOneThatDoesNotCompileStopsOnceAndSaysSo)
{
    openCompiled("Loop.java", kLoop);
    if (IsSkipped())
        return;
    const int counted = lineOf(kLoop, "// counted");
    caretTo(source, counted);
    dialogs_.breakpointAnswers.push_back(BreakpointFields{true, QStringLiteral("i == 3"), 0});
    trigger(cmd::BreakpointProperties);
    ASSERT_TRUE(marks(source).breakpointAt(counted));
    EXPECT_EQ(marks(source).breakpointAt(counted)->condition, "i == 3");

    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitPaused());
    EXPECT_EQ(caretLine(), counted);
    QStringList shown;
    const bool listed = QTest::qWaitFor(
        [&] {
            shown.clear();
            QTreeWidget* t = debugger().variables() ? debugger().variables()->tree() : nullptr;
            for (int i = 0; t && i < t->topLevelItemCount(); ++i)
                shown << t->topLevelItem(i)->text(0) + "=" + t->topLevelItem(i)->text(1);
            return shown.contains("i=3");
        },
        10000);
    EXPECT_TRUE(listed) << shown.join(", ").toStdString();
    EXPECT_TRUE(waitForConsole("pass 3"));
    console()->flush();
    EXPECT_FALSE(console()->shownText().contains("pass 4"));
    trigger(cmd::DebugRun);  // continues: no other pass stops
    ASSERT_TRUE(waitForConsole("Program ended"));
    EXPECT_TRUE(console()->shownText().contains("done 15"));
    EXPECT_TRUE(dialogs_.texts().filter("condition").isEmpty()) << dialogs_.texts().join('\n').toStdString();

    // A condition naming no variable: the first pass stops, and the user is told.
    caretTo(source, counted);
    dialogs_.breakpointAnswers.push_back(BreakpointFields{true, QStringLiteral("j > 1"), 0});
    trigger(cmd::BreakpointProperties);
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitPaused());
    const auto told = [&] {
        std::vector<AskedMessage> out;
        for (const AskedMessage& m : dialogs_.messages)
            if (m.text.contains("condition"))
                out.push_back(m);
        return out;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return !told().empty(); }, 10000));
    ASSERT_EQ(told().size(), 1u);
    EXPECT_EQ(told()[0].text,
              QStringLiteral("The condition of the breakpoint at Loop.java line %1 does not compile: cannot find "
                             "symbol: j. The program stopped here once; correct the condition in Breakpoint "
                             "Properties.")
                  .arg(counted));
    EXPECT_EQ(told()[0].icon, Icon::Warning);
    EXPECT_TRUE(waitForConsole("pass 1"));
    console()->flush();
    EXPECT_FALSE(console()->shownText().contains("pass 2"));
    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("Program ended"));
    EXPECT_TRUE(console()->shownText().contains("done 15"));
    EXPECT_EQ(told().size(), 1u) << "told once";
}
