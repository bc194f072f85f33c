// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/servicedoc.h"

#include "toolchain/compiling/serviceframe.h"

using serviceframe::In;
using serviceframe::Name;
using serviceframe::Names;
using serviceframe::Out;

QList<QByteArray> docRequestFields(const DocRequest& r)
{
    return Out("doc").place(r).name(r.cacheDir).text(r.context).text(r.reference).names(r.options).fields();
}

QList<QByteArray> docReplyFields(const DocReply& r)
{
    return Out("documented").id(r.id).text(r.name).text(r.signature).text(r.context).text(r.comment).fields();
}

bool decodeDocRequest(const QList<QByteArray>& fields, DocRequest* r)
{
    if (fields.size() < 9 || fields[0] != "doc")
        return false;
    In(fields).read(r->id, Name{r->workDir}, Name{r->file}, r->text, r->offset, Name{r->cacheDir}, r->context,
                    r->reference, Names{r->options});
    return true;
}

bool decodeDocReply(const QList<QByteArray>& fields, DocReply* r)
{
    if (fields.size() < 6 || fields[0] != "documented")
        return false;
    In(fields).read(r->id, r->name, r->signature, r->context, r->comment);
    return true;
}
