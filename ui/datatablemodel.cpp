#include "ui/datatablemodel.h"

#include "core/axistext.h"
#include "core/document.h"
#include "core/numbers.h"

namespace kurvana {

namespace {
const char* const kHeadings[] = {"№", "X", "Y1", "Y2", "Y3", "Y4", "Y5"};
}

DataTableModel::DataTableModel(const Document& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {}

void DataTableModel::fill() {
    beginResetModel();
    rows_ = TableRows(doc_);
    std::erase_if(typed_, [](const auto& entry) { return entry.first.second != 0; });
    endResetModel();
}

QString DataTableModel::cellText(int gridRow, int column) const {
    if (gridRow == 0)
        return QString::fromUtf8(kHeadings[column]);
    if (const auto typed = typed_.find({gridRow, column}); typed != typed_.end())
        return typed->second;
    if (column == 0)
        return QString::number(gridRow);
    if (gridRow > int(rows_.size()))
        return {};
    const TableRow& row = rows_[std::size_t(gridRow - 1)];
    if (column == 1)
        return AxisValueText(doc_, AxisName::X, row.x);
    if (column == row.line + 1)
        return AxisValueText(doc_, AxisName::Y, row.y);
    return {};
}

int DataTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kTableDataRows;
}

int DataTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 7;
}

QVariant DataTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return cellText(index.row() + 1, index.column());
}

QVariant DataTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation != Qt::Horizontal)
        return {};
    // A series read from a legend is shown under its name.
    const int line = section - 1;
    if (line >= 1 && line <= kLineCount && !doc_.lineInfo.at(line).name.isEmpty())
        return doc_.lineInfo.at(line).name;
    return cellText(0, section);
}

bool DataTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole)
        return false;
    typed_[{index.row() + 1, index.column()}] = value.toString();
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags DataTableModel::flags(const QModelIndex& index) const {
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

} // namespace kurvana
