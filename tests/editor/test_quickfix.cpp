// SPDX-License-Identifier: GPL-3.0-or-later
// Quick Fix (Ctrl+1) in a Java window of the real main window, with the
// compile service of this build on the JDK of this machine (one for the whole
// program): each kind of fix on a real source gives a source that compiles,
// one Undo gives back the file's bytes, the list is on the accessibility
// tree, and a line without a message offers nothing.
#include "service_fixture.h"

#include "editor/quickfix.h"
#include "editor/quickfixpopup.h"
#include "toolchain/compiling/compileservice.h"

#include <QAccessible>
#include <QTemporaryDir>
#include <QTextBlock>

namespace {

class QuickFixTest : public SuiteServiceTest {
protected:
    static void SetUpTestSuite() { startSuiteService(builtFile(BP_SERVICE_JAR)); }

    // Opens `bytes` as the source `name`, with a message on `line` unless
    // `marked` is false, and asks for the quick fixes of that line: the
    // titles listed, empty when none are.
    QStringList fixesFor(const QString& name, const QByteArray& bytes, int line, bool marked = true)
    {
        window = openJava(writeFile(name, bytes));
        if (!window)
            return {};
        EditControl* e = window->editor();
        if (marked) {
            TextMark m;
            m.line = line;
            m.text = QStringLiteral("error");
            e->source()->marks().setMessageMarks({m});
        }
        return ask(line);
    }
    QStringList ask(int line)
    {
        EditControl* e = window->editor();
        e->setFocus();
        e->setTextCursor(QTextCursor(e->document()->findBlockByNumber(line - 1)));
        trigger(cmd::QuickFix);
        popup = e->findChild<QuickFixPopup*>();
        EXPECT_NE(popup, nullptr);
        if (!popup)
            return {};
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return popup->isVisible() || app->statusMessage().startsWith("No quick fix"); }, 60000));
        QStringList titles;
        for (int i = 0; popup->isVisible() && i < popup->count(); ++i)
            titles << popup->item(i)->text();
        return titles;
    }
    // Chooses the fix `title` with the keys and makes it with Enter.
    void choose(const QString& title)
    {
        EditControl* e = window->editor();
        for (int i = 0; i < popup->count() && popup->currentItem()->text() != title; ++i)
            press(e, Qt::Key_Down);
        ASSERT_EQ(popup->currentItem()->text(), title);
        press(e, Qt::Key_Return);
        EXPECT_FALSE(popup->isVisible());
    }
    // The errors of the window's text as the compile service finds them.
    QStringList errorsNow()
    {
        QStringList errors;
        bool done = false;
        QObject ctx;
        QObject::connect(service, &CompileService::checked, &ctx, [&](quint64, const QList<ServiceDiagnostic>& d) {
            for (const ServiceDiagnostic& x : d) {
                if (x.kind == ServiceDiagnostic::Error)
                    errors << QStringLiteral("%1: %2").arg(x.line).arg(x.message);
            }
            done = true;
        });
        EXPECT_NE(service->check(window->source()->fileName(), window->source()->rawText(), {}, dir.path()), 0u);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
        return errors;
    }
    // The fix `title` of `line` compiles and one Undo gives back `bytes`;
    // the text the fix made.
    QString fixAndUndo(const QString& name, const QByteArray& bytes, int line, const QString& title)
    {
        const QStringList titles = fixesFor(name, bytes, line);
        EXPECT_TRUE(titles.contains(title)) << titles.join(" | ").toStdString();
        if (!titles.contains(title))
            return {};
        choose(title);
        const QString fixedText = window->source()->savedText();
        EXPECT_EQ(errorsNow(), QStringList()) << fixedText.toStdString();
        trigger(cmd::Undo);
        EXPECT_EQ(window->source()->savedText().toUtf8(), bytes);
        EXPECT_FALSE(window->editor()->document()->isUndoAvailable());
        return fixedText;
    }

    TFileMDIChild* window = nullptr;
    QuickFixPopup* popup = nullptr;
};

}  // namespace

