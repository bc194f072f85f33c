// SPDX-License-Identifier: GPL-3.0-or-later
// The JUnit test a caret stands in: the method annotated @Test (JUnit 4 or
// 5, also written @org.junit.Test) whose annotation, heading or body holds
// the caret; comments and literals are left out as the Java lexer sees them.
// Also the class a source declares, with its package.
#pragma once
#include <QString>

// The name of the test method at `position` of `text`; empty when the caret
// stands in none.
QString testMethodAt(const QString& text, int position);
// "pkg.Name" for a source `text` in a file of base name `baseName`.
QString qualifiedClassName(const QString& text, const QString& baseName);
