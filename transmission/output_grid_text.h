#pragma once

#include "board/shared_state.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace transmission {

/// Columns of the output grid.
enum OutputGridColumn : int { IndexColumn = 0, AddressColumn = 1, CodeColumn = 2 };
inline constexpr int kOutputGridColumnCount = 3;

inline constexpr std::array<std::string_view, kOutputGridColumnCount> kOutputGridHeaders = {
    " индекс", " АП", " код(HEX) "};

/// @brief "%5d" of a word's index.
[[nodiscard]] std::string indexCellText(int index);
/// @brief Bits 1-8 of the word, "%03o": 000..377.
[[nodiscard]] std::string addressCellText(std::uint32_t word);
/// @brief Bits 9-32 of the word (the word shifted right by 8), "%06x".
[[nodiscard]] std::string codeCellText(std::uint32_t word);

/// @brief The widest text of a column's data cells: index 255, address 377, code ffffff.
[[nodiscard]] std::string widestOutputCellText(int column);

/// @brief The text of a cell of the output grid for the current output channel: the header
/// row 0, data row r showing word r - 1. Empty outside the grid.
[[nodiscard]] std::string outputCellText(const board::SharedState& state, int row, int column);

} // namespace transmission
