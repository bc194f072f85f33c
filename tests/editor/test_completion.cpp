// SPDX-License-Identifier: GPL-3.0-or-later
// Completion and parameter hints: the items as plain data (filtered and
// ordered as a prefix is typed, the words offered without the service); the
// compile service's answers for real sources with the JDK of this machine;
// and the list in a Java window of the real main window: Ctrl+Space, a "."
// typed, Enter inserting as one undo step, the words of the open files when
// no service answers, and the list and its rows on the accessibility tree.
#include "service_fixture.h"

#include "editor/completionpopup.h"
#include "editor/editcontrol.h"
#include "editor/completion.h"
#include "editor/parameterhints.h"
#include "config/jdks.h"
#include "javatext/javaidentifiers.h"
#include "toolchain/compiling/compileservice.h"

#include <QAccessible>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

namespace {

CompletionItem item(const char* kind, const char* name, const char* detail, const char* insert)
{
    return CompletionItem{QString::fromLatin1(kind), QString::fromLatin1(name), QString::fromLatin1(detail),
                          QString::fromLatin1(insert)};
}

QStringList names(const QList<CompletionItem>& items)
{
    QStringList out;
    for (const CompletionItem& i : items)
        out << i.name;
    return out;
}

}  // namespace

TEST(CompletionItems, AReplyDecodesAndAPrefixFiltersCaseFirst)
{
    const QList<QByteArray> frame{"completed", "7",        "3",      "method",    "length", "length() : int",
                                  "length()",  "local",    "len",    "len : int", "len",    "type",
                                  "Length",    "a.Length", "Length", "cut short"};
    const QList<CompletionItem> items = std::get<CompletedReply>(decodeServiceReply(frame).value()).items;
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], item("method", "length", "length() : int", "length()"));
    EXPECT_EQ(items[2], item("type", "Length", "a.Length", "Length"));
    // Those that match the prefix's case first, each group in the service's order.
    EXPECT_EQ(names(filterCompletions(items, "Len")), (QStringList{"Length", "length", "len"}));
    EXPECT_EQ(names(filterCompletions(items, "leng")), (QStringList{"length", "Length"}));
    EXPECT_TRUE(filterCompletions(items, "x").isEmpty());
    EXPECT_EQ(filterCompletions(items, "").size(), 3);
}

TEST(CompletionItems, AMethodPutsTheCaretBetweenItsParenthesesWhenItTakesArguments)
{
    const CompletionItem none = item("method", "length", "length() : int", "length()");
    const CompletionItem some = item("method", "charAt", "charAt(int) : char", "charAt()");
    const CompletionItem field = item("field", "count", "count : int", "count");
    EXPECT_EQ(none.caretInInsert(), 8);
    EXPECT_EQ(some.caretInInsert(), 7);
    EXPECT_EQ(field.caretInInsert(), 5);
    EXPECT_EQ(none.shownText(), "length() : int");
    EXPECT_EQ(field.shownText(), "count : int");
    EXPECT_EQ(item("type", "List", "java.util.List", "List").shownText(), "List - java.util.List");
}

TEST(CompletionItems, SignaturesDecodeAndMarkTheCurrentArgument)
{
    const QList<QByteArray> frame{"signatures", "3",     "1",     "2",      "max", "int",
                                  "2",          "int a", "int b", "String", "",    "0"};
    const SignatureHelp help = std::get<SignaturesReply>(decodeServiceReply(frame).value()).help;
    EXPECT_EQ(help.argument, 1);
    ASSERT_EQ(help.overloads.size(), 2);
    EXPECT_EQ(help.overloads[0], (SignatureOverload{"max", "int", {"int a", "int b"}}));
    EXPECT_EQ(help.overloads[1], (SignatureOverload{"String", "", {}}));
    EXPECT_EQ(help.richText(), "max(int a, <b>int b</b>) : int<br>String()");
    EXPECT_EQ(help.plainText(), "max(int a, int b) : int\nString()");
}

