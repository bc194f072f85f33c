// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/trackedlines.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

TrackedLines::Held TrackedLines::hold(const QTextBlock& b, const QString& text) const
{
    Held h;
    h.start = QTextCursor(doc_);
    h.start.setPosition(b.position());
    h.end = QTextCursor(doc_);
    h.end.setPosition(b.position() + b.length() - 1);
    if (b.previous().isValid()) {
        h.before = QTextCursor(doc_);
        h.before.setPosition(b.position() - 1);
    }
    if (b.next().isValid()) {
        h.after = QTextCursor(doc_);
        h.after.setPosition(b.next().position());
    }
    h.text = text;
    h.lineText = b.text();
    return h;
}

void TrackedLines::set(const QMap<int, QString>& textByLine)
{
    held_.clear();
    gone_.clear();
    for (auto it = textByLine.begin(); it != textByLine.end(); ++it) {
        const QTextBlock b = doc_->findBlockByNumber(it.key() - 1);
        if (it.key() >= 1 && b.isValid())
            held_.push_back(hold(b, it.value()));
    }
    remember();
}

bool TrackedLines::toggle(int line, const QString& text)
{
    const QTextBlock b = doc_->findBlockByNumber(line - 1);
    if (line < 1 || !b.isValid())
        return false;
    const auto it = std::find_if(held_.begin(), held_.end(),
                                 [&b](const Held& h) { return h.start.block().blockNumber() == b.blockNumber(); });
    if (it == held_.end())
        held_.push_back(hold(b, text));
    else
        held_.erase(it);
    remember();
    return true;
}

bool TrackedLines::gone(const Held& h)
{
    if (h.start.position() != h.end.position())
        return false;  // some of its text is left
    return (!h.before.isNull() && h.before.position() == h.start.position()) ||
           (!h.after.isNull() && h.after.position() == h.end.position());
}

bool TrackedLines::update()
{
    if (held_.empty() && gone_.empty())
        return false;
    const QMap<int, QString> before = lines_;
    std::vector<Held> kept;
    QSet<int> blocks;
    for (const Held& h : held_) {
        const QTextBlock b = h.start.block();
        if (gone(h)) {
            if (comeBackOnUndo_ && doc_->isUndoRedoEnabled()) {
                QTextCursor from = h.start;
                from.setKeepPositionOnInsert(true);
                gone_.push_back({from, h.start, h.text, h.lineText, doc_->availableUndoSteps()});
            }
            continue;
        }
        if (!b.isValid() || blocks.contains(b.blockNumber()))
            continue;
        blocks.insert(b.blockNumber());
        kept.push_back(hold(b, h.text));
    }
    bringBack(kept, blocks);
    held_ = std::move(kept);
    remember();
    return lines_.keys() != before.keys();
}

void TrackedLines::bringBack(std::vector<Held>& kept, QSet<int>& blocks)
{
    constexpr size_t kGoneKept = 256;  // the oldest beyond these are forgotten
    if (gone_.size() > kGoneKept)
        gone_.erase(gone_.begin(), gone_.end() - kGoneKept);
    const int steps = doc_->availableUndoSteps();
    for (auto it = gone_.begin(); it != gone_.end();) {
        if (steps >= it->undoSteps) {
            ++it;
            continue;
        }
        // The undo put the deleted text back between the two cursors: the
        // first line there that says what the line said is the line.
        const QTextBlock last = it->to.block();
        for (QTextBlock b = it->from.block(); b.isValid(); b = b.next()) {
            if (b.text() == it->lineText && !blocks.contains(b.blockNumber())) {
                blocks.insert(b.blockNumber());
                kept.push_back(hold(b, it->text));
                break;
            }
            if (b == last)
                break;
        }
        it = gone_.erase(it);
    }
}

void TrackedLines::remember()
{
    lines_.clear();
    for (const Held& h : held_)
        lines_.insert(h.start.blockNumber() + 1, h.text);
}
