// SPDX-License-Identifier: GPL-3.0-or-later
// The Watches pane, Evaluate Expression, Add Watch and Set Value through the
// main window, with the real JDK: a watch added before the run is evaluated at
// the pause and again after a step, the pane's field evaluates locals, fields,
// array elements, calls and operators over the paused frame (and says what is
// wrong with an expression that has no value), Evaluate Expression takes the
// word at the caret, and Set Value changes a local of the running program.
#include "debugrun_fixture.h"

#include "toolchain/running/variableswindow.h"
#include "toolchain/running/watcheswindow.h"
#include "workspace/fileplaces.h"
#include "workspace/watchcommands.h"

#include <QTextBlock>
#include <QTreeWidget>

namespace {
const QByteArray kCounter = R"(public class Counter {
    static int total = 5;
    int step = 2;
    public static void main(String[] args) {
        Counter c = new Counter();
        int[] values = {1, 2, 3};
        String name = "brew";
        int i = 10;
        i = i + c.step; // pause
        System.out.println("i " + i + " " + values[1] + " " + name);
        System.out.println("end " + i);
    }
}
)";
}  // namespace

class WatchesTest : public DebugRunFixture {
protected:
    WatchCommands* commands() { return client()->findChild<WatchCommands*>(); }
    bool waitPaused()
    {
        return QTest::qWaitFor([&] { return debugger().live() && debugger().session()->settled(); }, 30000);
    }
    // The value the pane shows for watch `row` once it is not `old`.
    QString watchValue(int row, const QString& old = QStringLiteral("(not paused)"))
    {
        QTreeWidget* list = commands()->pane()->list();
        (void)QTest::qWaitFor(
            [&] {
                if (list->topLevelItemCount() <= row)
                    return false;
                const QString now = list->topLevelItem(row)->text(1);
                return now != old && now != QStringLiteral("(not paused)");
            },
            20000);
        return list->topLevelItemCount() > row ? list->topLevelItem(row)->text(1) : QString();
    }
    QString evaluate(const QString& expression)
    {
        WatchesWindow* pane = commands()->pane();
        pane->resultField()->clear();
        pane->editExpression(expression);
        QTest::keyClick(pane->expressionField(), Qt::Key_Return);
        (void)QTest::qWaitFor([&] { return !pane->resultField()->text().isEmpty(); }, 20000);
        return pane->resultField()->text();
    }
    QTreeWidgetItem* variable(const QString& name)
    {
        QTreeWidget* tree = debugger().variables()->tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            if (tree->topLevelItem(i)->text(0) == name)
                return tree->topLevelItem(i);
        }
        return nullptr;
    }
};