TEST(CompletionItems, TheWordsOfOpenTextsBeginWithThePrefix)
{
    const QStringList texts{"int counter = count(3); // Counting 2x", "counter++; cou; \u00e9t\u00e9 count2"};
    EXPECT_EQ(wordsStartingWith(texts, "cou"), (QStringList{"Counting", "count", "count2", "counter"}));
    EXPECT_EQ(wordsStartingWith(texts, "\u00e9"), (QStringList{"\u00e9t\u00e9"}));
    EXPECT_EQ(wordsStartingWith(texts, "cou", 2).size(), 2);
    EXPECT_EQ(javatext::identifierStart(u"a.bcd", 5), 2);
    EXPECT_EQ(javatext::identifierStart(u"a.", 2), 2);
    EXPECT_EQ(wordItems({"x"}).front(), item("word", "x", "", "x"));
}

namespace {

// The compile service of this build on the JDK of this machine, shared by
// the tests of a suite.
class CompletionTest : public SuiteServiceTest {
protected:
    // Complete in the window `w` holding `marked` (the caret at its "|"):
    // the list once it shows, null when it does not within a minute.
    CompletionPopup* listFor(TFileMDIChild* w, const QString& marked);

    static void SetUpTestSuite() { startSuiteService(builtFile(BP_SERVICE_JAR)); }

    // The service's answer for `text`, whose caret is the "|" it holds.
    QList<CompletionItem> completeAt(const QString& marked)
    {
        const int caret = int(marked.indexOf(QLatin1Char('|')));
        QString text = marked;
        text.remove(caret, 1);
        QList<CompletionItem> got;
        bool done = false;
        QObject ctx;
        QObject::connect(service, &CompileService::completed, &ctx, [&](quint64, const QList<CompletionItem>& i) {
            got = i;
            done = true;
        });
        QObject::connect(service, &CompileService::completeFailed, &ctx, [&](quint64, const QString& why) {
            ADD_FAILURE() << why.toStdString();
            done = true;
        });
        EXPECT_NE(service->complete(dir.filePath("T.java"), text, caret, {}, dir.path()), 0u);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
        return got;
    }
    SignatureHelp signatureAt(const QString& marked)
    {
        const int caret = int(marked.indexOf(QLatin1Char('|')));
        QString text = marked;
        text.remove(caret, 1);
        SignatureHelp got;
        bool done = false;
        QObject ctx;
        QObject::connect(service, &CompileService::signatureFound, &ctx, [&](quint64, const SignatureHelp& h) {
            got = h;
            done = true;
        });
        EXPECT_NE(service->signature(dir.filePath("T.java"), text, caret, {}, dir.path()), 0u);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
        return got;
    }
    static const CompletionItem* find(const QList<CompletionItem>& items, const QString& name)
    {
        for (const CompletionItem& i : items) {
            if (i.name == name)
                return &i;
        }
        return nullptr;
    }
};


}  // namespace

TEST_F(CompletionTest, AfterADotTheMembersOfTheExpressionsType)
{
    const QList<CompletionItem> all = completeAt("class T { void f() { String s = \"\"; s.| } }");
    const CompletionItem* length = find(all, "length");
    ASSERT_NE(length, nullptr);
    EXPECT_EQ(*length, (CompletionItem{"method", "length", "length() : int", "length()"}));
    const CompletionItem* charAt = find(all, "charAt");
    ASSERT_NE(charAt, nullptr);
    EXPECT_EQ(charAt->detail, "charAt(int) : char");
    // No static member after a variable, no keyword, no local.
    EXPECT_EQ(find(all, "valueOf"), nullptr);
    EXPECT_EQ(find(all, "while"), nullptr);
    EXPECT_EQ(find(all, "s"), nullptr);

    // A prefix narrows the list; a type's name lists its static members, with
    // the type arguments of the expression.
    EXPECT_EQ(names(completeAt("class T { void f() { String s = \"\"; s.le| } }")), QStringList{"length"});
    const QList<CompletionItem> statics = completeAt("class T { void f() { Math.ma| } }");
    EXPECT_EQ(find(statics, "max")->kind, "method");
    const QList<CompletionItem> list = completeAt(
        "import java.util.*;\nclass T { void f() { List<String> l = new ArrayList<>(); l.get| } }");
    ASSERT_NE(find(list, "get"), nullptr);
    EXPECT_EQ(find(list, "get")->detail, "get(int) : String");
}