TEST_F(QuickFixTest, AnImportOfAMissingClassComesFromF9sMessageInOrderAndInTheFilesLineEnds)
{
    const QByteArray bytes =
        "import java.io.File;\r\nimport java.util.Map;\r\n\r\nclass Imp {\r\n"
        "\tList<String> names(Map<String, File> m) {\r\n\t\treturn null;\r\n\t}\r\n}\r\n";
    window = openJava(writeFile("Imp.java", bytes));
    ASSERT_NE(window, nullptr);
    compile();  // F9 marks the line
    ASSERT_FALSE(window->source()->marks().messageTextsOnLine(5).isEmpty());
    const QStringList titles = ask(5);
    ASSERT_TRUE(titles.contains("Import java.util.List")) << titles.join(" | ").toStdString();
    EXPECT_TRUE(titles.contains("Import java.awt.List"));
    EXPECT_EQ(titles.first(), "Import java.util.List");  // the package used most first
    // On the accessibility tree: a list named for what it holds, rows named by their fixes.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(popup);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), "Quick Fixes");
    ASSERT_GT(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), titles.first());
    // Esc closes the list; asked again, Enter makes the chosen fix.
    press(window->editor(), Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    ask(5);
    press(window->editor(), Qt::Key_Down);
    press(window->editor(), Qt::Key_Up);
    choose("Import java.util.List");
    EXPECT_EQ(window->source()->savedText().toUtf8(),
              "import java.io.File;\r\nimport java.util.List;\r\nimport java.util.Map;\r\n\r\nclass Imp {\r\n"
              "\tList<String> names(Map<String, File> m) {\r\n\t\treturn null;\r\n\t}\r\n}\r\n");
    EXPECT_EQ(errorsNow(), QStringList());
    trigger(cmd::Undo);
    EXPECT_EQ(window->source()->savedText().toUtf8(), bytes);
}

TEST_F(QuickFixTest, AMisspeltNameChangesToTheNearestInScope)
{
    const QString fixed = fixAndUndo("Spell.java",
                                     "class Spell {\n    int count;\n    int next() {\n        return cont + 1;\n"
                                     "    }\n}\n",
                                     4, "Change to 'count'");
    EXPECT_EQ(fixed, "class Spell {\n    int count;\n    int next() {\n        return count + 1;\n    }\n}\n");
    window->approveClose();
    window->close();
    QApplication::processEvents();
    // A member: one of the type before the dot.
    EXPECT_EQ(
        fixAndUndo("Member.java", "class Member {\n    int n(String s) {\n        return s.lenght();\n    }\n}\n", 3,
                   "Change to 'length'"),
        "class Member {\n    int n(String s) {\n        return s.length();\n    }\n}\n");
}

TEST_F(QuickFixTest, AMissingReturnAddsTheDefaultOfTheMethodsType)
{
    const QString fixed = fixAndUndo(
        "Ret.java", "class Ret {\n\tint f(int a) {\n\t\tif (a > 0) {\n\t\t\treturn 1;\n\t\t}\n\t}\n}\n", 6,
        "Add 'return 0;'");
    EXPECT_EQ(fixed,
              "class Ret {\n\tint f(int a) {\n\t\tif (a > 0) {\n\t\t\treturn 1;\n\t\t}\n\t\treturn 0;\n\t}\n}\n");
}

TEST_F(QuickFixTest, AnUnreportedExceptionIsDeclaredOrCaught)
{
    const QByteArray bytes =
        "import java.nio.file.Files;\nimport java.nio.file.Path;\n\nclass Exc {\n"
        "    String read(Path p) {\n        String s = Files.readString(p);\n        return s;\n"
        "    }\n}\n";
    EXPECT_EQ(fixAndUndo("Exc.java", bytes, 6, "Add 'throws IOException' to read"),
              "import java.io.IOException;\nimport java.nio.file.Files;\nimport java.nio.file.Path;\n\nclass Exc {\n"
              "    String read(Path p) throws IOException {\n        String s = Files.readString(p);\n"
              "        return s;\n    }\n}\n");
    window->approveClose();
    window->close();
    QApplication::processEvents();
    EXPECT_EQ(fixAndUndo("Exc.java", bytes, 6, "Surround with try/catch"),
              "import java.io.IOException;\nimport java.nio.file.Files;\nimport java.nio.file.Path;\n\nclass Exc {\n"
              "    String read(Path p) {\n        String s;\n        try {\n            s = Files.readString(p);\n"
              "        } catch (IOException e) {\n            throw new RuntimeException(e);\n        }\n"
              "        return s;\n    }\n}\n");
}

TEST_F(QuickFixTest, AMissingMethodIsMadeFromTheCallsArguments)
{
    const QString fixed = fixAndUndo("Make.java",
                                     "class Make {\n    static void main(String[] args) {\n"
                                     "        int n = twice(args.length, \"x\");\n    }\n}\n",
                                     3, "Create method 'twice(int, String)'");
    EXPECT_EQ(fixed,
              "class Make {\n    static void main(String[] args) {\n        int n = twice(args.length, \"x\");\n"
              "    }\n\n    private static int twice(int arg0, String arg1) {\n        return 0;\n    }\n}\n");
}

TEST_F(QuickFixTest, ALineWithoutAMessageOrWithoutAFixOffersNothing)
{
    EXPECT_EQ(fixesFor("Clean.java", "class Clean {\n    int x;\n}\n", 2, false), QStringList());
    EXPECT_EQ(app->statusMessage(), "No quick fix for this line");
    // A message the fixes know nothing of.
    EXPECT_EQ(fixesFor("Odd.java", "class Odd {\n    int x = \"s\";\n}\n", 2), QStringList());
    EXPECT_EQ(app->statusMessage(), "No quick fix for this line");
}
