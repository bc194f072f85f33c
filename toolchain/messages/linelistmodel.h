// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a TODListBox (toolchain/messages/linelist.h): one buffer of UTF-8 text
// and where each line lies in it.
#pragma once
#include <QAbstractListModel>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// Where one line lies in a TODListModel's text: a byte offset and length.
struct LineSpan {
    qsizetype offset = 0;
    qsizetype length = 0;
};

// The lines of a TODListBox, each with an optional data value. The lines are
// kept as UTF-8 back to back in one buffer and decoded when asked for, so that
// a file's lines can be taken over whole without making a string per line.
class TODListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The same answer as the base class's, without its calls through the
    // virtual table: the view asks for every row's index when it lays out.
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override
    {
        return row >= 0 && column == 0 && row < count() && !parent.isValid() ? createIndex(row, 0) : QModelIndex();
    }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return int(spans.size()); }
    QString line(int row) const;
    // The line's UTF-8 bytes, without decoding them.
    QByteArrayView lineBytes(int row) const;
    quintptr itemData(int row) const;
    void setItemData(int row, quintptr value);

    void clear();
    // Takes over `text` with the lines `lineSpans` lying in it.
    void assign(QByteArray text, std::vector<LineSpan> lineSpans);
    void insert(int row, const QString& text);
    void remove(int row);

private:
    QByteArray bytes;              // the lines' UTF-8 text; deleted lines leave their bytes until cleared
    std::vector<LineSpan> spans;   // one per line, in list order
    std::vector<quintptr> values;  // empty until a value is set; then one per line
};
