// SPDX-License-Identifier: GPL-3.0-or-later
// What the compile service's client remembers of a request it left to javac.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// What makes requests "the same kind" for remembering that the service
// cannot do them: their kind (a letter), directory and options, the sources
// (".java", ".jav") among them aside.
QByteArray serviceRequestKey(char kind, const QString& workDir, const QStringList& options);