TEST_F(CompletionTest, NamesInScopeButNotALocalDeclaredBelowTheCaret)
{
    const QList<CompletionItem> all = completeAt(
        "class T {\n  int total;\n  void f(int param) {\n    int alpha = 1;\n    |\n    int below = 2;\n  }\n"
        "  void g() { int other = 3; }\n}\n");
    for (const char* name : {"alpha", "param", "total", "f", "g", "String", "while"})
        EXPECT_NE(find(all, name), nullptr) << name;
    EXPECT_EQ(find(all, "below"), nullptr);
    EXPECT_EQ(find(all, "other"), nullptr);
    EXPECT_EQ(find(all, "alpha")->kind, "local");
    EXPECT_EQ(find(all, "total")->kind, "field");
    // A type of a common package the source does not import, by its prefix.
    const QList<CompletionItem> types = completeAt("class T { void f() { ArrayLi| } }");
    ASSERT_NE(find(types, "ArrayList"), nullptr);
    EXPECT_EQ(find(types, "ArrayList")->insert, "java.util.ArrayList");
}

TEST_F(CompletionTest, StaticImportsBringTheirMembersByName)
{
    const QString head = "import static java.lang.Math.max;\nimport static java.util.Collections.*;\n";
    QList<CompletionItem> all = completeAt(head + "class T { void f() { int m = ma| } }");
    const CompletionItem* max = find(all, "max");
    ASSERT_NE(max, nullptr);
    EXPECT_EQ(max->kind, "method");
    EXPECT_EQ(find(all, "min"), nullptr) << "only the member the import names";
    all = completeAt(head + "class T { void f() { Object o = emptyL| } }");
    ASSERT_NE(find(all, "emptyList"), nullptr);
    EXPECT_EQ(find(all, "emptyList")->insert, "emptyList()");
}

TEST_F(CompletionTest, ATextWithErrorsElsewhereIsCompletedAllTheSame)
{
    const QList<CompletionItem> all = completeAt(
        "class T {\n  int broken = \"text\";\n  void f() { String s = \"\"; s.len| }\n"
        "  void g() { undefined(); Missing m; \n}\n");
    EXPECT_EQ(names(all), QStringList{"length"});
}

TEST_F(CompletionTest, ParameterHintsListTheOverloadsAndTheCurrentArgument)
{
    SignatureHelp help = signatureAt("class T { void f() { int m = Math.max(|\n  }\n}\n");
    EXPECT_EQ(help.argument, 0);
    QStringList returns;
    for (const SignatureOverload& o : help.overloads) {
        EXPECT_EQ(o.name, "max");
        EXPECT_EQ(o.parameters.size(), 2);
        returns << o.returns;
    }
    returns.sort();
    EXPECT_EQ(returns, (QStringList{"double", "float", "int", "long"}));
    help = signatureAt("class T { void g(int a, String b) {} void f() { g(1, \"(,\"|); } }");
    EXPECT_EQ(help.argument, 1);
    ASSERT_EQ(help.overloads.size(), 1);
    EXPECT_EQ(help.overloads[0], (SignatureOverload{"g", "void", {"int a", "String b"}}));
    EXPECT_TRUE(signatureAt("class T { void f() { int x = (1 + |2); } }").overloads.isEmpty());
}

// A JDK method read from its class file shows its parameters' names as the
// JDK's sources give them (or none, never the compiler's "arg0").
TEST_F(CompletionTest, ParameterHintsNameTheParametersOfTheJdk)
{
    SignatureHelp help = signatureAt("class T { void f() { \"abc\".substring(| } }");
    QStringList shown;
    for (const SignatureOverload& o : help.overloads)
        shown << o.parameters.join(", ");
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"int beginIndex", "int beginIndex, int endIndex"}));
    help = signatureAt("class T { void f() { String.format(| } }");
    shown.clear();
    for (const SignatureOverload& o : help.overloads)
        shown << o.parameters.join(", ");
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Locale l, String format, Object... args", "String format, Object... args"}));
    help = signatureAt("class T { void f() { new StringBuilder(|); } }");
    shown.clear();
    for (const SignatureOverload& o : help.overloads)
        shown << o.parameters.join(", ");
    EXPECT_TRUE(shown.contains("int capacity")) << shown.join(" | ").toStdString();
    EXPECT_FALSE(shown.join(" ").contains("arg0")) << shown.join(" | ").toStdString();
}

