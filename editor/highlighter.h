// SPDX-License-Identifier: GPL-3.0-or-later
// Java syntax colouring for an editor window's QTextEdit.
//
// The edit control holds rich text whose fonts belong to the user, so the
// colouring never touches the document's character formats: it only sets a
// foreground colour through each block layout's additional formats.
//
// Colouring is lazy. Only the blocks shown in the viewport (plus a small
// margin) are coloured, when they come into view (scrolling, resizing, edits).
// The lexical state carried from line to line (inside a /* */ comment or a
// """ text block) is kept per block in QTextBlock::userState(), computed with
// a cheap state-only scan up to the first shown block when needed.
#pragma once

#include "javatext/javalexer.h"
#include "resources/colours.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextLayout>

class QTextDocument;
class QAbstractTextDocumentLayout;

// From the block `from`, the block of the document whose laid-out rectangle
// holds the height `y` (document coordinates); a block the layout has not
// reached yet is walked past towards the start. (Defined with the edit
// control's shown lines, in editor/shownblocks.cpp.)
QTextBlock walkToBlockAt(const QAbstractTextDocumentLayout* layout, QTextBlock from, qreal y);
class QTextEdit;
class QTimer;

class JavaHighlighter : public QObject {
    Q_OBJECT
public:
    // Attaches to edit->document() and edit->viewport() and is owned by the
    // edit. Attach it before the text is loaded: the first screen of a new
    // text is then coloured while the document is being filled, at no extra
    // layout cost. The document's block user states and user data belong to
    // the highlighter. Colouring runs from the event loop once the edit is
    // shown, after scrolling, resizing and edits.
    explicit JavaHighlighter(QTextEdit* edit);
    ~JavaHighlighter() override;

    // Colours the shown blocks (and a margin) that are not yet coloured for
    // their current text and incoming state. Cheap when nothing changed.
    // Waits (and looks again by itself) while the document layout is still
    // laying out a long text in steps.
    void rehighlightVisible();

    // True while a pass is due or waits for the document layout (for tests).
    bool pending() const;

    // Number of leading blocks whose line-end state is known (for tests).
    int knownStateBlocks() const { return m_validUpTo; }

    // The lexical state at the start of `block` (computing the states of the
    // blocks before it when they are not known yet).
    javalex::State stateAtStart(const QTextBlock& block);

    // The colour of a kind of token in the look in use, and in a given look.
    static QColor colour(javalex::Kind kind);
    static QColor colour(javalex::Kind kind, colours::Look look);

    // Least number of blocks coloured above and below the shown ones (a pass
    // colours two pages above and below them).
    static constexpr int kMarginBlocks = 8;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onContentsChange(int position, int removed, int added);
    void schedule();
    void ensureStatesBefore(int blockNumber);
    bool colourBlock(const QTextBlock& block, javalex::State in);
    javalex::State colourBlocks(QTextBlock first, const QTextBlock& last, javalex::State in, bool onlyColoured);
    int blocksOnScreen() const;
    QTextBlock blockAt(qreal y, QTextBlock guess) const;
    bool layoutBusy();

    QPointer<QTextEdit> m_edit;
    QObject* m_viewport = nullptr;  // compared only, never used
    QPointer<QTextDocument> m_doc;
    QTimer* m_timer = nullptr;       // the debounced pass
    QTimer* m_retry = nullptr;       // looks again while the document layout is busy
    int m_validUpTo = 0;             // blocks [0, m_validUpTo) have a correct userState
    int m_blockCount = 0;            // block count after the last change seen
    bool m_busy = false;             // true while this object changes layouts itself
    QElapsedTimer m_layoutProgress;  // since the document layout's last size notice
    bool m_waiting = false;          // a pass waits for the document layout
};
