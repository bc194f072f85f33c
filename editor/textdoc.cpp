// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/textdoc.h"

#include <algorithm>
#include <map>
#include <optional>

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// The marks of the break before a block and of the break after it.
constexpr int BeforeKindProperty = QTextFormat::UserProperty + 0x4C45;
constexpr int BeforeNumberProperty = BeforeKindProperty + 1;
constexpr int AfterKindProperty = BeforeKindProperty + 2;
constexpr int AfterNumberProperty = BeforeKindProperty + 3;

// One mark: number 0 is none (the usual line end).
struct Mark {
    int number = 0;
    int kind = 0;
    friend bool operator==(const Mark&, const Mark&) = default;
};

struct Marks {
    Mark before;
    Mark after;
};

Marks marksOf(const QTextBlockFormat& f)
{
    Marks m;
    if (f.hasProperty(BeforeNumberProperty))
        m.before = {f.intProperty(BeforeNumberProperty), f.intProperty(BeforeKindProperty)};
    if (f.hasProperty(AfterNumberProperty))
        m.after = {f.intProperty(AfterNumberProperty), f.intProperty(AfterKindProperty)};
    return m;
}

void setMark(QTextBlockFormat& f, int kindProperty, int numberProperty, Mark m)
{
    if (m.number == 0) {
        f.clearProperty(kindProperty);
        f.clearProperty(numberProperty);
    } else {
        f.setProperty(kindProperty, m.kind);
        f.setProperty(numberProperty, m.number);
    }
}

// The marks of blocks, read once for each block format of the document.
class MarkReader {
public:
    Marks operator()(const QTextBlock& block)
    {
        const int index = block.blockFormatIndex();
        if (index < 0)
            return {};
        if (std::size_t(index) >= cache_.size())
            cache_.resize(std::size_t(index) + 1);
        std::optional<Marks>& m = cache_[std::size_t(index)];
        if (!m)
            m = marksOf(block.blockFormat());
        return *m;
    }

private:
    std::vector<std::optional<Marks>> cache_;
};

// New marks for some blocks, set as part of the last undo step.
class MarkChanges {
public:
    explicit MarkChanges(MarkReader& read) : read_(read) {}
    void setBefore(const QTextBlock& b, Mark m) { change(b).before = m; }
    void setAfter(const QTextBlock& b, Mark m) { change(b).after = m; }
    void apply(QTextDocument* doc)
    {
        QTextCursor c(doc);
        bool open = false;
        for (const auto& [position, marks] : changes_) {
            const QTextBlock b = doc->findBlock(position);
            const Marks now = read_(b);
            if (now.before == marks.before && now.after == marks.after)
                continue;
            if (!open)
                c.joinPreviousEditBlock();
            open = true;
            QTextBlockFormat f = b.blockFormat();
            setMark(f, BeforeKindProperty, BeforeNumberProperty, marks.before);
            setMark(f, AfterKindProperty, AfterNumberProperty, marks.after);
            c.setPosition(b.position());
            c.setBlockFormat(f);
        }
        if (open)
            c.endEditBlock();
    }

private:
    Marks& change(const QTextBlock& b)
    {
        auto it = changes_.find(b.position());
        if (it == changes_.end())
            it = changes_.emplace(b.position(), read_(b)).first;
        return it->second;
    }
    MarkReader& read_;
    std::map<int, Marks> changes_;
};

LineBreak breakOf(Mark m, LineBreak usual)
{
    if (m.number == 0 || m.kind < int(LineBreak::LF) || m.kind > int(LineBreak::NonCharacterFDD1))
        return usual;
    return LineBreak(m.kind);
}

}  // namespace

void markLineBreaks(QTextDocument* doc, const DecodedText& d)
{
    LineBreakKeeper::of(doc);
    const LineBreak usual = lineBreakOf(d.format.lineEnd);
    const bool undo = doc->isUndoRedoEnabled();
    const bool modified = doc->isModified();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    // Break k is numbered k + 1.
    auto markOf = [&](std::size_t k) {
        return k < d.breaks.size() && d.breaks[k] != usual ? Mark{int(k) + 1, int(d.breaks[k])} : Mark{};
    };
    std::size_t k = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next(), ++k) {
        const Mark before = k > 0 ? markOf(k - 1) : Mark{};
        const Mark after = markOf(k);
        if (before.number == 0 && after.number == 0)
            continue;
        QTextBlockFormat f = block.blockFormat();
        setMark(f, BeforeKindProperty, BeforeNumberProperty, before);
        setMark(f, AfterKindProperty, AfterNumberProperty, after);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(f);
    }
    cursor.endEditBlock();
    doc->setUndoRedoEnabled(undo);
    doc->setModified(modified);
}

