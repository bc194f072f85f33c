// SPDX-License-Identifier: GPL-3.0-or-later
// The line protocol between Brewpad and its debugger (described in
// toolchain/running/debugger/brewpad/debugger/BrewpadDebugger.java; typed in
// debugwire.h): one message per line, fields separated by TAB, with "\\",
// "\t", "\n" and "\r" escaped in a field.
#pragma once
#include "toolchain/wire/readfields.h"

#include <QByteArray>
#include <QStringList>

// The line for `fields`, ending with a line feed.
QByteArray encodeDebugLine(const QStringList& fields);
// The fields of one line (without its line feed).
QStringList decodeDebugLine(const QByteArray& line);
// What a Java helper's error output says, as one line: the first line that is
// not a stack frame, without the "Exception in thread" preamble (a helper's
// failure is shown as a sentence, never as a stack trace).
QString javaFailureLine(const QString& errorOutput);

// The fields of a line of a message, read in order after its name; a field
// that is missing, or a number that is none, makes the message unreadable.
class WireFields {
public:
    explicit WireFields(const QByteArray& line);
    const QString& name() const { return f_.first(); }
    qsizetype left() const { return f_.size() - i_; }
    bool ok() const { return ok_; }
    QString text() { return i_ < f_.size() ? f_[i_++] : (ok_ = false, QString()); }
    qint64 number();
    int small() { return int(number()); }
    // The next fields read into `members` in order (see readFields): a
    // QString as text(), a qint64 as number(), an int as small().
    template <class... Members>
    void read(Members&... members)
    {
        readFields(*this, members...);
    }
    void field(QString& s) { s = text(); }
    void field(qint64& n) { n = number(); }
    void field(int& n) { n = small(); }

private:
    QStringList f_;
    qsizetype i_ = 1;
    bool ok_ = true;
};

// A visitor of a wire's request and reply variants, one lambda per alternative.
template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;
