// SPDX-License-Identifier: GPL-3.0-or-later
#include "javatext/javasource.h"

#include "javatext/javaidentifiers.h"

#include <QFileInfo>

void filename(const QString& fname, QString& name, QString& ext, QChar sep)
{
    const qsizetype slash = fname.lastIndexOf(sep);
    const QString base = slash < 0 ? fname : fname.mid(slash + 1);
    const qsizetype dot = base.indexOf(QLatin1Char('.'));
    if (dot < 0) {
        name = base;
        ext.clear();
    } else {
        name = base.left(dot);
        ext = base.mid(dot + 1);
    }
}

bool isjava(const QString& ext)
{
    return ext == QLatin1String("java") || ext == QLatin1String("JAVA") || ext == QLatin1String("jav") ||
           ext == QLatin1String("JAV");
}

namespace javatext {

QString sourceFileName(const QString& base)
{
    return base + QLatin1Char('.') + sourceExtension;
}

bool namesSource(QStringView argument)
{
    return !argument.startsWith(QLatin1Char('-')) &&
           (argument.endsWith(u".java", Qt::CaseInsensitive) || argument.endsWith(u".jav", Qt::CaseInsensitive));
}

qsizetype skipGaps(QStringView t, qsizetype i)
{
    while (i < t.size()) {
        if (t[i].isSpace() || t[i] == QChar(0xFEFF)) {
            ++i;
        } else if (t.mid(i, 2) == u"//") {
            const qsizetype end = t.indexOf(u'\n', i);
            i = end < 0 ? t.size() : end + 1;
        } else if (t.mid(i, 2) == u"/*") {
            const qsizetype end = t.indexOf(u"*/", i + 2);
            i = end < 0 ? t.size() : end + 2;
        } else {
            break;
        }
    }
    return i;
}

namespace {

// The words of a text: identifiers, and every other character alone, with
// the gaps between them skipped.
class SourceWords {
public:
    explicit SourceWords(QStringView text) : t_(text) {}

    // The next word; empty at the end of the text.
    QStringView next()
    {
        const qsizetype start = skipGaps(t_, i_);
        if (start >= t_.size()) {
            i_ = start;
            return {};
        }
        i_ = isIdentifierPart(t_[start]) ? identifierEnd(t_, start) : start + 1;
        return t_.sliced(start, i_ - start);
    }

private:
    QStringView t_;
    qsizetype i_ = 0;
};

}  // namespace

QString declaredPackage(QStringView text)
{
    SourceWords words(text);
    if (words.next() != u"package")
        return {};
    QString package;
    for (QStringView w = words.next(); !w.isEmpty() && w != u";"; w = words.next())
        package += w;
    return package;
}

QString qualifiedClassName(QStringView text, const QString& path)
{
    const QString base = QFileInfo(path).completeBaseName();
    const QString package = declaredPackage(text);
    return package.isEmpty() ? base : package + u'.' + base;
}

}  // namespace javatext
