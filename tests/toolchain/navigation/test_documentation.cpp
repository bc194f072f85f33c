// SPDX-License-Identifier: GPL-3.0-or-later
// Show Documentation (Shift+F1), the Documentation pane and the editor's
// documentation tooltips through the real main window, with the compile
// service (its jar from this build) and the JDK of this machine.
#include "service_fixture.h"

#include "toolchain/compiling/compileservice.h"
#include "toolchain/navigation/docpane.h"
#include "workspace/documentationcontroller.h"
#include "workspace/panearea.h"

#include <QAccessible>
#include <QFileInfo>
#include <QTextBlock>
#include <QToolTip>

namespace {

class Documentation : public JdkSourcesServiceTest {
protected:
    void SetUp() override { startInTestFolder(builtFile(BP_SERVICE_JAR)); }
    // Opens A.java, which calls into B.java beside it and into the JDK.
    TFileMDIChild* openCaller()
    {
        writeFile("B.java",
                  "public class B {\n"
                  "    /**\n"
                  "     * Gives {@code s} back, as {@link #twice(int)} does not.\n"
                  "     *\n"
                  "     * @param s the number given\n"
                  "     * @return the same number\n"
                  "     */\n"
                  "    static int helper(int s) { return s; }\n"
                  "    /** Doubles {@code x}. */\n"
                  "    static int twice(int x) { return 2 * x; }\n"
                  "}\n");
        return openJava(writeFile("A.java",
                                  "public class A {\n"
                                  "    int run(String text) {\n"
                                  "        System.out.println(text);\n"
                                  "        return B.helper(text.length());\n"
                                  "    }\n"
                                  "    @Override\n"
                                  "    public String toString() { return \"A\"; }\n"
                                  "}\n"));
    }
    // Puts the caret in `w` on the first `word`, one character in.
    static void caretOn(TFileMDIChild* w, const QString& word)
    {
        const qsizetype at = w->editor()->toPlainText().indexOf(word);
        ASSERT_GE(at, 0);
        QTextCursor c = w->editor()->textCursor();
        c.setPosition(int(at) + 1);
        w->editor()->setTextCursor(c);
    }
    DocPane* pane() { return client()->documentation().pane(); }
    // Waits until the pane shows its answer.
    void waitForPage()
    {
        ASSERT_NE(pane(), nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !pane()->shownText().startsWith("Looking for"); }, 60000))
            << pane()->shownText().toStdString();
    }
    // Presses Shift+F1 in the editor of `w` and waits for the page.
    void showDocumentation(TFileMDIChild* w)
    {
        client()->bringToFront(w);
        w->editor()->setFocus();
        press(QKeyCombination(Qt::SHIFT, Qt::Key_F1));
        waitForPage();
    }
    // Clicks the link of the pane that names `reference`; false when there is none.
    bool clickLink(const QString& reference)
    {
        for (QTextBlock b = pane()->document()->begin(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                const std::optional<DocLink> link = docLinkOf(QUrl(f.charFormat().anchorHref()));
                if (!link || link->reference != reference)
                    continue;
                QTextCursor c(pane()->document());
                c.setPosition(f.position() + 1);
                const QPoint at = pane()->cursorRect(c).center() - QPoint(2, 0);
                QTest::mouseClick(pane()->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                return true;
            }
        }
        return false;
    }
    bool jdkSources() { return QFileInfo::exists(CompileService::javaBinFor(javacOrSkip()) + "/../lib/src.zip"); }
};

}  // namespace

