// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/classify/compactsource.h"

#include "config/jdks.h"
#include "javatext/javaidentifiers.h"
#include "toolchain/classify/classify.h"

#include <QFile>

#include <array>

namespace {

bool white(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

using javatext::isIdentifierByte;

size_t skipWhite(std::string_view s, size_t i)
{
    while (i < s.size() && white(s[i]))
        ++i;
    return i;
}

// Whether "void main ( )" followed by a body or throws clause starts at `i`
// (white space between the words is optional where Java allows it).
bool noArgMainAt(std::string_view s, size_t i)
{
    if (s.substr(i, 4) != "void" || (i > 0 && isIdentifierByte(s[i - 1])) || i + 4 >= s.size() || !white(s[i + 4]))
        return false;
    size_t j = skipWhite(s, i + 4);
    if (s.substr(j, 4) != "main")
        return false;
    j = skipWhite(s, j + 4);
    if (j >= s.size() || s[j] != '(')
        return false;
    j = skipWhite(s, j + 1);
    if (j >= s.size() || s[j] != ')')
        return false;
    j = skipWhite(s, j + 1);
    return j < s.size() && (s[j] == '{' || s.substr(j, 6) == "throws");
}

// Past the string, character literal or text block that starts at `i`.
size_t literalEnd(std::string_view s, size_t i)
{
    if (s.substr(i, 3) == "\"\"\"") {
        for (size_t j = i + 3; j < s.size(); ++j) {
            if (s[j] == '\\')
                ++j;
            else if (s.substr(j, 3) == "\"\"\"")
                return j + 3;
        }
        return s.size();
    }
    const char quote = s[i];
    for (size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] == '\\')
            ++j;
        else if (s[j] == quote || s[j] == '\n')
            return j + 1;
    }
    return s.size();
}

// The name declared just before the brace at `brace`: the word after the
// last class, interface, enum or record keyword before it.
QString typeNameBefore(std::string_view s, size_t brace)
{
    static const std::array<std::string_view, 4> kinds = {"class", "interface", "enum", "record"};
    size_t best = std::string_view::npos;
    size_t bestLength = 0;
    for (std::string_view k : kinds) {
        for (size_t p = s.rfind(k, brace); p != std::string_view::npos; p = p ? s.rfind(k, p - 1) : p) {
            const size_t e = p + k.size();
            if ((p == 0 || !isIdentifierByte(s[p - 1])) && e < s.size() && white(s[e])) {
                if (best == std::string_view::npos || p > best)
                    best = p, bestLength = k.size();
                break;
            }
            if (p == 0)
                break;
        }
    }
    if (best == std::string_view::npos)
        return {};
    const size_t from = skipWhite(s, best + bestLength);
    size_t to = from;
    while (to < brace && isIdentifierByte(s[to]))
        ++to;
    return QString::fromUtf8(s.substr(from, to - from));
}

}  // namespace

std::optional<NewerMain> findNewerMain(std::string_view s, const QString& baseName)
{
    int depth = 0;
    size_t outerBrace = 0;  // the brace that opened the top-level body we are in
    for (size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (c == '"' || c == '\'') {
            i = literalEnd(s, i);
        } else if (c == '{') {
            if (depth++ == 0)
                outerBrace = i;
            ++i;
        } else if (c == '}') {
            depth = depth > 0 ? depth - 1 : 0;
            ++i;
        } else if (c == 'v' && noArgMainAt(s, i)) {
            if (depth == 0)
                return NewerMain{true, baseName};
            const QString name = typeNameBefore(s, outerBrace);
            if (name.isEmpty())
                return std::nullopt;
            return NewerMain{false, name};
        } else {
            ++i;
        }
    }
    return std::nullopt;
}

bool usesNewerMain(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() > 16 << 20)
        return false;
    const QByteArray prepared = prepareJavaText(f.readAll());
    QString name, ext;
    filename(path, name, ext);
    return findNewerMain(std::string_view(prepared.constData(), size_t(prepared.size())), name).has_value();
}

QString newerJavaNote(const QString& source, const QString& javabin)
{
    const JdkInfo used = jdkOfBin(javabin);
    if (used.feature == 0 || used.feature >= 25 || !usesNewerMain(source))
        return {};
    const QList<JdkInfo> jdks = findJdks(javabin);
    const JdkInfo* newer = newestJdk(jdks, 25);
    const QString found = newer ? QStringLiteral(
                                      "JDK %1 is at %2: Java Project / Java Development Kit... switches to it")
                                      .arg(newer->version, newer->home)
                                : QStringLiteral("none is on this machine");
    return QStringLiteral(
               "; compact source files and main methods without arguments need JDK 25 or later "
               "(this is JDK %1; %2)")
        .arg(used.version, found);
}
