// SPDX-License-Identifier: GPL-3.0-or-later
// Check While Typing through the real main window, with the compile service
// (its jar from this build) and the JDK of this machine: a typing error is
// marked without a save, nothing is written, and the switch turns it off.
#include "service_fixture.h"

#include "editor/editcontrol.h"
#include "toolchain/building/filebuild.h"
#include "toolchain/messages/messagewindow.h"
#include "toolchain/settings/optiondialogs.h"
#include "toolchain/compiling/compileservice.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

class CheckWhileTyping : public ServiceTest {
protected:
    void SetUp() override
    {
        CompileTest::SetUp();
        useRealJavac();
        if (IsSkipped())
            return;
        startService(builtFile(BP_SERVICE_JAR));
    }
    void TearDown() override
    {
        CompileTest::TearDown();
        stopService();
    }
    static QList<TextMark> lightMarks(TFileMDIChild* w)
    {
        QList<TextMark> out;
        for (const TextMark& m : w->editor()->source()->marks().messageMarks()) {
            if (m.light)
                out << m;
        }
        return out;
    }
    void type(TFileMDIChild* w, const QString& text)
    {
        w->editor()->setFocus();
        QTest::keyClicks(w->editor(), text);
    }
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
};

}  // namespace

TEST_F(CheckWhileTyping, ATypingErrorIsMarkedWithoutASaveAndNothingIsWritten)
{
    TFileMDIChild* w = openJava(writeFile("Typed.java",
                                          "public class Typed {\n"
                                          "    int f() {\n"
                                          "        return 1;\n"
                                          "    }\n"
                                          "}\n"));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(app->action(cmd::CheckWhileTyping)->isChecked());
    const QStringList before = filesInDir();
    // The caret before the ";" of line 3, then an undefined name typed there.
    QTextCursor c(w->editor()->document()->findBlockByNumber(2));
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::Left);
    w->editor()->setTextCursor(c);
    type(w, " + missingName");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lightMarks(w).isEmpty(); }, 30000));
    const QList<TextMark> marks = lightMarks(w);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].line, 3);
    EXPECT_EQ(marks[0].kind, TextMark::Kind::Error);
    EXPECT_TRUE(marks[0].text.contains("missingName")) << marks[0].text.toStdString();
    // Unsaved, not compiled, no message window, and no file written.
    EXPECT_TRUE(w->editor()->document()->isModified());
    EXPECT_FALSE(w->build().IsCompiled);
    EXPECT_FALSE(client()->messageList());
    EXPECT_EQ(filesInDir(), before);
    EXPECT_TRUE(QDir(dir.filePath("capture")).isEmpty());

    // Mended: the mark goes with the next check.
    for (int i = 0; i < 14; ++i)
        QTest::keyClick(w->editor(), Qt::Key_Backspace);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lightMarks(w).isEmpty(); }, 30000));
}

TEST_F(CheckWhileTyping, AnUntitledWindowIsCheckedAsTheFileItsPublicTypeNames)
{
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    const QStringList before = filesInDir();
    type(w, "public class Fresh { int f() { return missingName; } }");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lightMarks(w).isEmpty(); }, 30000));
    // Only the typing error: the file it is checked as is named after its public class.
    const QList<TextMark> marks = lightMarks(w);
    ASSERT_EQ(marks.size(), 1);
    EXPECT_EQ(marks[0].line, 1);
    EXPECT_TRUE(marks[0].text.contains("missingName")) << marks[0].text.toStdString();
    EXPECT_TRUE(w->isNewFile());
    EXPECT_EQ(filesInDir(), before);
}

TEST_F(CheckWhileTyping, NewJavaOptionsStartTheServiceAgainWithThem)
{
    const qint64 before = service->processId();
    trigger(cmd::JavaOptions);
    auto* dlg = qobject_cast<TCompDialog*>(client()->subWindowList().last()->widget());
    ASSERT_NE(dlg, nullptr);
    QTest::keyClicks(dlg->JavaOptions, "-Xmx200m");
    dlg->CmOk();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return service->setup().jvmOptions.contains("-Xmx200m") &&
                   service->state() == CompileService::State::Ready;
        },
        30000))
        << service->setup().jvmOptions.join(" ").toStdString();
    // The user's heap limit replaces the service's own.
    EXPECT_FALSE(service->setup().jvmOptions.contains("-Xmx256m"));
    EXPECT_NE(service->processId(), before);
}

