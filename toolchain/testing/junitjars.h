// SPDX-License-Identifier: GPL-3.0-or-later
// JUnit's jars on this machine, and whether a source is a JUnit test: a
// source that imports org.junit is compiled and run with them.
#pragma once
#include <QString>
#include <QStringList>

// The console launcher (carrying the JUnit Platform and Jupiter), the
// Vintage engine, JUnit 4 and Hamcrest: those of them that are installed.
QStringList junitJars();
// True when `source` imports something of org.junit (a JUnit 4 or 5 test).
bool importsJUnit(const QString& source);
// javac's arguments `args` with JUnit's jars added to their "-classpath"
// (given one, "." and the jars, when `args` have none); unchanged when
// `source` imports nothing of org.junit.
QStringList withJUnitClassPath(QStringList args, const QString& source);
