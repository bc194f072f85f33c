// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's requests and replies as bytes (see toolchain/compiling/service/):
// a frame is its number of fields, then each field as its length and its
// bytes, every number 4 bytes with the most significant first.
#pragma once
#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>

// One message of a check.
struct ServiceDiagnostic {
    enum Kind { Error, Warning };
    int line = 0;    // 1-based; 0 when the message belongs to no line
    int column = 0;  // 1-based; 0 when it belongs to no column
    Kind kind = Error;
    QString message;
};
Q_DECLARE_METATYPE(ServiceDiagnostic)

// The bytes of a frame holding `fields`.
QByteArray encodeServiceFrame(const QList<QByteArray>& fields);

// The diagnostics of a "checked" reply: "checked", id, count, then line,
// column, kind ("warning" or another word for an error) and message for each;
// a reply cut short gives the diagnostics it holds whole.
QList<ServiceDiagnostic> decodeDiagnostics(const QList<QByteArray>& frame);

// What makes requests "the same kind" for remembering that the service
// cannot do them: their kind (a letter), directory and options, the sources
// (".java", ".jav") among them aside.
QByteArray serviceRequestKey(char kind, const QString& workDir, const QStringList& options);
