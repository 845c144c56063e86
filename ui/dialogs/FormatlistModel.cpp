#include "ui/dialogs/FormatlistModel.h"

#include "formats/format_cells.h"

namespace ui {

std::string widestFormatCellText(int column) {
    return formats::formatCellText(formats::widestShownFormat(), column);
}

FormatListModel::FormatListModel(formats::DecimalFormatTable& table, QObject* parent)
    : SlotGridModel(formats::kFormatColumns, parent), table_(table) {}

QVariant FormatListModel::data(const QModelIndex& index, int role) const {
    if (!isDataCell(index))
        return {};
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(kCellAlignment);
    if (role != Qt::DisplayRole)
        return {};
    return QString::fromStdString(formats::formatCellText(
        table_.slots[static_cast<std::size_t>(index.row())], index.column()));
}

QVariant FormatListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return headerText(formats::kFormatColumnHeaders, widestFormatCellText, section, orientation,
                      role);
}

Qt::ItemFlags FormatListModel::flags(const QModelIndex& index) const {
    // Bit 29 is chosen from the drop-down; every other column takes typed text.
    return cellFlags(index, index.column() != formats::kBit29Column);
}

} // namespace ui
