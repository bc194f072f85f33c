// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/linelist.h"

#include "toolchain/messages/linelistdelegate.h"

#include <QEvent>
#include <QFontMetrics>
#include <QTimer>

#include <algorithm>

TODListBox::TODListBox(QWidget* parent, int id)
    : QListView(parent),
      model_(new TODListModel(this)),
      delegate_(new TODItemDelegate(this)),
      measureTimer_(new QTimer(this))
{
    if (id != 0)
        setObjectName(QStringLiteral("id%1").arg(id));
    setModel(model_);
    setItemDelegate(delegate_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWordWrap(false);
    setFocusPolicy(Qt::StrongFocus);

    // The pieces of long lines are cached by row: any change of rows drops them.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { longLines_.clear(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { longLines_.clear(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { longLines_.clear(); });

    measureTimer_->setSingleShot(true);
    measureTimer_->setInterval(0);
    connect(measureTimer_, &QTimer::timeout, this, &TODListBox::measureSlice);
}

TODListBox::~TODListBox() = default;

namespace {

// The length in bytes of the UTF-8 sequence that starts with `lead`.
qsizetype utf8Length(unsigned char lead)
{
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// True when the character starting at `at` is a combining mark, which must stay
// with the character before it.
bool startsWithMark(QByteArrayView bytes, qsizetype at)
{
    const qsizetype n = std::min(utf8Length(static_cast<unsigned char>(bytes[at])), bytes.size() - at);
    const QString c = QString::fromUtf8(bytes.sliced(at, n));
    if (c.isEmpty())
        return false;
    const char32_t u = c.size() > 1 && c[0].isHighSurrogate() ? QChar::surrogateToUcs4(c[0], c[1]) : c[0].unicode();
    return QChar::isMark(u);
}

LongLineLayout layoutLongLine(QByteArrayView bytes, const QFontMetrics& metrics)
{
    LongLineLayout layout;
    const qsizetype size = bytes.size();
    layout.byteStart.reserve(size_t(size / TODListBox::LongLinePieceBytes) + 1);
    layout.x.reserve(size_t(size / TODListBox::LongLinePieceBytes) + 2);
    int x = 0;
    for (qsizetype start = 0; start < size;) {
        qsizetype end = std::min(start + TODListBox::LongLinePieceBytes, size);
        // Between whole characters, and a combining mark stays with its base.
        while (end < size && ((static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80 || startsWithMark(bytes, end)))
            ++end;
        layout.byteStart.push_back(start);
        layout.x.push_back(x);
        x += metrics.horizontalAdvance(QString::fromUtf8(bytes.sliced(start, end - start)));
        start = end;
    }
    layout.x.push_back(x);
    return layout;
}

}  // namespace

const LongLineLayout* TODListBox::LongLine(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    const QByteArrayView bytes = model_->lineBytes(index);
    if (bytes.size() <= LongLinePieceBytes)
        return nullptr;
    auto it = longLines_.find(index);
    if (it == longLines_.end())
        it = longLines_.insert(index, layoutLongLine(bytes, fontMetrics()));
    return &it.value();
}

QSize TODListBox::ItemExtentOf(int index) const
{
    if (const LongLineLayout* layout = LongLine(index))
        return QSize(layout->width() + 2, fontMetrics().height() + 2);
    return ItemExtent(index >= 0 && index < GetCount() ? model_->line(index) : QString());
}

QSize TODListBox::ItemExtent(QStringView text) const
{
    const QFontMetrics metrics = fontMetrics();
    const int width = text.isEmpty() ? metrics.horizontalAdvance(QLatin1Char(' '))
                                     : metrics.horizontalAdvance(text.toString());
    return QSize(width + 2, metrics.height() + 2);
}

void TODListBox::GrowMaxWidth(int width)
{
    if (width <= MaxWidth)
        return;
    MaxWidth = width;
    // The scroll range follows the width the view lays its items out with;
    // lay out again once control is back in the event loop (this may be called
    // while painting).
    if (!relayoutPending_) {
        relayoutPending_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                relayoutPending_ = false;
                scheduleDelayedItemsLayout();
            },
            Qt::QueuedConnection);
    }
}

void TODListBox::doItemsLayout()
{
    // The item the view would ask its size for (the last), as the delegate
    // answers it, and every cell that wide.
    const int count = GetCount();
    const QSize extent = count > 0 ? ItemExtentOf(count - 1) : ItemExtent(QStringView());
    GrowMaxWidthInLayout(extent.width());
    const QSize cell(MaxWidth, extent.height());
    if (gridSize() != cell)
        setGridSize(cell);  // its request for a layout is the one made now
    QListView::doItemsLayout();
}

void TODListBox::startMeasuring(int from)
{
    measuredUpTo_ = from;
    idleWidest_ = 0;
    idleApplied_.start();
    // After a short pause, so that a fresh load is shown first.
    if (measuredUpTo_ < GetCount())
        measureTimer_->start(50);
}

void TODListBox::measureSlice()
{
    // Measure while idle, a few milliseconds at a time, so that the scroll range
    // soon covers items never drawn without a pause after a big load. Widening
    // lays out every item again, so the pass widens at most once a second.
    QElapsedTimer clock;
    clock.start();
    const QFontMetrics metrics = fontMetrics();
    const int count = GetCount();
    if (count > 0 && idleWidest_ == 0)
        idleWidest_ = metrics.horizontalAdvance(QLatin1Char(' ')) + 2;
    while (measuredUpTo_ < count) {
        idleWidest_ = qMax(idleWidest_, ItemExtentOf(measuredUpTo_).width());
        const bool longLine = model_->lineBytes(measuredUpTo_).size() > LongLinePieceBytes;
        ++measuredUpTo_;
        if (((measuredUpTo_ & 63) == 0 || longLine) && clock.elapsed() >= 4)
            break;
    }
    const bool done = measuredUpTo_ >= count;
    if (done || idleApplied_.elapsed() >= 1000) {
        GrowMaxWidth(idleWidest_);
        idleApplied_.start();
    }
    if (!done)
        measureTimer_->start(0);
}

void TODListBox::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Every extent changes with the font; the width only ever grows.
        longLines_.clear();
        startMeasuring(0);
        scheduleDelayedItemsLayout();
    }
}

