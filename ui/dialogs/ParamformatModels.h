#pragma once

#include "ui/grid/SlotGridModel.h"

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <QBrush>

namespace ui {

/// @brief The assignment grid `DrawGrid2`: address in octal, channel, and the format label,
/// red when no format in the table has it.
class AssignmentGridModel final : public SlotGridModel {
    Q_OBJECT
public:
    AssignmentGridModel(const formats::AssignmentTable& assignments,
                        const formats::DecimalFormatTable& formats, QObject* parent = nullptr);

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const formats::AssignmentTable& assignments_;
    const formats::DecimalFormatTable& formats_;
};

/// @brief The read-only format list `DrawGrid1` of the parameter formats window: the columns
/// of the decimal format grid, every cell on the button-face colour.
class ParamformatFormatListModel final : public SlotGridModel {
    Q_OBJECT
public:
    explicit ParamformatFormatListModel(const formats::DecimalFormatTable& formats,
                                        QObject* parent = nullptr);

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const formats::DecimalFormatTable& formats_;
    QBrush buttonFace_;
};

} // namespace ui
