#pragma once

#include "formats/decimal_format.h"

#include <QAbstractTableModel>

namespace ui {

/// @brief The decimal format table as the grid of "Десятичные форматы": data row r shows
/// slot r. The grid's header row is the horizontal header, so a grid of N rows is N - 1
/// model rows.
class FormatListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FormatListModel(formats::DecimalFormatTable& table, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// The grid's row count, header row included.
    [[nodiscard]] int gridRows() const { return rows_ + 1; }
    /// Sets the grid's row count (header included) and repaints every row.
    void setGridRows(int gridRows);
    /// The slot of a data row changed.
    void rowChanged(int row);

private:
    formats::DecimalFormatTable& table_;
    int rows_ = 0;
};

} // namespace ui
