#include "project/odlistbx.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

// ---- TODListModel ----------------------------------------------------------

int TODListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant TODListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return line(index.row());
    return {};
}

Qt::ItemFlags TODListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString TODListModel::line(int row) const
{
    const LineSpan& s = spans[row];
    return QString::fromUtf8(bytes.constData() + s.offset, s.length);
}

QString TODListModel::linePrefix(int row, qsizetype maxChars) const
{
    const LineSpan& s = spans[row];
    // A character takes at most 4 bytes of UTF-8 (and at most 2 UTF-16 units).
    const qsizetype take = qMin(s.length, maxChars * 4);
    QString text = QString::fromUtf8(bytes.constData() + s.offset, take);
    if (text.size() > maxChars)
        text.truncate(maxChars);
    return text;
}

quintptr TODListModel::itemData(int row) const
{
    return size_t(row) < values.size() ? values[row] : 0;
}

void TODListModel::setItemData(int row, quintptr value)
{
    if (values.empty())
        values.assign(spans.size(), 0);
    values[row] = value;
}

void TODListModel::clear()
{
    assign({}, {});
}

void TODListModel::assign(QByteArray text, std::vector<LineSpan> lineSpans)
{
    beginResetModel();
    bytes = std::move(text);
    spans = std::move(lineSpans);
    values.clear();
    endResetModel();
}

void TODListModel::insert(int row, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    beginInsertRows({}, row, row);
    spans.insert(spans.begin() + row, LineSpan{bytes.size(), utf8.size()});
    bytes.append(utf8);
    if (!values.empty())
        values.insert(values.begin() + row, 0);
    endInsertRows();
}

void TODListModel::remove(int row)
{
    beginRemoveRows({}, row, row);
    spans.erase(spans.begin() + row);
    if (!values.empty())
        values.erase(values.begin() + row);
    endRemoveRows();
}

// ---- TODItemDelegate -------------------------------------------------------

TODItemDelegate::TODItemDelegate(TODListBox* owner)
    : QAbstractItemDelegate(owner), box(owner)
{
}

QSize TODItemDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const
{
    // All items are one line high and the view asks for one item only: answer
    // the widest extent known, so that the scroll range covers every item.
    const QSize extent = box->ItemExtent(box->DrawnText(index.row()));
    box->GrowMaxWidth(extent.width());
    return QSize(qMax(box->GetMaxWidth(), extent.width()), extent.height());
}

void TODItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.isValid())
        return;
    const QString shown = box->DrawnText(index.row());
    const QSize extent = box->ItemExtent(shown);
    box->GrowMaxWidth(extent.width());

    const QRect bound = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    QColor background = option.palette.color(QPalette::Base);
    QColor foreground = option.palette.color(QPalette::Text);
    if (selected) {
        // The selection inverts the colours of the item's rectangle.
        background = QColor(255 - background.red(), 255 - background.green(), 255 - background.blue());
        foreground = QColor(255 - foreground.red(), 255 - foreground.green(), 255 - foreground.blue());
    }

    painter->save();
    painter->setClipRect(bound, Qt::IntersectClip);
    painter->fillRect(bound, background);
    if (!shown.isEmpty()) {
        painter->setFont(option.font);
        painter->setPen(foreground);
        const QFontMetrics metrics(option.font);
        painter->drawText(QPoint(bound.left() + 1, bound.top() + 1 + metrics.ascent()), shown);
    }
    if (option.state & QStyle::State_HasFocus) {
        // The focus frame surrounds the text's width only.
        painter->setPen(QColor(Qt::lightGray));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRect(bound.left(), bound.top(), extent.width(), bound.height()).adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

// ---- TODListBox ------------------------------------------------------------

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

    measureTimer_->setSingleShot(true);
    measureTimer_->setInterval(0);
    connect(measureTimer_, &QTimer::timeout, this, &TODListBox::measureSlice);
}

TODListBox::~TODListBox() = default;

QString TODListBox::DrawnText(int index) const
{
    return model_->linePrefix(index, MaxDrawnChars);
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
        QMetaObject::invokeMethod(this, [this] {
            relayoutPending_ = false;
            scheduleDelayedItemsLayout();
        }, Qt::QueuedConnection);
    }
}

void TODListBox::startMeasuring(int from)
{
    measuredUpTo_ = from;
    idleWidest_ = 0;
    idleApplied_.start();
    if (measuredUpTo_ < GetCount())
        measureTimer_->start();
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
        const QString text = DrawnText(measuredUpTo_);
        if (!text.isEmpty())
            idleWidest_ = qMax(idleWidest_, metrics.horizontalAdvance(text) + 2);
        ++measuredUpTo_;
        if ((measuredUpTo_ & 63) == 0 && clock.elapsed() >= 4)
            break;
    }
    const bool done = measuredUpTo_ >= count;
    if (done || idleApplied_.elapsed() >= 1000) {
        GrowMaxWidth(idleWidest_);
        idleApplied_.start();
    }
    if (!done)
        measureTimer_->start();
}

void TODListBox::changeEvent(QEvent* event)
{
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Every extent changes with the font; the width only ever grows.
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
    GrowMaxWidth(ItemExtent(QStringView(text).left(MaxDrawnChars)).width());
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
