// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/highlighter.h"

#include "editor/sourcelayout.h"

#include "resources/colours.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontMetrics>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockUserData>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <array>

using javalex::State;

namespace {

// A block's userState() packs the states at its start and its end; -1 (Qt's
// default) means not computed.
int packStates(State in, State end)
{
    return int(in) | (int(end) << 4);
}
State inState(int packed)
{
    return State(packed & 0xf);
}
State endState(int packed)
{
    return State((packed >> 4) & 0xf);
}

// Marks a block as coloured for a given text and incoming state.
struct ColourMark : QTextBlockUserData {
    size_t hash = 0;
    State in = javalex::Normal;
    State end = javalex::Normal;
    qsizetype ranges = 0;
    colours::Look look = colours::Look::Light;  // the look it was coloured for
};

using Formats = std::array<QTextCharFormat, 5>;

Formats formatsOf(colours::Look look)
{
    Formats f;
    for (int k = 0; k < 5; ++k)
        f[k].setForeground(JavaHighlighter::colour(javalex::Kind(k), look));
    return f;
}

const QTextCharFormat& formatFor(javalex::Kind kind)
{
    static const std::array<Formats, 2> formats = {formatsOf(colours::Look::Light), formatsOf(colours::Look::Dark)};
    return formats[colours::currentLook() == colours::Look::Dark ? 1 : 0][int(kind)];
}

// Above this many blocks the state scan reads the document's text in one go
// instead of block by block.
constexpr int kRawScanBlocks = 4096;
// Changes spanning at most this many blocks update their states (and their
// colouring, where they were coloured) at once; larger ones are left lazy.
constexpr int kSyncBlocks = 64;
// Time without progress after which the document layout is taken to have
// stopped short; also how often to look while it is busy.
constexpr int kStalledMs = 300;

}  // namespace

JavaHighlighter::JavaHighlighter(QTextEdit* edit) : QObject(edit), m_edit(edit), m_doc(edit->document())
{
    m_blockCount = m_doc->blockCount();
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(0);
    connect(m_timer, &QTimer::timeout, this, &JavaHighlighter::rehighlightVisible);
    m_retry = new QTimer(this);
    m_retry->setSingleShot(true);
    m_retry->setInterval(kStalledMs);
    connect(m_retry, &QTimer::timeout, this, &JavaHighlighter::rehighlightVisible);
    connect(m_doc, &QTextDocument::contentsChange, this, &JavaHighlighter::onContentsChange);
    connect(m_doc->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] {
        m_layoutProgress.start();
        if (m_waiting)
            schedule();
    });
    connect(edit->verticalScrollBar(), &QScrollBar::valueChanged, this, &JavaHighlighter::schedule);
    m_viewport = edit->viewport();
    m_viewport->installEventFilter(this);
    schedule();
}

// Qt drops the viewport's event filter itself when this object goes.
JavaHighlighter::~JavaHighlighter() = default;

QColor JavaHighlighter::colour(javalex::Kind kind)
{
    return colour(kind, colours::currentLook());
}

QColor JavaHighlighter::colour(javalex::Kind kind, colours::Look look)
{
    const colours::ColourSet& c = colours::colourSet(look);
    switch (kind) {
    case javalex::Kind::Keyword: return c.keyword;
    case javalex::Kind::String: return c.string;
    case javalex::Kind::Comment: return c.comment;
    case javalex::Kind::Number: return c.number;
    case javalex::Kind::Annotation: return c.annotation;
    }
    return c.text;
}

bool JavaHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    // Only the event's type and the viewport's address are looked at: while the
    // edit is being destroyed its viewport still sends events, and the edit
    // itself must not be touched then.
    // A change of palette comes with a change of look: the shown blocks are
    // coloured again for it, the others when they come into view.
    const QEvent::Type t = event->type();
    if ((t == QEvent::Resize || t == QEvent::Show || t == QEvent::PaletteChange) && watched == m_viewport)
        schedule();
    return QObject::eventFilter(watched, event);
}

bool JavaHighlighter::pending() const
{
    return m_waiting || m_timer->isActive() || m_retry->isActive();
}

void JavaHighlighter::schedule()
{
    if (!m_timer->isActive())
        m_timer->start();
}

