// SPDX-License-Identifier: GPL-3.0-or-later
// File names as the system has them: bytes, and as the program holds them: a
// QString, and the way from one to the other and back without a loss.
//
// This host names files with bytes, which are UTF-8 by convention but need not
// be: a name written on a Latin-1 system, such as "caf\xE9.java", is no UTF-8.
// Qt's own decoding turns each such byte into U+FFFD, and that name then
// leads nowhere. Here, valid UTF-8 decodes as usual; each byte that is not
// part of valid UTF-8 becomes a lone surrogate, U+DC80 plus the byte (U+DCE9
// for 0xE9), which no valid UTF-8 can give; encoding turns it back into that
// byte. So encode(decode(bytes)) == bytes for every byte string.
//
// A name holding such bytes is shown with each of them as "\xE9", and kept in
// text files (Brewpad.ini) as a file URL whose odd bytes are percent-encoded,
// "file:///home/ann/caf%E9.java"; every other name is kept as it is.
#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace nativename {

// The name of the bytes: valid UTF-8 as usual, every other byte as U+DC80+byte.
QString decode(QByteArrayView bytes);
// The bytes of the name: the inverse of decode. A lone surrogate that decode
// cannot give (outside U+DC80..U+DCFF) is written as U+FFFD.
QByteArray encode(QStringView name);

// True when the name holds bytes that are not valid UTF-8: no other program
// gets it through a QString (QProcess's arguments), nor a Java tool on a UTF-8
// system.
bool hasOddBytes(QStringView name);

// The name for people to read: each odd byte as "\xE9" (two capital hex
// digits); a name without such bytes as it is.
QString shown(QStringView name);

// The name as a line of text keeps it: as it is when it has no odd bytes,
// else as "file://" followed by the name with its odd bytes and "%" percent-
// encoded (the name is absolute, so the text starts "file:///").
QString toText(QStringView name);
// The name a text of toText stands for; any other text is the name itself.
QString fromText(QStringView text);

}  // namespace nativename
