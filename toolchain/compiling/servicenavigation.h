// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's navigation requests and their answers as plain data
// (the protocol is described in toolchain/compiling/service/): where a name
// at a place of a text is declared (Go to Definition), and the outline of a
// text (its classes, fields and methods).
#pragma once
#include <QByteArray>
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

// One row of an outline.
struct OutlineRow {
    int depth = 0;  // 0 for a top-level class, one more for each class around it
    QString kind;   // "class", "interface", "enum", "record", "annotation", "field",
                    // "constant", "method", "constructor"
    QString name;
    QString detail;  // a field's type; a method's parameter types and result, "(int, String) : void"
    int line = 0;    // of the name, from 1
    int column = 0;  // from 1
    bool operator==(const OutlineRow&) const = default;
};

// The fields of a "declaration" question (without its id): the name at
// `offset` (UTF-16 units) of `text`, the text of `file` in `workDir`, compiled
// with the compiler options `options`; the JDK's sources are copied into
// `cacheDir`.
QList<QByteArray> declarationRequest(const QString& file, const QString& text, int offset, const QString& cacheDir,
                                     const QStringList& options, const QString& workDir);
// The fields of an "outline" question about `text`, the text of `file`.
QList<QByteArray> outlineRequest(const QString& file, const QString& text);

// The answer to a declaration question ("declared" or "undeclared"); a reply
// of another kind or cut short is "not found".
ServiceDeclaration decodeDeclaration(const QList<QByteArray>& reply);
// The rows of an "outlined" reply; a reply cut short gives the rows it holds whole.
QList<OutlineRow> decodeOutline(const QList<QByteArray>& reply);

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