void JavaHighlighter::ensureStatesBefore(int blockNumber)
{
    if (m_validUpTo >= blockNumber)
        return;
    QTextBlock b = m_doc->findBlockByNumber(m_validUpTo);
    State st = m_validUpTo == 0 ? javalex::Normal : endState(b.previous().userState());
    const int count = blockNumber - m_validUpTo;
    if (count > kRawScanBlocks) {
        // One copy of the whole text is far cheaper than a string per block.
        const QString raw = m_doc->toRawText();
        const QStringView all(raw);
        for (int k = 0; k < count && b.isValid(); ++k, b = b.next()) {
            // A block's text is its length less the separator that ends it.
            const qsizetype pos = std::min<qsizetype>(b.position(), all.size());
            const qsizetype len = std::clamp<qsizetype>(b.length() - 1, 0, all.size() - pos);
            const State end = javalex::scanLine(all.sliced(pos, len), st);
            b.setUserState(packStates(st, end));
            st = end;
        }
    } else {
        for (int k = 0; k < count && b.isValid(); ++k, b = b.next()) {
            const State end = javalex::scanLine(b.text(), st);
            b.setUserState(packStates(st, end));
            st = end;
        }
    }
    m_validUpTo = blockNumber;
}

bool JavaHighlighter::colourBlock(const QTextBlock& block, State in)
{
    const QString text = block.text();
    QList<javalex::Token> tokens;
    const State end = javalex::lexLine(text, in, &tokens);
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(tokens.size());
    for (const javalex::Token& t : tokens) {
        QTextLayout::FormatRange r;
        r.start = t.start;
        r.length = t.length;
        r.format = formatFor(t.kind);
        ranges.append(r);
    }
    QTextLayout* layout = block.layout();
    const bool changed = layout->formats() != ranges;
    if (changed)
        layout->setFormats(ranges);
    QTextBlock b = block;
    auto* mark = dynamic_cast<ColourMark*>(b.userData());
    if (!mark) {
        mark = new ColourMark;
        b.setUserData(mark);
    }
    mark->hash = qHash(text);
    mark->in = in;
    mark->end = end;
    mark->ranges = ranges.size();
    mark->look = colours::currentLook();
    b.setUserState(packStates(in, end));
    return changed;
}

State JavaHighlighter::colourBlocks(QTextBlock first, const QTextBlock& last, State in, bool onlyColoured)
{
    int dirtyFrom = -1;
    int dirtyTo = -1;
    m_busy = true;
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        const auto* mark = dynamic_cast<const ColourMark*>(b.userData());
        if (onlyColoured && !mark) {
            // Not coloured yet: keep its state right and leave the rest to
            // the pass that finds it shown.
            const State end = javalex::scanLine(b.text(), in);
            b.setUserState(packStates(in, end));
            in = end;
        } else if (mark && mark->in == in && mark->look == colours::currentLook() &&
                   mark->ranges == b.layout()->formats().size() && mark->hash == qHash(b.text())) {
            b.setUserState(packStates(in, mark->end));
            in = mark->end;
        } else {
            if (colourBlock(b, in)) {
                if (dirtyFrom < 0)
                    dirtyFrom = b.position();
                dirtyTo = b.position() + b.length();
            }
            in = endState(b.userState());
        }
        if (b == last)
            break;
    }
    // One notice for the whole range: outside an edit the document layout
    // walks every block after the notice, so one per block would be costly.
    if (dirtyFrom >= 0)
        m_doc->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
    m_busy = false;
    return in;
}

void JavaHighlighter::rehighlightVisible()
{
    if (!m_edit || !m_doc || m_busy || !m_edit->isVisible())
        return;
    // While the document layout is still laying out a long text in steps (a
    // file just loaded, a resize), telling it about changed blocks disturbs
    // those steps: it stops them and every later edit then costs a walk over
    // the whole document. Come back when it has finished.
    if (layoutBusy()) {
        // Each step of the layout looks again; the timer notices a layout
        // that has stopped short.
        m_waiting = true;
        if (!m_retry->isActive())
            m_retry->start();
        return;
    }
    m_waiting = false;
    m_retry->stop();
    QWidget* vp = m_edit->viewport();
    // Qt's hit test gives a good first guess, but not always while the
    // document layout is still working its way through a long text, so the
    // guess is checked against the blocks' rectangles.
    const qreal top = m_edit->verticalScrollBar()->value();
    const qreal bottom = top + vp->height();
    QTextBlock first = blockAt(top, m_edit->cursorForPosition(QPoint(0, 0)).block());
    QTextBlock last = first;
    QAbstractTextDocumentLayout* layout = m_doc->documentLayout();
    while (last.next().isValid()) {
        const QRectF r = layout->blockBoundingRect(last.next());
        if (r.isNull() || r.top() >= bottom)
            break;
        last = last.next();
    }
    // Two pages of margin on each side, so that scrolling by a few lines finds
    // its blocks coloured already and costs nothing: telling the document
    // layout about newly coloured blocks costs a walk over the blocks after
    // them, so that is better done seldom and for many blocks at once.
    const int margin = std::max(kMarginBlocks, 2 * (last.blockNumber() - first.blockNumber() + 1));
    for (int k = 0; k < margin && first.previous().isValid(); ++k)
        first = first.previous();
    for (int k = 0; k < margin && last.next().isValid(); ++k)
        last = last.next();

    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    ensureStatesBefore(firstNumber);
    const State in = firstNumber == 0 ? javalex::Normal : endState(first.previous().userState());
    colourBlocks(first, last, in, false);
    if (m_validUpTo >= firstNumber)
        m_validUpTo = std::max(m_validUpTo, lastNumber + 1);
}

