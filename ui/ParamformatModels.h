#pragma once

#include "formats/assignment.h"
#include "formats/decimal_format.h"

#include <QAbstractTableModel>
#include <QBrush>

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
    /// The slots behind the rows changed: repaints every row.
    void refresh();
    /// The slot behind one row changed.
    void refreshRow(int row);

protected:
    SlotGridModel(int columns, QObject* parent);
    [[nodiscard]] bool isDataCell(const QModelIndex& index) const;

private:
    int columns_;
    int rows_ = 0;
};

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
