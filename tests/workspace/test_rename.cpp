// SPDX-License-Identifier: GPL-3.0-or-later
// Rename (Shift+F6) with the compile service of this build on the JDK of this
// machine: the service's answers to the "rename" question, then renames
// through the real main window: a local, a method used in two open files and
// in a source not open (opened and edited, not written), a field of a file
// with CR LF line ends; one Undo gives a file back; a clash, an invalid name
// and a JDK type are refused with a message; a public class keeps its file.
#include "service_fixture.h"

#include "toolchain/compiling/compileservice.h"
#include "workspace/fileplaces.h"
#include "workspace/renameplan.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QByteArray kCalc =
    "public class Calc {\n"
    "    int count;\n"
    "    Calc() { count = 0; }\n"
    "    int add(int x) {\n"
    "        int total = count + x;\n"
    "        count = total;\n"
    "        return total;\n"
    "    }\n"
    "    public String toString() { return \"\" + count; }\n"
    "}\n";
const QByteArray kUse =
    "class Use extends Calc {\n"
    "    @Override\n"
    "    int add(int x) { return super.add(x) + 1; }\n"
    "    static int twice(Calc c) { return c.add(1) + c.add(2); }\n"
    "}\n";
const QByteArray kMore =
    "class More {\r\n"
    "    int of(Calc c) {\r\n"
    "        String s = \"\u00e9\";\r\n"
    "        return c.add(s.length()) + c.count;\r\n"
    "    }\r\n"
    "}\r\n";

class RenameTest : public SuiteServiceTest {
protected:
    static void SetUpTestSuite() { startSuiteService(builtFile(BP_SERVICE_JAR)); }
    void SetUp() override
    {
        SuiteServiceTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        calc = writeFile("Calc.java", kCalc);
        use = writeFile("Use.java", kUse);
        more = writeFile("More.java", kMore);
    }

    // The service's answer to renaming what `needle` names in `file` (given
    // with its text, the other two read from disk).
    ServiceReply ask(const QString& file, const QByteArray& text, const QString& needle, const QString& name)
    {
        RenameRequest r{0, dir.path(), file, int(QString::fromUtf8(text).indexOf(needle)), name, {}, {}, {}};
        r.open << RenameSource{file, QString::fromUtf8(text)};
        for (const QString& p : {calc, use, more}) {
            if (p != file)
                r.others << p;
        }
        std::optional<ServiceReply> answer;
        QObject ctx;
        QObject::connect(service, &CompileService::answered, &ctx,
                         [&](quint64, const ServiceReply& reply) { answer = reply; });
        QObject::connect(service, &CompileService::queryFailed, &ctx, [&](quint64, const QString& why) {
            answer = FailedReply{0, why, false};
        });
        EXPECT_NE(service->query(r), 0u);
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 60000));
        return answer.value_or(FailedReply{});
    }
    static QString refusal(const ServiceReply& reply)
    {
        const auto* r = std::get_if<UnrenamedReply>(&reply);
        return r ? r->reason : QStringLiteral("(renamed)");
    }

    // Puts the caret of `w` on the `n`th (from 0) `needle` and runs Rename
    // with `name` as the new name; true once the preview or a message came.
    bool renameAt(TFileMDIChild* w, const QString& needle, const QString& name, bool apply = true, int n = 0)
    {
        const QString text = w->source()->rawText();
        int at = text.indexOf(needle);
        for (int i = 0; i < n; ++i)
            at = text.indexOf(needle, at + 1);
        QTextCursor c = w->editor()->textCursor();
        c.setPosition(at + 1);
        w->editor()->setTextCursor(c);
        client()->bringToFront(w);
        dialogs_.textAnswers.push_back(name);
        dialogs_.previewAnswers.push_back(apply);
        const size_t previews = dialogs_.previews.size(), messages = dialogs_.messages.size();
        press(Qt::SHIFT | Qt::Key_F6);
        return QTest::qWaitFor(
            [&] { return dialogs_.previews.size() > previews || dialogs_.messages.size() > messages; }, 60000);
    }
    QString lastMessage() const { return dialogs_.messages.empty() ? QString() : dialogs_.messages.back().text; }
    TFileMDIChild* windowOf(const QString& path) { return client()->places().windowShowing(path); }

    QString calc, use, more;
};

}  // namespace