bool JavaHighlighter::layoutBusy()
{
    // A source layout lays out lines as they are needed: it is never busy.
    if (dynamic_cast<const SourceLayout*>(m_doc->documentLayout()))
        return false;
    // The layout works from the top, so the last block is the last to get
    // lines. (Asking for its rectangle, or for the document's size, would
    // lay out everything at once.)
    if (m_doc->lastBlock().layout()->lineCount() > 0)
        return false;
    // Qt's stepped layout can stop short (after an edit made while it ran);
    // then waiting would never end, and a notice costs nothing more. Its
    // progress shows in its size notices.
    if (!m_layoutProgress.isValid())
        m_layoutProgress.start();
    return m_layoutProgress.elapsed() < kStalledMs;
}

javalex::State JavaHighlighter::stateAtStart(const QTextBlock& block)
{
    if (!m_doc || !block.isValid() || block.blockNumber() == 0)
        return javalex::Normal;
    ensureStatesBefore(block.blockNumber());
    const int packed = block.previous().userState();
    return packed == -1 ? javalex::Normal : endState(packed);
}

QTextBlock JavaHighlighter::blockAt(qreal y, QTextBlock guess) const
{
    QAbstractTextDocumentLayout* layout = m_doc->documentLayout();
    QTextBlock b = guess.isValid() ? guess : m_doc->firstBlock();
    return walkToBlockAt(layout, b, y);
}

int JavaHighlighter::blocksOnScreen() const
{
    int height = m_edit->viewport()->height();
    if (const QScreen* screen = m_edit->screen())
        height = std::max(height, screen->availableGeometry().height());
    const int line = std::max(1, QFontMetrics(m_doc->defaultFont()).lineSpacing());
    return std::clamp(height / line + 1, kMarginBlocks, 400);
}

void JavaHighlighter::onContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_busy || !m_doc)
        return;
    const int count = m_doc->blockCount();
    const int delta = count - m_blockCount;
    m_blockCount = count;

    QTextBlock firstBlock = m_doc->findBlock(position);
    if (!firstBlock.isValid())
        firstBlock = m_doc->lastBlock();
    QTextBlock lastBlock = m_doc->findBlock(position + added);
    if (!lastBlock.isValid())
        lastBlock = m_doc->lastBlock();
    const int first = firstBlock.blockNumber();
    const int last = std::max(first, lastBlock.blockNumber());
    const int lastOld = last - delta;

    // The states before the change are still right. When the change spans few
    // blocks and the block after it had a known state, bring the changed blocks
    // up to date now; the following blocks stay valid if the state leaving the
    // change is the one they were computed with. Otherwise leave it all lazy.
    const bool atEnd = !lastBlock.next().isValid();
    const bool small = last - first <= kSyncBlocks && lastOld >= first && first <= m_validUpTo;
    if (!small || (!atEnd && lastOld + 1 >= m_validUpTo)) {
        m_validUpTo = std::min(m_validUpTo, first);
        if (position == 0 && added + 1 >= m_doc->characterCount()) {
            // New text for the whole document (a file being loaded): colour
            // what the first screen can show now, while the document layout
            // has still to lay it out, so that this costs no extra layout.
            QTextBlock end = m_doc->findBlockByNumber(std::min(count, 5 * blocksOnScreen()) - 1);
            if (!end.isValid())
                end = m_doc->lastBlock();
            colourBlocks(m_doc->firstBlock(), end, javalex::Normal, false);
            m_validUpTo = end.blockNumber() + 1;
        }
        schedule();
        return;
    }

    const State in = first == 0 ? javalex::Normal : endState(firstBlock.previous().userState());
    const State st = colourBlocks(firstBlock, lastBlock, in, true);
    const QTextBlock next = lastBlock.next();
    if (!next.isValid())
        m_validUpTo = count;
    else if (next.userState() != -1 && inState(next.userState()) == st)
        m_validUpTo = std::min(count, m_validUpTo + delta);
    else
        m_validUpTo = last + 1;
    schedule();
}
