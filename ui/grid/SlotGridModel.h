#pragma once

#include <QAbstractTableModel>

#include <span>
#include <string>
#include <string_view>

namespace ui {

/// @brief A grid over a table of fixed slots: data row r shows slot r, and the number of
/// data rows is set by the window (the grid's row count minus its header row).
class SlotGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;

    /// Grows or shrinks the grid to `dataRows` rows, then repaints every row.
    void setDataRows(int dataRows);
    /// The row count of a format window's grid, whose header row counts as a grid row.
    [[nodiscard]] int gridRows() const { return rowCount() + 1; }
    /// Sets a format window's grid to `gridRows` rows, header included.
    void setGridRows(int gridRows);
    /// The slots behind the rows changed: repaints every row.
    void refresh();
    /// The slot behind one row changed.
    void refreshRow(int row);

protected:
    /// Cell texts start at the cell's top-left corner, in every grid of the program.
    static constexpr Qt::Alignment kCellAlignment = Qt::AlignLeft | Qt::AlignTop;

    SlotGridModel(int columns, QObject* parent);
    [[nodiscard]] bool isDataCell(const QModelIndex& index) const;
    /// A data cell is enabled and selectable, and editable where `editable` says; any other
    /// index has no flags.
    [[nodiscard]] Qt::ItemFlags cellFlags(const QModelIndex& index, bool editable) const;
    /// The horizontal header's display text from the logic folder's column headers, and for
    /// kWidestTextRole the widest text of the column's cells; the grids have no vertical
    /// header texts.
    [[nodiscard]] static QVariant headerText(std::span<const std::string_view> headers,
                                             std::string (*widestCellText)(int column), int section,
                                             Qt::Orientation orientation, int role);

private:
    int columns_;
    int rows_ = 0;
};

} // namespace ui
