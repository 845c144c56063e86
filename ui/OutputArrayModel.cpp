#include "OutputArrayModel.h"

#include "Text.h"

#include "transmission/output_array.h"
#include "transmission/output_grid_text.h"

#include <QGuiApplication>
#include <QPalette>

namespace ui {

OutputArrayModel::OutputArrayModel(const board::SharedState& state, QObject* parent)
    : QAbstractTableModel(parent), state_(state) {}

int OutputArrayModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int OutputArrayModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : transmission::kOutputGridColumnCount;
}

QVariant OutputArrayModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(
            transmission::outputCellText(state_, index.row() + 1, index.column()));
    if (role == Qt::BackgroundRole && index.column() == transmission::IndexColumn)
        return QGuiApplication::palette().button();
    return {};
}

QVariant OutputArrayModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= transmission::kOutputGridColumnCount)
        return {};
    return qtext(transmission::kOutputGridHeaders[section]);
}

Qt::ItemFlags OutputArrayModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() != transmission::IndexColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

void OutputArrayModel::arrayChanged() {
    const int wanted = transmission::currentArraySize(state_);
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
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1), {Qt::DisplayRole});
}

} // namespace ui
