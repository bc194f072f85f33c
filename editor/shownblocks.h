// SPDX-License-Identifier: GPL-3.0-or-later
// Which lines (blocks) of a text edit's document are in view, found from the
// last answer instead of from the start of the document.
#pragma once

#include <QTextBlock>

#include <utility>

class QTextEdit;

class ShownBlocks {
public:
    explicit ShownBlocks(const QTextEdit* edit) : edit_(edit) {}
    // The first block shown at document height y.
    QTextBlock blockAtY(qreal y) const;
    // The first and the last block in view, with `extra` more on each side.
    std::pair<QTextBlock, QTextBlock> shown(int extra) const;

private:
    const QTextEdit* edit_;
    mutable int guess_ = 0;  // the block number found last time
};
