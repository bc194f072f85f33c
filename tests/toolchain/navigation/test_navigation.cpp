// SPDX-License-Identifier: GPL-3.0-or-later
// Go to Definition and the Outline window through the real main window, with
// the compile service (its jar from this build) and the JDK of this machine;
// and the navigation answers read as plain data.
#include "service_fixture.h"

#include "toolchain/compiling/compileservice.h"
#include "toolchain/compiling/servicenavigation.h"
#include "toolchain/messages/messagewindow.h"
#include "toolchain/navigation/outlinewindow.h"
#include "workspace/navigationcontroller.h"

#include <QAccessible>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QSignalSpy>
#include <QTextBlock>

namespace {

ServiceDeclaration decodeDeclaration(const QList<QByteArray>& fields)
{
    return declarationIn(decodeServiceReply(fields).value());
}

QList<OutlineRow> decodeOutline(const QList<QByteArray>& fields)
{
    return outlineIn(decodeServiceReply(fields).value());
}

TEST(NavigationAnswers, DeclarationsAndOutlinesAreReadAsTheServiceSendsThem)
{
    const ServiceDeclaration jdk = decodeDeclaration({"declared", "4", "/c/String.java", "1480", "16", "jdk"});
    EXPECT_TRUE(jdk.found);
    EXPECT_TRUE(jdk.jdk);
    EXPECT_EQ(jdk.path, "/c/String.java");
    EXPECT_EQ(jdk.line, 1480);
    EXPECT_EQ(jdk.column, 16);
    const ServiceDeclaration own = decodeDeclaration({"declared", "5", "/w/B.java", "3", "16"});
    EXPECT_TRUE(own.found);
    EXPECT_FALSE(own.jdk);
    const ServiceDeclaration none = decodeDeclaration({"undeclared", "6", "no declared name at the caret"});
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.reason, "no declared name at the caret");
    EXPECT_FALSE(decodeDeclaration({"declared", "7", "/w/B.java"}).found);  // cut short

    // Two rows announced, one and a half sent: the whole one only.
    const QList<OutlineRow> rows = decodeOutline(
        {"outlined", "8", "2", "0", "class", "A", "", "2", "14", "1", "method", "twice", "(int) : int", "8"});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].kind, "class");
    EXPECT_EQ(rows[0].line, 2);
    EXPECT_EQ(rows[0].column, 14);
    EXPECT_TRUE(decodeOutline({"declared", "9", "1"}).isEmpty());
}

TEST(NavigationAnswers, OutlineRowsShowTheirDepthKindAndTypes)
{
    EXPECT_EQ(outlineRowText({0, "class", "A", "", 1, 1}), "class A");
    EXPECT_EQ(outlineRowText({1, "field", "count", "int", 2, 1}), "    field count : int");
    EXPECT_EQ(outlineRowText({2, "method", "add", "(int, String) : void", 3, 1}),
              "        method add(int, String) : void");
    EXPECT_EQ(outlineRowText({1, "constant", "RED", "", 4, 1}), "    constant RED");
    const QList<OutlineRow> rows{
        {0, "class", "A", "", 2, 1}, {1, "method", "f", "()", 5, 1}, {1, "method", "g", "()", 9, 1}};
    EXPECT_EQ(outlineRowAt(rows, 1), -1);
    EXPECT_EQ(outlineRowAt(rows, 2), 0);
    EXPECT_EQ(outlineRowAt(rows, 7), 1);
    EXPECT_EQ(outlineRowAt(rows, 40), 2);
}

