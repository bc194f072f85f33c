// SPDX-License-Identifier: GPL-3.0-or-later
// The frames of the compile service's wire as they are written and read,
// field by field (the frame itself is described in serviceprotocol.h): for
// the codec of each kind of request and reply.
#pragma once
#include "toolchain/wire/readfields.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace serviceframe {

inline void putU32(QByteArray& out, quint32 v)
{
    const char b[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(b, 4);
}

inline QByteArray frameBytes(const QList<QByteArray>& fields)
{
    QByteArray out;
    putU32(out, quint32(fields.size()));
    for (const QByteArray& f : fields) {
        putU32(out, quint32(f.size()));
        out += f;
    }
    return out;
}

// The fields of a frame as they are written.
class Out {
public:
    explicit Out(const char* verb) { fields_ << QByteArray(verb); }
    Out& bytes(const QByteArray& b) { return fields_ << b, *this; }
    Out& text(const QString& s) { return bytes(s.toUtf8()); }
    Out& name(const QString& s) { return bytes(QFile::encodeName(s)); }
    Out& number(qint64 n) { return bytes(QByteArray::number(n)); }
    Out& id(quint64 n) { return bytes(QByteArray::number(n)); }
    Out& names(const QStringList& list)
    {
        for (const QString& s : list)
            name(s);
        return *this;
    }
    // The fields a question about the place `offset` of a text begins with,
    // after its verb: its id, folder, file, text and offset.
    template <class Question>
    Out& place(const Question& q)
    {
        return id(q.id).name(q.workDir).name(q.file).text(q.text).number(q.offset);
    }
    const QList<QByteArray>& fields() const { return fields_; }
    QByteArray frame() const { return frameBytes(fields_); }

private:
    QList<QByteArray> fields_;
};

// A path or a list of paths among the fields read, in the file-name encoding.
struct Name {
    QString& path;
};
struct Names {
    QStringList& paths;
};

// The fields of a frame as they are read, from the one after the verb on.
class In {
public:
    explicit In(const QList<QByteArray>& fields) : fields_(fields) {}
    // The next fields read into `members` in order (see readFields): a
    // quint64 as an id, an int as a number, a QString as a text, bytes as
    // they are, a Name as a path, Names as the paths that are left.
    template <class... Members>
    void read(Members&&... members)
    {
        readFields(*this, std::forward<Members>(members)...);
    }
    void field(quint64& n) { n = id(); }
    void field(int& n) { n = number(); }
    void field(QString& s) { s = text(); }
    void field(QByteArray& b) { b = bytes(); }
    void field(Name n) { n.path = name(); }
    void field(Names n) { n.paths = names(); }
    qsizetype left() const { return fields_.size() - at_; }
    QByteArray bytes() { return at_ < fields_.size() ? fields_[at_++] : QByteArray(); }
    QString text() { return QString::fromUtf8(bytes()); }
    QString name() { return QFile::decodeName(bytes()); }
    int number() { return bytes().toInt(); }
    quint64 id() { return bytes().toULongLong(); }
    QStringList names()
    {
        QStringList list;
        while (left() > 0)
            list << name();
        return list;
    }

private:
    const QList<QByteArray>& fields_;
    qsizetype at_ = 1;
};

}  // namespace serviceframe
