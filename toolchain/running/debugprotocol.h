// SPDX-License-Identifier: GPL-3.0-or-later
// The line protocol between Brewpad and its debugger (described in
// toolchain/running/debugger/brewpad/debugger/BrewpadDebugger.java; typed in
// debugwire.h): one message per line, fields separated by TAB, with "\\",
// "\t", "\n" and "\r" escaped in a field.
#pragma once
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
