#include "ParamformatModels.h"

#include "Text.h"

#include "formats/assignment_cells.h"
#include "formats/assignment_table.h"
#include "formats/format_cells.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace ui {
namespace {

// Cell texts start at the cell's top-left corner, as in the other grids of the program.
constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignTop;

template <std::size_t N>
QVariant headerText(const std::array<std::string_view, N>& headers, int section,
                    Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(N))
        return {};
    return qtext(headers[static_cast<std::size_t>(section)]);
}

QString cellText(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

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

void SlotGridModel::refresh() {
    if (rows_ > 0)
        Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1));
}

void SlotGridModel::refreshRow(int row) {
    if (row >= 0 && row < rows_)
        Q_EMIT dataChanged(index(row, 0), index(row, columns_ - 1));
}

AssignmentGridModel::AssignmentGridModel(const formats::AssignmentTable& assignments,
                                         const formats::DecimalFormatTable& formats,
                                         QObject* parent)
    : SlotGridModel(formats::kAssignmentColumns, parent), assignments_(assignments),
      formats_(formats) {}

QVariant AssignmentGridModel::data(const QModelIndex& index, int role) const {
    if (!isDataCell(index))
        return {};
    const formats::ParamFormatAssignment& assignment =
        assignments_.slots[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return cellText(formats::assignmentCellText(assignment, index.column()));
    case Qt::ForegroundRole: {
        const bool red = index.column() == formats::kFormatLabelColumn &&
                         formats::labelNamesNoFormat(formats_, assignment);
        return QBrush(red ? QColor(Qt::red) : QColor(Qt::black));
    }
    case Qt::TextAlignmentRole:
        return static_cast<int>(kCellAlignment);
    default:
        return {};
    }
}

QVariant AssignmentGridModel::headerData(int section, Qt::Orientation orientation,
                                         int role) const {
    return headerText(formats::kAssignmentColumnHeaders, section, orientation, role);
}

Qt::ItemFlags AssignmentGridModel::flags(const QModelIndex& index) const {
    if (!isDataCell(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

ParamformatFormatListModel::ParamformatFormatListModel(const formats::DecimalFormatTable& formats,
                                                       QObject* parent)
    : SlotGridModel(formats::kFormatColumns, parent), formats_(formats),
      buttonFace_(QGuiApplication::palette().color(QPalette::Button)) {}

QVariant ParamformatFormatListModel::data(const QModelIndex& index, int role) const {
    if (!isDataCell(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(formats::formatCellText(
            formats_.slots[static_cast<std::size_t>(index.row())], index.column()));
    case Qt::BackgroundRole:
        return buttonFace_;
    case Qt::ForegroundRole:
        return QBrush(QColor(Qt::black));
    case Qt::TextAlignmentRole:
        return static_cast<int>(kCellAlignment);
    default:
        return {};
    }
}

QVariant ParamformatFormatListModel::headerData(int section, Qt::Orientation orientation,
                                                int role) const {
    return headerText(formats::kFormatColumnHeaders, section, orientation, role);
}

Qt::ItemFlags ParamformatFormatListModel::flags(const QModelIndex& index) const {
    if (!isDataCell(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace ui
