// SPDX-License-Identifier: GPL-3.0-or-later
// The Maven loader of the project model: Maven's answer about a pom.xml
// (toolchain/maven/mavenprobe.h) as a ProjectModel, the sources grouped by
// package for the project window, the classes with a `main`, and what is out
// of date.
#pragma once
#include "project/projectmodel.h"
#include "toolchain/maven/mavenprobe.h"

#include <QString>
#include <QStringList>

#include <vector>

// The model of the project `pomPath` as Maven describes it: origin MavenPom,
// the .java files under the source roots (sources) and under the test roots
// (testSources), each in the order of their paths; the class path and output
// folder of the main classes, those of the tests apart.
ProjectModel mavenProjectModel(const QString& pomPath, const MavenLayout& layout);

// The .java files under `roots` (absolute paths, sorted); a root that does
// not exist gives none.
QStringList javaSourcesUnder(const QStringList& roots);

// The root of `roots` that holds `source`; empty when none does.
QString rootOf(const QString& source, const QStringList& roots);
// The class a source under one of `roots` defines, by its place there:
// src/main/java/shop/cart/Cart.java is "shop.cart.Cart".
QString classNameOf(const QString& source, const QStringList& roots);
// The package of a source under one of `roots`: "" for the default package.
QString packageOf(const QString& source, const QStringList& roots);

// The sources of one package, for the project window.
struct PackageGroup {
    QString name;  // "" for the default package
    QStringList sources;
};
// `sources` grouped by package, the packages in the order of their names,
// the default package first.
std::vector<PackageGroup> sourcesByPackage(const QStringList& sources, const QStringList& roots);

// The sources whose class file in `outputDir` is missing or older than the
// source (a file not under `roots` is always out of date).
QStringList outOfDateSources(const QStringList& sources, const QStringList& roots, const QString& outputDir);

// The classes of the model's main sources that declare an application's
// `main`, fully qualified, in the order of their sources.
QStringList mainClasses(const ProjectModel& model);
