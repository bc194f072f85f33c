// SPDX-License-Identifier: GPL-3.0-or-later
// The console of Debug Run through the main window with the real JDK: the end
// of input reaching the program, the processes a program leaves behind, and
// the keys typed in the console while the program pauses.
#include "debugrun_fixture.h"

#include "platform/processgroup.h"
#include "toolchain/running/consolewindow.h"
#include "workspace/debugcontroller.h"

#include <QLineEdit>
#include <QTextBlock>

namespace {

// Reads lines until the end of its input, then says how many; a first line
// "spawn" starts a `sleep` that outlives it; a breakpoint on the marked line
// pauses after each line read.
const QByteArray kReader = R"(public class Reader {
    public static void main(String[] args) throws Exception {
        java.io.BufferedReader in = new java.io.BufferedReader(new java.io.InputStreamReader(System.in));
        System.out.println("ready");
        int count = 0;
        String line;
        while ((line = in.readLine()) != null) {
            count++; // after each line
            if (line.equals("spawn")) {
                Process p = new ProcessBuilder("sleep", "300").start();
                System.out.println("child " + p.pid());
                return;
            }
        }
        System.out.println("lines " + count);
    }
}
)";


}  // namespace

class DebugConsoleTest : public DebugRunFixture {
protected:
    void SetUp() override
    {
        DebugRunFixture::SetUp();
        openCompiled("Reader.java", kReader);
    }
    void startAndWaitReady()
    {
        trigger(cmd::DebugRun);
        ASSERT_TRUE(waitForConsole("ready")) << (console() ? console()->shownText().toStdString() : "");
    }
};

// Ctrl+D in the console and Run / End Input both end the program's input: a
// program reading to the end of its input ends its loop.
TEST_F(DebugConsoleTest, CtrlDEndsTheProgramsInput)
{
    startAndWaitReady();
    typeLine("one");
    QTest::keyClick(input(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_TRUE(waitForConsole("lines 1")) << console()->shownText().toStdString();
    EXPECT_TRUE(waitForConsole("Program ended with exit code 0"));
}

TEST_F(DebugConsoleTest, EndInputEndsTheProgramsInput)
{
    EXPECT_FALSE(enabled(cmd::EndInput));
    startAndWaitReady();
    typeLine("one");
    typeLine("two");
    ASSERT_TRUE(enabled(cmd::EndInput));
    trigger(cmd::EndInput);
    EXPECT_FALSE(enabled(cmd::EndInput));
    ASSERT_TRUE(waitForConsole("lines 2")) << console()->shownText().toStdString();
    EXPECT_TRUE(waitForConsole("Program ended with exit code 0"));
}

// A program that started a process and ended: the console says so, Stop stays
// enabled, and Stop ends what is left of the program's process group.
TEST_F(DebugConsoleTest, StopEndsWhatTheProgramStartedAfterTheProgramEnded)
{
    startAndWaitReady();
    const pid_t group = pid_t(debugger().session()->program()->processId());
    ASSERT_GT(group, 0);
    typeLine("spawn");
    ASSERT_TRUE(waitForConsole("Program ended with exit code 0")) << console()->shownText().toStdString();
    EXPECT_FALSE(debugger().live());
    ASSERT_TRUE(processGroupHasMembers(group));
    EXPECT_TRUE(waitForConsole("still running")) << console()->shownText().toStdString();
    ASSERT_TRUE(enabled(cmd::StopDebugging));
    press(QKeyCombination(Qt::SHIFT, Qt::Key_F5));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !processGroupHasMembers(group); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !enabled(cmd::StopDebugging); }, 10000));
    errno = 0;
    EXPECT_TRUE(::kill(-group, 0) == -1 ? errno == ESRCH : !processGroupHasMembers(group));
}

// A pause moves the source's caret to the paused line and leaves the keyboard
// in the console: what is typed goes to the program, never into the source.
TEST_F(DebugConsoleTest, KeysTypedInTheConsoleStayThereWhenTheProgramPauses)
{
    const int line = lineOf(kReader, "after each line");
    source->editor()->source()->marks().toggleBreakpoint(line);
    startAndWaitReady();
    const QString text = source->editor()->toPlainText();
    input()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(input()->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), "first");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return debugger().live() && debugger().session()->settled(); }, 30000));
    QApplication::processEvents();
    EXPECT_EQ(source->editor()->textCursor().blockNumber() + 1, line);
    ASSERT_TRUE(QApplication::focusWidget());
    QTest::keyClicks(QApplication::focusWidget(), "second");
    QApplication::processEvents();
    EXPECT_EQ(source->editor()->toPlainText(), text);
    EXPECT_EQ(input()->text(), "second");
    EXPECT_TRUE(input()->hasFocus());
}
