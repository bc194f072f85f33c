// SPDX-License-Identifier: GPL-3.0-or-later
// The JUnit run: its reports read into the model, and real runs of the JUnit
// console launcher on JUnit 5 and JUnit 4 classes compiled by the real javac.
#include "toolchain/testing/testreport.h"
#include "toolchain/testing/testrun.h"
#include "support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const char kReport[] = R"xml(<?xml version="1.0" encoding="UTF-8"?>
<testsuite name="JUnit Jupiter" tests="3" skipped="1" failures="1" errors="0" time="0.3">
<properties><property name="a" value="b"/></properties>
<testcase name="good()" classname="shop.ShopTest" time="0.004"><system-out><![CDATA[x]]></system-out></testcase>
<testcase name="bad()" classname="shop.ShopTest" time="0.019">
<failure message="expected: &lt;1&gt; but was: &lt;2&gt;" type="org.opentest4j.AssertionFailedError"><![CDATA[org.opentest4j.AssertionFailedError: expected: <1> but was: <2>
	at org.junit.jupiter.api.Assertions.assertEquals(Assertions.java:528)
	at shop.ShopTest$Helper.check(ShopTest.java:20)
	at shop.ShopTest.bad(ShopTest.java:13)
]]></failure></testcase>
<testcase name="later()" classname="shop.ShopTest" time="0"><skipped><![CDATA[public void later() is @Disabled]]></skipped></testcase>
<testcase name="crash()" classname="shop.Other" time="0.1"><error message="boom" type="java.lang.IllegalStateException"/></testcase>
</testsuite>
)xml";

}  // namespace

TEST(TestReport, ReadsClassesOutcomesTimesAndFailures)
{
    TestRunResult r;
    QString error;
    ASSERT_TRUE(readTestReport(kReport, &r, &error)) << error.toStdString();
    ASSERT_EQ(r.classes.size(), 2);
    const TestClassResult& shop = r.classes[0];
    EXPECT_EQ(shop.name, "shop.ShopTest");
    ASSERT_EQ(shop.tests.size(), 3);
    EXPECT_EQ(shop.tests[0].name, "good");
    EXPECT_EQ(shop.tests[0].outcome, TestCaseResult::Passed);
    EXPECT_DOUBLE_EQ(shop.tests[1].seconds, 0.019);
    const TestCaseResult& bad = shop.tests[1];
    EXPECT_EQ(bad.outcome, TestCaseResult::Failed);
    EXPECT_EQ(bad.message, "expected: <1> but was: <2>");
    EXPECT_EQ(bad.expected, "1");
    EXPECT_EQ(bad.actual, "2");
    EXPECT_EQ(bad.line, 20);  // the nearest frame of the class, a nested one included
    EXPECT_EQ(bad.fileName, "ShopTest.java");
    EXPECT_EQ(shop.tests[2].outcome, TestCaseResult::Skipped);
    EXPECT_EQ(shop.tests[2].message, "public void later() is @Disabled");
    EXPECT_EQ(shop.outcome(), TestCaseResult::Failed);
    EXPECT_EQ(r.classes[1].tests[0].outcome, TestCaseResult::Failed);  // an error fails too
    EXPECT_EQ(r.classes[1].tests[0].line, 0);
    EXPECT_EQ(r.summary(), "1 passed, 2 failed, 1 skipped");
    EXPECT_EQ(r.failedSelectors(), QStringList({"shop.ShopTest#bad", "shop.Other#crash"}));
}

TEST(TestReport, RefusesWhatIsNoReport)
{
    TestRunResult r;
    QString error;
    EXPECT_FALSE(readTestReport("<html/>", &r, &error));
    EXPECT_FALSE(readTestReport("<testsuite><testcase name='a' classname='b'>", &r, &error));
    EXPECT_FALSE(error.isEmpty());
    QTemporaryDir empty;
    EXPECT_FALSE(readTestReports(empty.path(), &r, &error));
}

