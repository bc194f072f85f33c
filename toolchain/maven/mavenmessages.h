// SPDX-License-Identifier: GPL-3.0-or-later
// What Build with Maven reports, as lines of the compiler-message list: the
// compiler's errors and warnings ("[ERROR] /p/Shop.java:[12,5] text") and
// Surefire's failed tests ("[ERROR]   ShopTest.bad:4 expected: <1> but
// was: <2>"), each written as javac writes a message ("PATH:LINE: error:
// text"), so that the message list leads to its line.
#pragma once
#include <QString>
#include <QStringList>

// The message lines of Maven's output `output`, in order, each once. A failed
// test's class is looked for among `testSources` (absolute paths) by its
// simple name; a test whose source is not among them gives no line.
QStringList mavenMessageLines(const QString& output, const QStringList& testSources);
