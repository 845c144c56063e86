#include "ui/dialogs/ParamformatModels.h"

#include "ui/dialogs/FormatlistModel.h"

#include "formats/assignment_cells.h"
#include "formats/assignment_table.h"
#include "formats/format_cells.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <cstddef>
#include <string>

namespace ui {
namespace {

QString cellText(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

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
    case Qt::DisplayRole: return cellText(formats::assignmentCellText(assignment, index.column()));
    case Qt::ForegroundRole: {
        const bool red = index.column() == formats::kFormatLabelColumn &&
                         formats::labelNamesNoFormat(formats_, assignment);
        return QBrush(red ? QColor(Qt::red) : QColor(Qt::black));
    }
    case Qt::TextAlignmentRole: return static_cast<int>(kCellAlignment);
    default: return {};
    }
}

QVariant AssignmentGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    return headerText(formats::kAssignmentColumnHeaders, formats::widestAssignmentCellText, section,
                      orientation, role);
}

Qt::ItemFlags AssignmentGridModel::flags(const QModelIndex& index) const {
    return cellFlags(index, true);
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
    case Qt::BackgroundRole: return buttonFace_;
    case Qt::ForegroundRole: return QBrush(QColor(Qt::black));
    case Qt::TextAlignmentRole: return static_cast<int>(kCellAlignment);
    default: return {};
    }
}

QVariant ParamformatFormatListModel::headerData(int section, Qt::Orientation orientation,
                                                int role) const {
    return headerText(formats::kFormatColumnHeaders, widestFormatCellText, section, orientation,
                      role);
}

Qt::ItemFlags ParamformatFormatListModel::flags(const QModelIndex& index) const {
    return cellFlags(index, false);
}

} // namespace ui