namespace {

// The accessible objects below `iface` as "role:name" lines.
void accessibleTree(QAccessibleInterface* iface, QStringList& out)
{
    if (!iface)
        return;
    out << QString::number(int(iface->role())) + QLatin1Char(':') + iface->text(QAccessible::Name);
    for (int i = 0; i < iface->childCount(); ++i)
        accessibleTree(iface->child(i), out);
}

// A Java window holding `text`, the caret where its "|" is.
void windowWith(TFileMDIChild* w, const QString& marked)
{
    const int caret = int(marked.indexOf(QLatin1Char('|')));
    QString text = marked;
    text.remove(caret, 1);
    w->editor()->setPlainText(text);
    QTextCursor c = w->editor()->textCursor();
    c.setPosition(caret);
    w->editor()->setTextCursor(c);
    w->editor()->setFocus();
}

CompletionPopup* CompletionTest::listFor(TFileMDIChild* w, const QString& marked)
{
    windowWith(w, marked);
    trigger(cmd::Complete);
    auto* popup = w->editor()->findChild<CompletionPopup*>();
    return popup && QTest::qWaitFor([&] { return popup->isVisible(); }, 60000) ? popup : nullptr;
}

}  // namespace

TEST_F(CompletionTest, EnterInsertsTheChosenMethodAsOneUndoStep)
{
    TFileMDIChild* w = openJava(writeFile("Pick.java", "class Pick {}\n"));
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    const QString before = "class Pick { void f() { String s = \"\"; s.len| } }";
    windowWith(w, before);
    EXPECT_TRUE(enabled(cmd::Complete));
    CompletionPopup* popup = listFor(w, before);
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->chosen(), nullptr);
    EXPECT_EQ(popup->chosen()->name, "length");
    EXPECT_EQ(popup->item(0)->text(), "length() : int");

    // On the accessibility tree: the list, its rows by their texts.
    QStringList tree;
    accessibleTree(QAccessible::queryAccessibleInterface(qApp), tree);
    EXPECT_TRUE(tree.contains(QString::number(int(QAccessible::List)) + ":Completions"))
        << tree.join("\n").toStdString();
    EXPECT_TRUE(tree.contains(QString::number(int(QAccessible::ListItem)) + ":length() : int"))
        << tree.join("\n").toStdString();

    press(e, Qt::Key_Return);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(e->source()->rawText(), "class Pick { void f() { String s = \"\"; s.length() } }");
    EXPECT_EQ(e->textCursor().position(), int(before.indexOf('|')) + 5);  // after "length()"
    e->undo();
    EXPECT_EQ(e->source()->rawText(), QString(before).remove('|'));
}

TEST_F(CompletionTest, ATypeOutOfScopeComesByItsNameWithItsImportInOneUndoStep)
{
    TFileMDIChild* w = openJava(writeFile("Imports.java", "class Imports {}\n"));
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    const QString before = "import java.io.File;\n\nclass Imports { void f() { ArrayLi| } }";
    CompletionPopup* popup = listFor(w, before);
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->chosen(), nullptr);
    ASSERT_EQ(popup->chosen()->insert, "java.util.ArrayList");
    press(e, Qt::Key_Return);
    EXPECT_EQ(e->source()->rawText(),
              "import java.io.File;\nimport java.util.ArrayList;\n\nclass Imports { void f() { ArrayList } }");
    EXPECT_EQ(app->statusMessage(), "Added: import java.util.ArrayList;");
    EXPECT_EQ(e->textCursor().block().text(), "class Imports { void f() { ArrayList } }");
    EXPECT_EQ(e->textCursor().positionInBlock(), int(QString("class Imports { void f() { ArrayList").size()));
    e->undo();
    EXPECT_EQ(e->source()->rawText(), QString(before).remove('|'));
}

