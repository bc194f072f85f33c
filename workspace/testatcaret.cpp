// SPDX-License-Identifier: GPL-3.0-or-later
#include "workspace/testatcaret.h"

#include "javatext/javalexer.h"

#include <QRegularExpression>

namespace {

// `text` with every comment and literal turned into spaces (line ends kept),
// so that offsets stay and only code is left.
QString codeOnly(const QString& text)
{
    QString out = text;
    javalex::State state = javalex::Normal;
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), lineStart);
        if (end < 0)
            end = text.size();
        javalex::LineLexer lex(QStringView(text).mid(lineStart, end - lineStart), state);
        javalex::Piece p;
        while (lex.next(&p)) {
            if (p.type != javalex::Piece::Code)
                out.replace(lineStart + p.start, p.end - p.start, QString(p.end - p.start, QLatin1Char(' ')));
        }
        state = lex.state();
        lineStart = end + 1;
    }
    return out;
}

// The end (exclusive) of the block opened by the brace at `open`; the text's
// end when it is not closed.
qsizetype blockEnd(const QString& code, qsizetype open)
{
    int depth = 0;
    for (qsizetype i = open; i < code.size(); ++i) {
        if (code[i] == QLatin1Char('{'))
            ++depth;
        else if (code[i] == QLatin1Char('}') && --depth == 0)
            return i + 1;
    }
    return code.size();
}

// True when the name at `at` is an annotation's (after "@", or a dot of one).
bool annotationName(const QString& code, qsizetype at)
{
    qsizetype i = at - 1;
    while (i >= 0 && code[i].isSpace())
        --i;
    return i >= 0 && (code[i] == QLatin1Char('@') || code[i] == QLatin1Char('.'));
}

}  // namespace

QString testMethodAt(const QString& text, int position)
{
    const QString code = codeOnly(text);
    static const QRegularExpression test(QStringLiteral("@(?:org\\.junit\\.(?:jupiter\\.api\\.)?)?Test\\b"));
    // The method's name: the first identifier followed by "(" that is not an annotation.
    static const QRegularExpression name(QStringLiteral("\\b([A-Za-z_$][\\w$]*)\\s*\\("));
    QRegularExpressionMatchIterator it = test.globalMatch(code);
    while (it.hasNext()) {
        const QRegularExpressionMatch t = it.next();
        if (t.capturedStart() > position)
            break;
        QRegularExpressionMatchIterator n = name.globalMatch(code, t.capturedEnd());
        while (n.hasNext()) {
            const QRegularExpressionMatch m = n.next();
            if (annotationName(code, m.capturedStart(1)))
                continue;  // an annotation with arguments
            const qsizetype open = code.indexOf(QLatin1Char('{'), m.capturedEnd());
            if (open < 0)
                return {};
            if (position <= blockEnd(code, open))
                return m.captured(1);
            break;
        }
    }
    return {};
}

QString qualifiedClassName(const QString& text, const QString& baseName)
{
    static const QRegularExpression pkg(QStringLiteral("^\\s*package\\s+([\\w.]+)\\s*;"),
                                        QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = pkg.match(codeOnly(text));
    return m.hasMatch() ? m.captured(1) + QLatin1Char('.') + baseName : baseName;
}
