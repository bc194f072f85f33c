// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's navigation requests and their answers as plain data
// (toolchain/compiling/serviceprotocol.h): where a name
// at a place of a text is declared (Go to Definition), and the outline of a
// text (its classes, fields and methods).
#pragma once
#include "toolchain/compiling/serviceprotocol.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where a declaration was found, or why none was.
struct ServiceDeclaration {
    bool found = false;
    QString path;      // absolute
    int line = 0;      // from 1
    int column = 0;    // from 1, in UTF-16 units
    bool jdk = false;  // a source of the JDK, copied out of its src.zip: shown read-only
    QString reason;    // when none was found
};

// A "declaration" question: the name at
// `offset` (UTF-16 units) of `text`, the text of `file` in `workDir`, compiled
// with the compiler options `options`; the JDK's sources are copied into
// `cacheDir`.
DeclarationRequest declarationRequest(const QString& file, const QString& text, int offset, const QString& cacheDir,
                                      const QStringList& options, const QString& workDir);
// An "outline" question about `text`, the text of `file`.
OutlineRequest outlineRequest(const QString& file, const QString& text);

// The answer to a declaration question ("declared" or "undeclared"); a reply
// of another kind is "not found".
ServiceDeclaration declarationIn(const ServiceReply& reply);
// The rows of an "outlined" reply; none in a reply of another kind.
QList<OutlineRow> outlineIn(const ServiceReply& reply);

// How the Outline window shows a row: indented by four spaces a level, the
// kind, the name and the detail ("    method add(int, String) : void",
// "    field count : int").
QString outlineRowText(const OutlineRow& row);
// The row of the declaration that holds `line` (the last row at or before
// it); -1 when the line comes before every row.
int outlineRowAt(const QList<OutlineRow>& rows, int line);

// Where the JDK's sources are copied for reading: $XDG_CACHE_HOME/brewpad/jdk-sources,
// else ~/.cache/brewpad/jdk-sources; empty when neither is known.
QString jdkSourceCache();
