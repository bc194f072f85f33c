// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/debugclasses.h"

#include "config/toolpaths.h"
#include "toolchain/compiling/javacrunner.h"
#include "toolchain/running/classdebuginfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

DebugClasses::DebugClasses(QObject* parent) : QObject(parent) {}

DebugClasses::~DebugClasses() = default;

bool DebugClasses::needsCompile(const QString& classDir, const QString& className)
{
    const QString path = QString(className).replace(QLatin1Char('.'), QLatin1Char('/')) + QStringLiteral(".class");
    return classFileDebugInfo(classDir + QLatin1Char('/') + path) == ClassDebugInfo::Absent;
}

void DebugClasses::stop()
{
    if (runner_)
        runner_->stop();
}

bool DebugClasses::compiling() const
{
    return runner_ && runner_->isRunning();
}

QString DebugClasses::firstMessage() const
{
    // javac's first line says it: an error of the source, or a class it could not write (a full disk).
    QFile f(dir_->filePath(QStringLiteral("javac.err")));
    const QString line = f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readLine(4096)).trimmed() : QString();
    return line.isEmpty() ? QStringLiteral("javac failed") : line;
}

QString DebugClasses::folder() const
{
    return dir_ ? dir_->path() : QString();
}

void DebugClasses::compile(const QString& javacPath, const QString& source, const ProgramCommand& program)
{
    QString why;
    if (!start(javacPath, source, program, &why))
        QTimer::singleShot(0, this, [this, why] { emit ready(false, why); });
}

bool DebugClasses::start(const QString& javacPath, const QString& source, const ProgramCommand& program, QString* why)
{
    const qsizetype at = program.args.indexOf(QStringLiteral("-classpath"));
    const QStringList classPath = at >= 0 && at + 1 < program.args.size() ? program.args.mid(at, 2) : QStringList();
    if (JavacRunner::active()) {
        *why = QStringLiteral("another compilation runs");
        return false;
    }
    // QTemporaryDir makes its folder with mode 0700: no other user reads or replaces the classes.
    const QString base = temp.isEmpty() ? QDir::tempPath() : temp;
    auto dir = std::make_unique<QTemporaryDir>(base + QStringLiteral("/brewpad-debug-XXXXXX"));
    if (!dir->isValid()) {
        *why = QStringLiteral("no private folder could be made in %1 (%2)").arg(base, dir->errorString());
        return false;
    }
    dir_ = std::move(dir);
    if (!runner_) {
        runner_ = new JavacRunner(this);
        runner_->setRecorded(false);  // F8 and Compiler Messages stay with F9's compilation
        connect(runner_, &JavacRunner::finished, this, [this](const CompileOutcome& o) {
            if (o.kind == CompileOutcome::Success)
                emit ready(true, {});
            else
                emit ready(false, o.kind == CompileOutcome::Failed ? firstMessage() : o.reason);
        });
    }
    const QStringList args = QStringList{QStringLiteral("-g"), QStringLiteral("-d"), dir_->path()} + classPath
                             << source;
    return runner_->start(javacPath, args, program.workDir, dir_->filePath(QStringLiteral("javac.err")), {});
}

ProgramCommand withClassesFirst(const ProgramCommand& command, const QString& folder, const QString& className)
{
    ProgramCommand c = command;
    const qsizetype at = c.args.indexOf(QStringLiteral("-classpath"));
    if (at >= 0 && at + 1 < c.args.size()) {
        c.args[at + 1] = folder + QLatin1Char(':') + c.args[at + 1];
        return c;
    }
    const qsizetype cls = c.args.indexOf(className);
    c.args.insert(cls < 0 ? 0 : cls, folder);
    c.args.insert(cls < 0 ? 0 : cls, QStringLiteral("-classpath"));
    return c;
}
