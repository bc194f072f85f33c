// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/compiling/quickfixedit.h"

#include "javatext/javaimports.h"
#include "javatext/javalines.h"

#include <QStringList>

#include <algorithm>

namespace {

// A fix's view of the text: its lines, their starts and its indentation unit.
class Lines {
public:
    explicit Lines(const QString& text) : text_(text), unit_(javalines::indentUnit(text.split(QLatin1Char('\n')))) {}
    int startOf(int pos) const { return pos <= 0 ? 0 : int(text_.lastIndexOf(QLatin1Char('\n'), pos - 1) + 1); }
    int endOf(int pos) const
    {
        const qsizetype e = text_.indexOf(QLatin1Char('\n'), pos);
        return int(e < 0 ? text_.size() : e);
    }
    QString indentAt(int pos) const
    {
        const int s = startOf(pos);
        return javalines::leadingBlanks(QStringView(text_).mid(s, endOf(s) - s)).toString();
    }
    bool blank(int from, int to) const { return QStringView(text_).mid(from, to - from).trimmed().isEmpty(); }
    // Only blanks or a line comment after `pos` on its line.
    bool restIsBlank(int pos) const
    {
        const QStringView rest = QStringView(text_).mid(pos, endOf(pos) - pos).trimmed();
        return rest.isEmpty() || rest.startsWith(QLatin1String("//"));
    }
    const QString& unit() const { return unit_; }
    const QString& text() const { return text_; }

private:
    const QString& text_;
    QString unit_;
};

// `declaration` with its leading tabs made units of indentation, each line
// after `indent`.
QString laidOut(const QString& declaration, const QString& indent, const QString& unit)
{
    QStringList out;
    for (QString line : declaration.split(QLatin1Char('\n'))) {
        qsizetype tabs = 0;
        while (tabs < line.size() && line[tabs] == QLatin1Char('\t'))
            ++tabs;
        out << indent + unit.repeated(tabs) + line.mid(tabs);
    }
    return out.join(QLatin1Char('\n'));
}

void returnEdits(const Lines& l, const FixStep& s, QList<FixEdit>* out)
{
    const int line = l.startOf(s.start);
    if (l.blank(line, s.start)) {
        out->append({line, line, l.indentAt(s.start) + l.unit() + s.text + QLatin1Char('\n')});
        return;
    }
    const bool spaced = s.start > 0 && l.text()[s.start - 1].isSpace();
    out->append({s.start, s.start, (spaced ? QString() : QStringLiteral(" ")) + s.text + QLatin1Char(' ')});
}

void methodEdits(const Lines& l, const FixStep& s, QList<FixEdit>* out)
{
    const int line = l.startOf(s.start);
    const QString indent = l.indentAt(s.start);
    if (l.blank(line, s.start)) {
        out->append(
            {line, line, QLatin1Char('\n') + laidOut(s.text, indent + l.unit(), l.unit()) + QLatin1Char('\n')});
        return;
    }
    out->append({s.start, s.start,
                 QLatin1Char('\n') + laidOut(s.text, indent + l.unit(), l.unit()) + QLatin1Char('\n') + indent});
}

QString catches(const QStringList& variableAndTypes, const QString& indent, const QString& unit, bool inLine)
{
    const QString v = variableAndTypes.first();
    QString out;
    for (qsizetype i = 1; i < variableAndTypes.size(); ++i) {
        const QString rethrow = QStringLiteral("throw new RuntimeException(%1);").arg(v);
        out +=
            inLine
                ? QStringLiteral(" catch (%1 %2) { %3 }").arg(variableAndTypes[i], v, rethrow)
                : QStringLiteral(" catch (%1 %2) {\n%3%4%5\n%3}").arg(variableAndTypes[i], v, indent, unit, rethrow);
    }
    return out;
}

// A statement surrounded by try: on lines of its own when it stands alone on
// its lines, else on its lines.
bool tryEdits(const Lines& l, const FixStep& s, const FixStep* declare, QList<FixEdit>* out)
{
    const QStringList caught = s.text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (caught.size() < 2)
        return false;
    const int first = l.startOf(s.start);
    const QString indent = l.indentAt(s.start);
    const QString before = declare ? indent + declare->text + QLatin1Char('\n') : QString();
    if (!l.blank(first, s.start) || !l.restIsBlank(s.end)) {
        out->append({s.end, s.end, QStringLiteral(" }") + catches(caught, indent, l.unit(), true)});
        if (declare)
            out->append({declare->start, declare->end, QString()});
        out->append({s.start, s.start, QStringLiteral("try { ")});
        if (declare)
            out->append({first, first, before});
        return true;
    }
    const int after = l.endOf(s.end) + 1;
    if (after > l.text().size())
        return false;
    out->append(
        {after, after, indent + QLatin1Char('}') + catches(caught, indent, l.unit(), false) + QLatin1Char('\n')});
    for (int line = l.startOf(s.end); line >= first; line = l.startOf(line - 1)) {
        if (declare && line == first)
            out->append({declare->start, declare->end, QString()});
        if (!l.blank(line, l.endOf(line)))
            out->append({line, line, l.unit()});
        if (line == 0)
            break;
    }
    out->append({first, first, before + indent + QStringLiteral("try {\n")});
    return true;
}

bool stepEdits(const Lines& l, const QuickFix& fix, const FixStep& s, QList<FixEdit>* out)
{
    if (s.kind == QLatin1String("import")) {
        FixEdit e;
        if (!importEdit(l.text(), s.text, &e))
            return false;
        if (!e.text.isEmpty())
            out->append(e);
        return true;
    }
    if (s.kind == QLatin1String("replace"))
        out->append({s.start, s.end, s.text});
    else if (s.kind == QLatin1String("return"))
        returnEdits(l, s, out);
    else if (s.kind == QLatin1String("method"))
        methodEdits(l, s, out);
    else if (s.kind == QLatin1String("try")) {
        const auto declare = std::find_if(fix.steps.begin(), fix.steps.end(),
                                          [](const FixStep& d) { return d.kind == QLatin1String("declare"); });
        return tryEdits(l, s, declare == fix.steps.end() ? nullptr : &*declare, out);
    } else if (s.kind != QLatin1String("declare"))
        return false;
    return true;
}

// The name an import line imports ("java.util.List"); empty for another line
// and for a static import.
QString importedBy(QStringView line)
{
    const QString t = line.trimmed().toString().simplified();
    if (!t.startsWith(QLatin1String("import ")) || !t.endsWith(QLatin1Char(';')) ||
        t.startsWith(QLatin1String("import static ")))
        return QString();
    QString name = t.mid(7);
    name.chop(1);
    return name.remove(QLatin1Char(' '));
}

}  // namespace

