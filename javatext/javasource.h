// SPDX-License-Identifier: GPL-3.0-or-later
// What a Java source is called and what it declares of itself (QtCore only):
// the source extension, the split of a path into base name and extension,
// the gaps (white space and comments) between the words of a source's text,
// and the package and class a source declares.
#pragma once

#include "platform/host.h"

#include <QString>
#include <QStringView>

// Splits a path into the base name and the extension. The base starts after
// the last `sep` (the whole path when there is none); `name` receives the
// base up to its first '.', `ext` the text after that '.' (empty when the
// base has no dot). So "C:\src\Foo.bar.java" split at '\\' gives "Foo" and
// "bar.java". Only `sep` separates: on this host '/' and not '\\'.
void filename(const QString& fname, QString& name, QString& ext, QChar sep = host::separator());

// True when `ext` is exactly one of "java", "JAVA", "jav", "JAV": the
// extensions compiled as Java sources.
bool isjava(const QString& ext);

namespace javatext {

// The extension of the Java sources that Brewpad names, finds in a folder,
// and classifies (exactly this, case and all), without its dot.
inline constexpr QLatin1String sourceExtension{"java"};

// "Base.java": the file name of the source of `base`.
QString sourceFileName(const QString& base);

// Whether an argument of a compilation names a source: it does not start
// with '-' and ends with ".java" or ".jav" in any case ("Hello.JAVA" too).
bool namesSource(QStringView argument);

// Past the white space (a byte-order mark too), "//" comments with their
// line end and "/*...*/" comments from `from` on: the next word's start, or
// the text's end (an unclosed "/*" runs to it).
qsizetype skipGaps(QStringView text, qsizetype from);

// The package a source's text declares: "org.demo" for `package org.demo;`,
// with white space and comments within the declaration left out; empty when
// the first word of the text is not "package".
QString declaredPackage(QStringView text);

// The qualified name of the class a source declares in its file: the
// declared package, a dot and the file's name without its last extension;
// "Hello" for Hello.java without a package, "org.demo.Hello" with
// `package org.demo;`.
QString qualifiedClassName(QStringView text, const QString& path);

}  // namespace javatext
