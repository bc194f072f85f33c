// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javaimports.h"

#include "javatext/javalexer.h"

#include <QStringList>

namespace javaimports {

namespace {

// The name a declaration line names: "import a.b.C;" gives "a.b.C"
// ("static" kept), empty when the line is not of that keyword.
QString declared(const QString& code, QLatin1String keyword)
{
    const QString t = code.simplified();
    if (!t.startsWith(keyword + QLatin1Char(' ')) || !t.endsWith(QLatin1Char(';')))
        return QString();
    QString name = t.mid(keyword.size() + 1);
    name.chop(1);
    const bool isStatic = name.startsWith(QLatin1String("static "));
    if (isStatic)
        name = name.mid(7);
    name.remove(QLatin1Char(' '));
    return isStatic ? QStringLiteral("static ") + name : name;
}

}  // namespace

Import importOf(const QString& source, const QString& qualified)
{
    const qsizetype dot = qualified.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0)
        return {Import::Present, {}};
    const QString wildcard = qualified.left(dot) + QStringLiteral(".*");
    const QString simple = qualified.mid(dot);  // with its dot
    qsizetype lastImport = -1, package = -1, firstCode = -1;
    javalex::State state = javalex::Normal;
    for (qsizetype start = 0; start <= source.size() && firstCode < 0;) {
        qsizetype end = source.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = source.size();
        const QStringView line = QStringView(source).mid(start, end - start);
        QString code;
        javalex::LineLexer lexer(line, state);
        for (javalex::Piece p; lexer.next(&p);) {
            if (p.type != javalex::Piece::Comment)
                code += line.mid(p.start, p.end - p.start);
        }
        state = lexer.state();
        if (!code.trimmed().isEmpty()) {
            if (const QString name = declared(code, QLatin1String("import")); !name.isEmpty()) {
                if (name == qualified || name == wildcard)
                    return {Import::Present, {}};
                if (name.endsWith(simple) && !name.startsWith(QLatin1String("static")))
                    return {Import::Clash, {}};
                lastImport = end;
            } else if (!declared(code, QLatin1String("package")).isEmpty()) {
                package = end;
            } else {
                firstCode = start;
            }
        }
        start = end + 1;
    }
    const QString line = QStringLiteral("import ") + qualified + QLatin1Char(';');
    if (lastImport >= 0)
        return {Import::Add, {lastImport, QLatin1Char('\n') + line}};
    if (package >= 0)
        return {Import::Add, {package, QStringLiteral("\n\n") + line}};
    return {Import::Add, {firstCode < 0 ? source.size() : firstCode, line + QStringLiteral("\n\n")}};
}

}  // namespace javaimports