bool importEdit(const QString& text, const QString& qualified, FixEdit* edit)
{
    const javaimports::Import where = javaimports::importOf(text, qualified);
    if (where.need == javaimports::Import::Clash)
        return false;
    *edit = {};
    if (where.need == javaimports::Import::Present)
        return true;
    const QString line = QStringLiteral("import %1;").arg(qualified);
    // The imports are all in the head that importOf reads: before where it inserts.
    const int head = int(where.at.position);
    int lastImportEnd = -1;
    for (int start = 0; start <= head;) {
        int end = int(text.indexOf(QLatin1Char('\n'), start));
        if (end < 0)
            end = int(text.size());
        const QString name = importedBy(QStringView(text).mid(start, end - start));
        if (!name.isEmpty() && name > qualified) {
            *edit = {start, start, line + QLatin1Char('\n')};
            return true;
        }
        if (!name.isEmpty())
            lastImportEnd = end;
        start = end + 1;
    }
    if (lastImportEnd >= 0 && lastImportEnd < text.size())
        *edit = {lastImportEnd + 1, lastImportEnd + 1, line + QLatin1Char('\n')};
    else if (where.at.text.startsWith(QLatin1Char('\n')) && head < text.size())
        *edit = {head + 1, head + 1, where.at.text.mid(1) + QLatin1Char('\n')};
    else
        *edit = {head, head, where.at.text};
    return true;
}

QList<FixEdit> quickFixEdits(const QString& text, const QuickFix& fix)
{
    const Lines lines(text);
    QList<FixEdit> out;
    for (const FixStep& s : fix.steps) {
        const bool ranged = s.kind == QLatin1String("replace") || s.kind == QLatin1String("try") ||
                            s.kind == QLatin1String("declare");
        if (s.start < 0 || s.start > text.size() || (ranged && (s.end < s.start || s.end > text.size())) ||
            !stepEdits(lines, fix, s, &out))
            return {};
    }
    std::stable_sort(out.begin(), out.end(), [](const FixEdit& a, const FixEdit& b) { return a.start > b.start; });
    for (qsizetype i = 1; i < out.size(); ++i) {
        if (out[i].end > out[i - 1].start)
            return {};  // overlapping changes: not made
    }
    return out;
}

QString applyFixEdits(QString text, const QList<FixEdit>& edits)
{
    for (const FixEdit& e : edits)
        text.replace(e.start, e.end - e.start, e.text);
    return text;
}