TEST_F(WatchesTest, WatchesFollowThePausesAndExpressionsAreEvaluatedOverTheFrame)
{
    openCompiled("Counter.java", kCounter);
    if (IsSkipped())
        return;
    const int pause = lineOf(kCounter, "// pause");
    source->editor()->source()->marks().toggleBreakpoint(pause);
    // Added before the run: it waits for a pause.
    dialogs_.textAnswers.push_back(QStringLiteral("i * 2"));
    trigger(cmd::AddWatch);
    ASSERT_EQ(dialogs_.textsAsked.size(), 1u);
    EXPECT_EQ(dialogs_.textsAsked[0].title, "Add Watch");
    ASSERT_TRUE(commands()->pane());
    EXPECT_EQ(commands()->pane()->accessibleName(), "Watches");
    EXPECT_EQ(commands()->pane()->list()->topLevelItem(0)->text(1), "(not paused)");
    EXPECT_FALSE(enabled(cmd::EvaluateExpression));

    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitPaused());
    EXPECT_EQ(watchValue(0), "20");
    EXPECT_TRUE(enabled(cmd::EvaluateExpression));
    EXPECT_EQ(evaluate("name.length() + values[2] * total"), "name.length() + values[2] * total = 19 (int)");
    EXPECT_EQ(evaluate("c.step > 1 ? name.toUpperCase() : \"no\""),
              "c.step > 1 ? name.toUpperCase() : \"no\" = \"BREW\" (java.lang.String)");
    EXPECT_TRUE(evaluate("nosuch + 1").startsWith("nosuch + 1: ")) << evaluate("nosuch + 1").toStdString();

    // Evaluate Expression takes the word at the caret.
    const QTextBlock println = source->editor()->document()->findBlockByNumber(pause);  // the next line
    QTextCursor at(println);
    at.setPosition(println.position() + int(println.text().indexOf("name)")) + 2);  // inside "name"
    source->editor()->setTextCursor(at);
    // Alt+F8 is pressed in the editor.
    client()->places().show(source, PlaceTarget{pause + 1});
    source->editor()->setTextCursor(at);
    source->editor()->setFocus();
    QApplication::processEvents();
    commands()->pane()->resultField()->clear();
    trigger(cmd::EvaluateExpression);
    EXPECT_EQ(commands()->pane()->expressionField()->text(), "name");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !commands()->pane()->resultField()->text().isEmpty(); }, 20000));
    EXPECT_EQ(commands()->pane()->resultField()->text(), "name = \"brew\" (java.lang.String)");

    // A step evaluates the watches again.
    trigger(cmd::StepOver);
    ASSERT_TRUE(waitPaused());
    EXPECT_EQ(watchValue(0, "20"), "24");

    // Set Value on the local chosen in the Variables pane.
    const size_t messages = dialogs_.messages.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return variable("i") && variable("i")->text(1).startsWith("12"); }, 20000));
    debugger().variables()->tree()->setCurrentItem(variable("i"));
    debugger().variables()->tree()->setFocus();
    ASSERT_TRUE(enabled(cmd::SetValue));
    dialogs_.textAnswers.push_back(QStringLiteral("100"));
    trigger(cmd::SetValue);
    ASSERT_EQ(dialogs_.textsAsked.size(), 2u);
    EXPECT_EQ(dialogs_.textsAsked[1].title, "Set Value");
    EXPECT_TRUE(dialogs_.textsAsked[1].label.contains(" i ")) << dialogs_.textsAsked[1].label.toStdString();
    EXPECT_EQ(dialogs_.textsAsked[1].initial, "12");
    EXPECT_EQ(watchValue(0, "24"), "200");
    ASSERT_TRUE(QTest::qWaitFor([&] { return variable("i") && variable("i")->text(1).startsWith("100"); }, 20000));
    EXPECT_EQ(dialogs_.messages.size(), messages);

    // A value that does not fit is refused with a message.
    debugger().variables()->tree()->setCurrentItem(variable("i"));
    dialogs_.textAnswers.push_back(QStringLiteral("\"text\""));
    trigger(cmd::SetValue);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs_.messages.size() > messages; }, 20000));
    EXPECT_TRUE(dialogs_.messages.back().text.startsWith("Brewpad could not set the value of i: "))
        << dialogs_.messages.back().text.toStdString();

    trigger(cmd::DebugRun);
    ASSERT_TRUE(waitForConsole("end 100"));
    EXPECT_TRUE(console()->shownText().contains("i 100 2 brew"));
    QTreeWidget* list = commands()->pane()->list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list->topLevelItem(0)->text(1) == "(not paused)"; }, 20000));
}

TEST_F(WatchesTest, TheListIsEditedInThePane)
{
    WatchList list;
    EXPECT_TRUE(list.add(" a + 1 "));
    EXPECT_FALSE(list.add("a + 1"));  // watched already
    EXPECT_FALSE(list.add("  "));
    EXPECT_TRUE(list.add("b"));
    EXPECT_FALSE(list.replace(1, "a + 1"));
    EXPECT_TRUE(list.setResult("b", DebugValue{"value", "b", "int", "3"}, {}));
    EXPECT_EQ(list.watches()[1].value.text, "3");
    EXPECT_TRUE(list.replace(1, "b * 2"));
    EXPECT_FALSE(list.watches()[1].evaluated);  // its old value is not kept
    EXPECT_TRUE(list.replace(0, ""));           // an empty expression removes it
    EXPECT_EQ(list.expressions(), QStringList{"b * 2"});

    EXPECT_EQ(assignableExpression("local:count"), "count");
    EXPECT_EQ(assignableExpression("this:this/items/[3]"), "this.items[3]");
    EXPECT_EQ(assignableExpression("static:total"), "total");
    EXPECT_EQ(assignableExpression("exception:exception"), "");
    EXPECT_EQ(assignableExpression("local:s/text of 12 chars"), "");

    // Through the window: Delete removes the chosen watch.
    dialogs_.textAnswers.push_back(QStringLiteral("x"));
    trigger(cmd::AddWatch);
    ASSERT_TRUE(commands()->pane());
    QTreeWidget* view = commands()->pane()->list();
    ASSERT_EQ(view->topLevelItemCount(), 1);
    EXPECT_EQ(view->topLevelItem(0)->text(0), "x");
    view->setCurrentItem(view->topLevelItem(0));
    QTest::keyClick(view, Qt::Key_Delete);
    EXPECT_EQ(view->topLevelItemCount(), 0);
    EXPECT_EQ(commands()->watches().size(), 0);
}