class Navigation : public JdkSourcesServiceTest {
protected:
    // The rows of the Outline, as they read.
    static QStringList rowsOf(OutlineWindow* outline)
    {
        QStringList out;
        for (int i = 0; i < outline->list()->count(); ++i)
            out << outline->list()->item(i)->text();
        return out;
    }
    void SetUp() override { startInTestFolder(builtFile(BP_SERVICE_JAR)); }
    // Opens A.java, which calls into B.java beside it.
    TFileMDIChild* openCaller()
    {
        writeFile("B.java",
                  "public class B {\n"
                  "    // helps\n"
                  "    static int helper(int s) { return s; }\n"
                  "    static int helper(String s) { return s.length(); }\n"
                  "}\n");
        return openJava(writeFile("A.java",
                                  "public class A {\n"
                                  "    private int count;\n"
                                  "    int twice(int x) {\n"
                                  "        int local = x * 2;\n"
                                  "        return local + B.helper(\"s\");\n"
                                  "    }\n"
                                  "    int size(String text) { return text.length(); }\n"
                                  "}\n"));
    }
    // Puts the caret in `w` on the `nth` (from 0) `word`, `into` characters in.
    static void caretOn(TFileMDIChild* w, const QString& word, int nth = 0, int into = 1)
    {
        const QString text = w->editor()->toPlainText();
        int at = -1;
        for (int i = 0; i <= nth; ++i)
            at = text.indexOf(word, at + 1);
        ASSERT_GE(at, 0);
        QTextCursor c = w->editor()->textCursor();
        c.setPosition(at + into);
        w->editor()->setTextCursor(c);
    }
    // Presses F12 and waits until the status bar tells the outcome.
    void goToDefinition()
    {
        current()->editor()->setFocus();
        press(Qt::Key_F12);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !app->statusMessage().contains("looking"); }, 30000))
            << app->statusMessage().toStdString();
    }
    static int caretLine(TFileMDIChild* w) { return w->editor()->textCursor().blockNumber() + 1; }
    // The column of the caret, or of the start of the selection.
    static int caretColumn(TFileMDIChild* w)
    {
        const QTextCursor c = w->editor()->textCursor();
        return c.selectionStart() - c.block().position() + 1;
    }
};

}  // namespace

TEST_F(Navigation, F12OnACallReachesItsDeclarationInAnotherFileAndOnALocalItsOwn)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    caretOn(a, "helper");
    goToDefinition();
    TFileMDIChild* b = current();
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b, a) << app->statusMessage().toStdString();
    EXPECT_EQ(QFileInfo(b->editor()->source()->fileName()).fileName(), "B.java");
    // The overload taking a String, its name selected.
    EXPECT_EQ(caretLine(b), 4);
    EXPECT_EQ(b->editor()->textCursor().selectedText(), "helper");
    EXPECT_FALSE(b->editor()->isReadOnly());

    // A local: in the same window, where it is declared.
    client()->bringToFront(a);
    caretOn(a, "local", 1);
    goToDefinition();
    EXPECT_EQ(current(), a);
    EXPECT_EQ(caretLine(a), 4);
    EXPECT_EQ(caretColumn(a), 13);
    // A use of a field typed, unsaved.
    QTextCursor end(a->editor()->document()->findBlockByNumber(3));
    end.movePosition(QTextCursor::EndOfBlock);
    a->editor()->setTextCursor(end);
    QTest::keyClicks(a->editor(), " count++;");
    // A field, reached with a Ctrl+click on its use typed a moment ago.
    caretOn(a, "count", 1);
    const QRect r = a->editor()->cursorRect();
    QTest::mouseClick(a->editor()->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return caretLine(a) == 2; }, 30000)) << app->statusMessage().toStdString();
    EXPECT_EQ(a->editor()->textCursor().selectedText(), "count");
    EXPECT_EQ(current(), a);
}

// The compiler reads a class file newer than its source: the declaration is
// found in the source named after the class, the overload by its parameters.
TEST_F(Navigation, AClassReadFromItsClassFileIsFoundInItsSource)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    QTest::qWait(1100);  // a class file surely newer than its source
    ASSERT_EQ(QProcess::execute(javacOrSkip(), {"-d", dir.path(), dir.filePath("B.java")}), 0);
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("B.class")));
    caretOn(a, "helper");
    goToDefinition();
    TFileMDIChild* b = current();
    ASSERT_NE(b, a) << app->statusMessage().toStdString();
    EXPECT_EQ(b->editor()->source()->fileName(), dir.filePath("B.java"));
    EXPECT_EQ(caretLine(b), 4);
    EXPECT_EQ(b->editor()->textCursor().selectedText(), "helper");
}

