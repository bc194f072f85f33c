// SPDX-License-Identifier: GPL-3.0-or-later
// Compiler messages marked in the text, through the real main window with the
// real javac of this machine; and the Line Numbers and zoom commands of the
// Edit menu.
#include "compile_fixture.h"

#include "editor/editcontrol.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/compiling/javacrunner.h"

#include <QFileInfo>

namespace {

class Marks : public CompileTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        useRealJavac();
    }
    static QString marksOf(TFileMDIChild* w)
    {
        QStringList out;
        for (const TextMark& m : w->editor()->source()->marks().messageMarks())
            out << QStringLiteral("%1:%2:%3")
                       .arg(m.line)
                       .arg(m.column)
                       .arg(m.kind == TextMark::Kind::Error ? "error" : "warning");
        return out.join(' ');
    }
};

const char* kMain =
    "public class Main {\n"
    "    void f() {\n"
    "        int x = \"s\";\n"
    "        Helper.h();\n"
    "    }\n"
    "}\n";
const char* kHelper =
    "public class Helper {\n"
    "\tstatic int h() {\n"
    "\t\treturn missing;\n"
    "\t}\n"
    "}\n";

}  // namespace

TEST_F(Marks, ErrorsAreMarkedInEveryOpenWindowTheyNameAndGoAtTheNextCompilation)
{
    TFileMDIChild* helper = openJava(writeFile("Helper.java", kHelper));
    TFileMDIChild* main = openJava(writeFile("Main.java", kMain));
    ASSERT_TRUE(helper && main);
    compile();
    EXPECT_EQ(marksOf(main), "3:17:error");
    EXPECT_EQ(marksOf(helper), "3:10:error");
    // The tool tip text is the compiler's message.
    const QList<TextMark> marks = main->editor()->source()->marks().messageMarks();
    ASSERT_EQ(marks.size(), 1);
    EXPECT_TRUE(marks[0].text.contains("incompatible types")) << marks[0].text.toStdString();

    // The mark moves with its line when lines are inserted above it.
    QTextCursor c(main->editor()->document());
    c.insertText("// a new first line\n");
    EXPECT_EQ(marksOf(main), "4:17:error");

    // Mended and compiled again: no mark is left anywhere.
    auto retype = [](TFileMDIChild* w, const char* text) {
        QTextCursor all(w->editor()->document());
        all.select(QTextCursor::Document);
        all.insertText(text);
    };
    retype(main, "public class Main { void f() { Helper.h(); } }\n");
    retype(helper, "public class Helper { static int h() { return 1; } }\n");
    client()->setActiveSubWindow(helper);
    trigger(cmd::FileSave);
    client()->setActiveSubWindow(main);
    trigger(cmd::FileSave);
    compile();
    EXPECT_TRUE(main->build().IsCompiled) << readFile(lastCompilation().capture).toStdString();
    EXPECT_EQ(marksOf(main), "");
    EXPECT_EQ(marksOf(helper), "");
}

TEST_F(Marks, AWindowOpenedAfterTheCompilationIsMarkedToo)
{
    writeFile("Helper.java", kHelper);
    TFileMDIChild* main = openJava(writeFile("Main.java", kMain));
    ASSERT_NE(main, nullptr);
    compile();
    TFileMDIChild* helper = openJava(dir.filePath("Helper.java"));
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(marksOf(helper), "3:10:error");
}

TEST_F(Marks, WarningsOfASuccessfulCompilationAreMarkedAsWarnings)
{
    TFileMDIChild* w = openJava(writeFile("Old.java",
                                          "public class Old {\n"
                                          "    Integer i = new Integer(5);\n"
                                          "}\n"));
    ASSERT_NE(w, nullptr);
    compile();
    EXPECT_TRUE(w->build().IsCompiled);
    EXPECT_EQ(marksOf(w), "2:17:warning");
}

TEST_F(Marks, LineNumbersIsOneSwitchForEveryEditorWindow)
{
    TFileMDIChild* a = newJava();
    TFileMDIChild* b = newJava();
    ASSERT_TRUE(a && b);
    EXPECT_TRUE(a->editor()->lineNumbersVisible());
    EXPECT_TRUE(app->action(cmd::LineNumbers)->isChecked());
    trigger(cmd::LineNumbers);
    app->updateCommandStates();
    EXPECT_FALSE(a->editor()->lineNumbersVisible());
    EXPECT_FALSE(b->editor()->lineNumbersVisible());
    EXPECT_FALSE(app->action(cmd::LineNumbers)->isChecked());
    TFileMDIChild* c = newJava();
    EXPECT_FALSE(c->editor()->lineNumbersVisible());
    trigger(cmd::LineNumbers);
    EXPECT_TRUE(a->editor()->lineNumbersVisible());
    EXPECT_TRUE(c->editor()->lineNumbersVisible());
}

TEST_F(Marks, ZoomKeysScaleOnlyTheActiveWindow)
{
    TFileMDIChild* a = newJava();
    TFileMDIChild* b = newJava();
    ASSERT_TRUE(a && b);
    ASSERT_EQ(current(), b);
    b->editor()->setFocus();
    press(Qt::CTRL | Qt::Key_Plus);
    press(Qt::CTRL | Qt::Key_Equal);
    EXPECT_GT(b->editor()->zoomPercent(), 100);
    EXPECT_EQ(a->editor()->zoomPercent(), 100);
    press(Qt::CTRL | Qt::Key_Minus);
    press(Qt::CTRL | Qt::Key_Minus);
    press(Qt::CTRL | Qt::Key_Minus);
    EXPECT_LT(b->editor()->zoomPercent(), 100);
    press(Qt::CTRL | Qt::Key_0);
    EXPECT_EQ(b->editor()->zoomPercent(), 100);
    // The menu items do the same.
    trigger(cmd::ZoomIn);
    EXPECT_GT(b->editor()->zoomPercent(), 100);
    trigger(cmd::ZoomReset);
    EXPECT_EQ(b->editor()->zoomPercent(), 100);
}
