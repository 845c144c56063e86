#include "ui/main/OutputArrayModel.h"

#include "transmission/output_array.h"
#include "transmission/output_grid_text.h"

#include <QGuiApplication>
#include <QPalette>

namespace ui {

OutputArrayModel::OutputArrayModel(const board::SharedState& state, QObject* parent)
    : SlotGridModel(transmission::kOutputGridColumnCount, parent), state_(state) {}

QVariant OutputArrayModel::data(const QModelIndex& index, int role) const {
    if (!isDataCell(index))
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(
            transmission::outputCellText(state_, index.row() + 1, index.column()));
    if (role == Qt::BackgroundRole && index.column() == transmission::IndexColumn)
        return QGuiApplication::palette().button();
    return {};
}

QVariant OutputArrayModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return headerText(transmission::kOutputGridHeaders, transmission::widestOutputCellText, section,
                      orientation, role);
}

Qt::ItemFlags OutputArrayModel::flags(const QModelIndex& index) const {
    return cellFlags(index, index.column() != transmission::IndexColumn);
}

void OutputArrayModel::arrayChanged() { setDataRows(transmission::currentArraySize(state_)); }

} // namespace ui
