#pragma once

#include "ui/grid/SlotGridModel.h"

#include "formats/decimal_format.h"

#include <string>

namespace ui {

/// @brief The decimal format table as the grid of "Десятичные форматы": data row r shows
/// slot r. The grid's header row is the horizontal header, so a grid of N rows is N - 1
/// model rows.
/// @brief The widest text of a column of the decimal format grids.
[[nodiscard]] std::string widestFormatCellText(int column);

class FormatListModel final : public SlotGridModel {
    Q_OBJECT
public:
    explicit FormatListModel(formats::DecimalFormatTable& table, QObject* parent = nullptr);

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    formats::DecimalFormatTable& table_;
};

} // namespace ui