LineBreakKeeper* LineBreakKeeper::of(QTextDocument* doc)
{
    if (auto* k = doc->findChild<LineBreakKeeper*>(QString(), Qt::FindDirectChildrenOnly))
        return k;
    return new LineBreakKeeper(doc);
}

LineBreakKeeper::LineBreakKeeper(QTextDocument* doc) : QObject(doc), doc_(doc)
{
    // The document tells of changes only once it has a layout.
    doc->documentLayout();
    connect(doc, &QTextDocument::contentsChange, this, &LineBreakKeeper::noteChange);
    // Emitted when the document has finished the change, its layout included.
    connect(doc, &QTextDocument::contentsChanged, this, &LineBreakKeeper::repair);
}

void LineBreakKeeper::noteChange(int position, int removed, int added)
{
    if (repairing_)
        return;
    if (from_ < 0) {
        from_ = position;
        to_ = position + added;
        return;
    }
    // Another change before the repair: the range covers both.
    if (to_ > position)
        to_ = std::max(position, to_ + added - removed);
    from_ = std::min(from_, position);
    to_ = std::max(to_, position + added);
}

void LineBreakKeeper::repair()
{
    if (repairing_ || from_ < 0)
        return;
    const int last = doc_->characterCount() - 1;
    const QTextBlock first = doc_->findBlock(std::clamp(from_, 0, last));
    QTextBlock end = doc_->findBlock(std::clamp(to_, 0, last));
    from_ = to_ = -1;
    if (!first.isValid())
        return;
    if (!end.isValid() || end.blockNumber() < first.blockNumber())
        end = first;
    repairing_ = true;
    MarkReader read;
    MarkChanges changes(read);
    // The lines around the change were not touched: the changed lines take
    // the breaks before and after them from those lines.
    const QTextBlock above = first.previous();
    changes.setBefore(first, above.isValid() ? read(above).after : Mark{});
    const QTextBlock below = end.next();
    changes.setAfter(end, below.isValid() ? read(below).before : Mark{});
    // Within the change, a break whose marks differ is a new one.
    for (QTextBlock b = first; b.isValid() && b != end; b = b.next()) {
        const QTextBlock next = b.next();
        if (!(read(b).after == read(next).before)) {
            changes.setAfter(b, Mark{});
            changes.setBefore(next, Mark{});
        }
    }
    changes.apply(doc_);
    repairing_ = false;
}

void keepLineEndAbove(QTextDocument* doc, const QTextBlock& line, const QTextBlock& last)
{
    if (!line.isValid() || !last.isValid() || last.blockNumber() <= line.blockNumber())
        return;
    const QTextBlock below = last.next();
    if (!below.isValid())
        return;
    MarkReader read;
    const Mark own = read(below).before;
    if (own.number == 0 && read(line).after.number == 0)
        return;
    MarkChanges changes(read);
    changes.setAfter(line, own);
    changes.setBefore(line.next(), own);
    changes.setAfter(last, Mark{});
    changes.setBefore(below, Mark{});
    changes.apply(doc);
}

void markLineBreak(QTextDocument* doc, const QTextBlock& block, LineBreak kind)
{
    if (!block.isValid() || !block.previous().isValid())
        return;
    // A number no other break has.
    int number = 0;
    MarkReader read;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        number = std::max({number, read(b).before.number, read(b).after.number});
    const Mark m{number + 1, int(kind)};
    MarkChanges changes(read);
    changes.setAfter(block.previous(), m);
    changes.setBefore(block, m);
    changes.apply(doc);
}

DocumentText documentText(const QTextDocument& doc, TextFormat::LineEnd usualEnd)
{
    const LineBreak usual = lineBreakOf(usualEnd);
    DocumentText out;
    // The blocks are separated by U+2029 there, which no block can hold itself.
    out.text = doc.toRawText();
    out.text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    out.breaks.reserve(std::size_t(doc.blockCount()));
    MarkReader read;
    Mark after = read(doc.begin()).after;
    for (QTextBlock block = doc.begin().next(); block.isValid(); block = block.next()) {
        const Marks m = read(block);
        out.breaks.push_back(m.before == after ? breakOf(after, usual) : usual);
        after = m.after;
    }
    return out;
}
