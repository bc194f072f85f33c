// SPDX-License-Identifier: GPL-3.0-or-later
// The build commands of an editor window: the classification of its file (an
// application, an applet, the class to run), Java Compile with its outcome,
// Java Run and Applet Run. They act on the window's file as last saved; the
// window's kind and file name are the window's and its edit control's.
#pragma once
#include "toolchain/running/programprocess.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class JavacRunner;
class TFileMDIChild;
struct CompileOutcome;

// What Debug Run starts: the class Java Run would start, as a program Brewpad
// runs itself, the folder its classes are in, and the folder of its source.
struct DebugTarget {
    ProgramCommand command;
    QString className;
    QString classDir;
    QString sourceDir;
};

class FileBuild : public QObject {
    Q_OBJECT
public:
    // The build commands of `window`, which owns them and tells the
    // workspace what they did.
    explicit FileBuild(TFileMDIChild* window);
    ~FileBuild() override;  // a compilation still running is given up

    // Classifies the window's file on disk (or every source of its project)
    // as application or applet; the flags are only ever set, and a class name
    // found replaces classename.
    void classify();
    // Java Compile: one compilation at a time in the whole program; the
    // outcome is told in the status bar and, for some, in a message.
    void compile();
    // Java Run and Applet Run, in the source's directory.
    void run();
    void runApplet();
    // Debug Run's program, chosen as Java Run chooses it, with `java` (the
    // configured JDK's); nullopt, after saying why, when nothing can start.
    std::optional<DebugTarget> debugTarget(const QString& java);

    // What the classification found, and whether the classes are current.
    bool IsJavaMain = false;
    bool IsJavaApplet = false;
    bool IsCompiled = false;  // set by a successful compilation, cleared by every save
    QString classename;       // the class to run; empty while none was found

private:
    // The window's file; empty for a window never saved.
    QString sourceFile() const;
    // False, after saying why, when `file` cannot be compiled now.
    bool mayCompile(const QString& file);
    // Starts javac on the window's project; false when nothing was started.
    bool startProject(const QString& file, const QString& capture, QString* shown);
    void compileFinished(const CompileOutcome& outcome);
    // What the status bar adds to a failed compilation of this source.
    QString failureNote() const;

    TFileMDIChild* window_;
    QPointer<JavacRunner> runner_;
};
