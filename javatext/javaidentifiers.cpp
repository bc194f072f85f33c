// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javaidentifiers.h"

#include <algorithm>

namespace javatext {

qsizetype identifierStart(QStringView text, qsizetype position)
{
    qsizetype s = std::clamp<qsizetype>(position, 0, text.size());
    while (s > 0 && isIdentifierPart(text[s - 1]))
        --s;
    return s;
}

qsizetype identifierEnd(QStringView text, qsizetype position)
{
    qsizetype e = std::clamp<qsizetype>(position, 0, text.size());
    while (e < text.size() && isIdentifierPart(text[e]))
        ++e;
    return e;
}

bool isIdentifier(QStringView text)
{
    return !text.isEmpty() && isIdentifierStart(text.front()) && identifierEnd(text, 0) == text.size();
}

}  // namespace javatext
