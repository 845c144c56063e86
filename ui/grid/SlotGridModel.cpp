#include "ui/grid/SlotGridModel.h"

#include "ui/common/Text.h"
#include "ui/grid/GridView.h"

#include "formats/grid_rows.h"

#include <cstddef>

namespace ui {

SlotGridModel::SlotGridModel(int columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {}

int SlotGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SlotGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

bool SlotGridModel::isDataCell(const QModelIndex& index) const {
    return index.isValid() && index.row() < rows_ && index.column() < columns_;
}

Qt::ItemFlags SlotGridModel::cellFlags(const QModelIndex& index, bool editable) const {
    if (!isDataCell(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant SlotGridModel::headerText(std::span<const std::string_view> headers,
                                   std::string (*widestCellText)(int column), int section,
                                   Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(headers.size()))
        return {};
    if (role == kWidestTextRole)
        return QString::fromStdString(widestCellText(section));
    if (role != Qt::DisplayRole)
        return {};
    return qtext(headers[static_cast<std::size_t>(section)]);
}

void SlotGridModel::setDataRows(int dataRows) {
    if (dataRows > rows_) {
        beginInsertRows({}, rows_, dataRows - 1);
        rows_ = dataRows;
        endInsertRows();
    } else if (dataRows < rows_) {
        beginRemoveRows({}, dataRows, rows_ - 1);
        rows_ = dataRows;
        endRemoveRows();
    }
    refresh();
}

void SlotGridModel::setGridRows(int gridRows) { setDataRows(formats::slotsWithRows(gridRows)); }

void SlotGridModel::refresh() {
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

void SlotGridModel::refreshRow(int row) {
    if (row >= 0 && row < rows_)
        Q_EMIT dataChanged(index(row, 0), index(row, columns_ - 1));
}

} // namespace ui
