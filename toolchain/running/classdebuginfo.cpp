// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/running/classdebuginfo.h"

#include <QFile>

#include <vector>

namespace {

// Big-endian reads that fail (and stay failed) past the end.
struct Reader {
    const QByteArray& b;
    qsizetype at = 0;
    bool ok = true;

    quint32 u(int n)
    {
        if (!ok || at + n > b.size()) {
            ok = false;
            return 0;
        }
        quint32 v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | quint8(b[at + i]);
        at += n;
        return v;
    }
    void skip(qint64 n)
    {
        if (!ok || n < 0 || at + n > b.size())
            ok = false;
        else
            at += n;
    }
};

// The constant pool's UTF-8 entries by index (others empty).
std::vector<QByteArray> readConstants(Reader& r)
{
    const quint32 count = r.u(2);
    std::vector<QByteArray> utf8(count);
    for (quint32 i = 1; i < count && r.ok; ++i) {
        switch (r.u(1)) {
        case 1: {
            const quint32 len = r.u(2);
            if (r.ok && r.at + len <= r.b.size())
                utf8[i] = r.b.mid(r.at, len);
            r.skip(len);
            break;
        }
        case 7:
        case 8:
        case 16:
        case 19:
        case 20: r.skip(2); break;
        case 15: r.skip(3); break;
        case 3:
        case 4:
        case 9:
        case 10:
        case 11:
        case 12:
        case 17:
        case 18: r.skip(4); break;
        case 5:
        case 6:
            r.skip(8);
            ++i;  // takes two entries
            break;
        default: r.ok = false;
        }
    }
    return utf8;
}

QByteArray nameAt(const std::vector<QByteArray>& utf8, quint32 index)
{
    return index < utf8.size() ? utf8[index] : QByteArray();
}

// Reads a Code attribute's body: whether it holds a local-variable table.
bool codeHasTable(Reader& r, const std::vector<QByteArray>& utf8)
{
    r.skip(4);                   // max_stack, max_locals
    r.skip(r.u(4));              // the code
    r.skip(qint64(r.u(2)) * 8);  // the exception table
    bool found = false;
    for (quint32 n = r.u(2); n > 0 && r.ok; --n) {
        found = found || nameAt(utf8, r.u(2)) == "LocalVariableTable";
        r.skip(r.u(4));
    }
    return found;
}

}  // namespace

ClassDebugInfo classDebugInfo(const QByteArray& classFile)
{
    Reader r{classFile};
    if (r.u(4) != 0xCAFEBABE)
        return ClassDebugInfo::Unreadable;
    r.skip(4);  // version
    const std::vector<QByteArray> utf8 = readConstants(r);
    r.skip(6);                   // access, this, super
    r.skip(qint64(r.u(2)) * 2);  // interfaces
    int codes = 0, tables = 0;
    for (int part = 0; part < 2 && r.ok; ++part) {  // the fields, then the methods
        for (quint32 members = r.u(2); members > 0 && r.ok; --members) {
            r.skip(6);  // access, name, descriptor
            for (quint32 n = r.u(2); n > 0 && r.ok; --n) {
                const QByteArray name = nameAt(utf8, r.u(2));
                const quint32 len = r.u(4);
                const qsizetype end = r.at + len;
                if (part == 1 && name == "Code") {
                    ++codes;
                    tables += codeHasTable(r, utf8) ? 1 : 0;
                }
                if (r.ok && r.at <= end && end <= classFile.size())
                    r.at = end;
                else
                    r.ok = false;
            }
        }
    }
    if (!r.ok || codes == 0)
        return ClassDebugInfo::Unreadable;
    return tables > 0 ? ClassDebugInfo::Present : ClassDebugInfo::Absent;
}

ClassDebugInfo classFileDebugInfo(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return ClassDebugInfo::Unreadable;
    return classDebugInfo(f.read(64 << 20));
}