TEST_F(CompletionTest, ADotTypedListsTheMembersAndTypingFiltersThem)
{
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    windowWith(w, "class Dot { void f() { String s = \"\"; s| } }");
    auto* popup = e->findChild<CompletionPopup*>();
    ASSERT_NE(popup, nullptr);
    QTest::keyClicks(e, ".");
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 60000));
    QTest::keyClicks(e, "charA");
    QApplication::processEvents();
    ASSERT_EQ(popup->count(), 1);
    EXPECT_EQ(popup->chosen()->name, "charAt");
    // Tab inserts it, the caret between its parentheses.
    press(e, Qt::Key_Tab);
    EXPECT_EQ(e->source()->rawText(), "class Dot { void f() { String s = \"\"; s.charAt() } }");
    EXPECT_EQ(e->textCursor().position(), int(e->source()->rawText().lastIndexOf("()")) + 1);
    // Esc closes the list; a method whose parentheses follow gets its name alone.
    windowWith(w, "class Dot { void f() { String s = \"\"; s.subs|(1) } }");
    trigger(cmd::Complete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 60000));
    press(e, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    trigger(cmd::Complete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 60000));
    EXPECT_EQ(popup->chosen()->name, "substring");
    press(e, Qt::Key_Return);
    EXPECT_EQ(e->source()->rawText(), "class Dot { void f() { String s = \"\"; s.substring(1) } }");
}

TEST_F(CompletionTest, WithoutTheServiceTheWordsOfTheOpenFilesAreOffered)
{
    TFileMDIChild* other = openJava(writeFile("Other.java", "class Other { int counterOfOther; }\n"));
    ASSERT_NE(other, nullptr);
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    windowWith(w, "class Words { int countHere; void f() { cou| } }");
    setSharedCompileService(nullptr);
    trigger(cmd::Complete);
    auto* popup = e->findChild<CompletionPopup*>();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());  // at once: nothing to wait for
    EXPECT_EQ(app->statusMessage(), "No compile service (no JDK): words of the open files offered");
    ASSERT_EQ(popup->count(), 2);
    EXPECT_EQ(popup->item(0)->text(), "countHere");
    EXPECT_EQ(popup->item(1)->text(), "counterOfOther");
    press(e, Qt::Key_Down);
    press(e, Qt::Key_Return);
    EXPECT_EQ(e->source()->rawText(), "class Words { int countHere; void f() { counterOfOther } }");

    // A service still starting says so.
    CompileService starting;
    setSharedCompileService(&starting);
    starting.start(ServiceSetup{CompileService::javaBinFor(findJavac()), {}, dir.path()});
    ASSERT_EQ(int(starting.state()), int(CompileService::State::Starting));
    windowWith(w, "class Words { int countHere; void f() { cou| } }");
    trigger(cmd::Complete);
    EXPECT_EQ(app->statusMessage(), "The compile service is starting: words of the open files offered");
    EXPECT_TRUE(popup->isVisible());
    setSharedCompileService(nullptr);
}

TEST_F(CompletionTest, ABusyServicesAnswerShowsWhenNoWordsStoodInForIt)
{
    TFileMDIChild* w = openJava(writeFile("Late.java", "class Late {}\n"));
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    w->completion().setBusyAfter(0);  // every answer comes late
    // No word of the open files begins so: the answer is awaited.
    CompletionPopup* popup = listFor(w, "class Late { void f() { ArrayLi| } }");
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->chosen(), nullptr);
    EXPECT_EQ(popup->chosen()->name, "ArrayList");
    press(e, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());
    // Words stood in: they stay, and the late answer is dropped.
    windowWith(w, "class Late { int countHere; void f() { cou| } }");
    EXPECT_TRUE(enabled(cmd::Complete));
    trigger(cmd::Complete);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }, 5000)) << app->statusMessage().toStdString();
    EXPECT_EQ(app->statusMessage(), "The compile service is busy: words of the open files offered");
    QTest::qWait(3000);
    ASSERT_EQ(popup->count(), 1);
    EXPECT_EQ(popup->item(0)->text(), "countHere");
}

