// SPDX-License-Identifier: GPL-3.0-or-later
// Java expressions evaluated by the debugger with the real JDK, through
// DebugSession::evaluate() at a pause of a small program: locals, fields,
// arrays, strings, calls, operators, assignments that the program then sees,
// and the errors; and the conditions of breakpoints at their hits.
#include "debugger_fixture.h"

#include "toolchain/running/debugsession.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Lines marked "//@name" are found by name.
const char kCalc[] = R"(package calc;

public class Calc {
    static int total = 10;
    int width = 4;
    String label = "box";
    int[] cells = {5, 6, 7};

    int scaled(int by) {
        return width * by; //@scaled
    }

    class Part {
        int size = 3;

        int twice() {
            return 2 * size * width; //@part
        }
    }

    @Override
    public String toString() {
        return "Calc" + width;
    }

    public static void main(String[] args) {
        int n = 5;
        long big = 1L << 40;
        double half = 0.5;
        char c = 'x';
        String s = "hello";
        String none = null;
        Integer boxed = 42;
        int[] arr = {1, 2, 3};
        Calc box = new Calc();
        Object o = s;
        int sc = box.scaled(2) + box.new Part().twice();
        for (int i = 0; i < 5; i++) {
            total += i; //@loop
        }
        System.out.println("n=" + n + " total=" + total + " arr0=" + arr[0] + " label=" + box.label); //@print
    }
}
)";

int lineOf(const char* name)
{
    const QList<QByteArray> lines = QByteArray(kCalc).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].endsWith(QByteArray("//@") + name))
            return i + 1;
    }
    ADD_FAILURE() << "no line " << name;
    return 0;
}


struct EvalRun {
    DebugSession session;
    int pauses = 0;
    bool ended = false;
    QStringList errors, conditions;
    QByteArray out;
};

struct Result {
    DebugValue value;
    QString error;
};

}  // namespace

class EvaluateTest : public DebuggedProgramTest {
protected:
    static void SetUpTestSuite() { compileProgram("calc/Calc.java", kCalc); }
    void SetUp() override { skipWithout(builtFile(BP_DEBUGGER_JAR)); }

    // Starts the program with one breakpoint.
    std::unique_ptr<EvalRun> start(const Breakpoint& b)
    {
        auto run = std::make_unique<EvalRun>();
        EvalRun* r = run.get();
        r->session.setJar(builtFile(BP_DEBUGGER_JAR));
        QObject::connect(&r->session, &DebugSession::paused, [r](const DebugPause&) { ++r->pauses; });
        QObject::connect(&r->session, &DebugSession::error, [r](const QString& e) { r->errors << e; });
        QObject::connect(&r->session, &DebugSession::ended, [r] { r->ended = true; });
        QObject::connect(&r->session, &DebugSession::conditionFailed,
                         [r](const QString& cls, int line, const QString& message) {
                             r->conditions << QStringLiteral("%1:%2 %3").arg(cls).arg(line).arg(message);
                         });
        QObject::connect(r->session.program(), &ProgramProcess::standardOutput,
                         [r](const QByteArray& b) { r->out += b; });
        r->session.setBreakpoint("calc.Calc", b);
        r->session.start(kJdk + "/java", javaProgramCommand(kJdk + "/java", "calc.Calc", dir_->path(), std::nullopt,
                                                            std::nullopt, QString(), {}));
        return run;
    }
    static Breakpoint at(const char* name, const QString& condition = {})
    {
        Breakpoint b;
        b.line = lineOf(name);
        b.condition = condition;
        return b;
    }
    static bool settle(EvalRun& r)
    {
        return QTest::qWaitFor([&] { return r.session.settled() || r.ended; }, 30000) && !r.ended;
    }
    static bool finish(EvalRun& r)
    {
        return QTest::qWaitFor([&] { return r.ended; }, 30000);
    }
    static Result evaluate(EvalRun& r, const QString& expression, int frame = 0)
    {
        Result got;
        bool done = false;
        auto c = QObject::connect(&r.session, &DebugSession::evaluated,
                                  [&](const QString& e, int f, const DebugValue& v, const QString& error) {
                                      EXPECT_EQ(e, expression);
                                      EXPECT_EQ(f, frame);
                                      got = {v, error};
                                      done = true;
                                  });
        r.session.evaluate(expression, frame);
        EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 20000)) << expression.toStdString();
        QObject::disconnect(c);
        return got;
    }
    // The text of the value, or the error prefixed with "error: ".
    static QString shown(EvalRun& r, const QString& expression)
    {
        const Result x = evaluate(r, expression);
        if (!x.error.isEmpty())
            return "error: " + x.error;
        EXPECT_EQ(x.value.kind, "value");
        EXPECT_EQ(x.value.name, expression);
        return x.value.text;
    }
};


