// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicerequest.h"

#include "javatext/javasource.h"

#include <QDir>
#include <QFile>

namespace {

void putU32(QByteArray& out, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

}  // namespace

QByteArray encodeServiceFrame(const QList<QByteArray>& fields)
{
    QByteArray out;
    putU32(out, quint32(fields.size()));
    for (const QByteArray& f : fields) {
        putU32(out, quint32(f.size()));
        out += f;
    }
    return out;
}

QList<ServiceDiagnostic> decodeDiagnostics(const QList<QByteArray>& frame)
{
    QList<ServiceDiagnostic> list;
    const int n = frame.size() >= 3 ? frame[2].toInt() : 0;
    for (int i = 0; i < n && 3 + 4 * i + 3 < frame.size(); ++i) {
        ServiceDiagnostic d;
        d.line = frame[3 + 4 * i].toInt();
        d.column = frame[4 + 4 * i].toInt();
        d.kind = frame[5 + 4 * i] == "warning" ? ServiceDiagnostic::Warning : ServiceDiagnostic::Error;
        d.message = QString::fromUtf8(frame[6 + 4 * i]);
        list << d;
    }
    return list;
}

QByteArray serviceRequestKey(char kind, const QString& workDir, const QStringList& options)
{
    QByteArray key(1, kind);
    key += QFile::encodeName(QDir::cleanPath(workDir));
    for (const QString& o : options) {
        if (!javatext::namesSource(o))
            key += '\0' + QFile::encodeName(o);
    }
    return key;
}
