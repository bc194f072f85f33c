// SPDX-License-Identifier: GPL-3.0-or-later
// The line protocol between Brewpad and its debugger (described in
// toolchain/running/debugger/BrewpadDebugger.java): one message per line, fields
// separated by TAB, with "\\", "\t", "\n" and "\r" escaped in a field.
#pragma once
#include <QByteArray>
#include <QStringList>

// The line for `fields`, ending with a line feed.
QByteArray encodeDebugLine(const QStringList& fields);
// The fields of one line (without its line feed).
QStringList decodeDebugLine(const QByteArray& line);
