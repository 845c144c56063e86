#include "InputBufferModel.h"

#include <array>
#include <cstdio>

namespace ui {
namespace {

constexpr int kColumns = 8;
const std::array<const char*, kColumns> kHeaders = {
    "№ ячейки", " АП", "  HEX", "  OCTAL", " M", "  DECIMAL", "  BINARY", "  № цикла"};

} // namespace

InputBufferModel::InputBufferModel(const board::SharedState& state, QObject* parent)
    : QAbstractTableModel(parent), state_(state) {}

int InputBufferModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : board::kInputBufferCells;
}

int InputBufferModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant InputBufferModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const board::InputCell& cell =
        state_.SIbuffer[state_.CurSI % board::kMaxChannels][index.row()];
    char text[64] = "";
    switch (index.column()) {
    case 0: std::snprintf(text, sizeof text, "%5d", index.row()); break;
    case 7: std::snprintf(text, sizeof text, "%10lu", static_cast<unsigned long>(cell.tick)); break;
    default: break;
    }
    return QString::fromUtf8(text);
}

QVariant InputBufferModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return QString::fromUtf8(kHeaders[section]);
}

void InputBufferModel::cellsChanged() {
    Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, kColumns - 1), {Qt::DisplayRole});
}

} // namespace ui
