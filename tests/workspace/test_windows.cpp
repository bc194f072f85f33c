// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of the workspace through the real main window: which window
// becomes active when one closes, and what a screen reader finds of each.
#include "compile_fixture.h"

#include "toolchain/messages/messagewindow.h"
#include "toolchain/settings/optiondialogs.h"
#include "toolchain/running/callstackwindow.h"
#include "toolchain/running/variableswindow.h"
#include "workspace/debugcontroller.h"
#include "workspace/findinfiles.h"
#include "workspace/findresults.h"

#include <QAccessible>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTreeWidget>


namespace {

class Windows : public CompileTest {
protected:
    struct Node {
        QAccessible::Role role;
        QString name;
        QString value;
        int depth;
    };
    // Every interface of the accessibility tree, from the main window down.
    QList<Node> tree()
    {
        QList<Node> out;
        walk(QAccessible::queryAccessibleInterface(app->Frame), 0, out);
        return out;
    }
    static void walk(QAccessibleInterface* iface, int depth, QList<Node>& out)
    {
        if (!iface || !iface->isValid() || depth > 40)
            return;
        QString value;
        if (QAccessibleTextInterface* t = iface->textInterface())
            value = t->text(0, std::min(t->characterCount(), 200));
        out << Node{iface->role(), iface->text(QAccessible::Name), value, depth};
        for (int i = 0; i < iface->childCount(); ++i)
            walk(iface->child(i), depth + 1, out);
    }
    static bool found(const QList<Node>& nodes, QAccessible::Role role, const QString& name)
    {
        for (const Node& n : nodes) {
            if (n.role == role && n.name == name)
                return true;
        }
        return false;
    }
    static std::string dump(const QList<Node>& nodes)
    {
        std::string s;
        for (const Node& n : nodes)
            s += std::string(size_t(n.depth) * 2, ' ') + std::to_string(int(n.role)) + " " + n.name.toStdString() +
                 "\n";
        return s;
    }
};

}  // namespace

TEST_F(Windows, ClosingAnOptionWindowActivatesTheEditorItWasOpenedFrom)
{
    TFileMDIChild* source = openJava(writeFile("A.java", "public class A {}\n"));
    ASSERT_NE(source, nullptr);
    trigger(cmd::NewJavaProj);
    TFileMDIChild* project = current();
    ASSERT_TRUE(project && project->isProject());
    // Back to the source, then Compiler Options from it.
    client()->bringToFront(source);
    ASSERT_EQ(current(), source);
    for (int id : {cmd::JavaOptions, cmd::JavaArgs}) {
        trigger(id);
        auto* dlg = qobject_cast<TOptionDialog*>(client()->activeSubWindow()->widget());
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(current(), nullptr);  // the option window is active
        dlg->OkButton->click();
        QApplication::processEvents();
        EXPECT_EQ(current(), source) << "after " << commandName(id);
    }
    // An option window left open while a project was made: OK in it goes
    // back to the source used last, not to the window made last, so that the
    // next F9 compiles the source.
    trigger(cmd::JavaOptions);
    QMdiSubWindow* options = client()->activeSubWindow();
    trigger(cmd::NewJavaProj);
    TFileMDIChild* second = current();
    ASSERT_TRUE(second && second->isProject());
    client()->bringToFront(source);
    client()->bringToFront(options);
    qobject_cast<TOptionDialog*>(options->widget())->OkButton->click();
    QApplication::processEvents();
    EXPECT_EQ(current(), source);
    client()->bringToFront(project);
    trigger(cmd::JavaOptions);
    qobject_cast<TOptionDialog*>(client()->activeSubWindow()->widget())->CancelButton->click();
    QApplication::processEvents();
    EXPECT_EQ(current(), project);
}