TEST_F(EvaluateTest, ValuesOfLocalsFieldsArraysStringsCallsAndOperators)
{
    auto r = start(at("print"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    const std::pair<const char*, const char*> cases[] = {
        {"n", "5"},
        {"n * 2 + 1", "11"},
        {"big + n", "1099511627781"},
        {"half * n", "2.5"},
        {"n / 2", "2"},
        {"n % 2 == 1", "true"},
        {"c", "'x'"},
        {"c + 1", "121"},
        {"(char) (c + 1)", "'y'"},
        {"(int) 3.9", "3"},
        {"(long) half + 3", "3"},
        {"-n", "-5"},
        {"~n", "-6"},
        {"!(n > 3)", "false"},
        {"n << 2 | 1", "21"},
        {"s.length()", "5"},
        {"s + n", "\"hello5\""},
        {"s.substring(1, 3)", "\"el\""},
        {"s.charAt(0) == 'h'", "true"},
        {"s.equals(\"hello\") && none == null", "true"},
        {"arr[1]", "2"},
        {"arr.length", "3"},
        {"box.width", "4"},
        {"box.scaled(3)", "12"},
        {"box.cells[2] + arr[2]", "10"},
        {"\"v=\" + box", "\"v=Calc4\""},
        {"total", "20"},
        {"Calc.total", "20"},
        {"calc.Calc.total * 2", "40"},
        {"Math.max(n, 9)", "9"},
        {"Integer.parseInt(\"12\") + 1", "13"},
        {"String.valueOf(n).length()", "1"},
        {"boxed + 1", "43"},
        {"boxed == 42", "true"},
        {"o == s", "true"},
        {"o != box", "true"},
        {"o instanceof String", "true"},
        {"box instanceof Calc", "true"},
        {"((String) o).toUpperCase()", "\"HELLO\""},
        {"n > 3 ? \"big\" : \"small\"", "\"big\""},
        {"1.5f * 2", "3.0"},
        {"'a' + \"b\" + 1 + 2", "\"ab12\""},
        {"String.format(\"%d-%s\", n, s)", "\"5-hello\""},
        {"String.join(\",\", s, \"b\")", "\"hello,b\""},
    };
    for (const auto& [expression, text] : cases)
        EXPECT_EQ(shown(*r, expression), text) << expression;

    const Result obj = evaluate(*r, "box");
    EXPECT_EQ(obj.value.type, "calc.Calc");
    EXPECT_NE(obj.value.id, 0) << "an object can be expanded";
    bool expanded = false;
    QObject::connect(&r->session, &DebugSession::children, [&](qint64 id, int, int, const QList<DebugValue>& fields) {
        EXPECT_EQ(id, obj.value.id);
        for (const DebugValue& f : fields)
            if (f.name == "width")
                expanded = f.text == "4";
    });
    r->session.expand(obj.value.id);
    EXPECT_TRUE(QTest::qWaitFor([&] { return expanded; }, 10000)) << "its fields, as the Variables pane shows them";
    EXPECT_EQ(evaluate(*r, "arr").value.text, "int[3]");
    EXPECT_EQ(evaluate(*r, "n").value.type, "int");
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(EvaluateTest, AnyFrameOfThePausedThreadAndTheFieldsOfAnInnerClassesOuterInstance)
{
    auto r = start(at("scaled"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "width * by + this.width"), "12");
    EXPECT_EQ(shown(*r, "scaled(1)"), "4") << "a method of this";
    EXPECT_EQ(shown(*r, "n"), "error: cannot find symbol: n");
    const Result inMain = evaluate(*r, "n + s.length()", 1);
    EXPECT_EQ(inMain.value.text, "10") << inMain.error.toStdString();
    EXPECT_EQ(evaluate(*r, "this", 1).error, "non-static variable this cannot be referenced from a static context");
    r->session.setBreakpoint("calc.Calc", at("part"));
    r->session.continue_();
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "size + width"), "7") << "width is the outer instance's";
    EXPECT_EQ(shown(*r, "total"), "10") << "a static field of the outer class";
    EXPECT_EQ(shown(*r, "scaled(size)"), "12") << "a method of the outer instance";
    r->session.stop();
    ASSERT_TRUE(finish(*r));
}

TEST_F(EvaluateTest, AssignmentsSetLocalsFieldsAndElementsThatTheProgramThenUses)
{
    auto r = start(at("print"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "n = n + 10"), "15");
    EXPECT_EQ(shown(*r, "n"), "15");
    EXPECT_EQ(shown(*r, "total += 5"), "25");
    EXPECT_EQ(shown(*r, "arr[0] = 9"), "9");
    EXPECT_EQ(shown(*r, "box.label = \"lid\""), "\"lid\"");
    EXPECT_EQ(shown(*r, "big = n"), "15") << "an int widened to the long";
    EXPECT_TRUE(shown(*r, "boxed = 7").startsWith("Integer (id=")) << "an int boxed for the Integer";
    EXPECT_EQ(shown(*r, "boxed + 0"), "7");
    EXPECT_EQ(shown(*r, "n++"), "15");
    EXPECT_EQ(shown(*r, "--n"), "15");
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->out, "n=15 total=25 arr0=9 label=lid\n");
    EXPECT_TRUE(r->errors.isEmpty()) << r->errors.join('\n').toStdString();
}

