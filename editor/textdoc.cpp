#include "editor/textdoc.h"

#include <algorithm>

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

void keepLineEndAbove(QTextDocument* doc, const QTextBlock& added)
{
    const QTextBlock below = added.next();
    if (!added.isValid() || !below.isValid() || !below.blockFormat().hasProperty(BreakNumberProperty))
        return;
    const QTextBlockFormat addedFormat = added.blockFormat();
    const QTextBlockFormat belowFormat = below.blockFormat();
    QTextCursor c(doc);
    c.joinPreviousEditBlock();
    c.setPosition(added.position());
    c.setBlockFormat(belowFormat);
    c.setPosition(below.position());
    c.setBlockFormat(addedFormat);
    c.endEditBlock();
}

void markLineBreak(QTextDocument* doc, const QTextBlock& block, LineBreak kind)
{
    if (!block.isValid() || !block.previous().isValid())
        return;
    // A number no other block has, so that the break counts as one of its own.
    int number = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        number = std::max(number, b.blockFormat().intProperty(BreakNumberProperty));
    QTextBlockFormat f = block.blockFormat();
    f.setProperty(BreakKindProperty, int(kind));
    f.setProperty(BreakNumberProperty, number + 1);
    QTextCursor c(doc);
    c.joinPreviousEditBlock();
    c.setPosition(block.position());
    c.setBlockFormat(f);
    c.endEditBlock();
}

DocumentText documentText(const QTextDocument& doc, TextFormat::LineEnd usualEnd)
{
    const LineBreak usual = lineBreakOf(usualEnd);
    DocumentText out;
    // The blocks are separated by U+2029 there, which no block can hold itself.
    out.text = doc.toRawText();
    out.text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    out.breaks.reserve(std::size_t(doc.blockCount()));
    std::unordered_set<int> seen;
    int plainFormat = -1;  // the index of a block format without a mark
    for (QTextBlock block = doc.begin().next(); block.isValid(); block = block.next()) {
        LineBreak b = usual;
        const int index = block.blockFormatIndex();
        if (index != plainFormat) {
            const QTextBlockFormat f = block.blockFormat();
            if (!f.hasProperty(BreakNumberProperty)) {
                plainFormat = index;
            } else if (seen.insert(f.intProperty(BreakNumberProperty)).second) {
                const int kind = f.intProperty(BreakKindProperty);
                if (kind >= int(LineBreak::LF) && kind <= int(LineBreak::NonCharacterFDD1))
                    b = LineBreak(kind);
            }
        }
        out.breaks.push_back(b);
    }
    return out;
}