TEST_F(Navigation, F12OnAJdkClassOpensItsSourceReadOnlyAndNothingFoundIsSaid)
{
    const QString srcZip =
        QFileInfo(CompileService::javaBinFor(javacOrSkip()) + "/../lib/src.zip").absoluteFilePath();
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    const int windows = client()->editors().size();
    // On a keyword there is nothing to go to: the status bar says so, no window opens.
    caretOn(a, "return");
    goToDefinition();
    EXPECT_EQ(current(), a);
    EXPECT_EQ(client()->editors().size(), windows);
    EXPECT_TRUE(app->statusMessage().startsWith("Go to Definition: ")) << app->statusMessage().toStdString();
    if (!QFileInfo::exists(srcZip))
        GTEST_SKIP() << "the JDK's sources are not installed (" << srcZip.toStdString() << ")";
    caretOn(a, "String");
    goToDefinition();
    TFileMDIChild* s = current();
    ASSERT_NE(s, a) << app->statusMessage().toStdString();
    EXPECT_EQ(QFileInfo(s->editor()->source()->fileName()).fileName(), "String.java");
    EXPECT_TRUE(s->editor()->source()->fileName().startsWith(dir.filePath("cache/brewpad/jdk-sources/java.base/")));
    EXPECT_TRUE(s->editor()->isReadOnly());
    EXPECT_TRUE(s->editor()->textCursor().block().text().contains("class String"));
    EXPECT_TRUE(app->statusMessage().contains("read-only")) << app->statusMessage().toStdString();
    // A method of the JDK, reached with Ctrl+click: in the same window.
    client()->bringToFront(a);
    caretOn(a, "length");
    const QRect r = a->editor()->cursorRect();
    QTest::mouseClick(a->editor()->viewport(), Qt::LeftButton, Qt::ControlModifier, r.center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return current() == s; }, 30000)) << app->statusMessage().toStdString();
    EXPECT_TRUE(s->editor()->textCursor().block().text().contains("public int length()"));
    EXPECT_EQ(client()->editors().size(), windows + 1);
}

TEST_F(Navigation, AnAnswerAfterTheUserMovedOnIsDropped)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    QSignalSpy answers(service, &CompileService::answered);
    caretOn(a, "helper");
    client()->navigation().goToDefinition(a->editor(), a->editor()->textCursor().position());
    caretOn(a, "twice");  // before the answer
    const int moved = a->editor()->textCursor().position();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answers.count() == 1; }, 30000));
    QApplication::processEvents();
    EXPECT_EQ(current(), a);
    EXPECT_EQ(client()->editors().size(), 1);
    EXPECT_EQ(a->editor()->textCursor().position(), moved);
}

TEST_F(Navigation, TheOutlineListsTheSourceFollowsItsTextAndLeadsToARow)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    trigger(cmd::ShowOutline);
    OutlineWindow* outline = client()->navigation().outline();
    ASSERT_NE(outline, nullptr);
    auto texts = [&] { return rowsOf(outline); };
    const QStringList first{"class A", "    field count : int", "    method twice(int) : int",
                            "    method size(String) : int"};
    ASSERT_TRUE(QTest::qWaitFor([&] { return texts() == first; }, 30000)) << texts().join("|").toStdString();
    // A pane, never over an editor, listed in the Window menu.
    bool listed = false;
    for (const TFileMDIClient::WindowEntry& e : client()->windowList())
        listed = listed || e.caption == "Outline";
    EXPECT_TRUE(listed);
    const QWidget* pane = client()->messageWindows().last();
    EXPECT_TRUE(pane->isVisible());
    EXPECT_FALSE(QRect(a->mapTo(client(), QPoint(0, 0)), a->size())
                     .intersects(QRect(pane->mapTo(client(), QPoint(0, 0)), pane->size())));

    // A method typed (with the text not compiling on the way) appears.
    client()->bringToFront(a);
    QTextCursor c(a->editor()->document()->findBlockByNumber(6));
    c.movePosition(QTextCursor::EndOfBlock);
    a->editor()->setTextCursor(c);
    QTest::keyClick(a->editor(), Qt::Key_Return);
    QTest::keyClicks(a->editor(), "void added(java.util.List<String> xs, int... n) {");
    ASSERT_TRUE(QTest::qWaitFor([&] { return texts().size() == 5; }, 30000)) << texts().join("|").toStdString();
    EXPECT_EQ(texts()[4], "    method added(List, int...) : void");

    // Enter on a row: the caret goes to its name in the source.
    outline->list()->setFocus();
    outline->list()->setCurrentRow(2);
    press(outline->list(), Qt::Key_Return);
    EXPECT_EQ(current(), a);
    EXPECT_EQ(caretLine(a), 3);
    EXPECT_EQ(caretColumn(a), 9);
    EXPECT_TRUE(a->editor()->hasFocus());

    // Another source window becomes active: the outline is its.
    TFileMDIChild* other = openJava(writeFile("Other.java", "class Other {\n    enum Color { RED }\n}\n"));
    ASSERT_NE(other, nullptr);
    const QStringList second{"class Other", "    enum Color", "        constant RED"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return texts() == second; }, 30000)) << texts().join("|").toStdString();
    EXPECT_EQ(outline->note(), "Other.java");
}