TEST_F(CompletionTest, AnOpeningParenthesisShowsTheParameterHints)
{
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    windowWith(w, "class Hints { void f() { int m = Math.max| } }");
    auto* label = e->findChild<ParameterHintLabel*>();
    ASSERT_NE(label, nullptr);
    QTest::keyClicks(e, "(");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->isVisible(); }, 60000));
    EXPECT_TRUE(label->text().contains("max(<b>int a</b>, int b) : int")) << label->text().toStdString();
    EXPECT_TRUE(label->accessibleName().contains("max(int a, int b) : int"));
    QTest::keyClicks(e, "1,");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->help().argument == 1; }, 60000));
    EXPECT_TRUE(label->text().contains("max(int a, <b>int b</b>) : int")) << label->text().toStdString();
    QTest::keyClicks(e, "2)");
    QApplication::processEvents();
    EXPECT_FALSE(label->isVisible());

    // The names come from the JDK's sources.
    windowWith(w, "class Hints { void f() { String s = \"abc\".substring| } }");
    QTest::keyClicks(e, "(");
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->isVisible(); }, 60000));
    EXPECT_TRUE(label->text().contains("substring(<b>int beginIndex</b>)")) << label->text().toStdString();

    // Asked for inside a call, the hints stay while the caret moves among its
    // arguments (a string's parenthesis and a nested call's included) and go
    // once it moves past the call's ")".
    windowWith(w, "class Hints { void f() { int m = Math.max(|\")\".length(), 2); } }");
    QTest::keyClick(e, Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return label->isVisible(); }, 60000));
    for (int i = 0; i < int(QString("\")\".length(), 2").size()); ++i)
        QTest::keyClick(e, Qt::Key_Right);
    EXPECT_TRUE(label->isVisible());
    QTest::keyClick(e, Qt::Key_Right);
    EXPECT_FALSE(label->isVisible());
}

TEST_F(CompletionTest, AnAnswerForACaretThatMovedOnIsDropped)
{
    TFileMDIChild* w = newJava();
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    windowWith(w, "class Late { void f() { String s = \"\"; s.len| } }");
    auto* popup = e->findChild<CompletionPopup*>();
    ASSERT_NE(popup, nullptr);
    bool answered = false;
    QString failure;
    QObject ctx;
    QObject::connect(service, &CompileService::completed, &ctx, [&] { answered = true; });
    QObject::connect(service, &CompileService::completeFailed, &ctx, [&](quint64, const QString& why) {
        failure = why;
        answered = true;
    });
    trigger(cmd::Complete);
    // Before the answer comes, the caret goes to another word: the request
    // is given up (or, when its answer was on its way, the answer dropped).
    QTextCursor c = e->textCursor();
    c.setPosition(2);
    e->setTextCursor(c);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 60000));
    QApplication::processEvents();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_TRUE(failure.isEmpty() || failure == "cancelled") << failure.toStdString();
    EXPECT_EQ(e->source()->rawText(), "class Late { void f() { String s = \"\"; s.len } }");
}

TEST_F(CompletionTest, TheSourcesOfTheFolderAreKnown)
{
    writeFile("Library.java", "public class Library {\n  public int helper(String name) { return 1; }\n}\n");
    const QList<CompletionItem> members = completeAt("class T { void f() { new Library().hel| } }");
    ASSERT_EQ(names(members), QStringList{"helper"});
    EXPECT_EQ(members[0].detail, "helper(String name) : int");
    const QList<CompletionItem> types = completeAt("class T { void f() { Libr| } }");
    ASSERT_NE(find(types, "Library"), nullptr);
    EXPECT_EQ(find(types, "Library")->kind, "type");
    EXPECT_EQ(find(types, "Library")->insert, "Library");
}