TEST(TestReport, SplitsExpectedAndActualOfBothJUnits)
{
    QString e, a;
    EXPECT_TRUE(splitExpectedActual("expected: <[1, 2]> but was: <[3]>", &e, &a));
    EXPECT_EQ(e, "[1, 2]");  // JUnit 5 keeps brackets: they are the value's
    EXPECT_EQ(a, "[3]");
    EXPECT_TRUE(splitExpectedActual("expected:<[a]> but was:<[b]>", &e, &a));
    EXPECT_EQ(e, "a");
    EXPECT_EQ(a, "b");
    EXPECT_TRUE(splitExpectedActual("total ==> expected: <line\none> but was: <x>", &e, &a));
    EXPECT_EQ(e, "line\none");
    EXPECT_FALSE(splitExpectedActual("boom", &e, &a));
}

TEST(TestReport, ImportsJUnit)
{
    EXPECT_TRUE(importsJUnit("package p;\nimport org.junit.jupiter.api.Test;\n"));
    EXPECT_TRUE(importsJUnit("import static org.junit.Assert.*;"));
    EXPECT_FALSE(importsJUnit("// see org.junit\nimport java.util.List;\n"));
}

namespace {

const char kJupiter[] = R"(package shop;
import org.junit.jupiter.api.Test;
import static org.junit.jupiter.api.Assertions.*;

public class ShopTest {
    @Test
    void good() { assertEquals(2, 1 + 1); }

    @Test
    void bad() {
        assertEquals(1, 2);
    }
}
)";

const char kVintage[] = R"(import org.junit.Test;
import static org.junit.Assert.*;
public class OldTest {
    @Test public void one() { assertEquals("a", "b"); }
    @Test public void two() { }
}
)";

class JUnitRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        javac_ = javacOrSkip();
        if (javac_.isEmpty())
            return;
        if (junitJars().isEmpty())
            GTEST_SKIP() << "JUnit is not installed";
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(writeFile(dir_.filePath("shop/ShopTest.java"), kJupiter));
        ASSERT_TRUE(writeFile(dir_.filePath("OldTest.java"), kVintage));
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        p.start(javac_, {"-d", dir_.filePath("classes"), "-classpath", junitJars().join(':'), "shop/ShopTest.java",
                         "OldTest.java"});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        java_ = QFileInfo(javac_).absolutePath() + "/java";
    }

    TestRunResult run(const TestSelection& sel, QString* error)
    {
        TestRun run;
        QSignalSpy done(&run, &TestRun::finished);
        EXPECT_TRUE(run.start(sel, {dir_.filePath("classes")}, dir_.path(), java_));
        EXPECT_TRUE(done.wait(60000));
        if (done.isEmpty())
            return {};
        *error = done[0][1].toString();
        return done[0][0].value<TestRunResult>();
    }

    QString javac_, java_;
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(JUnitRun, RunsJUnit5AndJUnit4ClassesTogether)
{
    QString error;
    const TestRunResult r = run({{"shop.ShopTest", "OldTest"}, {}}, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(r.summary(), "2 passed, 2 failed, 0 skipped");
    ASSERT_EQ(r.classes.size(), 2);
    for (const TestClassResult& c : r.classes) {
        for (const TestCaseResult& t : c.tests) {
            if (t.name == "bad") {
                EXPECT_EQ(t.line, 11);
                EXPECT_EQ(t.expected, "1");
            } else if (t.name == "one") {
                EXPECT_EQ(t.line, 4);
                EXPECT_EQ(t.actual, "b");
            }
        }
    }
}

TEST_F(JUnitRun, RunsOneMethodAndStops)
{
    QString error;
    const TestRunResult r = run({{}, {"shop.ShopTest#good"}}, &error);
    EXPECT_EQ(r.summary(), "1 passed, 0 failed, 0 skipped");

    TestRun stopped;
    QSignalSpy done(&stopped, &TestRun::finished);
    ASSERT_TRUE(stopped.start({{"shop.ShopTest"}, {}}, {dir_.filePath("classes")}, dir_.path(), java_));
    stopped.stop();
    ASSERT_TRUE(done.wait(20000));
    EXPECT_TRUE(done[0][2].toBool());
    EXPECT_FALSE(stopped.running());
}