TEST_F(Navigation, AQuestionWaitsBehindACheckWithoutCancellingIt)
{
    QSignalSpy checked(service, &CompileService::checked);
    QSignalSpy answered(service, &CompileService::answered);
    const QString file = dir.filePath("Q.java");
    const QString text = "class Q { int f() { return missing; } }\n";
    ASSERT_NE(service->check(file, text, {}, dir.path()), 0u);
    const quint64 id = service->query(outlineRequest(file, text));
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return checked.count() == 1 && answered.count() == 1; }, 30000));
    EXPECT_EQ(checked[0][1].value<QList<ServiceDiagnostic>>().size(), 1);
    EXPECT_EQ(answered[0][0].toULongLong(), id);
    EXPECT_EQ(outlineIn(answered[0][1].value<ServiceReply>()).size(), 2);
}

TEST_F(Navigation, TheOutlineWindowAndItsRowsAreOnTheAccessibilityTree)
{
    ASSERT_NE(openCaller(), nullptr);
    trigger(cmd::ShowOutline);
    OutlineWindow* outline = client()->navigation().outline();
    ASSERT_NE(outline, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return outline->list()->count() == 4; }, 30000));
    QAccessibleInterface* ws = QAccessible::queryAccessibleInterface(client());
    QAccessibleInterface* window = nullptr;
    for (int i = 0; i < ws->childCount(); ++i) {
        if (ws->child(i)->role() == QAccessible::Window && ws->child(i)->text(QAccessible::Name) == "Outline")
            window = ws->child(i);
    }
    ASSERT_NE(window, nullptr);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(outline->list());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    QStringList names;
    for (int i = 0; i < list->childCount(); ++i)
        names << list->child(i)->text(QAccessible::Name);
    EXPECT_TRUE(names.contains("    method twice(int) : int")) << names.join("|").toStdString();
}

// Records, sealed types and patterns: the outline lists a record's
// components and methods, and F12 on a component's accessor or on a
// pattern's type reaches its declaration.
TEST_F(Navigation, RecordsSealedTypesAndPatternsAreNavigated)
{
    TFileMDIChild* w = openJava(writeFile("Shapes.java",
                                          "public class Shapes {\n"
                                          "    sealed interface Shape permits Circle, Square {}\n"
                                          "    record Circle(double r) implements Shape {}\n"
                                          "    record Square(double side) implements Shape {\n"
                                          "        double area() { return side * side; }\n"
                                          "    }\n"
                                          "    static double area(Shape s) {\n"
                                          "        if (s instanceof Circle c && c.r() > 0)\n"
                                          "            return c.r();\n"
                                          "        return s instanceof Square q ? q.area() : 0;\n"
                                          "    }\n"
                                          "}\n"));
    ASSERT_NE(w, nullptr);
    trigger(cmd::ShowOutline);
    OutlineWindow* outline = client()->navigation().outline();
    ASSERT_NE(outline, nullptr);
    auto texts = [&] { return rowsOf(outline); };
    const QStringList want{"class Shapes",
                           "    interface Shape",
                           "    record Circle",
                           "        component r : double",
                           "    record Square",
                           "        component side : double",
                           "        method area() : double",
                           "    method area(Shape) : double"};
    EXPECT_TRUE(QTest::qWaitFor([&] { return texts() == want; }, 30000)) << texts().join("|").toStdString();

    client()->bringToFront(w);
    caretOn(w, "c.r()", 0, 2);  // the accessor of the component r
    goToDefinition();
    EXPECT_EQ(caretLine(w), 3) << app->statusMessage().toStdString();
    EXPECT_EQ(w->editor()->textCursor().selectedText(), "r");
    caretOn(w, "instanceof Square", 0, 12);
    goToDefinition();
    EXPECT_EQ(caretLine(w), 4) << app->statusMessage().toStdString();
    EXPECT_EQ(w->editor()->textCursor().selectedText(), "Square");
}
