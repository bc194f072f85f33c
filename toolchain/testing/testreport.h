// SPDX-License-Identifier: GPL-3.0-or-later
// The outcome of a JUnit run as plain data, read from the XML reports the
// JUnit console launcher writes (the legacy format: a testsuite per engine,
// a testcase per test with its failure, error or skipped element), and the
// facts drawn from a failure: what was expected and what came, and the line
// of the test class where it failed.
#pragma once
#include <QList>
#include <QMetaType>
#include <QString>

struct TestCaseResult {
    enum Outcome { Passed, Failed, Skipped };
    QString name;  // the method, without "()"
    QString className;
    Outcome outcome = Passed;
    double seconds = 0;
    QString message;   // the failure's message, or why it was skipped
    QString expected;  // from "expected: <x> but was: <y>"; empty otherwise
    QString actual;
    QString trace;     // the stack trace of a failure
    int line = 0;      // the failing line in the test class's source; 0 when unknown
    QString fileName;  // the source's file name on that line ("ShopTest.java")
};

struct TestClassResult {
    QString name;  // fully qualified
    QList<TestCaseResult> tests;
    TestCaseResult::Outcome outcome() const;  // Failed if any failed, Skipped if all were
    double seconds() const;
};

struct TestRunResult {
    QList<TestClassResult> classes;  // in the order of the reports
    int passed = 0;
    int failed = 0;
    int skipped = 0;
    // "N passed, M failed, K skipped".
    QString summary() const;
    // The failed tests as "Class#method", for running them again.
    QStringList failedSelectors() const;
};
Q_DECLARE_METATYPE(TestRunResult)

// Adds the test cases of one XML report to `into`; false when `xml` is not a
// report that could be read (`error` says why).
bool readTestReport(const QByteArray& xml, TestRunResult* into, QString* error);
// Reads every TEST-*.xml of `dir` (the launcher's --reports-dir).
bool readTestReports(const QString& dir, TestRunResult* into, QString* error);

// Splits JUnit's "expected: <x> but was: <y>" (JUnit 5), or
// "expected:<x> but was:<y>" (JUnit 4); false when the message has neither.
bool splitExpectedActual(const QString& message, QString* expected, QString* actual);
// The line of `className`'s own frame nearest the top of `trace`
// ("at pkg.ShopTest.bad(ShopTest.java:13)"): 13, with `fileName` set.
int failingLine(const QString& trace, const QString& className, QString* fileName);
