// SPDX-License-Identifier: GPL-3.0-or-later
// Textual classification of Java sources: is a file an application class,
// an applet or a package member, and which class does it ask to run.
//
// The classification does not parse Java. It reads the file, removes its
// comments, collapses its white space and looks for a few fixed texts.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "javatext/javasource.h"

// The file-name helpers of the classification, filename and isjava, are
// those of javatext/javasource.h.

// Prepares a source's bytes for the pattern search, in one pass into a new
// buffer:
//  - each CR LF pair is read as one LF;
//  - then, from left to right, "/*...*/" comments are removed (an unclosed
//    one removes the rest of the text), "//..." comments are removed together
//    with their line end, and a run of white characters (space, tab, LF)
//    keeps only its first character.
// The rules look at the text as it stands after the removals made so far, so
// " /* x */ y" gives two spaces and "y". String literals are not recognised.
// The text is taken in pieces of `pieceSize` bytes, as a file is read; the
// result does not depend on the size of the pieces.
QByteArray prepareJavaText(QByteArrayView text, qsizetype pieceSize = 256 * 1024);

// The verdict of classifying one source, numbered 0 to 5 as the
// classification has always numbered them.
enum Verdict : int {
    NothingRecognised = 0,          // or the file was not classified at all
    ApplicationNamedAfterFile = 1,  // also a class named after the file with no
                                    // main method and no applet hint
    AppletNamedAfterFile = 2,
    MainInOtherClass = 3,  // main method in a class not named after the file
    AppletHintsOnly = 4,   // no applet class named after the file
    PackageMember = 5,
};

// The outcome of classifying one source. className is the class to run,
// empty when none was found.
struct ScanResult {
    Verdict verdict = NothingRecognised;
    QString className;
};

// Classifies the raw bytes of a source whose base name is `baseName`.
ScanResult scanJavaText(QByteArrayView fileBytes, const QString& baseName);

// Classifies the file at `path`. NothingRecognised and no name when its
// extension is not exactly "java" (case matters: "JAVA" and "jav" are not
// classified) or when it cannot be read.
ScanResult scanJavaFile(const QString& path);

// Turns a verdict into the window's flags. Flags are only ever set, never
// cleared. AppletHintsOnly means an applet for a single source and an
// application for an entry of a project (`projectMode`).
void applyVerdict(Verdict verdict, bool projectMode, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage);

// Classifies one source for an editor window holding it: sets the flags of
// the single-source column and replaces `classename` only when a class name
// was found. Returns the verdict.
Verdict classifySource(const QString& path, bool& IsJavaMain, bool& IsJavaApplet, bool& IsPackage,
                       QString& classename);
