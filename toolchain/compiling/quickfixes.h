// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's quick fixes as typed values of its wire
// (toolchain/compiling/serviceprotocol.h; the service's side is
// toolchain/compiling/service/brewpad/service/Fixes.java): the question for
// the fixes of a line's errors, and the fixes, each a title and the changes
// it makes, for Brewpad to lay out in the file (toolchain/compiling/quickfixedit.h).
#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// "quickfix": the fixes of the errors on `line` (from 1) of `text`, the text
// of `file` (relative to `workDir`, or absolute), compiled as a check
// compiles it with the compiler options `options`.
struct FixesRequest {
    quint64 id = 0;
    QString workDir;
    QString file;
    QString text;
    int line = 0;
    QStringList options;
    bool operator==(const FixesRequest&) const = default;
};

// One change of a fix, at UTF-16 positions of the text asked about:
//   "replace": [start, end) replaced by `text`;
//   "import": the import of the type `text`, where the imports go;
//   "return": the statement `text` on a line of its own before the "}" at `start`;
//   "method": the declaration `text` ("\t" for each level of indentation)
//       before the class's "}" at `start`;
//   "try": the statement [start, end) surrounded by try; `text` the catch's
//       variable, then each type caught, separated by spaces;
//   "declare": with a try, the declaration `text` put before the try, and
//       [start, end) (the modifiers and type of the declaration surrounded) removed.
struct FixStep {
    QString kind;
    int start = 0;
    int end = 0;
    QString text;
    bool operator==(const FixStep&) const = default;
};

struct QuickFix {
    QString title;  // "Import java.util.List", "Change to 'count'"
    QList<FixStep> steps;
    bool operator==(const QuickFix&) const = default;
};

// "quickfixes": the fixes of the errors of the line asked about; none when
// there is nothing to offer.
struct FixesReply {
    quint64 id = 0;
    QList<QuickFix> fixes;
    bool operator==(const FixesReply&) const = default;
};

// The fields of their frames, the verb first, and back. Decoding takes what
// the fields hold whole; none for a frame too short for its kind.
QList<QByteArray> fixesRequestFields(const FixesRequest& r);
QList<QByteArray> fixesReplyFields(const FixesReply& r);
bool decodeFixesRequest(const QList<QByteArray>& fields, FixesRequest* r);
bool decodeFixesReply(const QList<QByteArray>& fields, FixesReply* r);
