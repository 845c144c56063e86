#include "OutputArrayModel.h"

#include <array>
#include <cstdio>

namespace ui {
namespace {

constexpr int kColumns = 3;
const std::array<const char*, kColumns> kHeaders = {" индекс", " АП", " код(HEX) "};

} // namespace

OutputArrayModel::OutputArrayModel(board::SharedState& state, QObject* parent)
    : QAbstractTableModel(parent), state_(state) {}

int OutputArrayModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int OutputArrayModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant OutputArrayModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rows_)
        return {};
    const std::uint32_t word =
        state_.SOrecord[state_.CurSO % board::kMaxChannels].SOwords[index.row()];
    char text[32];
    switch (index.column()) {
    case 0: std::snprintf(text, sizeof text, "%5d", index.row()); break;
    case 1: std::snprintf(text, sizeof text, "%03o", static_cast<unsigned>(word & 0xFFu)); break;
    default: std::snprintf(text, sizeof text, "%06x", static_cast<unsigned>(word >> 8)); break;
    }
    return QString::fromUtf8(text);
}

QVariant OutputArrayModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return QString::fromUtf8(kHeaders[section]);
}

void OutputArrayModel::arrayChanged() {
    const int wanted = state_.SOArrayDim[state_.CurSO % board::kMaxChannels];
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
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, kColumns - 1), {Qt::DisplayRole});
}

} // namespace ui
