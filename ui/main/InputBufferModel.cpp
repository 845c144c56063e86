#include "ui/main/InputBufferModel.h"

#include "ui/common/Text.h"
#include "ui/grid/GridView.h"

#include "reception/channel_control.h"
#include "reception/input_cell_text.h"

#include <QGuiApplication>
#include <QPalette>

namespace ui {

InputBufferModel::InputBufferModel(const board::SharedState& state,
                                   const reception::ChannelFormatLookup& lookup, QObject* parent)
    : QAbstractTableModel(parent), state_(state), lookup_(lookup) {}

int InputBufferModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : board::kInputBufferCells;
}

int InputBufferModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : reception::kInputColumnCount;
}

QVariant InputBufferModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole) {
        const board::InputCell& cell =
            state_.SIbuffer[reception::currentChannelIndex(state_)][index.row()];
        return QString::fromStdString(
            reception::inputCellText(index.column(), index.row(), cell, lookup_));
    }
    if (role == Qt::BackgroundRole && index.column() == 0)
        return QGuiApplication::palette().button();
    return {};
}

QVariant InputBufferModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == kWidestTextRole)
        return QString::fromStdString(reception::widestInputCellText(section));
    if (role != Qt::DisplayRole)
        return {};
    return qtext(reception::inputHeaderText(section));
}

Qt::ItemFlags InputBufferModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void InputBufferModel::cellsChanged() {
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

} // namespace ui
