// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolchain/messages/linelistmodel.h"

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

QByteArrayView TODListModel::lineBytes(int row) const
{
    const LineSpan& s = spans[row];
    return QByteArrayView(bytes.constData() + s.offset, s.length);
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
