// SPDX-License-Identifier: GPL-3.0-or-later
// Windows-1252, the code page of Western European Windows: the encoding of
// text files and pages written on such a system.
#pragma once

#include <QByteArray>
#include <QString>

// The code page leaves five bytes unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D).
// Here each stands for the C1 control of the same value, so that any bytes
// survive a round trip through text.
bool isUnassignedWindows1252(unsigned char byte);

// The byte whose character is `c`, or -1 when there is none. An unassigned
// byte is the byte of its C1 control.
int windows1252Byte(char32_t c);

// Every byte as one character.
QString decodeWindows1252(const QByteArray& bytes);

// False when a character has no byte.
bool encodeWindows1252(const QString& text, QByteArray* out);