TEST_F(Windows, EveryWindowWithItsCaptionAndRowsIsOnTheAccessibilityTree)
{
    useRealJavac();
    if (IsSkipped())
        return;
    openJava(writeFile("Broken.java", "public class Broken { int x = \"s\"; }\n"));
    compile();
    ASSERT_TRUE(client()->messageList());
    trigger(cmd::JavaOptions);
    QApplication::processEvents();
    const QList<Node> nodes = tree();
    // Each window under the workspace, a window named by its caption.
    EXPECT_TRUE(found(nodes, QAccessible::LayeredPane, "Workspace")) << dump(nodes);
    EXPECT_TRUE(found(nodes, QAccessible::Window, "JAVA - " + dir.filePath("Broken.java"))) << dump(nodes);
    EXPECT_TRUE(found(nodes, QAccessible::Window, "Compiler Options")) << dump(nodes);
    // The message window, its list and its rows beneath it.
    qsizetype at = -1;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (nodes[i].role == QAccessible::Window && nodes[i].name == "Messages : Broken.err")
            at = i;
    }
    ASSERT_GE(at, 0) << dump(nodes);
    QList<Node> inside;
    for (qsizetype i = at + 1; i < nodes.size() && nodes[i].depth > nodes[at].depth; ++i)
        inside << nodes[i];
    EXPECT_TRUE(found(inside, QAccessible::List, "Compiler messages")) << dump(nodes);
    QStringList rows;
    for (const Node& n : inside) {
        if (n.role == QAccessible::ListItem)
            rows << n.name;
    }
    ASSERT_EQ(rows.size(), client()->messageList()->GetCount()) << dump(nodes);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i], client()->messageList()->GetString(i));
    EXPECT_TRUE(rows.first().contains("error: incompatible types")) << rows.first().toStdString();
}

TEST_F(Windows, TheDebugWindowsWithTheirCaptionsAndRowsAreOnTheAccessibilityTree)
{
    useRealJavac();
    if (IsSkipped())
        return;
    if (!QFileInfo(builtFile(BP_DEBUGGER_JAR)).isFile() || configuredJava().isEmpty())
        GTEST_SKIP() << "no debugger jar or no java";
    DebugController& debugger = client()->debugger();
    debugger.setJar(builtFile(BP_DEBUGGER_JAR));
    openJava(writeFile("Thrower.java",
                       "public class Thrower {\n    public static void main(String[] args) {\n"
                       "        int count = 5;\n"
                       "        throw new IllegalStateException(\"bad \" + count);\n    }\n}\n"));
    compile();
    trigger(cmd::DebugRun);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return debugger.live() && debugger.session()->settled() && debugger.variables() &&
                   debugger.variables()->tree()->topLevelItemCount() > 0 && debugger.callStack() &&
                   debugger.callStack()->tree()->topLevelItem(0)->childCount() > 0;  // the paused thread's frames
        },
        30000));
    QApplication::processEvents();
    const QList<Node> nodes = tree();
    for (const char* caption : {"Console", "Variables", "Call Stack"})
        EXPECT_TRUE(found(nodes, QAccessible::Window, caption)) << caption << dump(nodes);
    // The pane in front shows its rows: the variables at a pause, the call
    // stack once it is brought forward.
    bool exceptionRow = false, mainRow = false;
    for (const Node& n : nodes) {
        // Compiled without debugging information: the exception's row, no locals.
        exceptionRow = exceptionRow || n.name == "<exception>";
    }
    EXPECT_TRUE(exceptionRow) << dump(nodes);
    trigger(cmd::ShowCallStack);
    QApplication::processEvents();
    const QList<Node> stack = tree();
    for (const Node& n : stack)
        mainRow = mainRow || n.name.contains("main (Thrower.java:4)");
    EXPECT_TRUE(mainRow) << dump(stack);
    debugger.stop();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !debugger.live(); }, 20000));
}

TEST_F(Windows, TheFindInFilesWindowWithOneRowPerMatchIsOnTheAccessibilityTree)
{
    writeFile("One.java", "class One { int needle; }\n");
    writeFile("Two.java", "class Two {\n  // needle\n  // needle\n}\n");
    FindInFiles* finder = client()->findChild<FindInFiles*>();
    ASSERT_NE(finder, nullptr);
    FindInFilesQuery q;
    q.folder = dir.path();
    q.pattern = "needle";
    finder->start(q);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !finder->searching(); }, 20000));
    QApplication::processEvents();
    const QList<Node> nodes = tree();
    qsizetype at = -1;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        if (nodes[i].role == QAccessible::Window && nodes[i].name == "Find in Files")
            at = i;
    }
    ASSERT_GE(at, 0) << dump(nodes);
    QList<Node> inside;
    for (qsizetype i = at + 1; i < nodes.size() && nodes[i].depth > nodes[at].depth; ++i)
        inside << nodes[i];
    EXPECT_TRUE(found(inside, QAccessible::List, "Matches")) << dump(nodes);
    QStringList rows;
    for (const Node& n : inside) {
        if (n.role == QAccessible::ListItem)
            rows << n.name;
    }
    const QString one = QDir::toNativeSeparators(dir.filePath("One.java"));
    const QString two = QDir::toNativeSeparators(dir.filePath("Two.java"));
    EXPECT_EQ(rows, (QStringList{one + "(1): class One { int needle; }", two + "(2): // needle",
                                 two + "(3): // needle", "3 matches in 2 files"}))
        << dump(nodes);
}