TEST_F(CheckWhileTyping, TurnedOffItTakesItsMarksAwayAndChecksNoMore)
{
    TFileMDIChild* w = openJava(writeFile("Off.java", "public class Off {\n}\n"));
    ASSERT_NE(w, nullptr);
    QTextCursor c(w->editor()->document()->findBlockByNumber(0));
    c.movePosition(QTextCursor::EndOfBlock);
    w->editor()->setTextCursor(c);
    type(w, " int x = \"s\";");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lightMarks(w).isEmpty(); }, 30000));
    trigger(cmd::CheckWhileTyping);
    EXPECT_TRUE(lightMarks(w).isEmpty());
    type(w, " int y = \"t\";");
    QTest::qWait(1500);
    EXPECT_TRUE(lightMarks(w).isEmpty());
    app->updateCommandStates();
    EXPECT_FALSE(app->action(cmd::CheckWhileTyping)->isChecked());
}

// A U+2028 (or any other character) in a comment is checked as the file holds
// it: javac compiles it, so the check marks nothing but what was typed.
TEST_F(CheckWhileTyping, TheTextIsCheckedAsItWillBeSaved)
{
    const QString text = QStringLiteral(
        "public class Sep {\n"
        "    // one comment\u2028still the comment\n"
        "    int f() {\n"
        "        return 1;\n"
        "    }\n"
        "}\n");
    TFileMDIChild* w = openJava(writeFile("Sep.java", text.toUtf8()));
    ASSERT_NE(w, nullptr);
    // The caret before the ";" of line 4, then an undefined name typed there.
    QTextCursor c(w->editor()->document()->findBlockByNumber(3));
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::Left);
    w->editor()->setTextCursor(c);
    type(w, " + missingName");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lightMarks(w).isEmpty(); }, 30000));
    const QList<TextMark> marks = lightMarks(w);
    ASSERT_EQ(marks.size(), 1) << marks.value(1).text.toStdString();
    EXPECT_EQ(marks[0].line, 4);
    EXPECT_TRUE(marks[0].text.contains("missingName")) << marks[0].text.toStdString();
}

TEST_F(CheckWhileTyping, ACompilationLeavesTheMarksOfTheTextBeingTyped)
{
    TFileMDIChild* typed = openJava(writeFile("Typed.java", "public class Typed {\n}\n"));
    ASSERT_NE(typed, nullptr);
    QTextCursor c(typed->editor()->document()->findBlockByNumber(0));
    c.movePosition(QTextCursor::EndOfBlock);
    typed->editor()->setTextCursor(c);
    type(typed, " int x = \"s\";");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !lightMarks(typed).isEmpty(); }, 30000));
    const QList<TextMark> checked = lightMarks(typed);

    // F9 in another window, whose saved file fails: its marks come, the
    // typed window's stay.
    TFileMDIChild* other = openJava(writeFile("Other.java", "public class Other {\n  int y = \"t\";\n}\n"));
    ASSERT_NE(other, nullptr);
    compile();
    ASSERT_TRUE(client()->messageList());
    EXPECT_EQ(lightMarks(typed), checked);
    ASSERT_EQ(other->editor()->source()->marks().messageMarks().size(), 1);
    EXPECT_FALSE(other->editor()->source()->marks().messageMarks()[0].light);

    // F9 in the typed window compiles its saved text, which is sound: the
    // marks of its own check stay beside those of no compilation.
    client()->bringToFront(typed);
    compile();
    EXPECT_TRUE(typed->build().IsCompiled);
    EXPECT_EQ(typed->editor()->source()->marks().messageMarks(), checked);
    EXPECT_TRUE(other->editor()->source()->marks().messageMarks().isEmpty());
}
