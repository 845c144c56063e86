#include "FormatlistModel.h"

#include "formats/format_cells.h"
#include "formats/grid_rows.h"

namespace ui {

FormatListModel::FormatListModel(formats::DecimalFormatTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int FormatListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int FormatListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : formats::kFormatColumns;
}

QVariant FormatListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignTop));
    if (role != Qt::DisplayRole)
        return {};
    return QString::fromStdString(
        formats::formatCellText(table_.slots[static_cast<std::size_t>(index.row())],
                                index.column()));
}

QVariant FormatListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= formats::kFormatColumns)
        return {};
    const std::string_view header = formats::kFormatColumnHeaders[static_cast<std::size_t>(section)];
    return QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));
}

Qt::ItemFlags FormatListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Bit 29 is chosen from the drop-down; every other column takes typed text.
    if (index.column() != formats::kBit29Column)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void FormatListModel::setGridRows(int gridRows) {
    const int wanted = formats::slotsWithRows(gridRows);
    if (wanted > rows_) {
        beginInsertRows({}, rows_, wanted - 1);
        rows_ = wanted;
        endInsertRows();
    } else if (wanted < rows_) {
        beginRemoveRows({}, wanted, rows_ - 1);
        rows_ = wanted;
        endRemoveRows();
    }
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, formats::kFormatColumns - 1),
                           {Qt::DisplayRole});
}

void FormatListModel::rowChanged(int row) {
    if (row >= 0 && row < rows_)
        Q_EMIT dataChanged(index(row, 0), index(row, formats::kFormatColumns - 1),
                           {Qt::DisplayRole});
}

} // namespace ui
