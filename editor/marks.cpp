// SPDX-License-Identifier: GPL-3.0-or-later
// Message marks of the edit control: kept on their places as the text
// changes, described for screen readers, and shown by the tool tip.
#include "editor/editcontrol.h"
#include "editor/highlighter.h"
#include "editor/javalines.h"

#include <QAbstractTextDocumentLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <map>

// ---------------------------------------------------------------- marks

void EditControl::setMessageMarks(const QList<MessageMark>& marks)
{
    marks_.clear();
    marks_.reserve(std::size_t(marks.size()));
    const int lines = document()->blockCount();
    for (MessageMark m : marks) {
        m.line = std::clamp(m.line, 1, lines);
        const QTextBlock b = document()->findBlockByNumber(m.line - 1);
        QTextCursor at(document());
        if (m.column > 0) {
            m.column = std::min(m.column, b.length());  // the line end at most
            at.setPosition(b.position() + m.column - 1);
        } else {
            at.setPosition(b.position());
        }
        marks_.push_back(Mark{m, at});
    }
    std::stable_sort(marks_.begin(), marks_.end(),
                     [](const Mark& a, const Mark& b) { return a.at.position() < b.at.position(); });
    updateMarksDescription();
    updateExtraSelections();
    margin()->update();
}

void EditControl::clearMessageMarks()
{
    if (marks_.empty())
        return;
    marks_.clear();
    updateMarksDescription();
    updateExtraSelections();
    margin()->update();
}

QList<MessageMark> EditControl::messageMarks() const
{
    QList<MessageMark> out;
    for (const Mark& m : marks_) {
        MessageMark now = m.message;
        now.line = m.at.blockNumber() + 1;
        if (now.column > 0)
            now.column = m.at.positionInBlock() + 1;
        out << now;
    }
    return out;
}

QStringList EditControl::messageTextsOnLine(int line) const
{
    QStringList out;
    const QTextBlock b = document()->findBlockByNumber(line - 1);
    if (!b.isValid())
        return out;
    const auto [from, to] = marksBetween(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k)
        out << marks_[k].message.text;
    return out;
}

QStringList EditControl::messageTextsAt(int position) const
{
    QStringList out;
    const QTextBlock b = document()->findBlock(position);
    const auto [from, to] = marksBetween(b.position(), b.position() + b.length());
    for (std::size_t k = from; k < to; ++k) {
        const Mark& m = marks_[k];
        if (m.message.column <= 0)
            continue;
        const auto [start, end] = underline(m.at, m.message.column);
        if (position >= start && position < end)
            out << m.message.text;
    }
    return out;
}

void EditControl::updateMarksDescription()
{
    int errors = 0, warnings = 0;
    for (const Mark& m : marks_)
        (m.message.severity == MessageMark::Severity::Error ? errors : warnings)++;
    QString d;
    if (errors == 0 && warnings == 0)
        d = QStringLiteral("No messages");
    else
        d = QStringLiteral("%1 error(s), %2 warning(s) marked").arg(errors).arg(warnings);
    margin()->setAccessibleDescription(d);
}

bool EditControl::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip && !marks_.empty()) {
        auto* h = static_cast<QHelpEvent*>(e);
        const int pos = document()->documentLayout()->hitTest(
            QPointF(h->pos()) + QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()),
            Qt::ExactHit);
        const QStringList texts = pos >= 0 ? messageTextsAt(pos) : QStringList();
        if (texts.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(h->globalPos(), texts.join(QLatin1Char('\n')), viewport());
        return true;
    }
    return QTextEdit::viewportEvent(e);
}
