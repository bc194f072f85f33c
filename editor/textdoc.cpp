#include "editor/textdoc.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <unordered_set>

namespace {

constexpr int BreakKindProperty = QTextFormat::UserProperty + 0x4C45;
constexpr int BreakNumberProperty = BreakKindProperty + 1;

}  // namespace

void markLineBreaks(QTextDocument* doc, const DecodedText& d)
{
    const LineBreak usual = lineBreakOf(d.format.lineEnd);
    const bool undo = doc->isUndoRedoEnabled();
    const bool modified = doc->isModified();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    QTextBlock block = doc->begin();
    int number = 0;
    for (const LineBreak b : d.breaks) {
        block = block.next();
        if (!block.isValid())
            break;
        if (b == usual)
            continue;
        QTextBlockFormat f = block.blockFormat();
        f.setProperty(BreakKindProperty, int(b));
        f.setProperty(BreakNumberProperty, ++number);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(f);
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(modified);
}

DocumentText documentText(const QTextDocument& doc, TextFormat::LineEnd usualEnd)
{
    const LineBreak usual = lineBreakOf(usualEnd);
    DocumentText out;
    out.text.reserve(doc.characterCount());
    out.breaks.reserve(std::size_t(doc.blockCount()));
    std::unordered_set<int> seen;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) {
            LineBreak b = usual;
            const QTextBlockFormat f = block.blockFormat();
            if (f.hasProperty(BreakNumberProperty) && seen.insert(f.intProperty(BreakNumberProperty)).second)
                b = LineBreak(f.intProperty(BreakKindProperty));
            out.breaks.push_back(b);
            out.text += QLatin1Char('\n');
        }
        out.text += block.text();
    }
    return out;
}