// The largest source a window holds: Ctrl+Space leaves the window answering
// (a timer of the user's thread keeps its beat) while the service works, and
// a request that the caret has left is given up.
TEST_F(CompletionTest, ALargeSourceNeverHoldsTheWindow)
{
    QByteArray text = "class Huge {\n";
    const QByteArray line = "    int f(int a) { int r = a * 31; return r + a; } // padding padding padding\n";
    while (text.size() + line.size() < 15.5 * 1024 * 1024)
        text += line;
    text += "    void g() { String s = \"\"; s.len }\n}\n";
    QElapsedTimer opening;
    opening.start();
    TFileMDIChild* w = openJava(writeFile("Huge.java", text));
    std::printf("opened in %lld ms\n", (long long)opening.elapsed());
    ASSERT_NE(w, nullptr);
    EditControl* e = w->editor();
    QTextCursor c = e->textCursor();
    c.setPosition(int(QString::fromUtf8(text).indexOf("s.len") + 5));
    e->setTextCursor(c);
    e->setFocus();
    QTest::qWait(200);
    bool answered = false;
    QObject ctx;
    QObject::connect(service, &CompileService::completed, &ctx, [&] { answered = true; });
    QObject::connect(service, &CompileService::completeFailed, &ctx, [&] { answered = true; });
    QElapsedTimer beat;
    qint64 longest = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout, [&] { longest = std::max(longest, beat.restart()); });
    ticks.start(10);
    QElapsedTimer total;
    total.start();
    beat.start();
    trigger(cmd::Complete);
    longest = std::max(longest, beat.restart());  // the command itself
    QTest::qWaitFor([&] { return answered; }, 3000);
    // Typing on: the request made stale is given up.
    QTest::keyClick(e, Qt::Key_Home);
    QTest::qWait(50);
    ticks.stop();
    std::printf("longest gap %lld ms, answered %d, after %lld ms\n", (long long)longest, int(answered),
                (long long)total.elapsed());
    EXPECT_LT(longest, 1000) << "the window stood still for " << longest << " ms";
    // The service may still be reading the text: the tests after this one
    // get a fresh one.
    w->approveClose();
    service->restart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return service->state() == CompileService::State::Ready; }, 60000));
}

// A record's accessors, a sealed type's permitted records and the bindings of
// patterns are offered like any other member or local.
TEST_F(CompletionTest, RecordsSealedTypesAndPatternBindings)
{
    const QString decls =
        "sealed interface Shape permits P, Q {}\n"
        "record P(int x, int y) implements Shape { int sum() { return x + y; } }\n"
        "record Q(String name) implements Shape {}\n";
    QList<CompletionItem> got = completeAt(decls + "class T { int f(P p) { return p.| } }");
    ASSERT_NE(find(got, "x"), nullptr);
    EXPECT_EQ(find(got, "x")->kind, "method");
    EXPECT_NE(find(got, "y"), nullptr);
    EXPECT_NE(find(got, "sum"), nullptr);
    got = completeAt(decls + "class T { boolean f(Shape s) { return s instanceof Q q && q.|; } }");
    EXPECT_NE(find(got, "name"), nullptr);
    got = completeAt(decls + "class T { int f(Shape s) { if (s instanceof P pt) return p|; return 0; } }");
    EXPECT_NE(find(got, "pt"), nullptr);
}

// With a JDK that knows them (21 and later), the bindings of a
// pattern-matching switch and its guards are completed too.
TEST_F(CompletionTest, PatternSwitchBindingsWithANewerJdk)
{
    const QList<JdkInfo> jdks = findJdks(QString());
    const JdkInfo* newer = newestJdk(jdks, 21);
    if (!newer)
        GTEST_SKIP() << "no JDK 21 or later on this machine";
    CompileService own;
    own.setJar(builtFile(BP_SERVICE_JAR));
    own.start(ServiceSetup{CompileService::javaBinFor(newer->bin() + "/javac"), CompileService::jvmOptionsFor({}),
                           dir.path()});
    ASSERT_TRUE(QTest::qWaitFor([&] { return own.state() != CompileService::State::Starting; }, 60000));
    ASSERT_EQ(int(own.state()), int(CompileService::State::Ready)) << own.lastError().toStdString();
    const QString marked =
        "sealed interface Shape permits P, Q {}\n"
        "record P(int x, int y) implements Shape {}\n"
        "record Q(String name) implements Shape {}\n"
        "class T { String f(Shape s) { return switch (s) {\n"
        "    case Q q when q.| -> \"q\";\n    case P(int x, int y) -> \"p\"; }; } }";
    const int caret = int(marked.indexOf('|'));
    QString text = marked;
    text.remove(caret, 1);
    QList<CompletionItem> got;
    bool done = false;
    QObject ctx;
    QObject::connect(&own, &CompileService::completed, &ctx, [&](quint64, const QList<CompletionItem>& i) {
        got = i;
        done = true;
    });
    QObject::connect(&own, &CompileService::completeFailed, &ctx, [&](quint64, const QString& why) {
        ADD_FAILURE() << why.toStdString();
        done = true;
    });
    ASSERT_NE(own.complete(dir.filePath("T.java"), text, caret, {}, dir.path()), 0u);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 60000));
    EXPECT_NE(find(got, "name"), nullptr);
}
