// SPDX-License-Identifier: GPL-3.0-or-later
// A test class of 200 trivial JUnit 5 tests, run by Brewpad's JUnit run and
// listed in the Test Results pane, against the JUnit console launcher alone on
// the same classes (the same JVM, class path and reports). Prints the median
// of five runs of each and `ratio:` (Brewpad / launcher; the goal is <= 1.5).
#include "bench_support.h"
#include "toolchain/testing/testrun.h"
#include "workspace/testresultswindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

using namespace bench;

constexpr int kTests = 200;
constexpr int kRounds = 5;

QByteArray manyTests()
{
    QByteArray s =
        "import org.junit.jupiter.api.Test;\nimport static org.junit.jupiter.api.Assertions.*;\n"
        "public class ManyTest {\n";
    for (int i = 0; i < kTests; ++i)
        s += "    @Test void t" + QByteArray::number(i) + "() { assertEquals(" + QByteArray::number(i) + ", " +
             QByteArray::number(i) + "); }\n";
    return s + "}\n";
}

double brewpadRun(const QString& java, const QString& classes, TestResultsWindow& window)
{
    QElapsedTimer t;
    t.start();
    TestRun run;
    QEventLoop loop;
    TestRunResult result;
    QString error;
    QObject::connect(&run, &TestRun::finished, &loop, [&](const TestRunResult& r, const QString& e, bool) {
        result = r;
        error = e;
        loop.quit();
    });
    QObject::connect(&run, &TestRun::failed, &loop, [&](const QString& why) {
        error = why;
        loop.quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    if (run.start({{"ManyTest"}, {}}, {classes}, classes, java))
        loop.exec();
    window.showResult(result, error);
    QApplication::processEvents();
    const double ms = t.elapsed();
    if (!window.tree()->topLevelItem(0) || window.tree()->topLevelItem(0)->childCount() != kTests)
        std::printf("wrong count: %s\n", qPrintable(window.summary()->text()));
    return ms;
}

double launcherRun(const QString& java, const QString& classes)
{
    QTemporaryDir reports;
    const ProgramCommand c = junitCommand(java, {classes}, {{"ManyTest"}, {}}, reports.path(), classes);
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setWorkingDirectory(c.workDir);
    p.start(c.program, c.args);
    p.waitForFinished(120000);
    return t.elapsed();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    writeFile(dir.filePath("ManyTest.java"), manyTests());
    QProcess javac;
    javac.start(kJavac,
                {"-d", dir.filePath("classes"), "-classpath", junitJars().join(':'), dir.filePath("ManyTest.java")});
    javac.waitForFinished(120000);
    if (javac.exitCode() != 0) {
        std::printf("javac failed: %s\n", javac.readAllStandardError().constData());
        return 1;
    }
    const QString java = QStringLiteral("/usr/bin/java");
    const QString classes = dir.filePath("classes");
    TestResultsWindow window;
    std::vector<double> ours, alone;
    for (int i = 0; i < kRounds; ++i) {
        alone.push_back(launcherRun(java, classes));
        ours.push_back(brewpadRun(java, classes, window));
    }
    const double a = median(alone), b = median(ours);
    std::printf("launcher alone: %.0f ms\nBrewpad run and listed: %.0f ms (%d tests)\nratio: %.2f\n", a, b, kTests,
                b / a);
    return 0;
}
