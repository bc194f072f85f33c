// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/testing/testrun.h"

#include <QDir>
#include <QTemporaryDir>

ProgramCommand junitCommand(const QString& java, const QStringList& classPath, const TestSelection& selection,
                            const QString& reportsDir, const QString& workDir)
{
    ProgramCommand c;
    c.program = java;
    c.workDir = workDir;
    c.args << QStringLiteral("-classpath") << (classPath + junitJars()).join(QLatin1Char(':'))
           << QStringLiteral("org.junit.platform.console.ConsoleLauncher") << QStringLiteral("--disable-banner")
           << QStringLiteral("--disable-ansi-colors") << QStringLiteral("--details=none")
           << QStringLiteral("--reports-dir") << reportsDir;
    for (const QString& cls : selection.classes)
        c.args << QStringLiteral("--select-class") << cls;
    for (const QString& m : selection.methods)
        c.args << QStringLiteral("--select-method") << m;
    return c;
}

TestRun::TestRun(QObject* parent) : QObject(parent) {}

TestRun::~TestRun() = default;

bool TestRun::running() const
{
    return process_ && process_->running();
}

bool TestRun::start(const TestSelection& selection, const QStringList& classPath, const QString& workDir,
                    const QString& java)
{
    if (running())
        return false;
    const QString javaPath = java.isEmpty() ? configuredJava() : java;
    QString why;
    if (javaPath.isEmpty())
        why = QStringLiteral("No Java runtime was found beside the configured compiler.");
    else if (junitJars().isEmpty())
        why = QStringLiteral(
            "JUnit is not installed (/usr/share/java/junit-platform-console-standalone.jar); "
            "install the packages junit5 and junit4.");
    reports_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/brewpad-tests-XXXXXX"));
    if (why.isEmpty() && !reports_->isValid())
        why = QStringLiteral("No folder for the test reports could be made: %1").arg(reports_->errorString());
    if (!why.isEmpty()) {
        emit failed(why);
        return false;
    }
    delete process_;
    process_ = new ProgramProcess(this);
    output_.clear();
    stopped_ = false;
    auto take = [this](const QByteArray& chunk) {
        output_ += chunk;
        emit output(chunk);
    };
    connect(process_, &ProgramProcess::standardOutput, this, take);
    connect(process_, &ProgramProcess::standardError, this, take);
    connect(process_, &ProgramProcess::failed, this, &TestRun::failed);
    // Stopped before the launcher had started: ended as soon as it has.
    connect(process_, &ProgramProcess::started, this, [this] {
        if (stopped_)
            process_->stop();
    });
    connect(process_, &ProgramProcess::ended, this,
            [this](const QString&, bool bySignal, int code) { onEnded(bySignal, code); });
    return process_->start(line_(javaPath, classPath, selection, reports_->path(), workDir));
}

void TestRun::stop()
{
    if (!running())
        return;
    stopped_ = true;
    process_->stop();
}

void TestRun::onEnded(bool bySignal, int code)
{
    TestRunResult result;
    QString error;
    if (stopped_) {
        error = QStringLiteral("The test run was stopped.");
    } else if (!readTestReports(reports_->path(), &result, &error)) {
        const QString tail = QString::fromLocal8Bit(output_.right(2000)).trimmed();
        error = QStringLiteral("JUnit ended (%1) without a report: %2")
                    .arg(programEndText(bySignal, code), tail.isEmpty() ? error : tail);
    }
    reports_.reset();
    emit finished(result, error, stopped_);
}
