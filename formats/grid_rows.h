#pragma once

namespace formats {

// Both format grids have one fixed header row above the data rows; data row r shows
// slot r - 1, and there is always at least one data row, empty when the table is.

inline constexpr int kMaxDataRows = 256;

/// @brief The grid's row count, header included, for a table of `count` records.
[[nodiscard]] constexpr int gridRowsFor(int count) { return count >= 1 ? count + 1 : 2; }

/// @brief "+": one more data row at the bottom, unless the grid already shows every slot.
[[nodiscard]] constexpr int gridRowsAfterAdd(int gridRows) {
    return gridRows - 1 < kMaxDataRows ? gridRows + 1 : gridRows;
}

/// @brief How many slots, from slot 0, have a data row in a grid of `gridRows` rows.
[[nodiscard]] constexpr int slotsWithRows(int gridRows) {
    const int rows = gridRows - 1;
    return rows < 0 ? 0 : (rows > kMaxDataRows ? kMaxDataRows : rows);
}

} // namespace formats