TEST_F(RenameTest, TheServiceFindsEveryPlaceOfAMethodWithItsOverridesOrSaysWhyNot)
{
    const ServiceReply reply = ask(use, kUse, "add(int x)", "plus");
    const auto* r = std::get_if<RenamedReply>(&reply);
    ASSERT_NE(r, nullptr) << refusal(reply).toStdString();
    EXPECT_EQ(r->oldName, "add");
    EXPECT_EQ(r->note, "");
    QMap<QString, int> perFile;
    for (const RenamePlace& p : r->places) {
        const QString text = p.path == use ? QString::fromUtf8(kUse) : diskSourceText(readFile(p.path));
        EXPECT_EQ(text.mid(p.offset, p.length), "add") << p.path.toStdString() << " " << p.offset;
        ++perFile[QFileInfo(p.path).fileName()];
    }
    EXPECT_EQ(perFile, (QMap<QString, int>{{"Calc.java", 1}, {"Use.java", 4}, {"More.java", 1}}));

    EXPECT_EQ(refusal(ask(calc, kCalc, "total", "3total")), "not a valid Java identifier");
    EXPECT_EQ(refusal(ask(calc, kCalc, "total", "class")), "not a valid Java identifier");
    EXPECT_EQ(refusal(ask(calc, kCalc, "String", "Text")), "cannot rename a symbol of the JDK or a library");
    EXPECT_EQ(refusal(ask(calc, kCalc, "toString", "text")), "cannot rename a symbol of the JDK or a library");
    EXPECT_EQ(refusal(ask(calc, kCalc, "total", "x")), "the new name clashes with parameter x in method add(int)");
    // Names the compiler refuses once renamed: a method of the same
    // signature, a class of the same name.
    const QByteArray ops = "class Ops {\n    int add(int x) { return x; }\n    int sub(int x) { return -x; }\n}\n";
    EXPECT_EQ(refusal(ask(dir.filePath("Ops.java"), ops, "sub", "add")),
              "the new name clashes with method add(int) in class Ops");
    EXPECT_EQ(refusal(ask(use, kUse, "Use", "More")), "the new name clashes with class More in the sources");
    // An enum with its constants' uses in a switch, a method's type parameter.
    const QByteArray kinds =
        "class Kinds {\n    enum Op { PLUS, MINUS }\n"
        "    <E> E pick(E a, Op o) {\n        switch (o) { case PLUS: return a; default: return a; }\n"
        "    }\n    Op first = Op.PLUS;\n}\n";
    const QString kindsFile = dir.filePath("Kinds.java");
    const ServiceReply ops2 = ask(kindsFile, kinds, "Op {", "Operation");
    ASSERT_TRUE(std::holds_alternative<RenamedReply>(ops2)) << refusal(ops2).toStdString();
    EXPECT_EQ(std::get<RenamedReply>(ops2).places.size(), 4);
    const ServiceReply e = ask(kindsFile, kinds, "E>", "X");
    ASSERT_TRUE(std::holds_alternative<RenamedReply>(e)) << refusal(e).toStdString();
    EXPECT_EQ(std::get<RenamedReply>(e).places.size(), 3);
    // A field renamed after a local that would hide it at its uses.
    EXPECT_EQ(refusal(ask(calc, kCalc, "count;", "total")),
              "the new name clashes with local variable total in method add(int)");
}

TEST_F(RenameTest, ALocalIsRenamedInOneUndoStepAfterThePreview)
{
    TFileMDIChild* w = openJava(calc);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(renameAt(w, "total", "sum"));
    ASSERT_EQ(dialogs_.textsAsked.size(), 1u);
    EXPECT_EQ(dialogs_.textsAsked[0].title, "Rename");
    EXPECT_EQ(dialogs_.textsAsked[0].initial, "total");
    ASSERT_EQ(dialogs_.previews.size(), 1u) << lastMessage().toStdString();
    const auto& p = dialogs_.previews[0];
    EXPECT_EQ(p.title, "Rename 'total' to 'sum'");
    ASSERT_EQ(p.rows.size(), 3);
    EXPECT_EQ(p.rows[0].file, "Calc.java");
    EXPECT_EQ(p.rows[0].line, 5);
    EXPECT_EQ(p.rows[0].text, "        int total = count + x;");
    EXPECT_EQ(p.rows[2].line, 7);
    const QString renamed = w->source()->rawText();
    EXPECT_EQ(renamed, QString::fromUtf8(kCalc).replace("total", "sum"));
    EXPECT_TRUE(w->editor()->document()->isModified());
    EXPECT_EQ(readFile(calc), kCalc);  // the user saves it
    trigger(cmd::Undo);
    EXPECT_EQ(w->source()->rawText(), QString::fromUtf8(kCalc));
    EXPECT_FALSE(w->editor()->document()->isUndoAvailable());

    // A preview cancelled changes nothing.
    ASSERT_TRUE(renameAt(w, "total", "sum", false));
    EXPECT_EQ(w->source()->rawText(), QString::fromUtf8(kCalc));
}