TEST_F(Documentation, ShiftF1OnAJdkClassAndMethodShowsTheirJavadocAndALinkShowsTheLinkedMethod)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    if (!jdkSources())
        GTEST_SKIP() << "the JDK's sources are not installed";
    caretOn(a, "String");
    showDocumentation(a);
    const PaneFrame* frame = client()->panes().pane(Pane::Documentation);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->caption(), "Documentation");
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(pane());
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), "Documentation");
    EXPECT_NE(accessible->role(), QAccessible::NoRole);
    EXPECT_TRUE(pane()->isReadOnly());
    EXPECT_TRUE(pane()->shownText().startsWith("public final class java.lang.String"))
        << pane()->shownText().toStdString();
    EXPECT_TRUE(pane()->shownText().contains("The String class represents character strings."));
    // The focus stays in the text.
    EXPECT_EQ(QApplication::focusWidget(), a->editor());

    // A method without a comment that overrides one: the comment of the one it overrides.
    caretOn(a, "toString");
    showDocumentation(a);
    EXPECT_TRUE(pane()->shownText().startsWith("public String toString()")) << pane()->shownText().toStdString();
    EXPECT_TRUE(pane()->shownText().contains("Returns a string representation of the object."));

    caretOn(a, "println");
    showDocumentation(a);
    const QString page = pane()->shownText();
    EXPECT_TRUE(page.startsWith("public void println(String x)")) << page.toStdString();
    EXPECT_TRUE(page.contains("Prints a String and then terminate the line.")) << page.toStdString();
    EXPECT_TRUE(page.contains("Parameters:"));
    EXPECT_FALSE(page.contains("{@"));

    // The link to print(String) shows its page in the same pane, and Backspace goes back.
    ASSERT_TRUE(clickLink("#print(String)")) << pane()->toHtml().toStdString();
    waitForPage();
    EXPECT_TRUE(pane()->shownText().startsWith("public void print(String s)")) << pane()->shownText().toStdString();
    EXPECT_EQ(client()->panes().panes().size(), 1);
    pane()->setFocus();
    press(pane(), QKeyCombination(Qt::Key_Backspace));
    EXPECT_TRUE(pane()->shownText().startsWith("public void println(String x)"));
}

TEST_F(Documentation, AMethodOfTheProjectShowsItsOwnCommentAndNothingFoundIsSaidInThePane)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    caretOn(a, "helper");
    showDocumentation(a);
    const QString page = pane()->shownText();
    EXPECT_TRUE(page.startsWith("static int helper(int s)")) << page.toStdString();
    EXPECT_TRUE(page.contains("Gives s back, as twice(int) does not."));
    EXPECT_TRUE(page.contains("Parameters:"));
    EXPECT_TRUE(page.contains("s - the number given"));
    EXPECT_TRUE(page.contains("Returns:"));
    EXPECT_TRUE(page.contains("the same number"));
    // A link to a method of the same class.
    ASSERT_TRUE(clickLink("#twice(int)"));
    waitForPage();
    EXPECT_TRUE(pane()->shownText().startsWith("static int twice(int x)")) << pane()->shownText().toStdString();
    EXPECT_TRUE(pane()->shownText().contains("Doubles x."));

    // A keyword documents nothing: the pane says so, and no message box comes.
    caretOn(a, "return");
    showDocumentation(a);
    EXPECT_EQ(pane()->shownText(), "No documentation found for return.\nNo declared name at the caret.");
    // A method without a comment: its signature, and the same words.
    caretOn(a, "run");
    showDocumentation(a);
    EXPECT_TRUE(pane()->shownText().startsWith("int run(String text)")) << pane()->shownText().toStdString();
    EXPECT_TRUE(pane()->shownText().contains("No documentation found for run."));
    EXPECT_TRUE(dialogs_.messages.empty());

    // The Window menu's item brings the pane forward with the focus.
    trigger(cmd::DocumentationPane);
    EXPECT_EQ(QApplication::focusWidget(), pane());
}

TEST_F(Documentation, TheMouseRestingOverANameShowsItsDocumentationAsATooltip)
{
    TFileMDIChild* a = openCaller();
    ASSERT_NE(a, nullptr);
    EditControl* e = a->editor();
    e->setFocus();
    QTextCursor c(e->document());
    c.setPosition(int(e->toPlainText().indexOf("helper")) + 2);
    const QPoint over = e->cursorRect(c).center();
    QTest::mouseMove(e->viewport(), over - QPoint(1, 0));
    QTest::mouseMove(e->viewport(), over);
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 60000));
    EXPECT_TRUE(QToolTip::text().contains("static int helper(int s)")) << QToolTip::text().toStdString();
    EXPECT_TRUE(QToolTip::text().contains("Gives <code>s</code> back, as <code>twice(int)</code> does not."))
        << QToolTip::text().toStdString();
    EXPECT_FALSE(QToolTip::text().contains("the same number"));
    // No pane is made for a tooltip; moving on takes the tooltip away.
    EXPECT_EQ(pane(), nullptr);
    QTest::mouseMove(e->viewport(), over + QPoint(0, 3 * e->cursorRect(c).height()));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 10000));
}
