#pragma once

#include "format_lookup.h"

#include "board/shared_state.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace reception {

/// Columns of the input buffer grid; column 0 is fixed and holds the cell numbers.
enum class InputColumn : int {
    CellNumber = 0,
    Address = 1,
    Hex = 2,
    Octal = 3,
    StatusBits = 4,
    Decimal = 5,
    Binary = 6,
    Tick = 7,
};
inline constexpr int kInputColumnCount = 8;

/// @brief The header text of a column (leading blanks included), empty outside 0..7.
[[nodiscard]] std::string_view inputHeaderText(int column);

/// @brief The text that a column shows for one cell of the current input channel (UTF-8),
/// empty for a column outside 0..7. The decimal column decodes through the lookup.
[[nodiscard]] std::string inputCellText(int column, int cellNumber, const board::InputCell& cell,
                                        const ChannelFormatLookup& lookup);

/// @brief The widest text a column shows: that of the word 0xFFFFFFFF at tick 4294967295 in
/// cell 255, and in the decimal column widestDecimalText(). Empty outside 0..7.
[[nodiscard]] std::string widestInputCellText(int column);

/// @brief Bits 31 and 30 of the word, in that order, as two digits between blanks: " 01 ".
[[nodiscard]] std::string statusBitsText(std::uint32_t word);

/// @brief Bits 9..32 of the word (word >> 8) in binary, most significant first, without
/// leading zeros; "0" for zero.
[[nodiscard]] std::string binaryDataText(std::uint32_t word);

} // namespace reception