void TODListBox::ClearList()
{
    measureTimer_->stop();
    measuredUpTo_ = 0;
    model_->clear();
}

void TODListBox::SetLines(QByteArray text, std::vector<LineSpan> lineSpans)
{
    measureTimer_->stop();
    model_->assign(std::move(text), std::move(lineSpans));
    startMeasuring(0);
}

int TODListBox::GetCount() const
{
    return model_->count();
}

int TODListBox::GetStringLen(int index) const
{
    return index >= 0 && index < GetCount() ? int(model_->line(index).size()) : -1;
}

QString TODListBox::GetString(int index) const
{
    return index >= 0 && index < GetCount() ? model_->line(index) : QString();
}

quintptr TODListBox::GetItemData(int index) const
{
    return index >= 0 && index < GetCount() ? model_->itemData(index) : 0;
}

bool TODListBox::SetItemData(int index, quintptr data)
{
    if (index < 0 || index >= GetCount())
        return false;
    model_->setItemData(index, data);
    return true;
}

int TODListBox::GetItemHeight(int index) const
{
    if (index < 0 || index >= GetCount())
        return -1;
    return ItemExtent(QStringView()).height();
}

int TODListBox::AddString(const QString& text)
{
    return InsertString(text, -1);
}

int TODListBox::InsertString(const QString& text, int index)
{
    const int count = GetCount();
    if (index == -1)
        index = count;
    if (index < 0 || index > count)
        return -1;
    model_->insert(index, text);
    if (index < measuredUpTo_)
        ++measuredUpTo_;
    GrowMaxWidth(ItemExtentOf(index).width());
    return index;
}

int TODListBox::DeleteString(int index)
{
    if (index < 0 || index >= GetCount())
        return -1;
    model_->remove(index);
    if (index < measuredUpTo_)
        --measuredUpTo_;
    // MaxWidth stays: the scroll range never narrows.
    return GetCount();
}

int TODListBox::GetSelIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

bool TODListBox::SetSelIndex(int index)
{
    if (index == -1) {
        clearSelection();
        return true;
    }
    if (index < 0 || index >= GetCount())
        return false;
    const QModelIndex item = model_->index(index);
    setCurrentIndex(item);
    selectionModel()->select(item, QItemSelectionModel::ClearAndSelect);
    scrollTo(item);
    return true;
}

void TODListBox::ItemRedraw(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    const QRect rect = visualRect(model_->index(index));
    if (!rect.isEmpty())
        viewport()->update(rect);
}
