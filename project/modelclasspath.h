// SPDX-License-Identifier: GPL-3.0-or-later
// The one class path of a model for each tool that takes one: javac, java
// (Java Run, Debug Run) and the JUnit launcher. Every consumer asks here, so
// whatever a loader puts into the model's class path (the Compiler Options'
// Class Path, the jars of lib/, a pom's dependencies) reaches them all.
#pragma once
#include "project/projectmodel.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class ClassPathUse {
    Compile,  // javac's -classpath
    Run,      // java's -classpath (Java Run, Debug Run)
    Test,     // the JUnit launcher's class path (JUnit's own jars follow)
};

// The entries of the model's class path that its Class Path text does not
// hold (the jars of lib/, or all of them for a model without such a text).
QStringList addedClassPath(const ProjectModel& model);

// The class path of `model` for `use`, entries joined by the host's list
// separator; nullopt when the tool is given none:
//  - Compile: the Class Path text as given when nothing is added and the
//    source is in no package (so the command line is the Compiler Options'
//    own); else the Class Path text, or without one the source's folder
//    (not for a package, whose sources are on its source path) and the
//    class root, then what is added.
//  - Run: the class root (classRoot()), the Class Path text and what is
//    added; nullopt when there is no class folder, no Class Path text and
//    nothing added (java then finds the class in the folder it starts in).
//  - Test: like Run, never nullopt.
std::optional<QString> modelClassPath(const ProjectModel& model, ClassPathUse use);

// The jars of lib/ folders the model adds, as the status bar names them:
// the folder and the file ("lib/x.jar").
QStringList shownLibraryJars(const ProjectModel& model);
