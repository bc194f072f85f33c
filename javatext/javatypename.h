// SPDX-License-Identifier: GPL-3.0-or-later
// The name a Java source's file takes from its text: the name of its public
// top-level class, interface, enum, record or annotation type, which javac
// wants the file to be named after.
#pragma once
#include <QString>

// The public top-level type's name in `text`; when no top-level type is
// public, the first top-level type's; empty when the text declares none.
// Comments, string and character literals and text blocks do not count.
QString publicTypeName(const QString& text);
