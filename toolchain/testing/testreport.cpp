// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/testing/testreport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

TestCaseResult::Outcome TestClassResult::outcome() const
{
    bool allSkipped = !tests.isEmpty();
    for (const TestCaseResult& t : tests) {
        if (t.outcome == TestCaseResult::Failed)
            return TestCaseResult::Failed;
        allSkipped = allSkipped && t.outcome == TestCaseResult::Skipped;
    }
    return allSkipped ? TestCaseResult::Skipped : TestCaseResult::Passed;
}

double TestClassResult::seconds() const
{
    double s = 0;
    for (const TestCaseResult& t : tests)
        s += t.seconds;
    return s;
}

QString TestRunResult::summary() const
{
    return QStringLiteral("%1 passed, %2 failed, %3 skipped").arg(passed).arg(failed).arg(skipped);
}

QStringList TestRunResult::failedSelectors() const
{
    QStringList out;
    for (const TestClassResult& c : classes) {
        for (const TestCaseResult& t : c.tests) {
            if (t.outcome == TestCaseResult::Failed)
                out << c.name + QLatin1Char('#') + t.name;
        }
    }
    return out;
}

namespace {

// JUnit 4's ComparisonFailure marks the differing part in brackets:
// "expected:<[a]> but was:<[b]>"; only a value wholly in brackets loses them.
QString unmarked(const QString& v, bool junit4)
{
    if (junit4 && v.size() >= 2 && v.startsWith(QLatin1Char('[')) && v.endsWith(QLatin1Char(']')) &&
        v.count(QLatin1Char('[')) == 1 && v.count(QLatin1Char(']')) == 1)
        return v.mid(1, v.size() - 2);
    return v;
}

void addCase(TestRunResult* into, TestCaseResult t)
{
    if (t.outcome == TestCaseResult::Failed) {
        splitExpectedActual(t.message, &t.expected, &t.actual);
        t.line = failingLine(t.trace, t.className, &t.fileName);
    }
    (t.outcome == TestCaseResult::Passed   ? into->passed
     : t.outcome == TestCaseResult::Failed ? into->failed
                                           : into->skipped)++;
    for (TestClassResult& c : into->classes) {
        if (c.name == t.className) {
            c.tests << t;
            return;
        }
    }
    into->classes << TestClassResult{t.className, {t}};
}

// Reads one <testcase> element, the reader on its start.
TestCaseResult readCase(QXmlStreamReader& xml)
{
    TestCaseResult t;
    const QXmlStreamAttributes a = xml.attributes();
    t.name = a.value(QLatin1String("name")).toString();
    if (t.name.endsWith(QLatin1String("()")))
        t.name.chop(2);
    t.className = a.value(QLatin1String("classname")).toString();
    t.seconds = a.value(QLatin1String("time")).toString().toDouble();
    while (xml.readNextStartElement()) {
        const QStringView tag = xml.name();
        if (tag == QLatin1String("failure") || tag == QLatin1String("error")) {
            t.outcome = TestCaseResult::Failed;
            t.message = xml.attributes().value(QLatin1String("message")).toString();
            t.trace = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (tag == QLatin1String("skipped")) {
            t.outcome = TestCaseResult::Skipped;
            t.message = xml.attributes().value(QLatin1String("message")).toString();
            if (t.message.isEmpty())
                t.message = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            else
                xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    return t;
}

}  // namespace

bool readTestReport(const QByteArray& bytes, TestRunResult* into, QString* error)
{
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("testsuite")) {
        *error = QStringLiteral("not a JUnit test report");
        return false;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("testcase"))
            addCase(into, readCase(xml));
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return false;
    }
    return true;
}

bool readTestReports(const QString& dir, TestRunResult* into, QString* error)
{
    const QStringList names = QDir(dir).entryList({QStringLiteral("TEST-*.xml")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        *error = QStringLiteral("JUnit wrote no test report");
        return false;
    }
    for (const QString& n : names) {
        QFile f(dir + QLatin1Char('/') + n);
        if (!f.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1: %2").arg(f.fileName(), f.errorString());
            return false;
        }
        if (!readTestReport(f.readAll(), into, error))
            return false;
    }
    return true;
}

bool splitExpectedActual(const QString& message, QString* expected, QString* actual)
{
    static const QRegularExpression re(QStringLiteral("expected:( ?)<(.*)> but was:( ?)<(.*)>"),
                                       QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = re.match(message);
    if (!m.hasMatch())
        return false;
    const bool junit4 = m.captured(1).isEmpty();
    *expected = unmarked(m.captured(2), junit4);
    *actual = unmarked(m.captured(4), junit4);
    return true;
}

int failingLine(const QString& trace, const QString& className, QString* fileName)
{
    // A frame of the class itself or of one nested in it (Outer$Inner.lambda).
    static const QRegularExpression frame(
        QStringLiteral("^\\s*at (?:\\S*/)?([^\\s/]+)\\.[^.(/]+\\(([^:()]+):(\\d+)\\)"),
        QRegularExpression::MultilineOption);
    QRegularExpressionMatchIterator it = frame.globalMatch(trace);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString cls = m.captured(1);
        if (cls == className || cls.startsWith(className + QLatin1Char('$'))) {
            if (fileName)
                *fileName = m.captured(2);
            return m.captured(3).toInt();
        }
    }
    return 0;
}
