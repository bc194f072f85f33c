// SPDX-License-Identifier: GPL-3.0-or-later
// The JVM that runs the compile service: its options and its `java`, from the
// javac that F9 would start.
#pragma once
#include <QString>
#include <QStringList>

// The JVM options a service needs to compile like a javac given `javacArgs`:
// the "-J" options without their "-J", after the service's own: a heap of
// at most 256 MB starting at 8 MB unless one of them sets the heap's
// maximum, the serial collector unless one chooses a collector, and
// settings that keep a resident JVM small (a heap that shrinks back when
// idle, the quick JIT only, no statistics file).
QStringList serviceJvmOptions(const QStringList& javacArgs);

// `javacArgs` without its "-J" options: what a compile request carries.
QStringList javacArgsWithoutJvmOptions(const QStringList& javacArgs);

// The directory holding the `java` of the JDK whose compiler is `javacPath`
// (symbolic links followed); empty when it has none.
QString javaBinOfJavac(const QString& javacPath);
