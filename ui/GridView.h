#pragma once

#include <QString>

#include <span>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace ui {

/// @brief The measures of one grid, in pixels.
struct GridLook {
    int fontPixels = 0;                 ///< Courier New size of the cells and the header
    int rowHeight = 0;                  ///< height of every data row
    std::span<const int> columnWidths;  ///< widths of the first columns, in order
};

/// @brief A grid in the form all windows share: Courier New cells and header, header texts
/// on the left, columns the user may widen, no row header, rows of one fixed height, no
/// selection, Tab leaving the grid, no word wrap and no corner button.
[[nodiscard]] QTableView* makeGridView(const QString& name, QAbstractItemModel& model,
                                       const GridLook& look, QWidget* parent);

} // namespace ui
