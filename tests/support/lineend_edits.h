// SPDX-License-Identifier: GPL-3.0-or-later
// Random edits through the edit control, for the test and the fuzz target that
// check that lines the user did not edit keep their bytes, line end included.
#pragma once
#include "editor/editcontrol.h"
#include "editor/textdoc.h"
#include "editor/textfile.h"

#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cstdint>

namespace lineedits {

// The bytes of a text (lines joined by '\n', with their breaks) that an edit
// of [from, to) does not touch: the lines that end before `from`, line ends
// included, and the lines that start at `to` or later.
struct Untouched {
    QByteArray head;
    QByteArray tail;
    bool keptIn(const QByteArray& after) const
    {
        return head.size() + tail.size() <= after.size() && after.startsWith(head) && after.endsWith(tail);
    }
};

inline QByteArray encodeLeft(const QString& text, const std::vector<LineBreak>& breaks, const TextFormat& f,
                             qsizetype n)
{
    const QString left = text.left(n);
    const auto count = std::size_t(left.count(QLatin1Char('\n')));
    return encodeText(left, std::vector<LineBreak>(breaks.begin(), breaks.begin() + long(count)), f);
}

inline Untouched untouched(const DocumentText& t, const TextFormat& f, int from, int to)
{
    const QByteArray all = encodeText(t.text, t.breaks, f);
    Untouched u;
    const qsizetype headEnd = from > 0 ? t.text.lastIndexOf(QLatin1Char('\n'), from - 1) + 1 : 0;
    u.head = encodeLeft(t.text, t.breaks, f, headEnd);
    const qsizetype nl = to > 0 ? t.text.indexOf(QLatin1Char('\n'), to - 1) : -1;
    if (to == 0)
        u.tail = all.mid(encodeLeft(t.text, t.breaks, f, 0).size());
    else if (nl >= 0)
        u.tail = all.mid(encodeLeft(t.text, t.breaks, f, nl + 1).size());
    return u;
}

// The file's bytes as the edit control writes them.
inline QByteArray bytesOf(const EditControl& e)
{
    const DocumentText t = documentText(*e.document(), e.source()->textFormat().lineEnd);
    return encodeText(t.text, t.breaks, e.source()->textFormat());
}

enum class Edit { DeleteKey, BackspaceKey, Type, Paste, Replace, EnterAtLineEnd, Count };

// Makes the edit `kind` over [from, to) of the control's text (positions that
// split no surrogate pair) with the ASCII `text`; returns the range of the
// text before the edit that it changed, or {-1, -1} when it did nothing.
inline std::pair<int, int> edit(EditControl* e, Edit kind, int from, int to, QString text)
{
    if (kind == Edit::Type || kind == Edit::EnterAtLineEnd) {
        // Typed text is many edits: Enter after letters typed into an empty
        // line, after letters typed after an Enter, or after the indentation
        // that Enter gives the new line, is at the end of a line typed into,
        // which keeps its own line end. So one Enter at most, before any
        // letter, is typed.
        const qsizetype firstBreak = text.indexOf(QLatin1Char('\n'));
        if (firstBreak >= 0)
            text = QLatin1Char('\n') + text.mid(firstBreak + 1).remove(QLatin1Char('\n'));
    }
    QTextDocument* doc = e->document();
    const int end = doc->characterCount() - 1;
    from = std::clamp(from, 0, end);
    to = std::clamp(to, from, end);
    QTextCursor c(doc);
    if (kind == Edit::EnterAtLineEnd) {
        c.setPosition(from);
        c.movePosition(QTextCursor::EndOfBlock);
        from = to = c.position();
    } else {
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
    }
    e->setTextCursor(c);
    // Lines added at the end of a line that has text leave that line as it
    // was, line end included.
    const bool addedBelow = kind != Edit::Replace && kind != Edit::DeleteKey && kind != Edit::BackspaceKey &&
                            from == to && text.startsWith(QLatin1Char('\n')) && c.atBlockEnd() &&
                            c.block().length() > 1 && c.block().next().isValid();
    if (addedBelow)
        ++from;
    switch (kind) {
    case Edit::DeleteKey:
        if (from == to && to == end)
            return {-1, -1};
        QTest::keyClick(e, Qt::Key_Delete);
        return {from, from == to ? to + 1 : to};
    case Edit::BackspaceKey:
        if (from == to && from == 0)
            return {-1, -1};
        QTest::keyClick(e, Qt::Key_Backspace);
        return {from == to ? from - 1 : from, to};
    case Edit::Type:
    case Edit::EnterAtLineEnd:
        for (const QChar ch : text) {
            if (ch == QLatin1Char('\n'))
                QTest::keyClick(e, Qt::Key_Return);
            else
                QTest::keyClicks(e, QString(ch));
        }
        return {from, to};
    case Edit::Paste: {
        QMimeData md;
        md.setText(text);
        e->insertFromMimeDataPublic(&md);
        return {from, to};
    }
    case Edit::Replace: c.insertText(text); return {from, to};
    case Edit::Count: break;
    }
    return {-1, -1};
}

// Undoes the steps of an edit (at most `steps`, the undo steps that the
// document announced for it, which counts twice a step that the line-end marks
// joined) until the text is `before` again: the number of steps undone, or
// minus that number when the text did not come back (typing goes on an undo
// step of typing just before it, and then takes back more).
inline int undoTo(EditControl* e, const QString& before, int steps)
{
    for (int i = 1; i <= steps; ++i) {
        e->document()->undo();
        if (documentText(*e->document(), e->source()->textFormat().lineEnd).text == before)
            return i;
        if (i == steps)
            return -i;
    }
    return 0;
}

}  // namespace lineedits
