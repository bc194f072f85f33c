// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's completion and parameter-hint requests (see
// toolchain/compiling/compileservice.h), beside its compilations and checks.
#include "toolchain/compiling/compileservice.h"

#include <QFile>
#include <QProcess>

quint64 CompileService::submitCompletion(Kind kind, const QByteArray& verb, const QString& file, const QString& text,
                                         int offset, const QStringList& options, const QString& workDir)
{
    if (state_ != State::Ready || !proc_)
        return 0;
    QList<QByteArray> f{verb, QFile::encodeName(workDir), QFile::encodeName(file), text.toUtf8(),
                        QByteArray::number(offset)};
    for (const QString& o : options)
        f << QFile::encodeName(o);
    return submit(kind, f, serviceRequestKey(kind == Kind::Complete ? 'P' : 'S', workDir, options));
}

quint64 CompileService::complete(const QString& file, const QString& text, int offset, const QStringList& options,
                                 const QString& workDir)
{
    return submitCompletion(Kind::Complete, QByteArrayLiteral("complete"), file, text, offset, options, workDir);
}

quint64 CompileService::signature(const QString& file, const QString& text, int offset, const QStringList& options,
                                  const QString& workDir)
{
    return submitCompletion(Kind::Signature, QByteArrayLiteral("signature"), file, text, offset, options, workDir);
}
