// SPDX-License-Identifier: GPL-3.0-or-later
// A list of text lines that measures and draws its items itself, with a
// horizontal scroll range that grows to the widest item seen and never shrinks.
//
// Items are all one line high, so the view lays them out without asking for
// each item's size; widths are measured when an item is added on its own, when
// it is drawn, and, after a bulk load, a slice at a time while the program is
// idle. A bulk load of many lines therefore costs no measuring up front.
#pragma once
#include "toolchain/messages/linelistmodel.h"

#include <QElapsedTimer>
#include <QHash>
#include <QListView>
#include <vector>

class QTimer;
class TODItemDelegate;

// Where the pieces of a long line lie: the line is measured and drawn in pieces
// of about LongLinePieceBytes bytes of UTF-8, cut between characters and never
// before a combining mark, so that drawing a line of any length decodes and lays
// out only the pieces in sight.
struct LongLineLayout {
    std::vector<qsizetype> byteStart;  // where each piece starts in the line's bytes
    std::vector<int> x;                // where each piece starts across; one more: the whole width
    int width() const { return x.empty() ? 0 : x.back(); }
};

class TODListBox : public QListView {
    Q_OBJECT
public:
    // Lines longer than this many bytes are measured and drawn in pieces.
    static constexpr qsizetype LongLinePieceBytes = 4096;

    explicit TODListBox(QWidget* parent = nullptr, int id = 0);
    ~TODListBox() override;

    // List operations. Indexes start at 0; -1 means "none" or failure.
    void ClearList();
    int GetCount() const;
    int GetStringLen(int index) const;      // -1 when there is no such item
    QString GetString(int index) const;     // empty when there is no such item
    quintptr GetItemData(int index) const;  // 0 when none was set
    bool SetItemData(int index, quintptr data);
    int GetItemHeight(int index) const;                // every item is one line high
    int AddString(const QString& text);                // the new item's index
    int InsertString(const QString& text, int index);  // index -1 appends; returns the index or -1
    int DeleteString(int index);                       // items left, or -1 when there is no such item
    int GetSelIndex() const;                           // -1 when nothing is selected
    bool SetSelIndex(int index);                       // -1 clears the selection
    void ItemRedraw(int index);

    // Replaces every item at once, measuring nothing up front: the lines are
    // `lineSpans` of the UTF-8 `text`.
    void SetLines(QByteArray text, std::vector<LineSpan> lineSpans);

    // The widest item extent measured so far, in pixels; never decreases.
    int GetMaxWidth() const { return MaxWidth; }

    // An item's text extent plus 2 each way; an empty text is measured on one blank.
    QSize ItemExtent(QStringView text) const;
    // The extent of the item `index`, its whole line measured (long lines piece by piece).
    QSize ItemExtentOf(int index) const;
    // The pieces of a long line (cached until the items or the font change);
    // nullptr for a line short enough to be drawn whole.
    const LongLineLayout* LongLine(int index) const;

    // Widens MaxWidth and the horizontal scroll range to `width` when it is wider.
    void GrowMaxWidth(int width);
    // Widens MaxWidth only, for the item size the view's layout asks for now:
    // that layout already uses the answer, so none is scheduled.
    void GrowMaxWidthInLayout(int width) { MaxWidth = qMax(MaxWidth, width); }

    TODListModel* listModel() const { return model_; }

    // Lays the items out in a grid of one cell size, the widest extent known
    // by one line: the view then places them without asking for the size of
    // each.
    void doItemsLayout() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void measureSlice();
    void startMeasuring(int from);

    int MaxWidth = 0;
    mutable QHash<int, LongLineLayout> longLines_;
    TODListModel* model_;
    TODItemDelegate* delegate_;
    QTimer* measureTimer_;
    int measuredUpTo_ = 0;       // items below this index have been measured by the idle pass
    int idleWidest_ = 0;         // widest extent the idle pass found and has not applied yet
    QElapsedTimer idleApplied_;  // since the idle pass last widened the scroll range
    bool relayoutPending_ = false;
};