TEST_F(EvaluateTest, ErrorsSayWhatDoesNotCompileOrWhatThrew)
{
    auto r = start(at("print"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "y"), "error: cannot find symbol: y");
    EXPECT_EQ(shown(*r, "n n"), "error: ';' expected");
    EXPECT_TRUE(shown(*r, "n +").startsWith("error: illegal start of expression"));
    EXPECT_EQ(shown(*r, "none.length()"), "error: NullPointerException thrown by none.length()");
    EXPECT_EQ(shown(*r, "n / 0"), "error: ArithmeticException thrown by n / 0");
    EXPECT_EQ(shown(*r, "arr[5]"), "error: ArrayIndexOutOfBoundsException thrown by arr[5]");
    EXPECT_EQ(shown(*r, "Integer.parseInt(s)"), "error: NumberFormatException thrown by Integer.parseInt(s)");
    EXPECT_TRUE(shown(*r, "s.noSuch()").startsWith("error: cannot find symbol: method noSuch"));
    EXPECT_TRUE(shown(*r, "s + ").startsWith("error: "));
    const Result e = evaluate(*r, "y");
    EXPECT_EQ(e.value.id, 0);
    EXPECT_TRUE(e.value.text.isEmpty());
    // The program is unharmed: it goes on to its end.
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->out, "n=5 total=20 arr0=1 label=box\n");
}

TEST_F(EvaluateTest, AConditionStopsWhereItHoldsAndAFailedOneSaysSo)
{
    // True at one pass only: one pause, there.
    auto r = start(at("loop", "i == 3"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "i"), "3");
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses, 1);
    EXPECT_TRUE(r->conditions.isEmpty()) << r->conditions.join('\n').toStdString();

    // A call in the condition.
    r = start(at("loop", "s.length() == 5 && i > 3"));
    ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
    EXPECT_EQ(shown(*r, "i"), "4");
    r->session.continue_();
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses, 1);

    // One that does not compile stops once and says so.
    const QString place =
        QStringLiteral("calc.Calc:%1 The condition of the breakpoint at Calc.java line %1 ").arg(lineOf("loop"));
    for (const QString& bad : {QStringLiteral("y > 1"), QStringLiteral("n + 1")}) {
        r = start(at("loop", bad));
        ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
        EXPECT_EQ(shown(*r, "i"), "0");
        ASSERT_EQ(r->conditions.size(), 1);
        EXPECT_TRUE(r->conditions[0].startsWith(place + "does not compile: ")) << r->conditions[0].toStdString();
        EXPECT_TRUE(r->conditions[0].contains(bad == "n + 1" ? "int cannot be converted to boolean"
                                                             : "cannot find symbol: y"));
        EXPECT_TRUE(r->conditions[0].contains("stopped here once; correct the condition in Breakpoint Properties"));
        r->session.continue_();
        ASSERT_TRUE(finish(*r));
        EXPECT_EQ(r->pauses, 1);
        EXPECT_EQ(r->conditions.size(), 1);
    }

    // One that throws stops at each hit, and says so each time.
    r = start(at("loop", "none.isEmpty()"));
    for (int pass = 0; pass < 5; ++pass) {
        ASSERT_TRUE(settle(*r)) << r->errors.join('\n').toStdString();
        ASSERT_EQ(r->conditions.size(), pass + 1);
        EXPECT_EQ(r->conditions[pass], place +
                                           "threw an exception: NullPointerException thrown by "
                                           "none.isEmpty(). The program stopped here; correct the condition "
                                           "in Breakpoint Properties.");
        r->session.continue_();
    }
    ASSERT_TRUE(finish(*r));
    EXPECT_EQ(r->pauses, 5);
}
