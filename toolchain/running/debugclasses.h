// SPDX-License-Identifier: GPL-3.0-or-later
// Classes to debug with their local variables: when the user's class file has
// no local-variable tables (compiled without -g), its source is compiled with
// -g into a private folder of its own (mode 0700, under the temporary
// directory), by the compile service when it is warm, else by javac; the
// program then runs with that folder first on its class path. The user's
// class files, options and F9's command line are not touched.
#pragma once
#include "toolchain/running/programprocess.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class JavacRunner;
class QTemporaryDir;

class DebugClasses : public QObject {
    Q_OBJECT
public:
    explicit DebugClasses(QObject* parent = nullptr);
    ~DebugClasses() override;

    // Whether the class file of class `className` in `classDir` lacks the
    // tables that show local variables.
    static bool needsCompile(const QString& classDir, const QString& className);
    // Compiles `source` with -g and the class path of `program` (the command
    // that runs it) into a new private folder, in the program's folder, with
    // `javacPath`; ready() follows, later, also when nothing could be started
    // (another compilation runs, no folder can be made).
    void compile(const QString& javacPath, const QString& source, const ProgramCommand& program);
    bool compiling() const;
    // Ends the compilation; ready() follows with `ok` false.
    void stop();
    // The folder of the classes compiled last (empty when none).
    QString folder() const;

signals:
    // `ok`: the classes are in folder(); else `why` says what failed.
    void ready(bool ok, const QString& why);

private:
    bool start(const QString& javacPath, const QString& source, const ProgramCommand& program, QString* why);
    QString firstMessage() const;

    JavacRunner* runner_ = nullptr;
    std::unique_ptr<QTemporaryDir> dir_;
};

// `command` with `folder` first on its class path (its "-classpath" option,
// added before the class name when it has none).
ProgramCommand withClassesFirst(const ProgramCommand& command, const QString& folder, const QString& className);
