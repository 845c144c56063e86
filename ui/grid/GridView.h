#pragma once

#include <QString>

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace ui {

/// @brief The header data role, horizontal, that gives the widest text a column's cells show;
/// each column's default width shows that text and the header's whole.
inline constexpr int kWidestTextRole = Qt::UserRole + 1;

/// @brief The measures of one grid, in pixels.
struct GridLook {
    int fontPixels = 0; ///< Courier New size of the cells and the header
    int rowHeight = 0;  ///< height of every data row
};

/// @brief A grid in the form all windows share: Courier New cells and header, header texts
/// on the left, columns as wide as their widest texts (the model's kWidestTextRole and the
/// header's text) that the user may widen or narrow, no row header, rows of one fixed height,
/// no selection, Tab leaving the grid, no word wrap and no corner button. A press on the
/// header changes neither the selection nor the current cell.
[[nodiscard]] QTableView* makeGridView(const QString& name, QAbstractItemModel& model,
                                       const GridLook& look, QWidget* parent);

/// @brief Gives every column of the grid the width that shows its widest text whole, as
/// makeGridView did; for a grid whose header or cell margins changed since.
void fitColumnsToWidestTexts(QTableView& grid);

} // namespace ui
