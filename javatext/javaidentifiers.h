// SPDX-License-Identifier: GPL-3.0-or-later
// Java identifiers as Brewpad reads them (QtCore only): a letter of any
// script, '_' or '$' starts one; letters, digits (of any script), '_' and
// '$' continue it. The lexer, completion, the message marks, the message
// window and the reading of a source's package all use these.
#pragma once

#include <QChar>
#include <QStringView>

namespace javatext {

inline bool isIdentifierStart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u == '$';
    return c.isLetter();
}

inline bool isIdentifierPart(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 128)
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '$';
    return c.isLetterOrNumber();
}

// The same on the bytes of UTF-8 text, where a character beyond ASCII is not
// decoded: each of its bytes counts as part of an identifier.
inline bool isIdentifierByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '$' ||
           u >= 0x80;
}

// Where the run of identifier characters that ends at `position` of `text`
// begins (`position` itself when none ends there); `position` is clamped to
// the text.
qsizetype identifierStart(QStringView text, qsizetype position);

// Where the run of identifier characters that starts at `position` ends
// (`position` itself when none starts there); clamped like identifierStart.
qsizetype identifierEnd(QStringView text, qsizetype position);

// Whether the whole of `text` is one identifier (keywords are not told apart).
bool isIdentifier(QStringView text);

}  // namespace javatext