TEST_F(RenameTest, AWindowWithoutAFileAndAnEditMadeMeanwhile)
{
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    const QString text = "class Untitled {\n    int twice(int n) {\n        return n + n;\n    }\n}\n";
    w->editor()->setPlainText(text);
    ASSERT_TRUE(renameAt(w, "n)", "value"));
    ASSERT_EQ(dialogs_.previews.size(), 1u) << lastMessage().toStdString();
    EXPECT_EQ(w->source()->rawText(), QString(text).replace("n)", "value)").replace("n + n", "value + value"));

    // The text changes while the preview is up: nothing is renamed.
    w->editor()->setPlainText(text);
    dialogs_.previewHook = [&] {
        QTextCursor end(w->editor()->document());
        end.movePosition(QTextCursor::End);
        end.insertText("// typed");
    };
    ASSERT_TRUE(renameAt(w, "n)", "value"));
    EXPECT_TRUE(lastMessage().startsWith("A source changed")) << lastMessage().toStdString();
    EXPECT_EQ(w->source()->rawText(), text + "// typed");
}

TEST_F(RenameTest, AMethodUsedInTwoOpenFilesAndOneNotOpenIsRenamedInEachWindow)
{
    TFileMDIChild* c = openJava(calc);
    TFileMDIChild* u = openJava(use);
    ASSERT_TRUE(c && u);
    ASSERT_EQ(windowOf(more), nullptr);
    ASSERT_TRUE(renameAt(u, "add", "plus", true, 2));
    ASSERT_EQ(dialogs_.previews.size(), 1u) << lastMessage().toStdString();
    EXPECT_EQ(dialogs_.previews[0].rows.size(), 6);
    EXPECT_EQ(app->statusMessage(), "Renamed 'add' to 'plus': 6 places in 3 files; save the files changed");
    EXPECT_EQ(c->source()->rawText(), QString::fromUtf8(kCalc).replace("int add(", "int plus("));
    EXPECT_EQ(u->source()->rawText(), QString::fromUtf8(kUse).replace("add(", "plus("));
    // The source that was not open is opened and edited there, its line ends kept.
    TFileMDIChild* m = windowOf(more);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->source()->savedText().toUtf8(), QByteArray(kMore).replace("c.add(", "c.plus("));
    EXPECT_EQ(readFile(more), kMore);
    EXPECT_EQ(current(), u);
    // One undo in a window gives back that window's text only.
    client()->bringToFront(c);
    trigger(cmd::Undo);
    EXPECT_EQ(c->source()->rawText(), QString::fromUtf8(kCalc));
    EXPECT_EQ(u->source()->rawText(), QString::fromUtf8(kUse).replace("add(", "plus("));
}

TEST_F(RenameTest, AFieldIsRenamedInAFileWithCrLfLineEnds)
{
    TFileMDIChild* c = openJava(calc);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(renameAt(c, "count", "amount"));
    ASSERT_EQ(dialogs_.previews.size(), 1u) << lastMessage().toStdString();
    EXPECT_EQ(c->source()->rawText(), QString::fromUtf8(kCalc).replace("count", "amount"));
    TFileMDIChild* m = windowOf(more);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->source()->savedText().toUtf8(), QByteArray(kMore).replace("c.count", "c.amount"));
}

TEST_F(RenameTest, AClashAnInvalidNameAndAJdkTypeAreRefusedWithAMessage)
{
    TFileMDIChild* c = openJava(calc);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(renameAt(c, "total", "x"));
    EXPECT_EQ(lastMessage(), "Cannot rename to 'x': the new name clashes with parameter x in method add(int).");
    EXPECT_EQ(dialogs_.messages.back().caption, "Rename");
    ASSERT_TRUE(renameAt(c, "total", "9lives"));
    EXPECT_EQ(lastMessage(), "Cannot rename to '9lives': not a valid Java identifier.");
    ASSERT_TRUE(renameAt(c, "String", "Text"));
    EXPECT_EQ(lastMessage(), "Cannot rename to 'Text': cannot rename a symbol of the JDK or a library.");
    EXPECT_TRUE(dialogs_.previews.empty());
    EXPECT_EQ(c->source()->rawText(), QString::fromUtf8(kCalc));
}

TEST_F(RenameTest, APublicClassIsRenamedWithItsConstructorsAndKeepsItsFile)
{
    TFileMDIChild* c = openJava(calc);
    ASSERT_NE(c, nullptr);
    ASSERT_TRUE(renameAt(c, "Calc", "Counter"));
    ASSERT_EQ(dialogs_.previews.size(), 1u) << lastMessage().toStdString();
    EXPECT_TRUE(dialogs_.previews[0].note.contains("Calc.java keeps its name"))
        << dialogs_.previews[0].note.toStdString();
    EXPECT_EQ(c->source()->rawText(), QString::fromUtf8(kCalc).replace("Calc", "Counter"));
    EXPECT_EQ(c->source()->fileName(), calc);
    EXPECT_EQ(windowOf(use)->source()->rawText(), QString::fromUtf8(kUse).replace("Calc", "Counter"));
}
